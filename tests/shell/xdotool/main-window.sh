# Sourced by the xdotool scripts: start_main_window EXE [ARGS...] runs the program with its settings in
# "$dir/config", waits for its main window and focuses it; sets pid and win. other_window prints another
# visible window of the program (a dialog), waiting for one up to 5 s; empty when none came.
start_main_window() {
    XDG_CONFIG_HOME="$dir/config" "$@" &
    pid=$!
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "no main window"; exit 1; }
    sleep 0.5
    xdotool windowfocus --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
}
other_window() {
    found=""
    for _ in $(seq 50); do
        for w in $(xdotool search --onlyvisible --pid "$pid" 2>/dev/null); do [ "$w" != "$win" ] && found=$w; done
        [ -n "$found" ] && break
        sleep 0.1
    done
    echo "$found"
}
