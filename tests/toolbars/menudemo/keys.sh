#!/bin/sh
# Drives the menu demo with real X input: Alt+E opens Edit, Left moves to File (the screen is compared
# with the expected picture while it is open), Return runs Convert; Alt, F, Return runs it again; and
# a click on the toolbar's Run button runs it. Run under xvfb-run; arguments: the demo and the expected picture.
set -eu
demo=$1
out=$(mktemp)
trap 'rm -f "$out"; kill "$pid" 2>/dev/null || true' EXIT
"$demo" "$2" >"$out" &
pid=$!
for _ in $(seq 50); do xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.3
wait_lines() {
    for _ in $(seq 80); do [ "$(wc -l <"$out")" -ge "$1" ] && return 0; sleep 0.1; done
    echo "no change reported; so far:"; cat "$out"; exit 1
}
# Without a window manager the keyboard follows the pointer: keep it over the form's empty part.
xdotool mousemove 300 200 sleep 0.2
xdotool key alt+e
wait_lines 1
xdotool key Left
wait_lines 3                # the File popup, then the screen comparison
xdotool key Return
wait_lines 4
# Alt pressed and released alone selects File; F opens it, Return runs its first item, Convert.
xdotool key alt sleep 0.2 key f
wait_lines 6                # the File popup again, and its screen comparison
xdotool key Return
wait_lines 7
# The toolbar's row lies below the menu bar's; Run is its first button.
xdotool mousemove 60 72 sleep 0.2 click 1
wait_lines 8
wait "$pid" || true
cat "$out"
expected="popup Edit
popup File
screen matches
click Convert
popup File
screen matches
click Convert
click Run"
[ "$(cat "$out")" = "$expected" ] || { echo "unexpected sequence"; exit 1; }
