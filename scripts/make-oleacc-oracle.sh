#!/usr/bin/env bash
# Regenerates tests/platform/oleacc/oracle/tables/standard-objects.txt: what Wine's accessibility
# library answers for the standard objects of a window and its buttons (tests/platform/oleacc/oracle/
# probe.c, built with the mingw-w64 cross compiler). Only needed when the cases change; the table is
# committed and the tests do not need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
make_probe_tables make-oleacc-oracle "$root/tests/platform/oleacc/oracle" -loleacc -lole32 -loleaut32 -luuid
