# shellcheck shell=bash
# scripts/bench's line for a whole generation under wine64 against the speech service of the native
# build, its host mapped for the benchmark alone:
#   ratio generation_vs_platform_floor VALUE <= 1.20
# When it cannot run it says why on stderr and prints the ratio as nan, which meets no goal.
bench_generation() (
  set -o pipefail
  top=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel) && cd "$top" || exit 1
  source scripts/lib/common.sh || exit 1
  source scripts/lib/windows.sh || exit 1
  trap windows_stop EXIT
  export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  fail() {
    printf '[bench-generation] %s\n' "$*" >&2
    echo "ratio generation_vs_platform_floor nan <= 1.20"
    exit 0
  }
  windows_install_packages >&2 || fail "packages missing"
  { build_preset native && build_preset win64; } >&2 || fail "did not build"
  windows_make_prefix >&2 || fail "no Wine prefix"
  windows_start_server 2>/dev/null
  tests/windows/run_with_speech_host.sh tts.morvast.example build/bench-generation \
    build/native/service/tarvinel-speechd --listen {address} --port 80 --audio-dir build/bench-generation/audio \
    -- build/win64/bench/windows/generation_bench.exe || fail "generation_bench failed"
)
