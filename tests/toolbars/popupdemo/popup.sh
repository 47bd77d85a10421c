#!/bin/sh
# Drives the popup demo with real X input: a right click opens the menu, hovering More opens its
# submenu after the delay and a click on Inner runs it once; Down, Down, Return runs Second; a click
# outside the menu closes it and reaches the control below; the focus stays on the form. Run under
# xvfb-run; argument: the demo.
set -eu
demo=$1
out=$(mktemp)
trap 'rm -f "$out"; kill "$pid" 2>/dev/null || true' EXIT
"$demo" >"$out" &
pid=$!
for _ in $(seq 50); do xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break; sleep 0.1; done
sleep 0.3
wait_count() {  # until $2 lines match $1
    for _ in $(seq 80); do [ "$(grep -c "^$1" "$out")" -ge "$2" ] && return 0; sleep 0.1; done
    echo "no \"$1\" (#$2) reported; so far:"; cat "$out"; exit 1
}
at() { grep "^item $1 " "$out" | tail -1 | cut -d' ' -f3-4; }
# Without a window manager the keyboard follows the pointer: the menus open over the form.
xdotool mousemove 80 80 sleep 0.2 click 3
wait_count "item More" 1
xdotool mousemove $(at More) sleep 0.1
wait_count "item Inner" 1          # the submenu opened on its own after the delay
xdotool mousemove $(at Inner) sleep 0.2 click 1
wait_count closed 1
xdotool mousemove 80 80 sleep 0.2 click 3
wait_count "item More" 2
xdotool key Down sleep 0.1 key Down sleep 0.1 key Return
wait_count closed 2
xdotool mousemove 80 80 sleep 0.2 click 3
wait_count "item More" 3
xdotool mousemove 300 250 sleep 0.2 click 1
wait_count closed 3
wait "$pid" || true
cat "$out"
# Each command runs once, after its menu has closed; the outside press reaches the control after.
[ "$(grep -v '^item ' "$out")" = "closed
click Inner
closed
click Second
closed
press below
focus on the form" ] || { echo "unexpected sequence"; exit 1; }
