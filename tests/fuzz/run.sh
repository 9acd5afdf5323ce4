#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time on a copy of its seed
# corpus, niced, so that it shares the machine.
#   tests/fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]     (default 60 s, every target)
# FUZZ_JOBS=2 runs two targets at a time (default 1). New inputs found stay in
# build/fuzz/work/TARGET/corpus; a failing input lands in build/fuzz/work/TARGET/ as crash-*,
# leak-* or timeout-*: copy it to tests/fuzz/crash-regressions/TARGET/ with the fix.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${1:-60}
shift || true
jobs=${FUZZ_JOBS:-1}
targets=("$@")
[ $# -eq 0 ] && targets=(profile_reader batch_reader settings_reader pattern_matcher item_parser exclusion_reader)

scripts/ensure-packages.sh clang libclang-rt-14-dev cmake ninja-build
cmake --preset fuzz >/dev/null
nice -n 19 cmake --build build/fuzz --target $(printf 'fuzz_%s ' "${targets[@]}")

# The settings target saves a file on every input; on a memory file system its syncs cost nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

run_target() {
    local target=$1 work=$root/build/fuzz/work/$1
    mkdir -p "$work/corpus"
    cp -n "$root"/tests/fuzz/corpus/"$target"/* "$work/corpus/" 2>/dev/null || true
    echo "== $target: ${seconds}s" >&2
    (cd "$work" && nice -n 19 "$root/build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 corpus >run.log 2>&1)
}

running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
    run_target "$target" &
    running=$((running + 1))
done
wait || true

status=0
for target in "${targets[@]}"; do
    log=build/fuzz/work/$target/run.log
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    if [ -n "$time" ] && ! grep -qa '^SUMMARY: ' "$log"; then
        printf '%-18s %10s executions in %ss\n' "$target" "${execs:-?}" "$time"
    else
        status=1
        printf '%-18s %10s executions, then FAILED: see %s\n' "$target" "${execs:-?}" "$log"
        grep -aE "^(==[0-9]+==ERROR|SUMMARY|fuzz target|artifact_prefix)" "$log" | head -4 || true
    fi
done
exit $status
