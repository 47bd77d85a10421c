# scripts/lib/wine-probe.sh: shared by the make-*-oracle.sh scripts that draw with a probe program.
# make_probe_tables <name> <oracle folder> <link options...>: builds <oracle folder>/probe.c with the
# mingw-w64 cross compiler, runs it under Wine on a virtual display in a private prefix, and replaces
# <oracle folder>/tables with the tables it wrote.
make_probe_tables() {
    local name=$1 oracle=$2
    shift 2
    local libs=("$@")
    local tables="$oracle/tables"
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
        echo "$name: missing ${missing[*]}" >&2
        echo "install with: apt-get install -y --no-install-recommends ${missing[*]}" >&2
        exit 1
    fi

    work="$(mktemp -d "${TMPDIR:-/tmp}/$name.XXXXXX")"
    # The prefix can be removed only once its server has gone.
    cleanup() {
        WINEPREFIX="$work/prefix" "$wineserver" -k >/dev/null 2>&1 || true
        WINEPREFIX="$work/prefix" "$wineserver" -w >/dev/null 2>&1 || true
        rm -rf "$work"
    }
    trap cleanup EXIT

    "$cc" -std=c99 -O1 -Wall -Wextra -Werror -o "$work/probe.exe" "$oracle/probe.c" "${libs[@]}"

    mkdir -p "$work/out"
    # A private prefix keeps the run independent of the user's Wine setup. Wine does not find the
    # "Marlett" face of its own font package (fonts-wine) by itself: without it the glyphs of the
    # caption buttons come out as missing-glyph boxes. The prefix is made first and gets that one file.
    WINEPREFIX="$work/prefix" WINEDEBUG=-all timeout 300 xvfb-run -a "$wine" wineboot -i >/dev/null 2>&1 || true
    if [[ -f /usr/share/wine/fonts/marlett.ttf ]]; then
        mkdir -p "$work/prefix/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$work/prefix/drive_c/windows/Fonts/"
    fi
    # A caller may prepare the prefix further: probe_prefix_setup <wine>, run with WINEPREFIX set.
    if declare -F probe_prefix_setup >/dev/null; then
        WINEPREFIX="$work/prefix" WINEDEBUG=-all probe_prefix_setup "$wine"
    fi
    (cd "$work/out" && WINEPREFIX="$work/prefix" WINEDEBUG=-all timeout 600 \
        xvfb-run -a "$wine" "$work/probe.exe") >"$work/log" 2>&1 || {
        cat "$work/log" >&2
        echo "$name: the probe failed" >&2
        exit 1
    }
    grep '^probe:' "$work/log" || true

    count=$(find "$work/out" -name '*.txt' | wc -l)
    if ((count == 0)); then
        echo "$name: the probe wrote no tables" >&2
        exit 1
    fi
    rm -rf "$tables"
    mkdir -p "$tables"
    cp "$work/out"/*.txt "$tables/"
    echo "$name: $count tables in ${tables#"$root"/}"
}
