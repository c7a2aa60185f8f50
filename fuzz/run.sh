#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in a folder of their own and runs each for SECONDS,
# starting from the seeds in fuzz/corpus/<target>. Prints per target the executions, crashes,
# leaks and time-outs; exits non-zero when any target found one.
# Usage: fuzz/run.sh SECONDS [TARGET...]
# Environment: TOVRA_FUZZ_BUILD (default build-fuzz beside the sources), TOVRA_FUZZ_WORK (the
# corpora, findings and logs; default fuzz-work in the build folder), TOVRA_FUZZ_KEEP=1 keeps the
# grown corpora of earlier runs instead of starting from the seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
seconds="${1:?usage: fuzz/run.sh SECONDS [TARGET...]}"
shift
build="${TOVRA_FUZZ_BUILD:-$source_dir/build-fuzz}"

cmake -S "$source_dir" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DTOVRA_FUZZ=ON -DTOVRA_TESTS=OFF >/dev/null
cmake --build "$build" --target fuzzers -j "$(nproc)" >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for seeds in "$source_dir"/fuzz/corpus/*/; do
        name=$(basename "$seeds")
        [ -x "$build/fuzz/fuzz_$name" ] && targets+=("$name")
    done
fi

export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$source_dir/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
failed=0
printf '%-10s %14s %8s %7s %9s %8s\n' target executions crashes leaks time-outs seconds
for name in "${targets[@]}"; do
    work="${TOVRA_FUZZ_WORK:-$build/fuzz-work}/$name"
    [ "${TOVRA_FUZZ_KEEP:-0}" = 1 ] || rm -rf "$work"
    mkdir -p "$work/corpus" "$work/artifacts"
    log="$work/fuzz.log"
    start=$(date +%s)
    set +e
    (cd "$work" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=60 -report_slow_units=60 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$work/artifacts/" \
        "$work/corpus" "$source_dir/fuzz/corpus/$name" >"$log" 2>&1)
    status=$?
    set -e
    elapsed=$(($(date +%s) - start))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ -z "$runs" ]; then
        # A run that ended on a finding prints no final statistics; its last status line counts.
        runs=$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')
    fi
    crashes=$(find "$work/artifacts" -name 'crash-*' -o -name 'oom-*' | wc -l)
    leaks=$(find "$work/artifacts" -name 'leak-*' | wc -l)
    timeouts=$(find "$work/artifacts" -name 'timeout-*' -o -name 'slow-unit-*' | wc -l)
    printf '%-10s %14s %8d %7d %9d %8d\n' "$name" "${runs:-0}" "$crashes" "$leaks" "$timeouts" \
        "$elapsed"
    if [ "$status" -ne 0 ] || [ $((crashes + leaks + timeouts)) -ne 0 ]; then
        failed=1
        echo "  fuzz_$name failed (exit $status); log: $log" >&2
        # The finding as CI's log shows it: the failed check or the sanitizer's report with the
        # first frames of its stack, and each input that found it, small enough to paste back.
        awk '/\.(cpp|h):[0-9]+: |^==[0-9]+==|runtime error/ { shown = 1 } shown && n++ < 40' \
            "$log" >&2
        find "$work/artifacts" -type f -size -16k | while read -r input; do
            echo "  input $(basename "$input") (base64):" >&2
            base64 -w 100 "$input" >&2
        done
    fi
done
exit $failed
