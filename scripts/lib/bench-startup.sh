# shellcheck shell=bash
# Start-up of the Windows program against a bare Win32 window, both under wine64 on the test
# display, on a warm prefix: prints "ratio startup_vs_bare_window VALUE <= 1.50" (medians of 10
# starts each, taken in turns). Sourced by scripts/bench, which calls bench_startup. When it cannot
# measure it says why on stderr and prints nan, which meets no goal.

bench_startup() (
    set -o pipefail
    local top
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    cd "$top" || exit 1
    fail() {
        printf '[bench-startup] %s\n' "$*" >&2
        echo "ratio startup_vs_bare_window nan <= 1.50"
        exit 0
    }
    source scripts/lib/windows.sh || fail "no Windows build support in this tree"
    trap windows_stop EXIT
    trap 'exit 130' INT TERM
    export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    windows_install_packages >&2 || fail "packages missing"
    { cmake --preset win64 >/dev/null &&
        cmake --build build/win64 -j "${JOBS:-2}" --target tarvinel bare_window startup_timer >/dev/null; } ||
        fail "the win64 build failed"
    windows_start_display >&2 || fail "no display"
    windows_make_prefix >&2 || fail "no Wine prefix"
    windows_start_server >&2 || fail "no Wine server"
    "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null
    local bin=build/win64 out
    out=$("$WINE" "$bin/tests/windows/startup/startup_timer.exe" 10 "$bin/src/app/tarvinel.exe" \
        "$bin/tests/windows/startup/bare_window.exe" </dev/null | tr -d '\r') || fail "the timer failed: $out"
    echo "$out"
)
