# shellcheck shell=bash
# A local service on a loopback address, and programs that see a host name mapped to that address.
# Used by scripts/run, the benchmarks and the tests that talk to the speech service by its name.
#
#   loopback_random_address
#       prints 127.x.y.z, picked at random, so that runs side by side (and whatever else listens on
#       127.0.0.1) stay apart.
#   loopback_serve FIRST OUT LOG COMMAND...
#       starts COMMAND in the background with each "{address}" in its words replaced by an address:
#       FIRST, or a random one when FIRST is "random", then random ones, five tries in all. A try
#       has worked when the command has printed its first line, which it does once it listens; that
#       output goes to OUT and its errors to LOG. Sets loopback_address and loopback_pid; returns 1
#       when no try worked.
#   loopback_stop
#       ends the service loopback_serve started, if any.
#   loopback_map HOSTS HOST
#       writes the file HOSTS, which maps HOST to loopback_address, and sets loopback_mapped to the
#       words that run a command in a mount namespace of its own whose /etc/hosts is that file:
#       "${loopback_mapped[@]}" COMMAND... is COMMAND's own process, with its exit code. Needs root.

loopback_address='' loopback_pid=''
loopback_mapped=()

loopback_random_address() {
    echo "127.$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2))"
}

loopback_serve() {
    local first=$1 out=$2 log=$3
    shift 3
    local try word waited
    local -a command
    for try in 1 2 3 4 5; do
        if [ "$try" = 1 ] && [ "$first" != random ]; then
            loopback_address=$first
        else
            loopback_address=$(loopback_random_address)
        fi
        command=()
        for word in "$@"; do command+=("${word//\{address\}/$loopback_address}"); done
        : >"$out"
        "${command[@]}" >"$out" 2>>"$log" &
        loopback_pid=$!
        for ((waited = 0; waited < 200; waited++)); do
            [ "$(wc -l <"$out")" -ge 1 ] && return 0
            kill -0 "$loopback_pid" 2>/dev/null || break
            sleep 0.1
        done
        echo "the service did not start on $loopback_address" >&2
        loopback_stop
    done
    return 1
}

loopback_stop() {
    [ -n "$loopback_pid" ] || return 0
    kill "$loopback_pid" 2>/dev/null
    wait "$loopback_pid" 2>/dev/null
    loopback_pid=
}

loopback_map() {
    printf '127.0.0.1 localhost\n%s %s\n' "$loopback_address" "$2" >"$1"
    # shellcheck disable=SC2034,SC2016 # for the caller; the inner shell expands $1 and $@
    loopback_mapped=(unshare -m sh -c 'mount --bind "$1" /etc/hosts && shift && exec "$@"' sh "$1")
}
