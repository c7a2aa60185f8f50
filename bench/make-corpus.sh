#!/usr/bin/env bash
# Makes the benchmark corpus with lame: MP3 files of a few seconds each, constant and variable bit
# rate, with and without an ID3v2 tag (some with a cover picture, some with an ID3v1 tag only),
# plus one 60-second track for the playback figures and one file of about 100 MB for the copying
# tag write. The corpus lives in a cache folder, never in the repository; a finished corpus is
# reused.
#
# Usage: bench/make-corpus.sh [folder] [count]
# Prints the folder on its last line.
set -euo pipefail

folder="${1:-${XDG_CACHE_HOME:-$HOME/.cache}/tovra-bench/corpus}"
count="${2:-1200}"
stamp="$folder/.complete-$count"

if [ -f "$stamp" ]; then
    echo "$folder"
    exit 0
fi
for tool in lame gst-launch-1.0; do
    command -v "$tool" >/dev/null || { echo "make-corpus: $tool is missing" >&2; exit 1; }
done

rm -rf "$folder"
mkdir -p "$folder/mp3" "$folder/src"
src="$folder/src"

# Source sounds: a few lengths, rates and channel counts, tonal and noisy, so the frames differ.
wav() {  # name seconds rate channels wave
    local buffers=$(( $2 * $3 / 1024 ))
    gst-launch-1.0 -q audiotestsrc num-buffers="$buffers" samplesperbuffer=1024 wave="$5" \
        ! "audio/x-raw,format=S16LE,rate=$3,channels=$4" ! wavenc ! filesink location="$src/$1.wav"
}
wav a 2 44100 2 sine
wav b 3 44100 2 pink-noise
wav c 5 44100 1 triangle
wav d 4 22050 2 square
wav e 7 48000 2 pink-noise
wav f 3 32000 1 saw
wav long 60 44100 2 pink-noise
sources=(a b c d e f)

# A cover picture for some of the tags: real-world tags often carry one of tens of kilobytes.
gst-launch-1.0 -q videotestsrc num-buffers=1 pattern=smpte \
    ! video/x-raw,width=300,height=300 ! jpegenc quality=90 ! filesink location="$src/cover.jpg"

# One file per index; the index chooses the kind.
encode() {
    local i s out tags args
    for i in "$@"; do
        s="${SOURCES[$(( i % 6 ))]}"
        out="$FOLDER/mp3/$(printf '%04d' "$i").mp3"
        tags=(--tt "Title $i" --ta "Artist $(( i % 37 ))" --tl "Album $(( i % 11 ))" --ty 2020
              --tn "$(( i % 20 + 1 ))" --tc "Comment $i" --tg Rock)
        case $(( i % 8 )) in
            0) args=(-b 128 --add-id3v2 "${tags[@]}") ;;                      # CBR, ID3v2 + v1
            1) args=(-b 192 --id3v1-only "${tags[@]}") ;;                     # CBR, ID3v1 only
            2) args=(-V 2 --add-id3v2 "${tags[@]}") ;;                        # VBR (Xing), ID3v2
            3) args=(-V 5) ;;                                                 # VBR, no tags
            4) args=(-b 64 -t) ;;                                             # CBR, no Xing, no tags
            5) args=(-V 0 --id3v2-only --ti "$FOLDER/src/cover.jpg" "${tags[@]}") ;;  # + picture
            6) args=(--abr 160 --id3v2-only "${tags[@]}") ;;                  # ABR, ID3v2 only
            7) args=(-b 320 --id3v2-only --ti "$FOLDER/src/cover.jpg" "${tags[@]}") ;;
        esac
        lame --quiet "${args[@]}" "$FOLDER/src/$s.wav" "$out"
    done
}
export -f encode
export FOLDER="$folder" SOURCES="${sources[*]}"
seq 0 $(( count - 1 )) | xargs -P "$(nproc)" -n 25 bash -c 'SOURCES=($SOURCES); encode "$@"' _

lame --quiet -b 128 --add-id3v2 --tt "Sixty seconds" "$src/long.wav" "$folder/long60.mp3"

# About 100 MB of MP3 frames without a tag, so saving a tag must copy the whole file: the
# 60-second track's frames over and over (lame -t writes no Xing frame; whole frames in a row
# still make a valid stream).
lame --quiet -b 320 -t "$src/long.wav" "$src/part.mp3"
part_size=$(stat -c %s "$src/part.mp3")
for (( n = 0; n < 100 * 1000 * 1000; n += part_size )); do
    cat "$src/part.mp3"
done >"$folder/big100.mp3"

rm -f "$src"/*.wav "$src/part.mp3"
touch "$stamp"
echo "$folder"
