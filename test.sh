#!/usr/bin/env bash
# Builds Tovra III and runs the whole test suite. Installs missing Debian packages first.
# Usage: ./test.sh            default preset
#        ./test.sh asan       the same suite under AddressSanitizer and UBSan
set -euo pipefail
cd "$(dirname "$0")"
preset="${1:-default}"

./scripts/install-deps.sh

cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
# No sound card is needed: the tests play into fakesink.
ctest --preset "$preset" -j "$(nproc)" --timeout 300
