# shellcheck shell=bash
# scripts/bench's line for a whole generation under wine64 against the speech service of the native
# build, its host mapped for the benchmark alone:
#   ratio generation_vs_platform_floor VALUE <= 1.20
# When it cannot run it says why on stderr and prints the ratio as nan, which meets no goal.
bench_generation() (
  set -o pipefail
  cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
  fail() {
    printf '[bench-generation] %s\n' "$*" >&2
    echo "ratio generation_vs_platform_floor nan <= 1.20"
    exit 0
  }
  # shellcheck source=scripts/lib/common.sh
  source scripts/lib/common.sh || fail "no build support in this tree"
  # shellcheck source=scripts/lib/windows.sh
  source scripts/lib/windows.sh || fail "no Windows build support in this tree"
  trap windows_stop EXIT
  build_preset native >&2 || fail "the native build (the speech service) failed"
  windows_bench_ready generation_bench || fail "not ready to run"
  tests/windows/run_with_speech_host.sh tts.morvast.example build/bench-generation \
    build/native/service/tarvinel-speechd --listen '{address}' --port 80 --audio-dir build/bench-generation/audio \
    -- build/win64/bench/windows/generation_bench.exe || fail "generation_bench failed"
)
