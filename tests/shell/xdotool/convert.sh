#!/bin/sh
# Drives the main window with real X input: a file given on the command line is listed, Ctrl+O opens
# the add-files dialog, a typed path and Enter add a second file, Ctrl+E converts both next to their
# inputs; the outputs are checked with ffprobe. Run under xvfb-run.
set -eu
exe=$1
dir=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$dir"' EXIT
ffmpeg -v error -f lavfi -i sine=frequency=440:duration=1 -c:a libopus "$dir/first.webm"
ffmpeg -v error -f lavfi -i sine=frequency=660:duration=1 -c:a libopus "$dir/second.webm"
. "$(dirname "$0")/main-window.sh"
# Its settings stay in the test's folder.
start_main_window "$exe" "$dir/first.webm"
xdotool key ctrl+o
dialog=$(other_window)
[ -n "$dialog" ] || { echo "Ctrl+O opened no dialog"; exit 1; }
sleep 0.3
xdotool windowfocus "$dialog" 2>/dev/null || true
# The folder's list has the focus first; Tab goes on to the file name.
xdotool key Tab
xdotool type --delay 5 "$dir/second.webm"
xdotool key Return
sleep 0.5
xdotool windowfocus "$win" 2>/dev/null || true
xdotool key ctrl+e
for _ in $(seq 300); do
    [ -s "$dir/first.mp3" ] && [ -s "$dir/second.mp3" ] && break
    sleep 0.1
done
for f in first second; do
    [ -s "$dir/$f.mp3" ] || { echo "no $f.mp3:"; ls "$dir"; exit 1; }
    codec=$(ffprobe -v error -select_streams a:0 -show_entries stream=codec_name -of csv=p=0 "$dir/$f.mp3")
    [ "$codec" = mp3 ] || { echo "$f.mp3 holds $codec"; exit 1; }
done
echo "converted both by Ctrl+O and Ctrl+E"
