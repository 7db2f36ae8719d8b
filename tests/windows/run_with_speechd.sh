#!/usr/bin/env bash
# Runs a Windows test program with the speech service's built-in host mapped, for it alone, to a
# loopback address picked at random (a mount namespace with a hosts file of its own; needs root).
# With a service binary, tarvinel-speechd listens there on port 80; with "none", nothing does.
#   run_with_speechd.sh SPEECHD|none HOST WORKDIR PROGRAM.exe [arguments...]
set -uo pipefail
speechd=$1 host=$2 workdir=$3
shift 3
wine=/usr/lib/wine/wine64
mkdir -p "$workdir/audio"
hosts="$workdir/hosts"

service_pid=
cleanup() { [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null; }
trap cleanup EXIT

address="127.$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2))"
if [ "$speechd" != none ]; then
    [ -x "$speechd" ] || { echo "no speech service at $speechd (build the native tree first)" >&2; exit 1; }
    for attempt in 1 2 3 4 5; do
        coproc SERVICE { exec "$speechd" --listen "$address" --port 80 --audio-dir "$workdir/audio" 2>>"$workdir/speechd.log"; }
        service_pid=$SERVICE_PID
        if read -r -t 20 line <&"${SERVICE[0]}" && [[ "$line" == *listening* ]]; then break; fi
        echo "speech service did not start on $address: ${line:-nothing}" >&2
        cleanup
        service_pid=
        address="127.$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2))"
    done
    [ -n "$service_pid" ] || exit 1
fi

printf '127.0.0.1 localhost\n%s %s\n' "$address" "$host" >"$hosts"
unshare -m sh -c 'mount --bind "$1" /etc/hosts && shift && exec "$@"' sh "$hosts" "$wine" "$@"
