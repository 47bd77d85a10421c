#!/bin/sh
# Drives the bar demo with real X input: the floating toolbar is compared with its expected picture;
# a click on the docked toolbar's chevron opens its popup (compared too), a click there runs a hidden
# button; the floating toolbar's right edge is dragged to the left and its new width must be one of
# the widths it listed. Run under xvfb-run; arguments: the demo and the folder of expected pictures.
set -eu
demo=$1
out=$(mktemp)
trap 'rm -f "$out"; kill "$pid" 2>/dev/null || true' EXIT
"$demo" "$2" >"$out" &
pid=$!
wait_for() {  # a line starting with $1
    for _ in $(seq 80); do grep -q "^$1" "$out" && return 0; sleep 0.1; done
    echo "no \"$1\" reported; so far:"; cat "$out"; exit 1
}
field() { grep "^$1 " "$out" | tail -1 | cut -d' ' -f"$2"; }
wait_for chevron
xdotool mousemove $(field chevron 2) $(field chevron 3) sleep 0.2 click 1
wait_for hidden
xdotool mousemove $(field hidden 2) $(field hidden 3) sleep 0.3 click 1
wait_for "click "
# The frame's right edge, half-way down; dragged 25 pixels to the left in steps.
x=$(( $(field frame 2) + $(field frame 4) - 2 )); y=$(( $(field frame 3) + $(field frame 5) / 2 ))
xdotool mousemove "$x" "$y" sleep 0.2 mousedown 1 sleep 0.1
for step in 5 10 15 20 25; do xdotool mousemove $(( x - step )) "$y" sleep 0.05; done
xdotool sleep 0.1 mouseup 1
for _ in $(seq 50); do [ "$(grep -c '^floating width' "$out")" -ge 2 ] && break; sleep 0.1; done
wait "$pid" || true
cat "$out"
grep -qx "floating-toolbar matches" "$out" || { echo "the floating toolbar differs"; exit 1; }
grep -qx "toolbar-chevron matches" "$out" || { echo "the chevron popup differs"; exit 1; }
[ "$(grep '^click ' "$out")" = "click Analyse" ] || { echo "the hidden button did not run once"; exit 1; }
first=$(grep '^floating width' "$out" | sed -n 1p | cut -d' ' -f3)
sized=$(grep '^floating width' "$out" | sed -n 2p | cut -d' ' -f3)
[ -n "$sized" ] && [ "$sized" != "$first" ] || { echo "the floating toolbar kept its width"; exit 1; }
case " $(field sizes 2-) " in *" $sized "*) ;; *) echo "width $sized is not a listed width"; exit 1 ;; esac
