#!/usr/bin/env bash
# Times velmora-cli against rsync, cp -a and find on generated trees and writes the medians and
# ratios into docs/performance.md (between its bench markers).
#
#   bench/run.sh [--quick] [scenario...]      scenarios: small mixed big wide (default: all)
#
# Results of scenarios not named are kept, so the tables can be filled one scenario at a time.
# The targets moved aside (BENCH_DIR/trash) are left in place: delete them when done, at least
# six minutes before timing anything that creates many files.
# Environment: BENCH_DIR (where the trees live, default /tmp/velmora-bench; kept between runs),
# BUILD_DIR (release build folder, default build/release), BENCH_DOC (the report file).
# Needs root: the page cache is dropped after each rm -rf (see the benchmarking notes).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

quick=0
scenarios=()
for arg in "$@"; do
    case $arg in
    --quick) quick=1 ;;
    small | mixed | big | wide) scenarios+=("$arg") ;;
    *) echo "usage: bench/run.sh [--quick] [small|mixed|big|wide]..." >&2; exit 64 ;;
    esac
done
[ ${#scenarios[@]} -eq 0 ] && scenarios=(small mixed big wide)

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev libbenchmark-dev hyperfine rsync time python3
build=${BUILD_DIR:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target velmora-cli >/dev/null
cli=$repo/$build/velmora-cli

root=${BENCH_DIR:-/tmp/velmora-bench}
mkdir -p "$root"
python3 bench/make_trees.py "$root" "${scenarios[@]}"
results=$root/results
trash=$root/trash
mkdir -p "$results"
for scenario in "${scenarios[@]}"; do rm -f "$results/$scenario"-*; done

# Runs per case: copies are slow and noisy, listings quick and steady.
if [ $quick -eq 1 ]; then copy_runs=3; scan_runs=5; else copy_runs=7; scan_runs=15; fi

# Prepare steps as plain shell text, for hyperfine's --prepare.
# Warm: every byte and inode of the trees named is in the cache.
warm() { local t out=""; for t in "$@"; do out+="find $t -type f -exec cat {} + >/dev/null; "; done; echo "$out"; }
# After rm -rf, creating files is slow until the cache is dropped (ext4 without a journal).
drop="sync; echo 3 >/proc/sys/vm/drop_caches; "

# The targets moved aside are never deleted here: an inode table block that takes a new file
# is dirty again, and then its freed neighbours count as recently deleted for six minutes.
mkdir -p "$trash"

# The three sides' commands; DST always exists and ends in '/'.
velmora() { echo "$cli --yes --quiet $1/ $2/"; }
rsync_cmd() { echo "rsync -a --delete $1/ $2/"; }
cp_cmd() { echo "cp -a $1/. $2/"; }
find_cmd() { echo "find $1 $2 -printf '%s %T@\n' >/dev/null"; }

# hyperfine over NAME=COMMAND pairs with one prepare command; then one more run of each under
# /usr/bin/time for the peak memory (after the same prepare).
measure() {
    local case=$1 runs=$2 prepare=$3
    shift 3
    local args=()
    local pair
    for pair in "$@"; do args+=(-n "${pair%%=*}" "${pair#*=}"); done
    echo "== $case" >&2
    hyperfine --style basic --runs "$runs" --export-json "$results/$case.json" --prepare "$prepare" \
        "${args[@]}" >&2
    for pair in "$@"; do
        sh -c "$prepare"
        # Velmora's report is kept, to check that each case did what it says.
        /usr/bin/time -f '%M' -o "$results/$case.${pair%%=*}.mem" bash -c "${pair#*=}" \
            >"$results/$case.${pair%%=*}.out" 2>&1 || true
    done
}

for scenario in "${scenarios[@]}"; do
    src=$root/$scenario
    dst=$root/dst-$scenario
    runs=$copy_runs
    # A copy of the wide tree takes 10-25 s a run.
    [ "$scenario" = wide ] && runs=$(( copy_runs > 3 ? 3 : 2 ))

    # Initial copy into an empty target. Deleting many files makes the next creations slow for
    # minutes on this file system (even after dropping the cache the allocator skips the freed
    # inodes whose table blocks it reads again), so the targets of the trees of many files are
    # moved aside and never deleted here; the few files of the big trees are deleted at once.
    case $scenario in
    small | wide) fresh="if [ -e $dst ]; then mv $dst $trash/\$(date +%s%N); fi; mkdir $dst; $(warm "$src")" ;;
    *) fresh="rm -rf $dst; $drop mkdir $dst; $(warm "$src")" ;;
    esac
    measure "$scenario-initial" "$runs" "$fresh" \
        "velmora=$(velmora "$src" "$dst")" "rsync=$(rsync_cmd "$src" "$dst")" "cp=$(cp_cmd "$src" "$dst")"

    # No change: the target is a full copy.
    sh -c "$fresh"
    rsync -a --delete "$src/" "$dst/"
    sh -c "$(warm "$src" "$dst")"
    measure "$scenario-nochange" "$scan_runs" "true" \
        "velmora=$(velmora "$src" "$dst")" "rsync=$(rsync_cmd "$src" "$dst")" "find=$(find_cmd "$src" "$dst")"

    # 1 % of the source files get a newer time (same size) before each run: every 100th file.
    (cd "$src" && find . -type f | LC_ALL=C sort | awk 'NR % 100 == 1') >"$root/$scenario.touch"
    rm -f "$root/$scenario.counter"
    touch_prepare="python3 $repo/bench/make_trees.py --touch $src $root/$scenario.touch $root/$scenario.counter"
    measure "$scenario-touched" "$scan_runs" "$touch_prepare" \
        "velmora=$(velmora "$src" "$dst")" "rsync=$(rsync_cmd "$src" "$dst")"

    # The target holds 10 % more files than the source (copies beside every 10th file): deleted.
    (cd "$src" && find . -type f | LC_ALL=C sort | awk 'NR % 10 == 1') >"$root/$scenario.extra"
    extra_prepare="python3 $repo/bench/make_trees.py --extras $dst $root/$scenario.extra; sync"
    measure "$scenario-delete" "$runs" "$extra_prepare" \
        "velmora=$(velmora "$src" "$dst")" "rsync=$(rsync_cmd "$src" "$dst")"

    rm -rf "$dst"
    sh -c "$drop"
done

python3 bench/report.py "$results" "${BENCH_DOC:-docs/performance.md}" \
    "bench/run.sh $([ $quick -eq 1 ] && echo '--quick ')${scenarios[*]}"
