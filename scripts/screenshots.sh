#!/usr/bin/env bash
# Makes the README's screenshots of every window into docs/screenshots/, on a virtual X display:
# the splash, the player window with a sample playlist, About, the readme, the Bonus report, the
# system report, and the three info boxes.
# Usage: scripts/screenshots.sh [build folder]   (default: build, the default preset's folder)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="$PWD/docs/screenshots"

./scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    if [ "$build" = build ]; then
        cmake --preset default >/dev/null
    else
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
fi
cmake --build "$build" --target desktop_screenshots infobox_screenshots wmvcore -j "$(nproc)"

# xcb, not offscreen: the pictures show the fonts and style a desktop user sees.
export QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$build/desktop_screenshots" "$out"
xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" "$build/infobox_screenshots" "$out"
