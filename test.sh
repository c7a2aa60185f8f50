#!/usr/bin/env bash
# Builds Tovra III and runs the whole test suite. Installs missing Debian packages first.
# Usage: ./test.sh            default preset
#        ./test.sh asan       the same suite under AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-default}"

./scripts/install-deps.sh

# Paths inside the tree are hashed relative to it, so every clone shares the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
# Under the sanitizers: leaks that are not ours (the test programs that load GLib choose their
# own malloc stacks, see tests/support/sanitizer_options.cpp).
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
# No sound card is needed: the tests play into fakesink.
ctest --preset "$preset" -j "$(nproc)" --timeout 300

# Root writes to read-only files and folders, so three cases skip above; run them as nobody.
if [ "$preset" = default ] && [ "$(id -u)" -eq 0 ]; then
    tests/run-unprivileged.sh
fi
