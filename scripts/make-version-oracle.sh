#!/usr/bin/env bash
# Regenerates tests/base/oracle/tables/version-texts.txt: the names a real implementation of the
# platform, Wine, gives for the languages and code pages of the version-resource tests
# (tests/base/oracle/probe.c, built with the mingw-w64 cross compiler). Only needed when the cases
# change; the table is committed and the tests do not need Wine.
#
# Needs (not part of bootstrap, CI does not use them):
#   apt-get install -y --no-install-recommends wine64 gcc-mingw-w64-x86-64 xvfb xauth
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/lib/wine-probe.sh"
make_probe_tables make-version-oracle "$root/tests/base/oracle" -lversion
