#!/usr/bin/python3
# Seeds for tests/fuzz/make-seeds.sh that no tool makes: tags written by mutagen and the odd cases
# (ID3v2.2 picture, compressed and unsynchronised frames, zero or absurd sample rates, DSF and DSDIFF
# files), RLE and bit-field BMPs, INI files in each encoding with compressed lists, and profiles.
#     make-seeds.py tags <work-dir>     (reads short.mp3/short.wav/short.aiff/cover.* there)
#     make-seeds.py images <out-dir>
#     make-seeds.py ini <ini-out-dir> <profile-out-dir>
import os
import struct
import sys
import zlib


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def unsync(data):
    out = bytearray()
    for i, b in enumerate(data):
        out.append(b)
        if b == 0xFF and (i + 1 == len(data) or data[i + 1] == 0 or data[i + 1] >= 0xE0):
            out.append(0)
    return bytes(out)


def v22_tag(cover):
    def frame(fid, body):
        return fid + struct.pack(">I", len(body))[1:] + body
    body = (frame(b"TT2", b"\x00Title two-two") + frame(b"TP1", b"\x01\xff\xfeA\x00r\x00t\x00")
            + frame(b"COM", b"\x00eng\x00comment") + frame(b"PIC", b"\x00PNG\x03desc\x00" + cover))
    return b"ID3\x02\x00\x00" + syncsafe(len(body)) + body


def v23_tag(frames, flags=0):
    body = b"".join(frames)
    if flags & 0x80:
        body = unsync(body)
    return b"ID3\x03\x00" + bytes([flags]) + syncsafe(len(body)) + body


def v23_frame(fid, body, flags=0):
    if flags & 0x0080:  # compressed: the decompressed size, then the zlib stream
        body = struct.pack(">I", len(body)) + zlib.compress(body)
    return fid + struct.pack(">IH", len(body), flags) + body


def v24_frame(fid, body, flags=0):
    if flags & 0x0008:
        body = zlib.compress(body)
    if flags & 0x0002:
        body = unsync(body)
    if flags & 0x0001:
        body = syncsafe(len(body)) + body
    return fid + syncsafe(len(body)) + struct.pack(">H", flags) + body


def v24_tag(frames):
    body = b"".join(frames)
    return b"ID3\x04\x00\x00" + syncsafe(len(body)) + body


def read(name):
    with open(name, "rb") as f:
        return f.read()


def write(name, data):
    with open(name, "wb") as f:
        f.write(data)


def ext80(rate):
    # an 80-bit IEEE extended number, as AIFF stores its sample rate
    if rate == 0:
        return b"\x00" * 10
    exp = rate.bit_length() - 1
    return struct.pack(">HQ", 16383 + exp, rate << (63 - exp))


def aiff(rate_bytes, frames=100, ssnd=b"\x00" * 208):
    comm = struct.pack(">hIh", 1, frames, 16) + rate_bytes
    chunks = b"COMM" + struct.pack(">I", len(comm)) + comm + b"SSND" + struct.pack(">I", len(ssnd)) + ssnd
    return b"FORM" + struct.pack(">I", len(chunks) + 4) + b"AIFF" + chunks


def dsf(tag, rate=2822400, samples=2822400):
    fmt = struct.pack("<4sQIIIIIIQI4x", b"fmt ", 52, 1, 0, 2, 2, rate, 1, samples, 4096)
    data = b"data" + struct.pack("<Q", 12 + 8192) + b"\x69" * 8192
    total = 28 + len(fmt) + len(data) + len(tag)
    head = b"DSD " + struct.pack("<QQQ", 28, total, 28 + len(fmt) + len(data) if tag else 0)
    return head + fmt + data + tag


def chunk64(cid, body):
    return cid + struct.pack(">Q", len(body)) + body + (b"\x00" if len(body) & 1 else b"")


def dff(rate, channels, sound, tag=b"", sound_size=None):
    prop = b"SND " + chunk64(b"FS  ", struct.pack(">I", rate)) + chunk64(
        b"CHNL", struct.pack(">H", channels) + b"SLFTSRGT"[: 4 * channels]) + chunk64(b"CMPR", b"DSD \x0eNot compressed\x00")
    dsd = b"DSD " + struct.pack(">Q", len(sound) if sound_size is None else sound_size) + sound
    body = chunk64(b"FVER", b"\x01\x05\x00\x00") + chunk64(b"PROP", prop) + dsd
    if tag:
        body += chunk64(b"ID3 ", tag)
    return b"FRM8" + struct.pack(">Q", len(body) + 4) + b"DSD " + body


def tags(work):
    import mutagen.aiff
    import mutagen.id3 as id3
    import mutagen.wave

    os.chdir(work)
    mp3 = read("short.mp3")
    cover = read("cover.png")
    jpeg = read("cover.jpg")

    def fill(t):
        t.add(id3.TIT2(encoding=3, text=["Grüße aus dem Süden"]))
        t.add(id3.TPE1(encoding=1, text=["Artist one", "Artist two"]))
        t.add(id3.TALB(encoding=0, text=["Album"]))
        t.add(id3.TRCK(encoding=0, text=["3/12"]))
        t.add(id3.TXXX(encoding=3, desc="REPLAYGAIN_TRACK_GAIN", text=["-6.5 dB"]))
        t.add(id3.COMM(encoding=3, lang="eng", desc="", text=["comment"]))
        t.add(id3.USLT(encoding=1, lang="deu", desc="", text="Zeile 1\nZeile 2"))
        t.add(id3.APIC(encoding=3, mime="image/png", type=3, desc="front", data=cover))
        t.add(id3.APIC(encoding=0, mime="image/jpeg", type=4, desc="back", data=jpeg))
        t.add(id3.WXXX(encoding=0, desc="home", url="http://example.org/"))
        t.add(id3.POPM(email="a@b", rating=128, count=3))
        t.add(id3.CHAP(element_id="ch0", start_time=0, end_time=100, sub_frames=[id3.TIT2(text=["one"])]))
        t.add(id3.CTOC(element_id="toc", flags=3, child_element_ids=["ch0"], sub_frames=[]))

    for version in (3, 4):
        name = "mutagen_v2%d.mp3" % version
        write(name, mp3)
        t = id3.ID3()
        fill(t)
        t.save(name, v2_version=version, v1=2)
    for name, cls, src in (("mutagen.wav", mutagen.wave.WAVE, "short.wav"), ("mutagen.aiff", mutagen.aiff.AIFF, "short.aiff")):
        write(name, read(src))
        f = cls(name)
        f.add_tags()
        fill(f.tags)
        f.save()

    write("v22_picture.mp3", v22_tag(cover) + mp3)
    text = b"\x00compressed text frame " * 20
    write("v23_compressed.mp3", v23_tag([v23_frame(b"TIT2", text, 0x0080),
                                         v23_frame(b"APIC", b"\x00image/png\x00\x03\x00" + cover, 0x0080)]) + mp3)
    ff_text = b"\x00\xff\xe0\xff\x00\xff\xff"
    write("v23_unsync.mp3", v23_tag([v23_frame(b"TIT2", ff_text), v23_frame(b"APIC", b"\x00image/jpeg\x00\x03\x00" + jpeg)], 0x80) + mp3)
    write("v24_unsync_frames.mp3", v24_tag([v24_frame(b"TIT2", b"\x03\xc3\xbf\xff\xe0", 0x0003),
                                            v24_frame(b"TPE1", b"\x03" + b"x" * 200, 0x0009),
                                            v24_frame(b"APIC", b"\x00image/jpeg\x00\x03\x00" + jpeg, 0x0003)]) + mp3)
    write("v24_footer.mp3", v24_tag([v24_frame(b"TIT2", b"\x03footer")])[:5] + b"\x10"
          + syncsafe(15) + v24_frame(b"TIT2", b"\x03footer") + b"3DI\x04\x00\x10" + syncsafe(15) + mp3)
    small = v23_tag([v23_frame(b"TIT2", b"\x00dsd title"), v23_frame(b"TPE1", b"\x00dsd artist")])
    write("tagged.dsf", dsf(small))
    write("zero_rate.dsf", dsf(small, rate=0))
    write("tagged.dff", dff(2822400, 2, b"\x69" * 4096, small))
    write("mono.dff", dff(2822400, 1, b"\x69" * 4000, small))
    # a rate of a few Hz and a "DSD " chunk claiming nearly 2^64 bytes
    write("huge_dsd_chunk.dff", dff(3, 2, b"\x69" * 16, sound_size=0xFFFFFFFFFFFFFF00))
    for name, rate in (("zero_rate.aiff", ext80(0)), ("tiny_rate.aiff", b"\x00\x01\x80" + b"\x00" * 7),
                       ("huge_rate.aiff", b"\x7f\xfe\x80" + b"\x00" * 7), ("rate_44100.aiff", ext80(44100))):
        write(name, small + aiff(rate))
        f = bytearray(aiff(rate) + b"ID3 " + struct.pack(">I", len(small)) + small)
        f[4:8] = struct.pack(">I", len(f) - 8)
        write("id3chunk_" + name, bytes(f))


def bmp(width, height, bits, compression, pixels, palette=b"", masks=b"", header=40):
    info = struct.pack("<IiiHHIIiiII", header, width, height, 1, bits, compression, len(pixels), 2835, 2835,
                       len(palette) // 4, 0)
    info += masks + b"\x00" * (header - 40 - len(masks))
    offset = 14 + len(info) + len(palette)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def images(out):
    pal16 = b"".join(struct.pack("<BBBB", i * 16, 255 - i * 16, i * 8, 0) for i in range(16))
    pal256 = b"".join(struct.pack("<BBBB", i, 255 - i, i // 2, 0) for i in range(256))
    # RLE8: runs, an absolute run, a delta, end of line and end of bitmap
    rle8 = bytes([4, 1, 0, 3, 7, 8, 9, 0, 0, 0, 2, 1, 1, 3, 5, 0, 0, 0, 1])
    rle4 = bytes([6, 0x12, 0, 4, 0x34, 0x56, 0, 0, 0, 2, 1, 0, 3, 0xAB, 0, 1])
    fields16 = b"".join(struct.pack("<H", (x * 2048 + x * 32) & 0xFFFF) for x in range(8)) * 4
    fields32 = b"".join(struct.pack("<I", x * 0x01020304) for x in range(16)) * 2
    seeds = {
        "bmp_rle8.bmp": bmp(8, 3, 8, 1, rle8, pal256),
        "bmp_rle4.bmp": bmp(8, 3, 4, 2, rle4, pal16),
        "bmp_fields565.bmp": bmp(8, 4, 16, 3, fields16, masks=struct.pack("<III", 0xF800, 0x07E0, 0x001F)),
        "bmp_fields32_v5.bmp": bmp(8, -4, 32, 3, fields32, masks=struct.pack("<IIII", 0xFF0000, 0xFF00, 0xFF, 0xFF000000), header=124),
        "bmp_topdown4.bmp": bmp(5, -3, 4, 0, b"\x12\x34\x50\x00" * 3, pal16),
    }
    for name, data in seeds.items():
        write(os.path.join(out, name), b"\x02" + data)
        write(os.path.join(out, "picture_" + name), b"\xf0" + data)
    # an icon holding a 1-bit AND mask over a 4-bit image
    xor = b"\x12\x34\x00\x00" * 4
    mask = b"\x50\x00\x00\x00" * 4
    dib = struct.pack("<IiiHHIIiiII", 40, 4, 8, 1, 4, 0, 0, 0, 0, 16, 0) + pal16 + xor + mask
    ico = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 4, 4, 16, 0, 1, 4, len(dib), 22) + dib
    write(os.path.join(out, "ico_4bit.ico"), b"\x03" + ico)


def ini(ini_out, profile_out):
    lines = ["first line", "zweite Zeile ü", '"quoted", with comma', "", "last=line"]
    packed = zlib.compress("".join(l + "\r\n" for l in lines).encode("cp1252"))
    hexed = packed.hex().upper()
    cbuf = "".join("CBUF_%03d=%s\r\n" % (i // 128 + 1, hexed[i:i + 128]) for i in range(0, len(hexed), 128))
    text = ("[Main]\r\nName=Wert mit Umlaut ä\r\nWidth=640\r\nFlag=1\r\n; comment\r\n"
            "[History]\r\n" + "".join("Line_%03d=\"%s\"\r\n" % (i + 1, l) for i, l in enumerate(lines))
            + "[Packed]\r\n" + cbuf + "[Broken]\r\nCBUF_001=78DA0102\r\nCBUF_002=ZZ\r\n[Empty]\r\n")
    for name, data in (("utf8_bom.ini", b"\xef\xbb\xbf" + text.encode("utf-8")),
                       ("utf8.ini", text.encode("utf-8")),
                       ("ansi.ini", text.encode("cp1252")),
                       ("utf16le.ini", b"\xff\xfe" + text.encode("utf-16-le")),
                       ("utf16be.ini", b"\xfe\xff" + text.encode("utf-16-be")),
                       ("lf_only.ini", text.replace("\r\n", "\n").encode("utf-8"))):
        write(os.path.join(ini_out, name), data)
    profiles = {
        "mp3_vbr": {"MAIN": {"AppName": "Tunewright", "AppVer": "1.5", "DisplayName": "MP3 VBR", "Type": "mp3",
                             "SortIndex": "1", "BgColor": "#FFFFFF", "FontColor": "#102030"},
                    "AUDIO": {"OutputFormat": "mp3", "AudioBitrateMode": "2", "LameVbrQuality": "2",
                              "AudioSampling": "48000", "AudioChannels": "2", "Volume": "80"},
                    "ADDITIONAL": {"TimeStart": "0", "TimeEnd": "1", "TimeEndH": "1", "TimeEndM": "59", "TimeEndS": "59",
                                   "TimeEndMs": "999"}},
        "wav": {"MAIN": {"AppName": "Tunewright", "DisplayName": "WAV 24-bit", "Type": "wav", "SortIndex": "-3"},
                "AUDIO": {"OutputFormat": "wav", "WavCodec": "pcm_s24le", "AudioSampling": "96000", "AudioChannels": "6"}},
        "copy": {"MAIN": {"DisplayName": "Copy the stream", "Type": "copy"}, "AUDIO": {"OutputFormat": "copy"}},
    }
    for name, sections in profiles.items():
        body = "".join("[%s]\r\n%s\r\n" % (s, "".join("%s=%s\r\n" % kv for kv in keys.items()))
                       for s, keys in sections.items())
        write(os.path.join(profile_out, name + ".ini"), b"\xef\xbb\xbf" + body.encode("utf-8"))
        write(os.path.join(profile_out, name + "_utf16.ini"), b"\xff\xfe" + body.encode("utf-16-le"))


if __name__ == "__main__":
    {"tags": tags, "images": images, "ini": ini}[sys.argv[1]](*sys.argv[2:])
