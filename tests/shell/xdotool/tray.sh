#!/bin/sh
# Minimise to the tray by real X input with an XEmbed tray (trayer) running: Ctrl+Shift+M either puts
# the icon in the tray, and a click on it brings the window back, or, when the program cannot show an
# icon there, the window is minimised and the program lives on with its window. Never a crash, never a
# hidden window with no icon. Run under xvfb-run.
set -eu
exe=$1
dir=$(mktemp -d)
tray=""
pid=""
trap 'kill $pid $tray 2>/dev/null || true; rm -rf "$dir"' EXIT
trayer --edge top --align right --widthtype pixel --width 64 --heighttype pixel --height 24 &
tray=$!
strip=""
for _ in $(seq 50); do
    strip=$(xdotool search --class trayer 2>/dev/null | head -1) && [ -n "$strip" ] && break
    sleep 0.1
done
[ -n "$strip" ] || { echo "trayer did not start"; exit 1; }
. "$(dirname "$0")/main-window.sh"
start_main_window "$exe"
visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -qx "$win"; }
xdotool key ctrl+shift+m
for _ in $(seq 30); do visible || break; sleep 0.1; done
sleep 0.5
kill -0 "$pid" 2>/dev/null || { echo "the program ended on Ctrl+Shift+M"; exit 1; }
xwininfo -id "$win" >/dev/null 2>&1 || { echo "the main window is gone"; exit 1; }
# An icon embedded in the strip is a child window larger than trayer's own 1x1 placeholder.
icons=$(xwininfo -children -id "$strip" | awk '/^ +0x/ && $0 !~ / 1x1\+/ {n++} END {print n+0}')
if [ "$icons" -gt 0 ]; then
    eval "$(xdotool getwindowgeometry --shell "$strip")"
    xdotool mousemove $((X + 12)) $((Y + 12)) click 1
    for _ in $(seq 30); do visible && break; sleep 0.1; done
    visible || { echo "a click on the icon did not bring the window back"; exit 1; }
    echo "tray: hidden by Ctrl+Shift+M and back by a click on the icon"
else
    xdotool windowmap "$win"
    for _ in $(seq 30); do visible && break; sleep 0.1; done
    visible || { echo "no icon and the window cannot be brought back"; exit 1; }
    echo "no icon in the tray: the window was minimised and came back"
fi
