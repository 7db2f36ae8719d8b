# shellcheck shell=bash
# The Windows half of scripts/test: the packages it needs, a Wine prefix of its own, a display, both
# Windows builds and the Windows tests under wine64. Source this file and call windows_test_main; it
# returns non-zero when anything fails and leaves no process behind.
#
# Wine runs only the x86_64 build: this kernel runs no 32-bit code, so the i686 program is built and
# checked statically. The prefix lives in build/wineprefix and is made on first use.

WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64 g++-mingw-w64-i686
  wine wine64 fonts-wine
  xvfb xauth x11-apps imagemagick
  locales fonts-wqy-microhei
  cmake ninja-build googletest
  python3
)
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver

windows_log() { printf '[windows] %s\n' "$*" >&2; }

# Runs a step and says how long it took.
windows_step() {
  local name=$1 began=$SECONDS status=0
  shift
  "$@" || status=$?
  windows_log "$name: $((SECONDS - began)) s$( ((status)) && echo ", FAILED ($status)")"
  return "$status"
}

# Installs what is missing, and only that; apt-get update runs only when something is.
windows_install_packages() {
  local missing=() p
  for p in "${WINDOWS_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})) && declare -F ensure_packages >/dev/null; then
    ensure_packages "${missing[@]}" || return 1
  elif ((${#missing[@]})); then
    windows_log "installing ${missing[*]}"
    apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null ||
      return 1
  fi
  # Wine takes the ANSI code page 936 from this locale; without it Chinese file names fail.
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    windows_log "generating the zh_CN.UTF-8 locale"
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8 || return 1
  fi
}

# Xvfb on a display number of its own choosing; sets DISPLAY.
windows_start_display() {
  local fifo; fifo=$(mktemp -u) && mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  WINDOWS_XVFB_PID=$!
  local number
  read -r -t 20 number <"$fifo"
  rm -f "$fifo"
  [[ -n "$number" ]] || { windows_log "Xvfb did not start"; return 1; }
  export DISPLAY=":$number"
}

# A persistent server for the prefix: a Wine program then starts in a fraction of a second, and
# ctest does not wait on helpers that would otherwise hold its output pipe. Its output goes nowhere
# for the same reason. A server that was already running (exit code 2) is used and left alone.
windows_start_server() {
  local status=0
  "$WINESERVER" -p >/dev/null 2>&1 || status=$?
  case $status in
    0) WINDOWS_SERVER_STARTED=1 ;;
    2) ;;
    *) windows_log "wineserver did not start"; return 1 ;;
  esac
}

windows_stop_server() {
  "$WINESERVER" -k >/dev/null 2>&1
  "$WINESERVER" -w >/dev/null 2>&1
  unset WINDOWS_SERVER_STARTED
}

# The prefix: made once, marked complete only at the end so an interrupted setup starts over.
windows_make_prefix() {
  local ready="$WINEPREFIX/.tarvinel-ready"
  [[ -f "$ready" ]] && return 0
  windows_log "making the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # A server kept running through the setup: reg run while the wineboot server shuts down can fail.
  windows_start_server || return 1
  "$WINE" wineboot -i >/dev/null 2>&1 || return 1
  # Without fonts the title-bar buttons draw as letters.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" || return 1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 &&
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1 &&
    "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 ||
    return 1
  # The settings take effect with the next server. Never wait (-w) on a persistent server: it does not end.
  windows_stop_server
  touch "$ready"
}

windows_stop() {
  [[ -n "${WINDOWS_SERVER_STARTED:-}" ]] && windows_stop_server
  if [[ -n "${WINDOWS_XVFB_PID:-}" ]]; then
    kill "$WINDOWS_XVFB_PID" 2>/dev/null
    wait "$WINDOWS_XVFB_PID" 2>/dev/null
    unset WINDOWS_XVFB_PID
  fi
}

# Readies the Windows side for one of scripts/bench's lines, from the top of the tree: the packages,
# the given targets of the win64 tree, the prefix and its server (one already running, from a test
# run, is used as it is). Everything goes to stderr, which also says what failed.
windows_bench_ready() {
  export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  windows_install_packages >&2 || { windows_log "packages missing"; return 1; }
  { cmake --preset win64 >/dev/null && cmake --build build/win64 -j "${JOBS:-2}" --target "$@" >/dev/null; } >&2 ||
    { windows_log "the win64 build failed"; return 1; }
  windows_make_prefix >&2 || { windows_log "no Wine prefix"; return 1; }
  windows_start_server >&2
}

# Both Windows trees. Of the i686 tree only the program is built: its tests cannot run here, and the
# program already compiles the whole core for 32 bits.
windows_build() {
  local preset target
  for preset in win64 win32; do
    target=all
    [[ $preset == win32 ]] && target=tarvinel
    windows_log "building $preset ($target)"
    if [[ ! -f build/$preset/build.ninja ]]; then
      cmake --preset "$preset" >"build/$preset.configure.log" 2>&1 || { cat "build/$preset.configure.log"; return 1; }
    fi
    cmake --build "build/$preset" -j2 --target "$target" || return 1
  done
}

# The x86_64 suite under wine64; it also checks the i686 program statically.
windows_run_tests() {
  windows_log "running the Windows tests under wine64"
  if declare -F run_ctest >/dev/null; then
    # A Wine program now and then dies before it runs a line (seen under heavy load: no output,
    # 0.02 s); one more try tells that apart from a real failure, which fails both times.
    run_ctest build/win64 --repeat until-pass:2
  else
    ctest --preset win64 -j2
  fi
}

# The whole Windows half. Runs in a subshell, so that the display, the server and the environment it
# sets up go with it whatever happens; the pass and fail counts of scripts/test's run_ctest are carried
# back. Returns non-zero on any failure.
windows_test_main() {
  local counts status=0
  counts=$(mktemp)
  (
    set -o pipefail
    cd "$(dirname "${BASH_SOURCE[0]}")/../.." || exit 1
    trap windows_stop EXIT
    trap 'exit 130' INT TERM
    start=$SECONDS
    passed_before=${PASSED:-0} failed_before=${FAILED:-0}
    export WINEPREFIX="$PWD/build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    # The tests choose the ANSI code page through LANG, which these would override.
    unset LC_ALL LC_CTYPE
    mkdir -p build
    windows_step "packages" windows_install_packages || exit 1
    windows_step "builds" windows_build || exit 1
    windows_start_display || exit 1
    windows_step "Wine prefix" windows_make_prefix || exit 1
    windows_start_server || exit 1
    "$WINE" cmd /c exit >/dev/null 2>&1
    windows_step "tests" windows_run_tests
    result=$?
    echo "$((${PASSED:-0} - passed_before)) $((${FAILED:-0} - failed_before))" >"$counts"
    windows_log "Windows half took $((SECONDS - start)) s"
    exit "$result"
  ) || status=$?
  local passed failed
  if read -r passed failed <"$counts" 2>/dev/null; then
    PASSED=$((${PASSED:-0} + passed))
    FAILED=$((${FAILED:-0} + failed))
  elif ((status != 0)); then
    FAILED=$((${FAILED:-0} + 1))  # it failed before any test ran
  fi
  rm -f "$counts"
  return "$status"
}
