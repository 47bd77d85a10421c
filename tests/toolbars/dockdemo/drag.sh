#!/bin/sh
# Drives the dock demo with real X input: its second bar is dragged by its handle into a new row, out
# of the dock to float, and back by a double click on its frame's caption. Run under xvfb-run.
set -eu
demo=$1
out=$(mktemp)
trap 'rm -f "$out"; kill "$pid" 2>/dev/null || true' EXIT
"$demo" >"$out" &
pid=$!
# The form sits at (40, 40); the dock's row is 24 pixels; the second bar's handle is 104 pixels in.
for _ in $(seq 50); do xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.3
drag() {  # x1 y1 x2 y2
    xdotool mousemove "$1" "$2" sleep 0.1 mousedown 1 sleep 0.1
    for step in 1 2 3 4 5 6; do
        xdotool mousemove $(( $1 + ($3 - $1) * step / 6 )) $(( $2 + ($4 - $2) * step / 6 )) sleep 0.05
    done
    xdotool sleep 0.1 mouseup 1 sleep 0.3
}
wait_lines() {
    for _ in $(seq 50); do [ "$(wc -l <"$out")" -ge "$1" ] && return 0; sleep 0.1; done
    echo "no change reported; so far:"; cat "$out"; exit 1
}
drag 144 52 150 77          # into a new row below
wait_lines 1
drag 150 77 400 400         # out of the dock
wait_lines 2
# The frame is the program's other window; its caption runs along its top, below a 4-pixel border.
frame=""
for w in $(xdotool search --onlyvisible --pid "$pid"); do
    case "$(xdotool getwindowgeometry "$w" | sed -n 2p)" in *"40,40 "*) ;; *) frame=$w ;; esac
done
[ -n "$frame" ] || { echo "no floating frame"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$frame")"
xdotool mousemove $(( X + WIDTH / 3 )) $(( Y + 12 )) sleep 0.2 click --repeat 2 --delay 80 1
wait_lines 3
wait "$pid" || true
cat "$out"
[ "$(sed -n 1p "$out")" = "docked row 1" ] || { echo "not docked in a new row"; exit 1; }
case "$(sed -n 2p "$out")" in "floating caption "*) ;; *) echo "not floating"; exit 1 ;; esac
[ "$(sed -n 3p "$out")" = "docked row 1" ] || { echo "not back in its row"; exit 1; }
