#!/usr/bin/env bash
# Regenerates the pixel tables in tests/components/oracle/tables: builds the probe
# (tests/components/oracle/probe.c: the gradient bands and frames drawn with the platform's own
# FillRect, Ellipse, LineTo and MulDiv) with the mingw-w64 cross compiler and runs it under Wine on a
# virtual display. Only needed when the cases change; the tables are committed and the tests do not
# need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
make_probe_tables make-components-oracle "$root/tests/components/oracle" -lgdi32 -luser32 -lm
