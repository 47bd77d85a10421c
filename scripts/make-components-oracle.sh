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
oracle="$root/tests/components/oracle"
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
    echo "make-components-oracle: missing ${missing[*]}" >&2
    echo "install with: apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/components-oracle.XXXXXX")"
cleanup() {
    WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1 || true
    WINEPREFIX="$work/prefix" "$wineserver" -w >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

"$cc" -std=c99 -O1 -Wall -Wextra -Werror -o "$work/probe.exe" "$oracle/probe.c" -lgdi32 -luser32 -lm

mkdir -p "$work/out"
(cd "$work/out" && WINEPREFIX="$work/prefix" WINEDEBUG=-all timeout 600 \
    xvfb-run -a "$wine" "$work/probe.exe") >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    echo "make-components-oracle: the probe failed" >&2
    exit 1
}
grep '^probe:' "$work/log" || true

count=$(find "$work/out" -name '*.txt' | wc -l)
if ((count == 0)); then
    echo "make-components-oracle: the probe wrote no tables" >&2
    exit 1
fi
rm -rf "$tables"
mkdir -p "$tables"
cp "$work/out"/*.txt "$tables/"
echo "make-components-oracle: $count tables in ${tables#"$root"/}"
