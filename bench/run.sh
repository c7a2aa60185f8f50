#!/usr/bin/env bash
# Builds the benchmark programs in release mode into their own folder, makes (or reuses) the MP3
# corpus, and prints one line per figure, each measured side by side with its baseline in the same
# run (medians of repeated runs). The programs' own chatter goes to a log file.
#
# Usage: bench/run.sh [build folder]        (default: build-bench beside the sources)
# Environment: TOVRA_BENCH_CORPUS (corpus folder), TOVRA_BENCH_QUICK=1 (fewer rounds).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(dirname "$here")"
build="${1:-$root/build-bench}"
log="$build/bench.log"

TOVRA_EXTRA_PACKAGES="lame openbox ${TOVRA_EXTRA_PACKAGES:-}" "$root/scripts/install-deps.sh"
# GCC 12 at -O3 reports false overflows and overlaps inside inlined standard library code
# (std::string assignment, std::copy into std::array); the release build must not stop on them.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOVRA_BENCH=ON \
    "-DCMAKE_CXX_FLAGS=-Wno-restrict -Wno-stringop-overflow -Wno-array-bounds -Wno-stringop-overread" \
    >/dev/null
cmake --build "$build" -j "$(nproc)" --target bench_inspect bench_tagsave bench_playlist \
    bench_playback bench_startup >/dev/null

echo "Making the corpus (once; kept in the cache folder)..." >&2
corpus="$("$here/make-corpus.sh" ${TOVRA_BENCH_CORPUS:+"$TOVRA_BENCH_CORPUS"} | tail -n 1)"

quick="${TOVRA_BENCH_QUICK:-0}"
rounds() { if [ "$quick" = 1 ]; then echo "$1"; else echo "$2"; fi; }

# The player window needs an X display for its video sinks; without one, a virtual display with
# a window manager, which the minimised playback figure needs.
xvfb_pid=""
wm_pid=""
cleanup() {
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT INT TERM
if [ -z "${DISPLAY:-}" ]; then
    export DISPLAY=":$(( 80 + RANDOM % 9 ))"
    Xvfb "$DISPLAY" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    if command -v openbox >/dev/null; then
        openbox --sm-disable >/dev/null 2>&1 &
        wm_pid=$!
        sleep 0.5
    fi
fi

: >"$log"
run() {  # program args...
    if ! "$@" 2>>"$log"; then
        echo "$(basename "$1") failed; see $log" >&2
        tail -n 5 "$log" >&2
        return 1
    fi
}
status=0
echo "# Tovra III benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"
run "$build/bench_inspect" "$corpus/mp3" "$(rounds 3 9)" || status=1
run "$build/bench_tagsave" "$corpus" "$(rounds 2 5)" || status=1
QT_QPA_PLATFORM=offscreen run "$build/bench_playlist" "$corpus" 100000 "$(rounds 2 5)" || status=1
QT_QPA_PLATFORM=xcb run "$build/bench_startup" "$build" "$corpus" "$(rounds 3 7)" || status=1
QT_QPA_PLATFORM=xcb run "$build/bench_playback" "$corpus" "$(rounds 1 3)" || status=1
exit "$status"
