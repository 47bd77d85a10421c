#!/usr/bin/env bash
# Regenerates the classic looks of the standard controls in tests/platform/user32/looks/tables: builds the
# probe (tests/platform/user32/looks/probe.c, which prints the controls of cases.h) with the mingw-w64
# cross compiler and runs it on a real implementation of the platform, Wine, under a virtual display.
# Only needed when the cases change; the tables are committed and the tests do not need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
# The tables are of the classic look: the common controls (the up-down) draw through the visual styles
# whenever the prefix has a theme on, so the prefix gets none.
probe_prefix_setup() {
    "$1" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f >/dev/null 2>&1 || true
}
make_probe_tables make-controls-looks-oracle "$root/tests/platform/user32/looks" -luser32 -lgdi32
