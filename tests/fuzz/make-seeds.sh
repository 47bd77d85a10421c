#!/usr/bin/env bash
# Makes the seed corpus of every fuzz target from real peers: media files made by ffmpeg and what
# ffprobe and ffmpeg say of them, tagged audio files from mutagen, eyeD3 and id3v2, images from ffmpeg,
# INI files and profiles in each encoding. Nothing here is committed: scripts/fuzz.sh runs this into its
# build folder. Every tool comes from scripts/bootstrap.sh.
#     tests/fuzz/make-seeds.sh <out-dir>      -> <out-dir>/<Target>/<seed>
# The inputs of TagsFuzz, TagsSaveFuzz and ImageFuzz start with a byte that picks the container head or
# the reader; ProcessLineFuzz with a repeat byte and a count of read sizes.
set -euo pipefail
if (($# != 1)); then
    echo "usage: $0 <out-dir>" >&2
    exit 2
fi
out=$(mkdir -p "$1" && cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ff() { ffmpeg -hide_banner -nostdin -loglevel error -y "$@"; }
for t in AnalysisFuzz ImageFuzz IniFuzz ProcessLineFuzz ProfileFuzz TagsFrontFuzz TagsFuzz TagsSaveFuzz TextFuzz; do
    mkdir -p "$out/$t"
done

# --- media: chapters, tags, several streams, in the containers the program reads
cat >chapters.txt <<'EOF'
;FFMETADATA1
title=Seed ünïcode = "quoted"
artist=Somebody;with\;escapes
comment=two\
lines
[CHAPTER]
TIMEBASE=1/1000
START=0
END=400
title=First [part]
[CHAPTER]
TIMEBASE=1/1000
START=400
END=1000
title=Zweite=Hälfte
EOF
tone="sine=frequency=440:duration=1"
ff -f lavfi -i "$tone" -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" -i chapters.txt \
    -map 0 -map 1 -map_metadata 2 -map_chapters 2 -c:a libopus -c:v libvpx-vp9 -b:v 50k webm.webm
ff -f lavfi -i "$tone" -f lavfi -i "sine=frequency=880:duration=1" -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" \
    -i chapters.txt -map 0 -map 1 -map 2 -map_metadata 3 -map_chapters 3 \
    -metadata:s:a:1 language=ger -c:a aac -c:v libx264 -preset ultrafast mp4.mp4
ff -f lavfi -i "$tone" -f lavfi -i "testsrc=size=64x48:rate=10:duration=1" -c:a mp3 -c:v flv flv.flv
ff -f lavfi -i "$tone" -f lavfi -i "testsrc=size=176x144:rate=10:duration=1" -ar 8000 -ac 1 -c:a libopencore_amrnb \
    -c:v h263 3gp.3gp 2>/dev/null || ff -f lavfi -i "$tone" -f lavfi -i "testsrc=size=176x144:rate=10:duration=1" \
    -c:a aac -c:v h263 3gp.3gp
ff -f lavfi -i "$tone" -ac 2 -c:a pcm_s16le wav.wav
ff -f lavfi -i "$tone" -ac 1 -c:a libmp3lame -b:a 64k mp3.mp3
ff -f lavfi -i "$tone" -ac 1 -c:a libmp3lame -q:a 4 vbr.mp3
ff -f lavfi -i "$tone" -ac 2 aiff.aiff
ff -f lavfi -i "$tone" -c:a flac flac.flac
for m in webm.webm mp4.mp4 flv.flv 3gp.3gp wav.wav mp3.mp3 aiff.aiff flac.flac; do
    base=${m%%.*}
    ffprobe -v quiet -of ini -show_format -show_streams -show_chapters "$m" >"$out/AnalysisFuzz/probe_$base.ini"
    ffmpeg -hide_banner -nostdin -i "$m" 2>"$out/AnalysisFuzz/report_$base.txt" || true
    # encoder output as the runner sees it: progress lines ended by CR, the report and the summary
    { printf '\001\000'; ffmpeg -nostdin -stats -y -i "$m" -vn -c:a libmp3lame -f mp3 /dev/null 2>&1; } \
        >"$out/ProcessLineFuzz/mp3_$base" || true
done
{ printf '\001\000'; ffmpeg -nostdin -stats -y -i webm.webm -vn -c:a pcm_s16le -f wav /dev/null 2>&1; } \
    >"$out/ProcessLineFuzz/wav_webm" || true
{ printf '\001\000'; ffmpeg -nostdin -y -i missing.webm /dev/null 2>&1; } >"$out/ProcessLineFuzz/error" || true
{ printf '\001\003\001\002\005'; cat "$out/ProcessLineFuzz/mp3_webm" | tail -c +3; } >"$out/ProcessLineFuzz/mp3_pieces"
cp "$out"/AnalysisFuzz/report_*.txt "$out/TextFuzz/" 2>/dev/null || true

# --- tagged audio: mutagen (v2.2/2.3/2.4, pictures), eyeD3, id3v2, and hand-made odd cases
ff -f lavfi -i "testsrc=size=16x16:duration=0.1" -frames:v 1 cover.png
ff -f lavfi -i "testsrc=size=16x16:duration=0.1" -frames:v 1 cover.jpg
ff -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -c:a libmp3lame -b:a 32k short.mp3
ff -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -c:a pcm_s16le short.wav
ff -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 short.aiff
ff -f lavfi -i "sine=frequency=440:duration=0.2" -ac 1 -c:a pcm_s16be -f aiff aifc.aifc 2>/dev/null || true
cp short.mp3 eyed3.mp3 && eyeD3 -Q --to-v2.4 -a "Eye Artist" -t "Eye Title" -A Album -n 3 -N 9 \
    --add-image cover.jpg:FRONT_COVER --add-comment "a comment" --add-lyrics "la la" eyed3.mp3 >/dev/null 2>&1 || true
cp short.mp3 eyed3v23.mp3 && eyeD3 -Q --to-v2.3 -a "Artist 2.3" -t "Titel" -G Rock eyed3v23.mp3 >/dev/null 2>&1 || true
cp short.mp3 id3v2tool.mp3 && id3v2 -a "id3v2 Artist" -t "Title" -g 17 -y 1999 -T 2/7 -c "comment" id3v2tool.mp3 >/dev/null || true
$py "$here/make-seeds.py" tags "$work"
for f in *.mp3 *.wav *.aiff *.aifc *.dsf *.dff; do
    [[ -f $f ]] || continue
    { printf '\000'; cat "$f"; } >"$out/TagsFuzz/$f"
    { printf '\000'; cat "$f"; } >"$out/TagsSaveFuzz/$f"
    cp "$f" "$out/TagsFrontFuzz/$f"
done

# --- images: every PNG colour type (interlaced too), JPEG, BMP bit depths, ICO; RLE BMPs by hand
src="testsrc2=size=24x17:duration=0.1"
img() { # <reader byte> <name> <ffmpeg args...>
    local byte=$1 name=$2
    shift 2
    ff -f lavfi -i "$src" -frames:v 1 "$@" "$name" 2>/dev/null || return 0
    { printf "\\$(printf %03o "$byte")"; cat "$name"; } >"$out/ImageFuzz/$name"
    { printf '\360'; cat "$name"; } >"$out/ImageFuzz/picture_$name"
}
for fmt in rgb24 rgba rgb48be rgba64be pal8 gray gray16be ya8 ya16be monob; do
    img 0 "png_$fmt.png" -pix_fmt $fmt
done
img 0 png_adam7.png -pix_fmt rgba -flags +ildct
img 0 png_adam7_pal.png -pix_fmt pal8 -flags +ildct
for fmt in yuvj420p yuvj422p yuvj444p gray; do img 1 "jpeg_$fmt.jpg" -pix_fmt $fmt; done
for fmt in bgra bgr24 rgb565le rgb555le rgb444le rgb8 bgr8 pal8 gray monob rgb4_byte bgr4_byte; do
    img 2 "bmp_$fmt.bmp" -pix_fmt $fmt
done
img 3 ico_png.ico -c:v png -pix_fmt rgba
img 3 ico_bmp.ico -c:v bmp -pix_fmt bgra
$py "$here/make-seeds.py" images "$out/ImageFuzz"

# --- FLAC, MP4, APEv2, WavPack and Musepack tags and stream headers: flac/metaflac, AtomicParsley,
#     mutagen, wavpack and mpcenc (each file cut to its first 8 KB, where the tags and headers are)
mkdir -p "$out/FlacFuzz" "$out/MP4Fuzz" "$out/APEv2Fuzz" "$out/StreamInfoFuzz"
seed() { head -c 8192 "$1" >"$out/$2/$1"; }
ff -f lavfi -i "sine=frequency=440:duration=0.3" -ac 2 tone.wav
flac -s -f -o plain.flac tone.wav 2>/dev/null && seed plain.flac FlacFuzz
cp plain.flac tagged.flac && metaflac --set-tag=ARTIST=Seed --set-tag="TITLE=Tïtle" --set-tag=TRACKNUMBER=3/9 \
    --import-picture-from="3|image/png|front|16x16x24|cover.png" --add-padding=100 tagged.flac && seed tagged.flac FlacFuzz
cp plain.flac nopad.flac && metaflac --remove-all --dont-use-padding nopad.flac && seed nopad.flac FlacFuzz
{ printf 'ID3\003\000\000\000\000\000\012'; head -c 10 /dev/zero; cat tagged.flac; } >id3.flac && seed id3.flac FlacFuzz
# Ogg FLAC: the block packets in Ogg pages, one comment packet spanning two pages
flac --ogg -s -f -T ARTIST=Seed --picture="3|image/png|front|16x16x24|cover.png" -o ogg.oga tone.wav 2>/dev/null \
    && seed ogg.oga FlacFuzz
flac --ogg -s -f -T "COMMENT=$(head -c 5000 /dev/zero | tr '\0' k)" -o ogg-long.oga tone.wav 2>/dev/null \
    && seed ogg-long.oga FlacFuzz
ff -f lavfi -i "sine=frequency=440:duration=0.3" -c:a aac -metadata title=Seed last.m4a && seed last.m4a MP4Fuzz
ff -f lavfi -i "sine=frequency=440:duration=0.3" -c:a aac -movflags +faststart first.m4a
AtomicParsley first.m4a --artist "AP Artist" --tracknum 2/7 --genre Rock --artwork cover.png \
    --rDNSatom "free text" name=NOTE domain=com.apple.iTunes --overWrite >/dev/null && seed first.m4a MP4Fuzz
$py -c 'import sys, mutagen.mp4 as m
x = m.MP4(sys.argv[1]); x["\xa9alb"] = ["Älbum"]; x["disk"] = [(1, 2)]; x["stik"] = [1]; x["tmpo"] = [120]; x.save()' last.m4a \
    && cp last.m4a mutagen.m4a && seed mutagen.m4a MP4Fuzz
wavpack -q -y tone.wav -o lossless.wv && seed lossless.wv StreamInfoFuzz
wavpack -q -y -b256 tone.wav -o hybrid.wv && seed hybrid.wv StreamInfoFuzz
mpcenc --silent --overwrite tone.wav sv8.mpc && seed sv8.mpc StreamInfoFuzz
for f in lossless.wv sv8.mpc; do
    $py -c 'import sys, mutagen.apev2 as a
t = a.APEv2(); t["Artist"] = "Ape Ärtist"; t["Track"] = "4/10"; t["Cover Art (Front)"] = a.APEValue(b"front\0" + open(sys.argv[2], "rb").read(), a.BINARY)
t.save(sys.argv[1])' "$f" cover.png
    tail -c 8192 "$f" >"$out/APEv2Fuzz/$f"
done
printf 'TAG%125s' '' >>sv8.mpc && tail -c 8192 sv8.mpc >"$out/APEv2Fuzz/id3v1-after.mpc"

# --- Ogg comment headers and WAV/RF64 chunks, as the encoders and ffmpeg write them
mkdir -p "$out/OggFuzz" "$out/WAVFuzz"
ff -f lavfi -i "sine=frequency=440:duration=0.5" -ac 2 -ar 44100 ogg-src.wav
oggenc -Q -t "Ögg title" -a Artist -c "TRACKNUMBER=3/9" -o "$out/OggFuzz/vorbis.ogg" ogg-src.wav
oggenc -Q -c "COMMENT=$(head -c 62000 /dev/zero | tr '\0' k)" -o "$out/OggFuzz/vorbis-open-setup.ogg" ogg-src.wav
opusenc --quiet --title "Opus" --picture cover.png ogg-src.wav "$out/OggFuzz/opus.opus" 2>/dev/null \
    || opusenc --quiet --title "Opus" ogg-src.wav "$out/OggFuzz/opus.opus"
ff -f lavfi -i "testsrc=size=32x24:rate=5:duration=0.4" -f lavfi -i "sine=duration=0.4" -c:v libtheora -c:a libvorbis \
    -metadata title=Film "$out/OggFuzz/theora.ogv"
ff -f lavfi -i "sine=duration=0.05" -metadata title=Info -metadata artist=Someone "$out/WAVFuzz/info.wav"
ff -f lavfi -i "sine=duration=0.05" -metadata description=Bext -metadata originator=Me -write_bext 1 "$out/WAVFuzz/bext.wav"
ff -f lavfi -i "sine=duration=0.05" -metadata title=Big -rf64 always "$out/WAVFuzz/rf64.wav"

# --- ASF headers: ffmpeg's attributes, then mutagen's extended, metadata-library and picture ones
mkdir -p "$out/ASFFuzz"
ff -f lavfi -i "sine=duration=0.05" -metadata title=Asf -metadata artist=Someone -metadata WM/Mood=calm "$out/ASFFuzz/audio.wma"
ff -f lavfi -i "testsrc=size=32x24:duration=0.2" -metadata title=Film "$out/ASFFuzz/video.wmv"
cp "$out/ASFFuzz/audio.wma" "$out/ASFFuzz/mutagen.wma"
$py -c "import sys; from mutagen.asf import ASF, ASFDWordAttribute, ASFGUIDAttribute, ASFByteArrayAttribute
f = ASF(sys.argv[1]); f['WM/TrackNumber'] = [ASFDWordAttribute(3)]; f['WM/Guid'] = [ASFGUIDAttribute(bytes(range(16)))]
f['WM/Picture'] = [ASFByteArrayAttribute(b'\\x03\\x04\\x00\\x00\\x00' + 'a/b'.encode('utf-16-le') + bytes(4) + b'DATA')]; f.save()" "$out/ASFFuzz/mutagen.wma"

# --- style files: the shipped styles
mkdir -p "$out/StyleFileFuzz"
cp "$here"/../../data/styles/*.vsf "$out/StyleFileFuzz/"

# --- INI files and profiles: each encoding, compressed and line lists
$py "$here/make-seeds.py" ini "$out/IniFuzz" "$out/ProfileFuzz"
cp "$out"/IniFuzz/* "$out/TextFuzz/"
echo "seeds: $(find "$out" -type f | wc -l) files in $out"
