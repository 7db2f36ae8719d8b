#!/usr/bin/env bash
# Runs a UI driver against the scripted speech service, with the service's built-in host name
# mapped to it for the driver and the Tarvinel it starts alone: a mount namespace of their own sees
# a hosts file of its own. The service listens on port 80 of a loopback address picked at random,
# so that runs side by side, and whatever else listens on 127.0.0.1:80, stay apart.
#   run_with_speech_server.sh HOST LOGDIR DRIVER.exe [driver arguments...]
set -uo pipefail
host=$1 logdir=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)
wine=/usr/lib/wine/wine64
mkdir -p "$logdir"
log="$logdir/speech-service.log"
hosts="$logdir/hosts"

server_pid=
cleanup() { [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null; }
trap cleanup EXIT

for attempt in 1 2 3 4 5; do
    address="127.$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2)).$((RANDOM % 250 + 2))"
    coproc SERVER { exec python3 "$here/slow_speech_server.py" --address "$address" --log "$log" 2>&1; }
    server_pid=$SERVER_PID
    if read -r -t 10 line <&"${SERVER[0]}" && [ "$line" = ready ]; then break; fi
    echo "speech service did not start on $address: ${line:-nothing}" >&2
    cleanup
    server_pid=
done
[ -n "$server_pid" ] || exit 1

printf '127.0.0.1 localhost\n%s %s\n' "$address" "$host" >"$hosts"
unshare -m sh -c 'mount --bind "$1" /etc/hosts && shift && exec "$@"' sh "$hosts" \
    "$wine" "$@" "--server-log=Z:$log"
