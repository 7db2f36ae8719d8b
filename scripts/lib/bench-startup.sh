# shellcheck shell=bash
# Start-up of the Windows program against a bare Win32 window, both under wine64 on the test
# display, on a warm prefix: prints "ratio startup_vs_bare_window VALUE <= 1.50" (medians of 10
# starts each, taken in turns). Sourced by scripts/bench, which calls bench_startup.

bench_startup() (
    set -o pipefail
    local top
    top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    cd "$top" || exit 1
    if [ ! -f scripts/lib/windows.sh ]; then
        echo "bench_startup: no Windows build support in this tree" >&2
        exit 0
    fi
    source scripts/lib/windows.sh
    trap windows_stop EXIT
    trap 'exit 130' INT TERM
    export WINEPREFIX="$top/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    windows_install_packages >&2 || exit 1
    { cmake --preset win64 >/dev/null &&
        cmake --build build/win64 -j "${JOBS:-2}" --target tarvinel bare_window startup_timer >/dev/null; } ||
        { echo "bench_startup: the win64 build failed" >&2; exit 1; }
    windows_start_display || exit 1
    windows_make_prefix || exit 1
    windows_start_server || exit 1
    "$WINE" cmd /c exit >/dev/null 2>&1
    local bin=build/win64
    "$WINE" "$bin/tests/windows/startup/startup_timer.exe" 10 "$bin/src/app/tarvinel.exe" \
        "$bin/tests/windows/startup/bare_window.exe" | tr -d '\r'
)
