# shellcheck shell=bash
# scripts/bench's Windows line: HttpRequest against a plain read loop of the same internet library,
# under wine64, on a 64 MiB body from the scripted server on loopback. bench_http prints both
# throughputs and
#   ratio http_vs_raw_wininet_2k VALUE >= 0.75
# When the benchmark cannot run, it says why on stderr and prints the ratio as 0, so the goal fails
# visibly instead of going missing.
bench_http() (
  set -o pipefail
  local top
  top=$(git -C "$(dirname "${BASH_SOURCE[0]}")" rev-parse --show-toplevel) && cd "$top" || exit 1
  # shellcheck source=scripts/lib/windows.sh
  source scripts/lib/windows.sh || exit 1
  trap windows_stop EXIT
  export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  fail() {
    printf '[bench-http] %s\n' "$*" >&2
    echo "ratio http_vs_raw_wininet_2k 0.000 >= 0.75"
    exit 0
  }
  windows_install_packages >&2 || fail "packages missing"
  { cmake --preset win64 >/dev/null && cmake --build build/win64 -j2 --target http_bench; } >&2 ||
    fail "http_bench did not build"
  windows_make_prefix >&2 || fail "no Wine prefix"
  # A server of the prefix may be running already (a test run); then that one serves.
  windows_start_server 2>/dev/null
  tests/http/with_server.sh "$WINE" build/win64/bench/windows/http_bench.exe || fail "http_bench failed"
)
