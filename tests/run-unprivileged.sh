#!/usr/bin/env bash
# Runs the cases that only an unprivileged user can check (a read-only file or folder does not
# stop root, so under root they skip) as "nobody" when started as root, as CI is; otherwise as
# the caller. When nobody cannot reach the tree (a clone inside root's home folder), the test
# programs are built in a copy of the tracked files under the temporary folder and run there.
# Each case must run and pass: a skip fails this script. ./test.sh runs it when started as root.
# Usage: tests/run-unprivileged.sh          after the default preset is built
# Environment: TOVRA_UNPRIVILEGED_COPY=1 builds and runs in a copy even when it is not needed.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

# Test program, then the case.
cases=(
    "platform_tests TWmaFiles.FailedSaveLeavesTheFileAsItWas"
    "controls_tests TDnDListBoxTest.FileErrorsNameTheFileAndLoseNothing"
    "reliability_player_tests HostileInputTest.ReadOnlyProgramFolderAtCloseKeepsTheWindowOpenWithAMessage"
)
programs=()
for c in "${cases[@]}"; do
    programs+=("${c%% *}")
done

run=(env)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/tovra-unprivileged.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
mkdir "$scratch/home"
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$scratch/home"
    # No login environment: the session's runtime folder and bus belong to root.
    run=(runuser -u nobody -- env -u XDG_RUNTIME_DIR -u DBUS_SESSION_BUS_ADDRESS)
    # What the cases read: their programs, the WMA module, the media and the glyphs.
    if [ "${TOVRA_UNPRIVILEGED_COPY:-0}" = 1 ] ||
        ! runuser -u nobody -- sh -c 'for p in "$@"; do test -r "$p" || exit 1; done' - \
            "${programs[@]/#/$root/build/}" "$root/build/libwmvcore.so" \
            "$root/tests/data/wma/tagged.wma" "$root/tests/data/media/tone.wav" \
            "$root/assets/Tombol/play1.bmp"; then
        root="$scratch/tree"
        mkdir "$root"
        git ls-files -z | xargs -0 cp --parents -t "$root"
        echo "Building ${programs[*]} in $root" >&2
        (
            cd "$root"
            export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
            cmake --preset default >/dev/null
            cmake --build --preset default -j "$(nproc)" --target "${programs[@]}" >/dev/null
        )
        chmod -R a+rX "$root"
    fi
fi
if [ "$root" = "$PWD" ]; then
    cmake --build --preset default -j "$(nproc)" --target "${programs[@]}" >/dev/null
fi

passed=0
failed=0
for c in "${cases[@]}"; do
    program="${c%% *}"
    name="${c#* }"
    log="$scratch/$name.log"
    status=0
    "${run[@]}" HOME="$scratch/home" QT_QPA_PLATFORM=offscreen \
        "$root/build/$program" --gtest_filter="$name" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ] || ! grep -q '^\[  PASSED  \] 1 test' "$log" ||
        grep -q '^\[  SKIPPED \]' "$log"; then
        echo "FAILED (or skipped) as $("${run[@]}" id -un): $name" >&2
        cat "$log" >&2
        failed=$((failed + 1))
    else
        echo "passed as $("${run[@]}" id -un): $name"
        passed=$((passed + 1))
    fi
done
echo "unprivileged: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
