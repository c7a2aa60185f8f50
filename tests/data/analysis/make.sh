#!/usr/bin/env bash
# Makes the real media files of the stream reader tests and records what ffprobe, an independent
# reader, says about each one (<file>.ffprobe). Run from anywhere; the files land beside this
# script. Needs lame and ffmpeg/ffprobe. The outputs are committed; rerun only to change them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

quiet=(-hide_banner -loglevel error -y)
# A two-tone source, so joint stereo and VBR have something to work with.
tone() { # rate channels seconds out
    ffmpeg "${quiet[@]}" -f lavfi -i "sine=frequency=440:sample_rate=$1:duration=$3" \
        -f lavfi -i "sine=frequency=660:sample_rate=$1:duration=$3" \
        -filter_complex "[0][1]amerge=inputs=2,aformat=channel_layouts=stereo" \
        -ac "$2" -ar "$1" -c:a pcm_s16le -fflags +bitexact "$4"
}

# MPEG 1 Layer III, 128 kbit/s CBR, stereo (lame writes an "Info" frame first, which is no VBR tag).
tone 44100 2 1 "$work/s44.wav"
lame --quiet -m s -b 128 --cbr "$work/s44.wav" cbr128-stereo.mp3
# MPEG 1 Layer III VBR, joint stereo, with a Xing header in the first frame.
lame --quiet -m j -V 4 "$work/s44.wav" vbr-xing-joint.mp3
# MPEG 2 Layer III, 22050 Hz mono, 32 kbit/s, with a CRC after every header.
tone 22050 1 1 "$work/m22.wav"
lame --quiet -m m -b 32 --cbr -p "$work/m22.wav" mpeg2-mono-crc.mp3
# MPEG 2.5 Layer III, 8000 Hz mono, 16 kbit/s.
tone 8000 1 2 "$work/m8.wav"
lame --quiet -m m -b 16 --cbr "$work/m8.wav" mpeg25-mono.mp3
# MPEG 1 Layer II, 48000 Hz stereo, 192 kbit/s.
ffmpeg "${quiet[@]}" -i "$work/s44.wav" -ar 48000 -c:a mp2 -b:a 192k -fflags +bitexact layer2-stereo.mp2

# A 4096-byte ID3v2.3 tag (a title frame and padding) before a 128 kbit/s stream that ends with an
# ID3v1 tag.
lame --quiet -m s -b 128 --cbr --id3v1-only --tt "Tovra test" --ta "Analysis" \
    "$work/s44.wav" "$work/v1.mp3"
{
    printf 'ID3\x03\x00\x00'
    printf '\x00\x00\x1f\x76'                    # 4086 as a syncsafe number: 31 * 128 + 118
    printf 'TIT2\x00\x00\x00\x0b\x00\x00\x00'    # frame header, 11 bytes of content
    printf 'Tovra test'
    head -c $((4096 - 10 - 10 - 11)) /dev/zero
    cat "$work/v1.mp3"
} > id3v2-4k.mp3

# The same MP3 bytes under a WMA name.
cp cbr128-stereo.mp3 mp3-named.wma

# Windows Media Audio in ASF: version 2 stereo and version 1 mono.
ffmpeg "${quiet[@]}" -i "$work/s44.wav" -c:a wmav2 -b:a 128k -fflags +bitexact wmav2-stereo.wma
ffmpeg "${quiet[@]}" -i "$work/m22.wav" -c:a wmav1 -b:a 32k -fflags +bitexact wmav1-mono.wma

# Canonical WAV headers: 16-bit stereo 22050 Hz, 24-bit mono 96000 Hz, and six channels.
ffmpeg "${quiet[@]}" -i "$work/s44.wav" -t 0.2 -ar 22050 -c:a pcm_s16le -fflags +bitexact pcm16-stereo.wav
ffmpeg "${quiet[@]}" -f lavfi -i "sine=frequency=440:sample_rate=96000:duration=0.05" \
    -c:a pcm_s24le -fflags +bitexact pcm24-96k.wav
ffmpeg "${quiet[@]}" -f lavfi -i "sine=frequency=440:sample_rate=8000:duration=0.1" \
    -af "pan=5.1|c0=c0|c1=c0|c2=c0|c3=c0|c4=c0|c5=c0" -c:a pcm_s16le -fflags +bitexact six-channels.wav

for f in *.mp3 *.mp2 *.wma *.wav; do
    ffprobe -hide_banner -loglevel error \
        -show_entries format=format_name,duration,size,bit_rate:stream=codec_name,sample_rate,channels,bit_rate \
        -of flat "$f" > "$f.ffprobe"
done
