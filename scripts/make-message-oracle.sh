#!/usr/bin/env bash
# Regenerates the expected message traces of tests/platform/user32/OracleTraceTest.cpp: builds the probe
# (tests/platform/user32/oracle/probe.c + scenarios.h) with mingw-w64 and runs each scenario under Wine in
# a fresh process, on a virtual X display, with a throw-away Wine prefix. The traces are committed, so
# neither the tests nor CI need Wine; run this again after changing the scenarios, and review the diff.
# Needs (not part of bootstrap.sh): apt-get install --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/tests/platform/user32/oracle
out=${1:-$src/traces}
# Further arguments name the scenarios to record again (all of them by default).
shift || true
only="$*"

need() { command -v "$1" >/dev/null || { echo "make-message-oracle: $1 not found ($2)" >&2; exit 1; }; }
need x86_64-w64-mingw32-gcc gcc-mingw-w64-x86-64
need xvfb-run "xvfb and xauth"
wine=$(command -v wine64 || command -v wine || true)
[[ -z $wine && -x /usr/lib/wine/wine64 ]] && wine=/usr/lib/wine/wine64
[[ -n $wine ]] || { echo "make-message-oracle: wine64 not found" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/message-oracle.XXXXXX")
trap 'WINEPREFIX=$work/prefix "$(dirname "$wine")/wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT

x86_64-w64-mingw32-gcc -std=gnu11 -O1 -Wall -Wextra -Werror -o "$work/probe.exe" "$src/probe.c" -luser32 -lgdi32

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$out"
# One Wine process per scenario, so each starts as a fresh program does (no active window, no focus).
# The probe writes into its working folder, which Wine sees through its Z: drive.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    set -euo pipefail
    cd "$1"
    "$2" wineboot -i >/dev/null 2>&1 || true
    # Wine draws the caption and frame itself (as Windows does), not the X window manager.
    "$2" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null 2>&1 || true
    for name in ${4:-$("$2" ./probe.exe --list | tr -d "\r")}; do
        timeout 60 "$2" ./probe.exe "$name" "$name.txt" >/dev/null 2>&1 || echo "make-message-oracle: $name failed or hung" >&2
        [[ -s $name.txt ]] || { echo "make-message-oracle: $name wrote nothing" >&2; exit 1; }
        mv -f "$name.txt" "$3/$name.txt"
    done
    "$(dirname "$2")/wineserver" -w || true
' make-message-oracle "$work" "$wine" "$out" "$only"
echo "make-message-oracle: traces in $out"
