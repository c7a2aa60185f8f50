#!/usr/bin/env bash
# Makes the short media files the tests play: one of every type the open dialog offers, plus a file no
# decoder accepts. Each is a tone (and a test picture for video) of about 1.5 seconds, kept small.
# Run from anywhere; the files are written beside this script. Needs ffmpeg (with libmp3lame).
set -euo pipefail
cd "$(dirname "$0")"

ff=(ffmpeg -hide_banner -loglevel error -y -fflags +bitexact)
tone=(-f lavfi -i "sine=frequency=440:sample_rate=44100:duration=1.5")
picture=(-f lavfi -i "testsrc=size=160x120:rate=25:duration=1.5")

# WAV: canonical 44-byte RIFF header (no LIST chunk), 16-bit stereo at 22050 Hz.
"${ff[@]}" -f lavfi -i "sine=frequency=440:sample_rate=22050:duration=1.0" -ac 2 -c:a pcm_s16le \
    -map_metadata -1 -fflags +bitexact -flags +bitexact tone.wav

# MP3, constant bit rate with its Info header, an ID3v2.3 tag in front and an ID3v1 tag at the end.
"${ff[@]}" "${tone[@]}" -ac 2 -c:a libmp3lame -b:a 128k -id3v2_version 3 -write_id3v1 1 \
    -metadata title="Test Tone" -metadata artist="Tovra Tests" -metadata album="Media" \
    -metadata date=2026 -metadata track=1 tone.mp3

# MP3, variable bit rate without a Xing/VBRI header and without tags: its length is not in any header.
"${ff[@]}" "${tone[@]}" -ac 1 -c:a libmp3lame -q:a 6 -write_xing 0 -id3v2_version 0 \
    -map_metadata -1 -f mp3 vbr-noheader.mp3

# WMA (ASF with Windows Media Audio 2), with title and author attributes.
"${ff[@]}" "${tone[@]}" -ac 2 -c:a wmav2 -b:a 64k -metadata title="Test Tone" \
    -metadata author="Tovra Tests" -f asf tone.wma

# WMV: Windows Media Video 8 with WMA 2 sound.
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v wmv2 -b:v 100k -c:a wmav2 -b:a 64k -ac 1 \
    -shortest -f asf clip.wmv

# MPEG-1 system stream (.mpg) and MPEG-2 program stream (.mpeg), both with MPEG-1 Layer II sound.
# The clock references lead the pictures by 0.2 s, as in ordinary files; with the muxer's default of
# 0.5 s on a track this short the demuxer's length falls well short of the stream.
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v mpeg1video -b:v 200k -c:a mp2 -b:a 64k -ac 1 \
    -shortest -muxdelay 0.2 -muxpreload 0.2 -f mpeg clip.mpg
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v mpeg2video -b:v 200k -c:a mp2 -b:a 64k -ac 1 \
    -shortest -muxdelay 0.2 -muxpreload 0.2 -f vob clip.mpeg

# AVI: MPEG-4 part 2 video with MP3 sound.
"${ff[@]}" "${picture[@]}" "${tone[@]}" -c:v mpeg4 -b:v 100k -c:a libmp3lame -b:a 64k -ac 1 \
    -shortest -f avi clip.avi

# MIDI by hand: format 0, 96 ticks per quarter at 120 bpm, piano C4 E4 G4 for half a second each.
{
    printf 'MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60'
    printf 'MTrk\x00\x00\x00\x26'
    printf '\x00\xff\x51\x03\x07\xa1\x20'          # tempo 500000 us per quarter
    printf '\x00\xc0\x00'                          # program 0, acoustic grand piano
    printf '\x00\x90\x3c\x64\x60\x80\x3c\x40'      # C4
    printf '\x00\x90\x40\x64\x60\x80\x40\x40'      # E4
    printf '\x00\x90\x43\x64\x60\x80\x43\x40'      # G4
    printf '\x00\xff\x2f\x00'                      # end of track
} >tune.mid

# Not media at all: a named file whose bytes no decoder recognises.
LC_ALL=C awk 'BEGIN { for (i = 0; i < 512; i++) printf "%c", (i * 37 + 11) % 256 }' >unplayable.mp3
