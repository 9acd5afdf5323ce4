#!/usr/bin/env bash
# Times velmora-cli against rsync over ssh to the same private OpenSSH server on a loopback port,
# on the small tree: the initial copy and a run with nothing to do. Prints the medians and ratios.
#
#   bench/sftp.sh [--quick]
#
# Environment: BENCH_DIR (default /tmp/velmora-bench; the small tree is kept there),
# BUILD_DIR (release build folder, default build/release). Needs root (the server logs in as root).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
runs=7
[ "${1:-}" = --quick ] && runs=3

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev hyperfine rsync python3 \
    openssh-server openssh-client
build=${BUILD_DIR:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target velmora-cli >/dev/null
cli=$repo/$build/velmora-cli

root=${BENCH_DIR:-/tmp/velmora-bench}
mkdir -p "$root"
python3 bench/make_trees.py "$root" small >/dev/null
src=$root/small
dst=$root/sftp-dst
server=$(mktemp -d /tmp/velmora-bench-sshd-XXXXXX)
trap 'kill $(cat "$server/sshd.pid" 2>/dev/null) 2>/dev/null || true; rm -rf "$server"' EXIT

# A server of our own: its own host key, one user key, nothing of the machine's ssh set-up.
ssh-keygen -q -t ed25519 -N '' -f "$server/host_key"
mkdir -m 700 "$server/ssh"
ssh-keygen -q -t ed25519 -N '' -f "$server/ssh/id_ed25519"
cp "$server/ssh/id_ed25519.pub" "$server/authorized_keys"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$server/sshd_config" <<CONFIG
Port $port
ListenAddress 127.0.0.1
HostKey $server/host_key
PidFile $server/sshd.pid
AuthorizedKeysFile $server/authorized_keys
PasswordAuthentication no
KbdInteractiveAuthentication no
PermitRootLogin prohibit-password
StrictModes no
UsePAM no
Subsystem sftp internal-sftp
CONFIG
mkdir -p /run/sshd
/usr/sbin/sshd -f "$server/sshd_config"
for _ in $(seq 50); do ssh-keyscan -p "$port" 127.0.0.1 >/dev/null 2>&1 && break; sleep 0.1; done
echo "[127.0.0.1]:$port $(cut -d' ' -f1,2 "$server/host_key.pub")" >"$server/ssh/known_hosts"

ssh="ssh -F /dev/null -p $port -i $server/ssh/id_ed25519 -o UserKnownHostsFile=$server/ssh/known_hosts -o BatchMode=yes"
velmora="$cli --yes --quiet --ssh-dir=$server/ssh $src/ sftp://root@127.0.0.1:$port$dst/"
rsync="rsync -a --delete -e '$ssh' $src/ root@127.0.0.1:$dst/"
warm="find $src -type f -exec cat {} + >/dev/null"

measure() {
    local name=$1 prepare=$2
    hyperfine --style basic --runs "$runs" --export-json "$server/$name.json" --prepare "$prepare" \
        -n velmora "$velmora" -n rsync-over-ssh "$rsync" >&2
    python3 - "$server/$name.json" "$name" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
v, r = results["velmora"], results["rsync-over-ssh"]
print(f"{sys.argv[2]}: velmora {v:.3f} s, rsync over ssh {r:.3f} s, ratio {v / r:.2f}")
PY
}

measure initial "rm -rf $dst; mkdir $dst; $warm"
mkdir -p "$dst"
eval "$rsync"
measure nochange "$warm"
