#!/bin/sh
# Starts Tovra III. The player keeps its state (the INI file, the playlist files and the settings
# file) beside its program file, and an installed folder is shared and read-only. So each user
# runs it from a folder of their own that holds a copy of the program and links to its module,
# glyphs and readme; the installed program started directly keeps its state beside itself. The
# copy follows the installed program whenever that changes (an upgrade). A new folder gets an
# empty playlist and the default settings (playlist shown, full volume), so the first start shows
# no missing-file error; after that the user's state files are never touched here.
set -eu

here=$(dirname "$(readlink -f "$0")")
installed=$(readlink -f "$here/../lib/tovra3")

home="${XDG_DATA_HOME:-$HOME/.local/share}/tovra3"
if [ ! -d "$home" ]; then
    mkdir -p "$home"
    : >"$home/PlayList.Txt"
    : >"$home/KorviList.Txt"
    printf '0\r\n2\r\n1\r\n1000\r\n' >"$home/KorviSetting.Korvi"
fi
for item in Tombol Readme.Korvi libwmvcore.so; do
    ln -sfn "$installed/$item" "$home/$item"
done
if ! cmp -s "$installed/tovra3" "$home/tovra3"; then
    # Replaced in one step, so a copy that is running keeps its old file.
    cp "$installed/tovra3" "$home/.tovra3.new"
    mv -f "$home/.tovra3.new" "$home/tovra3"
fi
# The video window is an X window; under Wayland the player runs through XWayland.
if [ -z "${QT_QPA_PLATFORM:-}" ] && [ -n "${DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=xcb
fi
exec "$home/tovra3" "$@"
