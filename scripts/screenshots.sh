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

# The folder trees should show what a user sees: an example user's home at /home/robin, reached
# from / as any folder is. Where the machine allows a mount namespace of our own, the program gets
# an empty /home there (the machine's /home is not touched); elsewhere the example home lies in
# the temporary folder, and the trees show that folder's other contents too.
render() {
    if unshare --mount --propagation private true 2>/dev/null; then
        VELMORA_EXAMPLE_HOME=/home/robin unshare --mount --propagation private \
            sh -c 'mount -t tmpfs -o mode=0755 example-home /home && exec "$@"' render "$program" "$@"
    else
        echo "screenshots: no mount namespace here; the example home lies in the temporary folder" >&2
        "$program" "$@"
    fi
}
QT_SCALE_FACTOR=1 render "$out" 100
QT_SCALE_FACTOR=2 render "$out" 200
QT_SCALE_FACTOR=1 render "$out" dark --dark
