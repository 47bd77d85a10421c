#!/usr/bin/env bash
# Runs a command under an X server of its own: xvfb-run's arguments (-a, -s "server arguments"), but the
# server picks a free display itself (-displayfd), so that window suites started side by side never
# race for one display number, as xvfb-run -a does under load. Exits with the command's status.
set -uo pipefail
server_args="-screen 0 1280x1024x24"
while [ $# -gt 0 ]; do
    case "$1" in
        -a) shift ;;
        -s) server_args="$2"; shift 2 ;;
        --) shift; break ;;
        *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "usage: xvfb-run.sh [-a] [-s server-arguments] command..." >&2; exit 2; }
dir=$(mktemp -d)
server=0
finish() {
    [ "$server" -gt 0 ] && kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
    rm -rf "$dir"
}
trap finish EXIT
# shellcheck disable=SC2086 # the server's arguments are words
Xvfb -displayfd 3 -nolisten tcp $server_args 3>"$dir/display" 2>"$dir/log" &
server=$!
# The server writes its display number once it accepts connections.
for _ in $(seq 1 600); do
    [ -s "$dir/display" ] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 0.05
done
number=$(tr -dc 0-9 <"$dir/display")
if [ -z "$number" ]; then
    echo "xvfb-run.sh: the X server did not start:" >&2
    cat "$dir/log" >&2
    exit 1
fi
DISPLAY=":$number" "$@"
