# shellcheck shell=bash
# Start-up of the Windows program against a bare Win32 window, both under wine64 on the test
# display, on a warm prefix: prints "ratio startup_vs_bare_window VALUE <= 1.50" (medians of 10
# starts each, taken in turns). Sourced by scripts/bench, which calls bench_startup. When it cannot
# measure it says why on stderr and prints nan, which meets no goal.

bench_startup() (
    set -o pipefail
    cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
    fail() {
        printf '[bench-startup] %s\n' "$*" >&2
        echo "ratio startup_vs_bare_window nan <= 1.50"
        exit 0
    }
    # shellcheck source=scripts/lib/windows.sh
    source scripts/lib/windows.sh || fail "no Windows build support in this tree"
    trap windows_stop EXIT
    trap 'exit 130' INT TERM
    windows_start_display >&2 || fail "no display"
    windows_bench_ready tarvinel bare_window startup_timer || fail "not ready to run"
    "$WINE" cmd /c exit >/dev/null 2>&1 </dev/null
    local bin=build/win64 out
    out=$("$WINE" "$bin/tests/windows/startup/startup_timer.exe" 10 "$bin/src/app/tarvinel.exe" \
        "$bin/tests/windows/startup/bare_window.exe" </dev/null | tr -d '\r') || fail "the timer failed: $out"
    echo "$out"
)
