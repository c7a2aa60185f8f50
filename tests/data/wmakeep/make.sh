#!/usr/bin/env bash
# Makes the WMA file of the preservation tests that TagLib writes: several values under one
# name, values that are not text, a value in another language and one of a stream, over ffmpeg's
# plain output (../wma/plain.wma). The tests also use ffmpeg's own files as they are
# (../wma/tagged.wma and ../media/tone.wma keep each text twice, "title" beside "Title").
# Needs g++ and libtag1-dev. The file is committed, so the tests never run this.
set -euo pipefail
cd "$(dirname "$0")"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O1 -o "$work/taglibwrite" taglibwrite.cpp $(pkg-config --cflags --libs taglib)

cp ../wma/plain.wma taglib-many.wma
"$work/taglibwrite" taglib-many.wma
