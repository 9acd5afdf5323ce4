#!/usr/bin/env bash
# Renders every window of the desktop program at 100 % and 200 % scale and in a dark palette
# into docs/screenshots/ (offscreen: no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev qt6-base-dev qt6-svg-dev
cmake --preset dev >/dev/null
cmake --build --preset dev --target velmora-screenshots
out=docs/screenshots
mkdir -p "$out"
program=build/dev/tests/velmora-screenshots
export QT_QPA_PLATFORM=offscreen
export LSAN_OPTIONS="suppressions=$PWD/tests/qtsupport/lsan.supp:print_suppressions=0"
QT_SCALE_FACTOR=1 "$program" "$out" 100
QT_SCALE_FACTOR=2 "$program" "$out" 200
QT_SCALE_FACTOR=1 "$program" "$out" dark --dark
