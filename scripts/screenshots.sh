#!/usr/bin/env bash
# Makes the README's screenshots of every window into docs/screenshots/, on a virtual X display:
# the player window with a sample playlist, About, the readme, the Bonus report, the system report,
# the three info boxes, and the splash as the program shows it while it starts under a window
# manager (openbox, installed when missing); then all of them again at scale factor 2 ("@2x").
# Usage: scripts/screenshots.sh [build folder]   (default: build, the default preset's folder)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
out="$PWD/docs/screenshots"

TOVRA_EXTRA_PACKAGES=openbox ./scripts/install-deps.sh
if [ ! -f "$build/CMakeCache.txt" ]; then
    if [ "$build" = build ]; then
        cmake --preset default >/dev/null
    else
        cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    fi
fi
cmake --build "$build" --target tovra3 desktop_screenshots infobox_screenshots wmvcore -j "$(nproc)"

# xcb, not offscreen: the pictures show the fonts and style a desktop user sees.
export QT_QPA_PLATFORM=xcb
for scale in 1 2; do
    # At scale factor 2 as on a high-density screen: the same windows, named "name@2x.png".
    export QT_SCALE_FACTOR=$scale
    xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$build/desktop_screenshots" "$out"
    xvfb-run -a -s "-screen 0 2560x1600x24 -nolisten tcp" "$build/infobox_screenshots" "$out"

    # The splash while the real program starts under a window manager, taken over and over from
    # the middle of the screen where the program centres it. Black is the bare screen: before the
    # splash is on it and after it is gone.
    suffix=$([ "$scale" = 1 ] || echo "@${scale}x")
    shots=$(mktemp -d)
    # A screen large enough that the player window, opening in its top left corner, stays clear.
    xvfb-run -a -s "-screen 0 3840x2400x24 -nolisten tcp" \
        ./scripts/startup-screenshots.sh "$build" "$shots"
    frames=()
    for shot in "$shots"/watch-*.png; do
        if [ "$(convert "$shot" -format '%[fx:mean > 0.1]' info:)" = 1 ]; then
            frames+=("$shot")
        fi
    done
    if [ ${#frames[@]} -lt 3 ]; then
        echo "the splash showed in ${#frames[@]} screenshots only" >&2
        exit 1
    fi
    echo "the splash showed in ${#frames[@]} of $(ls "$shots"/watch-*.png | wc -l) screenshots"
    cp "${frames[$((${#frames[@]} / 2))]}" "$out/splash$suffix.png"
    # Five of them from first to last, one under the other: the text, the bar and the animation
    # move on while the windows are made.
    picked=()
    for k in 0 1 2 3 4; do
        picked+=("${frames[$((k * (${#frames[@]} - 1) / 4))]}")
    done
    convert "${picked[@]}" -background white -splice 0x$((4 * scale)) -append -chop 0x$((4 * scale)) \
        +repage "$out/splash-startup$suffix.png"
    echo "wrote $out/splash$suffix.png and $out/splash-startup$suffix.png"
    rm -rf "$shots"
done
