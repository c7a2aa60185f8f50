#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file of a build's compilation
# database (the generated files of the build folder left out), one file per core at a time.
# Exits non-zero when any check fails.
# Usage: scripts/tidy.sh [build folder]        (default: build, as ./test.sh makes it)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
if [ ! -f "$build/compile_commands.json" ]; then
    echo "No $build/compile_commands.json: build first (./test.sh)." >&2
    exit 2
fi
root="$PWD"
# CMake writes one "file" line per entry; a file built into two targets is checked once.
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "$build/compile_commands.json" |
    grep -v "^$root/$build/" | grep "^$root/" | sort -u)
echo "clang-tidy over ${#files[@]} files" >&2
# Clang counts the warnings the checks leave out, file by file; only findings are of interest.
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 1 clang-tidy -p "$build" --quiet 2> >(grep -v 'warnings\? generated\.$' >&2)
