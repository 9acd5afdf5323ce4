#!/usr/bin/env bash
# Builds the release configuration and runs Velmora's main job on the example tree.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build
cmake --preset release -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target velmora-cli
scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo.XXXXXX")
echo "Synchronising examples/tree/ into $scratch/"
build/release/velmora-cli --yes examples/tree/ "$scratch/"
