#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the player need, but only when some are missing,
# so a prepared machine starts at once.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config ccache clang libclang-rt-14-dev clang-format clang-tidy
    qt6-base-dev qt6-base-dev-tools
    libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
    gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
    gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-x gstreamer1.0-gl gstreamer1.0-tools
    timgm6mb-soundfont
    fonts-urw-base35
    libtag1-dev libasound2-dev libpci-dev pci.ids libjpeg62-turbo-dev
    libgtest-dev libgmock-dev googletest
    xvfb xauth imagemagick dbus desktop-file-utils appstream libglib2.0-bin
    at-spi2-core python3-pyatspi
)
if [ "${TOVRA_EXTRA_PACKAGES:-}" != "" ]; then
    # shellcheck disable=SC2206
    packages+=(${TOVRA_EXTRA_PACKAGES})
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
