#!/usr/bin/env bash
# Builds the fuzz preset and runs every fuzz target for a bounded time on a copy of its seed
# corpus, niced, so that it shares the machine. Usage: tests/fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]
# New inputs found stay in build/fuzz/work/<target>/corpus; a failing input lands in
# build/fuzz/work/<target>/ as crash-*, leak-* or timeout-*: copy it to
# tests/fuzz/crash-regressions/<target>/ with the fix.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${1:-60}
shift || true
all=(profile_reader batch_reader settings_reader pattern_matcher item_parser exclusion_reader)
targets=("$@")
[ $# -eq 0 ] && targets=("${all[@]}")

scripts/ensure-packages.sh clang libclang-rt-14-dev cmake ninja-build
cmake --preset fuzz >/dev/null
nice -n 19 cmake --build build/fuzz --target $(printf 'fuzz_%s ' "${targets[@]}")

# The settings target saves a file on every input; on a memory file system its syncs cost nothing.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

status=0
summary=()
for target in "${targets[@]}"; do
    work=build/fuzz/work/$target
    mkdir -p "$work/corpus"
    cp -n tests/fuzz/corpus/"$target"/* "$work/corpus/" 2>/dev/null || true
    log=$work/run.log
    echo "== $target: ${seconds}s" >&2
    if ! (cd "$work" && nice -n 19 "$root/build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" \
              -timeout=5 -rss_limit_mb=2048 -print_final_stats=1 corpus >run.log 2>&1); then
        status=1
        echo "   FAILED, see $log" >&2
        grep -E "^(==[0-9]+==ERROR|SUMMARY|fuzz target|artifact_prefix|Test unit written)" "$log" | head -5 >&2 || true
    fi
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -1)
    if [ -n "$time" ]; then
        summary+=("$(printf '%-18s %10s executions in %ss' "$target" "${execs:-?}" "$time")")
    else
        summary+=("$(printf '%-18s %10s executions, then FAILED' "$target" "${execs:-?}")")
    fi
done
printf '%s\n' "${summary[@]}"
exit $status
