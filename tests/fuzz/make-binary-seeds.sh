#!/usr/bin/env bash
# Seeds of the fuzz targets that read binary formats other than media: real machine code cut from the
# system's own libraries (DecoderFuzz), Windows executables and DLLs linked by the mingw-w64 binutils
# with a version resource from windres (PeFuzz), their version blocks as pefile finds them
# (VersionBlockFuzz), and skin containers around payloads compressed by Python's zlib, plain and
# scrambled (ContainerFuzz). Nothing here is committed; scripts/fuzz.sh runs this after make-seeds.sh.
#     tests/fuzz/make-binary-seeds.sh <out-dir>      -> <out-dir>/<Target>/<seed>
set -euo pipefail
if (($# != 1)); then
    echo "usage: $0 <out-dir>" >&2
    exit 2
fi
out=$(mkdir -p "$1" && cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
py=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
for t in ContainerFuzz DecoderFuzz PeFuzz VersionBlockFuzz; do mkdir -p "$out/$t"; done

# --- DecoderFuzz: 2 KiB windows of real .text, behind the byte that picks 64-bit code, the hook
# decode and a run address.
n=0
for lib in /lib/x86_64-linux-gnu/libc.so.6 /lib/x86_64-linux-gnu/libstdc++.so.6 \
    /lib/x86_64-linux-gnu/libQt6Widgets.so.6 /lib/x86_64-linux-gnu/libz.so.1; do
    [[ -f $lib ]] || continue
    objcopy -O binary --only-section=.text "$lib" text.bin 2>/dev/null || continue
    size=$(stat -c %s text.bin)
    for part in 1 3 5 7; do
        for mode in 1 9 13; do
            n=$((n + 1))
            { printf %b "\\x$(printf %02x "$mode")"; dd if=text.bin iflag=skip_bytes,count_bytes skip=$((size * part / 8)) count=2048 status=none; } \
                >"$out/DecoderFuzz/text-$n"
        done
    done
done

# --- PeFuzz and VersionBlockFuzz: a 32- and a 64-bit program and DLL with the version resource of the
# executable-header tests. The binutils are in scripts/bootstrap.sh; without them these seeds are left out.
cat >entry.s <<'EOF'
    .text
    .globl _start, start, __start, twice, _twice
_start:
start:
__start:
twice:
_twice:
    xor %eax, %eax
    ret
    .data
    .long 0x12345678
EOF
for triplet in x86_64-w64-mingw32 i686-w64-mingw32; do
    command -v "$triplet-ld" >/dev/null || continue
    "$triplet-as" entry.s -o "$triplet.o"
    # The host's preprocessor: the cross compilers that windres would call are not installed.
    "$triplet-windres" --preprocessor=cpp --preprocessor-arg=-xc "$root/tests/base/pe/ver.rc" -O coff -o "$triplet.res.o"
    "$triplet-ld" -e start "$triplet.o" "$triplet.res.o" -o "$out/PeFuzz/$triplet.exe"
    "$triplet-ld" -shared -e start --export-all-symbols "$triplet.o" "$triplet.res.o" -o "$out/PeFuzz/$triplet.dll"
    "$triplet-ld" -e start "$triplet.o" -o "$out/PeFuzz/$triplet-nores.exe"
done
if compgen -G "$out/PeFuzz/*.exe" >/dev/null; then
    "$py" - "$out/PeFuzz" "$out/VersionBlockFuzz" <<'EOF'
import os, sys
import pefile
src, dst = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(src)):
    pe = pefile.PE(os.path.join(src, name))
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        continue
    for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if kind.id != pefile.RESOURCE_TYPE["RT_VERSION"]:
            continue
        for entry in kind.directory.entries:
            for lang in entry.directory.entries:
                block = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                with open(os.path.join(dst, name + ".ver"), "wb") as f:
                    f.write(block)
                # The block cut in half with its length word saying so, as a truncated resource reads.
                half = len(block) // 2
                with open(os.path.join(dst, name + ".cut"), "wb") as f:
                    f.write(bytes([half & 0xFF, half >> 8]) + block[2:half])
EOF
fi
# A Linux program: the reader must reject it quietly.
cp /bin/true "$out/PeFuzz/elf"

# --- ContainerFuzz: the skin container's header, name and a zlib payload, plain and scrambled in both modes.
"$py" - "$out/ContainerFuzz" <<'EOF'
import os, struct, sys, zlib
dst = sys.argv[1]
key = bytes([0x11, 0x2F, 0x05, 0x9A, 0x33, 0xC4])
text = b"".join(b"line %d of the skin script\r\n" % i for i in range(400))

def container(payload, flag, name=b"SKMN", extra=b""):
    head = struct.pack("<4s5s8sqqBdHHB", b"KWSZ", bytes([1, 2, 8, 0, 2]), bytes(8), 12100, len(payload), 1,
                       44238.0, len(name), len(extra), flag)
    return head + name + extra + payload

def scramble(plain, mode):
    head = bytearray(b"\x55" * 52)
    head[4] = mode
    for k, off in enumerate((13, 17, 21, 25, 29, 33)):
        head[off] = key[k]
    body = bytearray(plain)
    for i, b in enumerate(body):
        p = i % 32768
        if mode == 2 and p > 0:
            if p % 11 == 0: b = (b + key[5] + key[4]) & 0xFF
            if p % 7 == 0: b = (b + key[4]) & 0xFF
            if p % 4 == 0: b = (b + key[3] + key[2]) & 0xFF
            if p % 3 == 0: b = (b - key[4] + key[2]) & 0xFF
        if mode != 0: b = (b + (key[0] if p & 1 else key[1]) + p) & 0xFF
        body[i] = b
    return bytes(head) + bytes(body)

z = zlib.compress(text, 9)
seeds = {
    "plain": container(z, 0),
    "raw-deflate": container(zlib.compress(text, 1)[2:-4], 0),
    "with-field": container(z, 0, b"SKIN NAME", b"\x01\x02\x03"),
    "empty-payload": container(zlib.compress(b""), 0),
    "scrambled-0": container(scramble(z, 0), 1),
    "scrambled-1": container(scramble(z, 1), 2),
    "scrambled-2": container(scramble(z, 2), 2),
    "descramble-only": scramble(z, 2),
}
for name, data in seeds.items():
    with open(os.path.join(dst, name), "wb") as f:
        f.write(data)
EOF
echo "binary seeds: $(find "$out/ContainerFuzz" "$out/DecoderFuzz" "$out/PeFuzz" "$out/VersionBlockFuzz" -type f | wc -l) files in $out"
