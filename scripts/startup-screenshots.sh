#!/usr/bin/env bash
# Starts the built player under a window manager on the X display in DISPLAY, as a user would see
# it start, and saves the middle of the screen, where the splash shows, as often as it can for
# five seconds: watch-NNN.png in the output folder. scripts/screenshots.sh runs it under Xvfb to
# picture the splash mid-start.
# Usage: scripts/startup-screenshots.sh <build folder> <output folder>
set -euo pipefail
build=$(readlink -f "$1")
out=$2
mkdir -p "$out"

scratch=$(mktemp -d)
wm_pid=
player_pid=
cleanup() {
    [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null || true
    [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

# A program folder of its own: a copy of the program, links to what it reads, an empty playlist.
program="$scratch/program"
mkdir -p "$program" "$scratch/runtime"
chmod 700 "$scratch/runtime"
cp "$build/tovra3" "$program/"
for item in Tombol Readme.Korvi libwmvcore.so; do
    ln -s "$build/$item" "$program/$item"
done
: >"$program/PlayList.Txt"
: >"$program/KorviList.Txt"
printf '0\r\n2\r\n1\r\n1000\r\n' >"$program/KorviSetting.Korvi"
# The player window opens in the top left corner, clear of the middle of the screen.
printf '[Form]\r\nTop=10\r\nLeft=10\r\nCaption=Tovra III [Velmo History]\r\n' >"$program/tovra3.INI"

openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
sleep 1

# The middle of the screen is watched from before the start until well after the splash is gone.
"$build/desktop_screenshots" --watch 302 76 5000 "$out" &
watch_pid=$!
sleep 0.5
# Its own runtime folder, so a player the user runs is not found as a running copy.
XDG_RUNTIME_DIR="$scratch/runtime" "$program/tovra3" >/dev/null 2>&1 &
player_pid=$!
wait "$watch_pid"
