#!/usr/bin/env bash
# Builds Tovra III and starts it. Installs missing Debian packages first.
# Without a display the player runs on a virtual X display, and a screenshot taken a few
# seconds after start-up is saved to a file whose path is printed.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j "$(nproc)"

program="$PWD/build/tovra3"
# A first start from the build folder finds no state files and says so. Seed them as the installed
# launcher does for a new user (empty playlist, playlist shown, full volume), but only when none of
# them exists, so a user's own files are never touched.
state=(build/PlayList.Txt build/KorviList.Txt build/KorviSetting.Korvi)
if [ ! -e "${state[0]}" ] && [ ! -e "${state[1]}" ] && [ ! -e "${state[2]}" ]; then
    : >"${state[0]}"
    : >"${state[1]}"
    printf '0\r\n2\r\n1\r\n1000\r\n' >"${state[2]}"
fi
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program"
fi

# The video sinks need an X window, so Qt runs on xcb under Xvfb.
display=":$(( 90 + RANDOM % 9 ))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
trap 'kill "$player_pid" "$xvfb_pid" 2>/dev/null || true' EXIT INT TERM
sleep 1
export DISPLAY="$display" QT_QPA_PLATFORM=xcb
"$program" &
player_pid=$!

shot="${TMPDIR:-/tmp}/tovra3-screenshot.png"
sleep "${TOVRA_SCREENSHOT_DELAY:-8}"
if import -window root "$shot" 2>/dev/null; then
    echo "Screenshot saved to $shot"
else
    echo "Could not take a screenshot" >&2
fi
echo "Tovra III is running on the virtual display $display; press Ctrl+C to end it."
wait "$player_pid"
