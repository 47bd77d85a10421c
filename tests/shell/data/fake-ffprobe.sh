#!/bin/sh
# A stand-in prober for the file information window's pictures: the same fixed report for any file,
# one part per run, in the form the real tool prints with -print_format ini.
case "$*" in
*-show_format*) cat <<'EOF'
# ffprobe output

[format]
filename=clip.mkv
nb_streams=3
format_name=matroska,webm
duration=0:01:00.000000
size=1.000 MiB
bit_rate=139.810 Kbit/s

[format.tags]
ENCODER=Lavf59
EOF
;;
*-show_streams*) cat <<'EOF'
# ffprobe output

[streams.stream.0]
index=0
codec_name=h264
codec_type=video
width=640
height=360

[streams.stream.0.disposition]
default=1
forced=0

[streams.stream.1]
index=1
codec_name=aac
codec_type=audio
sample_rate=48000 Hz
channels=2

[streams.stream.1.disposition]
default=1
forced=0

[streams.stream.1.tags]
language=eng

[streams.stream.2]
index=2
codec_name=subrip
codec_type=subtitle

[streams.stream.2.disposition]
default=0
forced=0
EOF
;;
esac
