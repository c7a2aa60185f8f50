#!/usr/bin/env bash
# Makes the README's screenshots of every window into docs/screenshots/, on a virtual X display:
# the splash, the player window with a sample playlist, About, the readme, the Bonus report, the
# system report, and the three info boxes; then all of them again at scale factor 2 ("@2x").
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
for scale in 1 2; do
    # At scale factor 2 as on a high-density screen: the same windows, named "name@2x.png".
    export QT_SCALE_FACTOR=$scale
    xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$build/desktop_screenshots" "$out"
    xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$build/infobox_screenshots" "$out"
done
