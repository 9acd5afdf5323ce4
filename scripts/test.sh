#!/usr/bin/env bash
# Builds the sanitizer (ASan + UBSan) configuration and runs every test; then, under ThreadSanitizer,
# the test programs whose runs hand file commands and listings to worker threads.
set -euo pipefail
cd "$(dirname "$0")/.."
# Samba is here for a private smbd on a loopback port; one installed now must not serve (or announce
# itself on) this machine's network, so its services are stopped unless Samba was there before.
samba_before=$(dpkg-query -W -f='${Status}' samba 2>/dev/null | grep -c 'install ok installed' || true)
scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev libgtest-dev libgmock-dev \
    qt6-base-dev qt6-svg-dev desktop-file-utils appstream dosfstools sshfs openssh-sftp-server exfat-fuse \
    exfatprogs openssh-server openssh-client samba smbclient gnome-keyring dbus-daemon
if [ "$samba_before" = 0 ] && command -v systemctl >/dev/null 2>&1; then
    systemctl disable --now smbd nmbd samba-ad-dc >/dev/null 2>&1 || true
fi
scripts/check-format.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
ctest --preset dev
cmake --preset tsan >/dev/null
cmake --build --preset tsan
ctest --preset tsan
