#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tunewright need.
# Asks dpkg first, so a second run on a ready machine spends no time in apt.
set -euo pipefail

packages=(
    # toolchain and build
    build-essential cmake ninja-build ccache pkg-config lld
    # libraries
    qt6-base-dev libqt6gui6 libqt6widgets6 qt6-qpa-plugins
    zlib1g-dev libisal-dev libpng-dev libjpeg62-turbo-dev libcurl4-openssl-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev
    # a real X server for the screenshot tests (ctest *_xvfb_*), real input through xdotool, and localedef
    # for the locale-dependent number tests
    xvfb xauth xdotool locales
    trayer x11-utils  # an XEmbed tray and xwininfo for the tray check (ctest shell_xvfb_tray)
    python3-mutagen  # reads the converted files' tags in the whole-program run (ctest shell_xdotool_acceptance)
    # the sanitizer tree (suites and libFuzzer targets): clang and its runtime libraries
    clang libclang-rt-dev
    # tools the program drives, and fonts it draws with
    ffmpeg libmediainfo0v5 mediainfo fonts-dejavu-core
    # the icon font the style hooks draw glyphs with (filed as the "glyphfont" resource)
    fonts-fork-awesome
    # the chapter rows' picture and the program's icon, wrapped as icon files at build time
    tango-icon-theme
    # Wine's fonts: the stand-in reads the "Marlett" menu and caption glyphs from its marlett.ttf alone
    fonts-wine
    # peers the tests compare against
    python3 python3-mutagen id3v2 eyed3 lame pngcheck libtag1-dev libicu-dev libimage-exiftool-perl
    # Ogg peers: oggenc, vorbiscomment, ogginfo, opusenc, opusinfo, flac --ogg
    vorbis-tools opus-tools flac
    # MP4, WavPack and Musepack peers: AtomicParsley, wavpack/wvunpack, mpcenc/mpcdec
    atomicparsley wavpack musepack-tools
    # desktop peers: shortcut validation, XDG user folders, the MIME database, a test certificate, zone data
    desktop-file-utils xdg-user-dirs shared-mime-info openssl tzdata
    # instruction decoder peers (tests/styling)
    libcapstone-dev libzydis-dev
    # executable headers: pefile reads what the cross compilers (mingw-w64, when present) build; file names the kind;
    # the cross binutils link the executables the header fuzzer starts from
    python3-pefile file binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
)

# The oracle scripts (scripts/make-*-oracle.sh) build probe programs with mingw-w64 and run them under
# Wine; only `scripts/bootstrap.sh --oracles` installs those, since the tests read committed tables.
if [[ ${1:-} == --oracles ]]; then
    packages+=(wine64 gcc-mingw-w64-x86-64)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    echo "bootstrap: installing ${missing[*]}"
    sudo=""
    [[ $(id -u) -eq 0 ]] || sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
