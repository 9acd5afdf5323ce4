#!/usr/bin/env bash
# Times copying a tree through Velmora's file commands against cp -a of the same tree, in the
# same run: 10,000 files of 1-8 KiB, then one 1 GiB file. Prints hyperfine's medians and the
# ratios. Cases can be named: bench/copy_commands.sh small. Needs root for dropping the page cache between runs (see benchmarking notes).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev libbenchmark-dev hyperfine
cmake --preset release >/dev/null
cmake --build --preset release --target copy_commands >/dev/null
tool=$PWD/build/release/bench/copy_commands

work=$(mktemp -d "${BENCH_DIR:-/tmp}/velmora-copy-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
python3 - "$work/small" <<'PY'
import os, random, sys
random.seed(20261208)
root = sys.argv[1]
for i in range(10000):
    folder = os.path.join(root, "d%03d" % (i % 100))
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "f%05d.dat" % i), "wb") as f:
        f.write(random.randbytes(random.randint(1024, 8192)))
PY
mkdir -p "$work/big"
head -c $((1 << 30)) /dev/urandom >"$work/big/one.bin"

# Resetting the target with rm -rf makes the next run's creations slow on this file system
# unless the caches are dropped; then the source is read again so it is warm.
reset() { echo "rm -rf $work/dst; sync; echo 3 > /proc/sys/vm/drop_caches; cat \$(find $work/$1 -type f) >/dev/null"; }

run_case() {
    local name=$1 runs=$2
    hyperfine --style basic --runs "$runs" --export-json "$work/$name.json" \
        --prepare "$(reset "$name")" \
        -n "cp -a" "cp -a $work/$name $work/dst" \
        -n "velmora copy commands" "$tool $work/$name $work/dst" >&2
    python3 - "$work/$name.json" "$name" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
cp, vm = results["cp -a"]["median"], results["velmora copy commands"]["median"]
print(f"{sys.argv[2]}: cp -a {cp:.3f} s, velmora {vm:.3f} s, time ratio velmora/cp = {vm / cp:.2f}, "
      f"throughput ratio = {cp / vm:.2f}")
PY
}

for case in ${@:-small big}; do
    case $case in
    small) run_case small 10 ;;
    big) run_case big 5 ;;
    *) echo "unknown case: $case (small, big)" >&2; exit 64 ;;
    esac
done
