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
oracle="$root/tests/platform/win/oracle"
tables="$oracle/tables"

cc=x86_64-w64-mingw32-gcc
wine=""
for w in wine64 /usr/lib/wine/wine64 wine; do
    if command -v "$w" >/dev/null 2>&1; then
        wine="$(command -v "$w")"
        break
    fi
done
wineserver="$(dirname "$wine")/wineserver"
[[ -x "$wineserver" ]] || wineserver=wineserver
missing=()
command -v "$cc" >/dev/null 2>&1 || missing+=(gcc-mingw-w64-x86-64)
[[ -n "$wine" ]] || missing+=(wine64)
command -v xvfb-run >/dev/null 2>&1 || missing+=(xvfb)
command -v xauth >/dev/null 2>&1 || missing+=(xauth)
if ((${#missing[@]})); then
    echo "make-gdi-oracle: missing ${missing[*]}" >&2
    echo "install with: apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/gdi-oracle.XXXXXX")"
# The prefix can be removed only once its server has gone.
cleanup() {
    WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1 || true
    WINEPREFIX="$work/prefix" "$wineserver" -w >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

"$cc" -std=c99 -O1 -Wall -Wextra -Werror -o "$work/probe.exe" "$oracle/probe.c" -lgdi32 -luser32 -lmsimg32

mkdir -p "$work/out"
# A private prefix keeps the run independent of the user's Wine setup.
(cd "$work/out" && WINEPREFIX="$work/prefix" WINEDEBUG=-all timeout 600 \
    xvfb-run -a "$wine" "$work/probe.exe") >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    echo "make-gdi-oracle: the probe failed" >&2
    exit 1
}
grep '^probe:' "$work/log" || true

count=$(find "$work/out" -name '*.txt' | wc -l)
if ((count == 0)); then
    echo "make-gdi-oracle: the probe wrote no tables" >&2
    exit 1
fi
rm -rf "$tables"
mkdir -p "$tables"
cp "$work/out"/*.txt "$tables/"
echo "make-gdi-oracle: $count tables in ${tables#"$root"/}"
