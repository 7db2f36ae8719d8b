# Shared by the scripts: package installation and small helpers. Source it; do not run it.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
export DEBIAN_FRONTEND=noninteractive
JOBS=${JOBS:-2}

log() { printf '\n== %s\n' "$*"; }

# Installs the Debian packages of the list that are missing; quiet and quick when none is.
ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    if [ -z "${TARVINEL_APT_UPDATED:-}" ]; then
        apt-get update -qq || return 1
        export TARVINEL_APT_UPDATED=1
    fi
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

NATIVE_PACKAGES=(cmake ninja-build g++ make pkg-config googletest libgtest-dev libgmock-dev libbenchmark-dev
                 espeak-ng espeak-ng-data lame libespeak-ng-dev libmp3lame-dev libcpp-httplib-dev)
FUZZ_PACKAGES=(clang libclang-rt-14-dev)

# Configures (once) and builds one preset.
build_preset() {
    local preset=$1
    shift
    if [ ! -f "$TOP/build/$preset/build.ninja" ]; then
        cmake --preset "$preset" -S "$TOP" "$@" >"$TOP/build/$preset.configure.log" 2>&1 ||
            { cat "$TOP/build/$preset.configure.log"; return 1; }
    fi
    cmake --build "$TOP/build/$preset" -j "$JOBS"
}

# Runs ctest in a build tree and adds its counts to PASSED and FAILED.
PASSED=0
FAILED=0
run_ctest() {
    local dir=$1
    shift
    local out rc
    out=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure -j "$JOBS" "$@" 2>&1 | tee "$out"
    rc=${PIPESTATUS[0]}
    local line
    line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$out" | tail -1)
    if [ -n "$line" ]; then
        local failed total
        failed=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
        total=$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
        PASSED=$((PASSED + total - failed))
        FAILED=$((FAILED + failed))
    elif [ "$rc" -ne 0 ]; then
        FAILED=$((FAILED + 1))
    fi
    rm -f "$out"
    return "$rc"
}
