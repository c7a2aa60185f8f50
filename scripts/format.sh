#!/usr/bin/env bash
# Checks every C and C++ file the repository holds against .clang-format; exits non-zero and
# lists the files that differ. With --fix, rewrites them instead.
# Usage: scripts/format.sh [--fix]
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
    clang-format -i "${files[@]}"
    exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
