#!/usr/bin/env bash
# Regenerates the GDI reference tables in tests/platform/win/oracle/tables: builds the probe
# (tests/platform/win/oracle/probe.c, which draws the cases of cases.h) with the mingw-w64 cross
# compiler and runs it on a real implementation of the platform, Wine, under a virtual display.
# Only needed when cases change; the tables are committed and the tests do not need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
make_probe_tables make-gdi-oracle "$root/tests/platform/win/oracle" -lgdi32 -luser32 -lmsimg32
