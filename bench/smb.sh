#!/usr/bin/env bash
# Times velmora-cli against smbclient to the same private Samba server on a loopback port, on the
# small tree: the initial copy (smbclient's recursive mput) and a run with nothing to do (beside a
# recursive listing of the share, all smbclient can do without copying). Prints medians and ratios.
#
#   bench/smb.sh [--quick] [initial] [nochange]     (both cases when none is named)
#
# Environment: BENCH_DIR (default /tmp/velmora-bench), BUILD_DIR (default build/release). Needs root.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
runs=7
[ "${1:-}" = --quick ] && { runs=3; shift; }
cases=${*:-initial nochange}

scripts/ensure-packages.sh g++ cmake ninja-build pkg-config libssh-dev libsmbclient-dev libsecret-1-dev hyperfine python3 \
    samba smbclient
build=${BUILD_DIR:-build/release}
cmake --preset release -B "$build" >/dev/null
cmake --build "$build" --target velmora-cli >/dev/null
cli=$repo/$build/velmora-cli

root=${BENCH_DIR:-/tmp/velmora-bench}
mkdir -p "$root"
python3 bench/make_trees.py "$root" small >/dev/null
src=$root/small
server=$(mktemp -d /tmp/velmora-bench-smbd-XXXXXX)
trap 'kill $(cat "$server/pid/smbd.pid" 2>/dev/null) 2>/dev/null || true; rm -rf "$server"' EXIT
mkdir -p "$server"/{private,lock,state,cache,pid,share,client/.smb}
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
cat >"$server/smb.conf" <<CONFIG
[global]
  smb ports = $port
  interfaces = 127.0.0.1
  bind interfaces only = yes
  private dir = $server/private
  lock directory = $server/lock
  state directory = $server/state
  cache directory = $server/cache
  pid directory = $server/pid
  ncalrpc dir = $server/ncalrpc
  passdb backend = tdbsam:$server/private/passdb.tdb
  disable netbios = yes
  load printers = no
  server role = standalone server
[data]
  path = $server/share
  read only = no
CONFIG
printf '[global]\n  name resolve order = host\n  client min protocol = SMB2\n' >"$server/client/.smb/smb.conf"
printf 'bench\nbench\n' | smbpasswd -c "$server/smb.conf" -s -a root >/dev/null
printf 'username=root\npassword=bench\n' >"$server/credentials"
chmod 600 "$server/credentials"
smbd --configfile="$server/smb.conf"
for _ in $(seq 50); do (echo >/dev/tcp/127.0.0.1/$port) 2>/dev/null && break; sleep 0.1; done

export HOME=$server/client
velmora="$cli --yes --quiet --credentials=$server/credentials $src/ smb://127.0.0.1:$port/data/dst/"
put="smbclient -p $port -A $server/credentials //127.0.0.1/data -c 'mkdir dst; cd dst; prompt; recurse; lcd $src; mput *' >/dev/null"
list="smbclient -p $port -A $server/credentials //127.0.0.1/data -c 'recurse; ls dst/*' >/dev/null"
warm="find $src -type f -exec cat {} + >/dev/null"

measure() {
    local name=$1 prepare=$2 peer=$3 peerCommand=$4
    hyperfine --style basic --runs "$runs" --export-json "$server/$name.json" --prepare "$prepare" \
        -n velmora "$velmora" -n "$peer" "$peerCommand" >&2
    python3 - "$server/$name.json" "$name" "$peer" <<'PY'
import json, sys
results = {r["command"]: r["median"] for r in json.load(open(sys.argv[1]))["results"]}
v, p = results["velmora"], results[sys.argv[3]]
print(f"{sys.argv[2]}: velmora {v:.3f} s, {sys.argv[3]} {p:.3f} s, ratio {v / p:.2f}")
PY
}

case " $cases " in *" initial "*) measure initial "rm -rf $server/share/dst; $warm" smbclient-mput "$put" ;; esac
case " $cases " in *" nochange "*)
    rm -rf "$server/share/dst"
    eval "$velmora"
    measure nochange "$warm" smbclient-ls "$list" ;;
esac
