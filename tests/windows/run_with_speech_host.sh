#!/usr/bin/env bash
# Runs a Windows program under wine64 with the speech service's host name mapped, for it and what it
# starts alone, to a loopback address picked at random, where a speech service listens on port 80.
#   run_with_speech_host.sh HOST WORKDIR [SERVICE COMMAND...] -- PROGRAM.exe [arguments...]
# The service command gets the address in place of "{address}" and prints a line once it listens;
# its output and errors go to WORKDIR. Without one, nothing listens at the address. Needs root.
set -uo pipefail
host=$1 workdir=$2
shift 2
service=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do service+=("$1"); shift; done
[ $# -gt 1 ] || { echo "usage: run_with_speech_host.sh HOST WORKDIR [SERVICE...] -- PROGRAM [ARGS...]" >&2; exit 2; }
shift
# shellcheck source=scripts/lib/loopback.sh
source "$(dirname "$0")/../../scripts/lib/loopback.sh" || exit 1
mkdir -p "$workdir"
trap loopback_stop EXIT

if [ ${#service[@]} -gt 0 ]; then
    if ! loopback_serve random "$workdir/service.out" "$workdir/service.log" "${service[@]}"; then
        tail -n 5 "$workdir/service.log" >&2
        exit 1
    fi
else
    loopback_address=$(loopback_random_address)
fi
loopback_map "$workdir/hosts" "$host"
"${loopback_mapped[@]}" /usr/lib/wine/wine64 "$@"
