#!/bin/sh
# Runs a command with the scripted HTTP server beside it: the server's port is handed over in
# TARVINEL_TEST_SERVER, and the server ends with the command, whose exit code this returns.
here=$(dirname "$0")
# Debian's interpreter when there is one: a version manager's shim in PATH can take seconds to start.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
dir=$(mktemp -d) || exit 1
"$python" "$here/scripted_server.py" "$dir/port" &
server=$!
tries=0
while [ ! -s "$dir/port" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "with_server.sh: the scripted server did not start" >&2
    kill "$server" 2>/dev/null
    rm -rf "$dir"
    exit 1
  fi
  sleep 0.05
done
TARVINEL_TEST_SERVER=$(cat "$dir/port")
export TARVINEL_TEST_SERVER
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit "$status"
