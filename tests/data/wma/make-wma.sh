#!/usr/bin/env bash
# Makes the small WMA files the tag tests read and write. Run from anywhere; needs ffmpeg.
# The files are committed, so the tests never need ffmpeg themselves.
set -euo pipefail
cd "$(dirname "$0")"

common=(-hide_banner -loglevel error -y -fflags +bitexact -flags:a +bitexact)

# Two seconds of a 440 Hz tone, WMA v2 at 32 kbit/s, with the usual descriptive attributes.
ffmpeg "${common[@]}" -f lavfi -i "sine=frequency=440:duration=2:sample_rate=22050" \
    -ac 2 -c:a wmav2 -b:a 32k \
    -metadata title="Kartu Pos" \
    -metadata artist="Sari Wening" \
    -metadata album="Lagu Senja" \
    -metadata genre="Keroncong" \
    -metadata WM/Year="1998" \
    -metadata track="7" \
    -metadata composer="Budi Santoso" \
    -metadata copyright="(c) 1998 Senja" \
    -metadata comment="Direkam di Solo" \
    -metadata WM/EncodedBy="Tovra" \
    -metadata WM/URL="http://example.org/senja" \
    -metadata WM/Lyrics="Baris satu
Baris dua" \
    -metadata WMFSDKVersion="9.00.00.2980" \
    tagged.wma

# One second of mono WMA v1 without any descriptive attribute.
ffmpeg "${common[@]}" -f lavfi -i "sine=frequency=880:duration=1:sample_rate=16000" \
    -ac 1 -c:a wmav1 -b:a 24k -map_metadata -1 \
    plain.wma
