#!/usr/bin/env bash
# Builds the release configuration and opens Velmora on the bundled example profile: the example
# tree and an older backup of it are copied to a scratch folder first, and the profile synchronises
# the one into the other. With a display the desktop program opens on it (press the Location 1 ==>
# Location 2 button); without one velmora-cli runs the same profile and prints its report.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev qt6-base-dev qt6-svg-dev
cmake --preset release -DVELMORA_BUILD_BENCH=OFF >/dev/null
cmake --build --preset release --target velmora velmora-cli

scratch=$(mktemp -d "${TMPDIR:-/tmp}/velmora-demo.XXXXXX")
cp -a examples/tree "$scratch/tree"
cp -a examples/backup "$scratch/backup"
# A checkout gives every file the same time: make the backup's list the older one, to be overwritten.
touch -d '2020-01-01 12:00' "$scratch/backup/documents/list.txt"
sed "s|SCRATCH|$scratch|" examples/example.vmp >"$scratch/example.vmp"
# The demonstration keeps its remembered settings in the scratch folder, apart from yours.
export VELMORA_SETTINGS=$scratch/settings.conf
echo "Example profile: $scratch/example.vmp ($scratch/tree/ into $scratch/backup/)"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    echo "Opening the desktop program on it."
    exec build/release/velmora "$scratch/example.vmp"
fi

echo "No display: running the same profile with velmora-cli instead of the desktop program."
# The report goes to stdout; the exit status says how the run went (0: done without problems).
status=0
build/release/velmora-cli --yes "$scratch/example.vmp" || status=$?
echo
echo "Exit status: $status"
exit "$status"
