# shellcheck shell=bash
# scripts/bench's Windows line: HttpRequest against a plain read loop of the same internet library,
# under wine64, on a 64 MiB body from the scripted server on loopback. bench_http prints both
# throughputs and
#   ratio http_vs_raw_wininet_2k VALUE >= 0.75
# When the benchmark cannot run, it says why on stderr and prints the ratio as 0, so the goal fails
# visibly instead of going missing.
bench_http() (
  set -o pipefail
  cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
  fail() {
    printf '[bench-http] %s\n' "$*" >&2
    echo "ratio http_vs_raw_wininet_2k 0.000 >= 0.75"
    exit 0
  }
  # shellcheck source=scripts/lib/windows.sh
  source scripts/lib/windows.sh || fail "no Windows build support in this tree"
  trap windows_stop EXIT
  windows_bench_ready http_bench || fail "not ready to run"
  tests/http/with_server.sh "$WINE" build/win64/bench/windows/http_bench.exe || fail "http_bench failed"
)
