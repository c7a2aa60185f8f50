#!/usr/bin/env bash
# Makes the info-box test files. Run from anywhere; needs ffmpeg. The files are committed, so the
# tests never need ffmpeg themselves.
set -euo pipefail
cd "$(dirname "$0")"

# A quarter second of a 440 Hz tone as 16-bit stereo PCM at 44100 Hz with the canonical 44-byte
# RIFF header (no LIST chunk).
ffmpeg -hide_banner -loglevel error -y -f lavfi -i "sine=frequency=440:sample_rate=44100:duration=0.25" \
    -ac 2 -c:a pcm_s16le -map_metadata -1 -fflags +bitexact -flags +bitexact cd-stereo.wav
