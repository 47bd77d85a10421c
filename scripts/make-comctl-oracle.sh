#!/usr/bin/env bash
# Regenerates tests/styling/windows/comctl-oracle/tables: what real common controls (Wine's) answer to
# the queries of the style hooks (headers, list-view scroll units, tabs, rich edits, rebars, status bars, track
# bars, toolbars), built from tests/styling/windows/comctl-oracle/probe.c with the mingw-w64 cross
# compiler. Only needed when the cases change; the tables are committed and the tests, which replay
# them through the control doubles, do not need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
make_probe_tables make-comctl-oracle "$root/tests/styling/windows/comctl-oracle" -lcomctl32 -lgdi32
