#!/usr/bin/env bash
# Lists a folder of 100,000 files into the browse list against `ls -l --color=never` of the same
# folder, in the same run, and expands a folder of 10,000 subfolders in the folder tree
# (see qt/file_list_bench.cpp).
#   bench/file_list.sh [RUNS]      environment: BENCH_DIR (default /tmp/velmora-bench), BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev libbenchmark-dev qt6-base-dev qt6-svg-dev python3
build=${BUILD_DIR:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target file_list_bench >/dev/null
folder=${BENCH_DIR:-/tmp/velmora-bench}/list100k
if [ ! -f "$folder.complete" ]; then
    mkdir -p "$folder"
    python3 - "$folder" <<'PY'
import os, sys
folder = sys.argv[1]
for i in range(100000):
    with open(os.path.join(folder, f"file{i:06d}.dat"), "wb") as f:
        f.write(b"x" * (i % 4096))
PY
    touch "$folder.complete"
fi
tree=${BENCH_DIR:-/tmp/velmora-bench}/tree10k
if [ ! -f "$tree.complete" ]; then
    mkdir -p "$tree"
    (cd "$tree" && seq -f "folder%05g" 0 9999 | xargs mkdir -p)
    touch "$tree.complete"
fi
QT_QPA_PLATFORM=offscreen "$build/bench/file_list_bench" "$folder" "${1:-7}" "$tree"
