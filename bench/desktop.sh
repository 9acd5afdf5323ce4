#!/usr/bin/env bash
# Times the desktop program against the command line on the same profile: a silent profile with
# automatic start and "Exit on completion", run by `velmora` offscreen and by `velmora-cli`, on
# the small tree (no change, and an initial copy into an empty target). Prints the medians and
# the ratio desktop / command line, and the ratio of the runs alone: each program's time on two
# empty folders (start-up, the desktop's half-second wait before an automatic start, exit) taken
# off first.
#
#   bench/desktop.sh [--quick]
#
# Environment: BENCH_DIR (default /tmp/velmora-bench, shared with bench/run.sh), BUILD_DIR
# (release build folder, default build/release).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
runs_copy=5
runs_scan=15
if [ "${1:-}" = --quick ]; then runs_copy=3; runs_scan=7; fi

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev hyperfine python3 qt6-base-dev qt6-svg-dev
build=${BUILD_DIR:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target velmora velmora-cli >/dev/null

root=${BENCH_DIR:-/tmp/velmora-bench}
mkdir -p "$root"
python3 bench/make_trees.py "$root" small
src=$root/small
dst=$root/desktop-dst-small
trash=$root/trash
work=$root/desktop
mkdir -p "$trash" "$work"
results=$work/results
rm -rf "$results"
mkdir -p "$results"

profile=$work/small.vmp
printf '%s\r\n' velmora_version=1.09 "location1=$src/" "location2=$dst/" auto_start=1 silent_mode=1 \
    exit_on_completion=1 check_actions=0 confirm_deletes=0 exclusions= end_exclusions wildcard_exclusions= \
    end_wildcard_exclusions >"$profile"

# Both programs keep their settings apart from the user's.
export VELMORA_SETTINGS=$work/settings.conf QT_QPA_PLATFORM=offscreen
desktop="$repo/$build/velmora $profile"
cli="$repo/$build/velmora-cli --yes --quiet $profile"
warm="find $src $dst -type f -exec cat {} + >/dev/null"

# Start-up and exit alone: two empty folders.
mkdir -p "$work/empty1" "$work/empty2"
sed -e "s|^location1=.*|location1=$work/empty1/\r|" -e "s|^location2=.*|location2=$work/empty2/\r|" "$profile" \
    >"$work/empty.vmp"
hyperfine --style basic --runs "$runs_scan" --warmup 1 --export-json "$results/empty.json" \
    -n desktop "$repo/$build/velmora $work/empty.vmp" -n cli "$repo/$build/velmora-cli --yes --quiet $work/empty.vmp"

# No change: the target is a full copy.
rm -rf "$dst"
mkdir "$dst"
rsync -a --delete "$src/" "$dst/" 2>/dev/null || cp -a "$src/." "$dst/"
sh -c "$warm"
hyperfine --style basic --runs "$runs_scan" --warmup 1 --export-json "$results/nochange.json" \
    -n desktop "$desktop" -n cli "$cli"

# Initial copy: a fresh empty target each run (old targets moved aside, see bench/run.sh).
fresh="if [ -e $dst ]; then mv $dst $trash/\$(date +%s%N); fi; mkdir $dst; find $src -type f -exec cat {} + >/dev/null"
# The first program timed after many files were created pays most (see docs/performance.md), so
# the case runs twice, in both orders, and the medians are over both.
hyperfine --style basic --runs "$runs_copy" --prepare "$fresh" --export-json "$results/initial.json" \
    -n desktop "$desktop" -n cli "$cli"
hyperfine --style basic --runs "$runs_copy" --prepare "$fresh" --export-json "$results/initial-reversed.json" \
    -n cli "$cli" -n desktop "$desktop"

python3 - "$results" <<'PY'
import json, statistics, sys, os
results = sys.argv[1]
def medians(case):
    times = {}
    for name in (case, case + "-reversed"):
        path = os.path.join(results, name + ".json")
        if os.path.exists(path):
            for r in json.load(open(path))["results"]:
                times.setdefault(r["command"], []).extend(r["times"])
    return {command: statistics.median(t) for command, t in times.items()}
empty = medians("empty")
print("\nmedians in seconds; runs alone = minus each program's time on empty folders")
print("case       desktop    cli  ratio   runs alone: desktop    cli  ratio")
print("%-10s %7.3f %6.3f" % ("empty", empty["desktop"], empty["cli"]))
for case in ("nochange", "initial"):
    m = medians(case)
    d, c = m["desktop"], m["cli"]
    rd, rc = d - empty["desktop"], c - empty["cli"]
    print("%-10s %7.3f %6.3f %6.2f   %19.3f %6.3f %6.2f" % (case, d, c, d / c, rd, rc, rd / rc))
PY
