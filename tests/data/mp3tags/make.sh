#!/usr/bin/env bash
# Makes the MP3 files of the tag preservation tests: tags as other programs write them. Run from
# anywhere; the files land beside this script. The outputs are committed; rerun only to change
# them. Needs ffmpeg (with libmp3lame), lame, python3, g++ with pkg-config and the TagLib
# development files (libtag1-dev): none of these is needed to run the tests.
#
#   taglib-v23-latin1.mp3    TagLib, version 2.3, Latin-1, with an APE tag and an ID3v1 tag
#   taglib-v23-utf16.mp3     TagLib, version 2.3, UTF-16
#   taglib-v24-latin1.mp3    TagLib, version 2.4, Latin-1, a big front cover first
#   taglib-v24-utf16.mp3     TagLib, version 2.4, UTF-16
#   taglib-v24-utf8.mp3      TagLib, version 2.4, UTF-8, with an APE tag and an ID3v1 tag
#   taglib-long-texts.mp3    TagLib, version 2.3, Latin-1, lyrics of 12 kB and a comment of 7 kB
#   ffmpeg-v24.mp3           ffmpeg's own tag (2.4) with a cover and an ID3v1 tag
#   ffmpeg-v23.mp3           the same as version 2.3, with a Lyrics3 block before the ID3v1 tag
#   lame.mp3                 lame's own tag (2.3, with a cover) and ID3v1 tag
#   v22.mp3                  a version-2.2 tag with a picture (PIC), comments, TXX, WXX, POP, UFI
#   v22-unsync.mp3           the same, unsynchronised
#   v23-extended.mp3         TagLib's 2.3 tag with an extended header (with CRC)
#   v24-extended.mp3         TagLib's 2.4 tag with an extended header
#   v23-unsync.mp3           TagLib's 2.3 tag, unsynchronised
#   v24-unsync-frames.mp3    TagLib's 2.4 tag, every frame unsynchronised with a length indicator
#   v24-plain-sizes.mp3      TagLib's 2.4 tag with plain (not syncsafe) frame sizes, a big
#                            picture first
# Every file carries the frames taggers write: several artists and genres, comments in two
# languages and a program's described one, lyrics, TXXX, PRIV, UFID, POPM, GEOB, two pictures,
# album artist, disc, BPM, compilation, grouping, subtitle, sort names, dates, people.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
quiet=(-hide_banner -loglevel error -y)

g++ -std=c++17 -O1 -o "$work/writetags" writetags.cpp $(pkg-config --cflags --libs taglib)

# Less than half a second of mono audio, and two small pictures.
ffmpeg "${quiet[@]}" -f lavfi -i "sine=frequency=440:duration=0.4" -ac 1 -ar 22050 \
    -c:a pcm_s16le -fflags +bitexact "$work/tone.wav"
lame --quiet -m m -b 32 --cbr -t "$work/tone.wav" "$work/tone.mp3"
ffmpeg "${quiet[@]}" -f lavfi -i "testsrc=s=32x32" -frames:v 1 -q:v 10 "$work/cover.jpg"
ffmpeg "${quiet[@]}" -f lavfi -i "color=c=red:s=16x16" -frames:v 1 "$work/cover.png"

taglib() {  # out version encoding [trailers] [long]
    cp "$work/tone.mp3" "$1"
    (cd "$work" && ./writetags "$here/$1" "${@:2}")
}
taglib taglib-v23-latin1.mp3 3 latin1 trailers
taglib taglib-v23-utf16.mp3 3 utf16
# The front cover first, grown so that its frame's plain size looks syncsafe (its frame content
# has 19 bytes besides the picture in Latin-1): v24-plain-sizes.mp3 is made from this file.
python3 transform.py pad-picture "$work/cover.jpg" "$work/big.jpg" 19
taglib taglib-v24-latin1.mp3 4 latin1 front=big.jpg
taglib taglib-v24-utf16.mp3 4 utf16
taglib taglib-v24-utf8.mp3 4 utf8 trailers
taglib taglib-long-texts.mp3 3 latin1 long

ffmpeg_tags=(-metadata "title=Judul ffmpeg" -metadata "artist=Artis" -metadata "album=Album"
    -metadata "album_artist=Album Artist" -metadata "date=2004-07-08" -metadata "track=5/10"
    -metadata "disc=1/2" -metadata "genre=Jazz" -metadata "comment=Komentar ffmpeg"
    -metadata "composer=Komponis" -metadata "copyright=2004 Label" -metadata "publisher=Label"
    -metadata "lyrics=Baris satu" -metadata "encoded_by=Encoder" -metadata "TBPM=96")
ffmpeg_mp3() {  # out id3v2-version
    ffmpeg "${quiet[@]}" -i "$work/tone.wav" -i "$work/cover.jpg" -map 0 -map 1 \
        -c:a libmp3lame -b:a 32k -c:v copy -metadata:s:v "title=Album cover" \
        -metadata:s:v "comment=Cover (front)" "${ffmpeg_tags[@]}" -id3v2_version "$2" \
        -write_id3v1 1 -fflags +bitexact "$1"
}
ffmpeg_mp3 ffmpeg-v24.mp3 4
ffmpeg_mp3 "$work/ffmpeg-v23.mp3" 3
python3 transform.py lyrics3 "$work/ffmpeg-v23.mp3" ffmpeg-v23.mp3

lame --quiet -m m -b 32 --cbr -t --add-id3v2 --tt "Judul lame" --ta "Artis" --tl "Album lame" \
    --ty 1999 --tn 4/11 --tg Blues --tc "Komentar lame" --ti "$work/cover.jpg" \
    --tv "TCOM=Komponis" --tv "TXXX=CATALOG=LAME-1" --tv "TPE2=Album Artist" \
    "$work/tone.wav" lame.mp3

python3 transform.py v22 "$work/tone.mp3" "$work/cover.jpg" v22.mp3
python3 transform.py unsync v22.mp3 v22-unsync.mp3
python3 transform.py extended taglib-v23-utf16.mp3 v23-extended.mp3
python3 transform.py extended taglib-v24-utf8.mp3 v24-extended.mp3
python3 transform.py unsync taglib-v23-latin1.mp3 v23-unsync.mp3
python3 transform.py unsync-frames taglib-v24-utf16.mp3 v24-unsync-frames.mp3
python3 transform.py plain-sizes taglib-v24-latin1.mp3 v24-plain-sizes.mp3
ls -l ./*.mp3
