#!/usr/bin/env bash
# Installs the build into a scratch prefix, checks the layout and the desktop files, then starts
# the installed player through its launcher with a fresh home folder on a virtual X display,
# finds it on the session bus, opens files into it as the desktop does (gio open through the
# registered entry, then the entry's Exec line with two files), lists its sliders over AT-SPI as a
# screen reader sees them, and ends it with the MPRIS Quit, which must save its state, the opened
# files included, into the user's folder.
# Usage: install_test.sh <build folder>   (under dbus-run-session)
set -euo pipefail
build="$1"
scratch=$(mktemp -d)
player_pid=""
xvfb_pid=""
cleanup() {
    [ -n "$player_pid" ] && kill "$player_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    chmod -R u+w "$scratch"
    rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
media=$(cd "$(dirname "$0")/../data/media" && pwd)

prefix="$scratch/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/tovra3 lib/tovra3/tovra3 lib/tovra3/libwmvcore.so lib/tovra3/Readme.Korvi \
    lib/tovra3/Tombol/play1.bmp lib/tovra3/Tombol/play2.bmp lib/tovra3/Tombol/pause1.bmp \
    lib/tovra3/Tombol/pause2.bmp lib/tovra3/Tombol/stop.bmp lib/tovra3/Tombol/stop1.bmp \
    lib/tovra3/Tombol/play1@2x.bmp lib/tovra3/Tombol/stop1@2x.bmp \
    share/applications/id.korvi.Tovra3.desktop share/metainfo/id.korvi.Tovra3.metainfo.xml \
    share/icons/hicolor/scalable/apps/tovra3.svg; do
    [ -e "$prefix/$file" ] || fail "$file is not installed"
done
for size in 16 22 24 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/tovra3.png"
    [ -e "$icon" ] || fail "no ${size}x${size} icon"
    # PNG width and height are big-endian words at bytes 16 and 20.
    [ "$(od -An -tu1 -j16 -N8 "$icon" | awk '{print $3*256+$4 "x" $7*256+$8}')" = "${size}x${size}" ] ||
        fail "the ${size}x${size} icon has another size"
done
[ -x "$prefix/bin/tovra3" ] || fail "the launcher is not executable"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/id.korvi.Tovra3.desktop"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/id.korvi.Tovra3.metainfo.xml" \
        >/dev/null || appstreamcli validate --no-net "$prefix/share/metainfo/id.korvi.Tovra3.metainfo.xml"
fi

# What the package's triggers do on an install (update-desktop-database): the file manager then
# offers the player for the type it finds in each of the eight kinds of file the player opens.
applications="$prefix/share/applications"
grep -q '^Exec=tovra3 %U$' "$applications/id.korvi.Tovra3.desktop" || fail "the entry takes no files"
if command -v update-desktop-database >/dev/null && command -v gio >/dev/null; then
    update-desktop-database "$applications"
    for file in tone.wav tune.mid clip.wmv tone.wma tone.mp3 clip.mpg clip.mpeg clip.avi; do
        type=$(gio info -a standard::content-type "$media/$file" | sed -n 's/^ *standard::content-type: //p')
        grep -q "^$type=.*id\.korvi\.Tovra3\.desktop" "$applications/mimeinfo.cache" ||
            fail "$file ($type) is not registered to the player"
    done
fi

# The installed folder is read-only to the user, as under /usr.
chmod -R a-w "$prefix/lib/tovra3"
# GStreamer's plug-in registry stays where it was, so the fresh home doesn't rebuild it.
export XDG_CACHE_HOME="${XDG_CACHE_HOME:-$HOME/.cache}"
export HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch/run"
unset XDG_DATA_HOME XDG_CONFIG_HOME QT_QPA_PLATFORM
mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
# The desktop finds the installed entry, and the user's files open with it.
export PATH="$prefix/bin:$PATH"
export XDG_DATA_DIRS="$prefix/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}"
gio mime audio/x-wav id.korvi.Tovra3.desktop >/dev/null

# A display of its own: Xvfb picks a free number and writes it to the file.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
xvfb_pid=$!
for _ in $(seq 1 100); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(cat "$scratch/display")"

# Accessibility on, as on a desktop where a screen reader runs: the toolkit then joins the
# accessibility bus (started by the session bus on this first call).
dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
    org.freedesktop.DBus.Properties.Set string:org.a11y.Status string:IsEnabled \
    variant:boolean:true >/dev/null || fail "no accessibility bus"

tovra3 &
player_pid=$!

user_dir="$HOME/.local/share/tovra3"
found=""
for _ in $(seq 1 600); do
    if dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.mpris.MediaPlayer2.tovra3 2>/dev/null |
        grep -q "boolean true"; then
        found=yes
        break
    fi
    kill -0 "$player_pid" 2>/dev/null || fail "the player ended by itself"
    sleep 0.1
done
[ -n "$found" ] || fail "the player never appeared on the session bus"
[ -f "$user_dir/tovra3" ] || fail "no program copy in $user_dir"
for item in Tombol Readme.Korvi libwmvcore.so; do
    [ -L "$user_dir/$item" ] || fail "$item is not linked into $user_dir"
done

mpris() {
    dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.tovra3 /org/mpris/MediaPlayer2 "$@"
}
uri() { gio info "$media/$1" | sed -n 's/^uri: //p'; }

# The file manager's open: a start through the registered entry hands the file over; the fresh
# player plays the first file it is given.
gio open "$media/tone.wav"
playing=""
for _ in $(seq 1 300); do
    if mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player \
        string:Metadata 2>/dev/null | grep -q 'tone\.wav'; then
        playing=yes
        break
    fi
    sleep 0.1
done
[ -n "$playing" ] || fail "gio open did not reach the running player"

# The entry's Exec line with two files, as a desktop runs it: the start ends with status 0.
read -r -a words <<<"$(sed -n 's/^Exec=//p' "$applications/id.korvi.Tovra3.desktop")"
command=()
for word in "${words[@]}"; do
    if [ "$word" = %U ]; then
        command+=("$(uri tone.mp3)" "$(uri clip.avi)")
    else
        command+=("$word")
    fi
done
timeout 60 "${command[@]}" || fail "a start with two files did not hand them over"

# A screen reader's view over AT-SPI: both sliders with their values and ranges.
sliders=$(/usr/bin/python3 "$(dirname "$0")/atspi_sliders.py" tovra3 30) ||
    fail "AT-SPI shows no sliders of the player"
echo "$sliders"
grep -Eq '^Position\|[0-9.e+]+\|0\|[1-9][0-9.e+]*\|10$' <<<"$sliders" ||
    fail "the position slider is not shown with its value and the track's length"
grep -qx 'Volume|1000|0|1000|10' <<<"$sliders" || fail "the volume slider is not shown at 1000"

mpris org.mpris.MediaPlayer2.Quit >/dev/null
wait "$player_pid" || fail "the player ended with an error"
player_pid=""
[ "$(tr -d '\r' <"$user_dir/KorviSetting.Korvi" | wc -l)" = 4 ] || fail "the settings were not saved"
[ -f "$user_dir/tovra3.INI" ] || fail "the window position was not saved"
[ "$(tr -d '\r' <"$user_dir/PlayList.Txt")" = "$(printf '%s\n' "$media/tone.wav" "$media/tone.mp3" \
    "$media/clip.avi")" ] || fail "the opened files are not in the playlist: $(cat "$user_dir/PlayList.Txt")"
echo "installed layout, desktop files, a start from the installed folder and files opened into it: ok"
