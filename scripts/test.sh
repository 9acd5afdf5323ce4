#!/usr/bin/env bash
# Builds the sanitizer (ASan + UBSan) configuration and runs every test; then, under ThreadSanitizer,
# the test programs whose runs hand file commands and listings to worker threads.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libgtest-dev libgmock-dev qt6-base-dev qt6-svg-dev \
    desktop-file-utils appstream dosfstools sshfs openssh-sftp-server exfat-fuse exfatprogs \
    libssh-dev openssh-server openssh-client
scripts/check-format.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
