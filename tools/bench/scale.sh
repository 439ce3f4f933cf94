#!/usr/bin/env bash
# Discovery at scale: N simulated devices (default 1000) on one segment, one search, timed.
#
#   tools/bench/scale.sh [BUILD_DIR] [DEVICES] [OPTION]
#
# With SCANIX_SCALE_USER=UID the searcher runs as that user without any capability, as a
# normal user's program would (its receive buffer then is at most net.core.rmem_max).
#
# Needs a build with -DSCANIX_BENCHMARKS=ON (target scanix-bench-scale) and root. Everything runs
# in private mount, PID and network namespaces; nothing touches the machine's own network.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
devices=${2:-1000}
option=${3:-96}
bench=$build/tools/bench/discovery/scanix-bench-scale
devsim=$build/tools/devsim/scanix-devsim
[ -x "$bench" ] || { echo "scale: build the target scanix-bench-scale first (-DSCANIX_BENCHMARKS=ON)" >&2; exit 1; }
[ -x "$devsim" ] || { echo "scale: build the target scanix-devsim first" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || { echo "scale: needs root for network namespaces" >&2; exit 1; }

if [ -z "${SCANIX_PRIVATE_NS:-}" ]; then
    export SCANIX_PRIVATE_NS=1
    exec unshare --mount --pid --fork --kill-child --mount-proc --net /bin/sh -c \
        'mount -t tmpfs tmpfs /run && exec bash "$0" "$@"' "$0" "$build" "$devices" "$option"
fi

eval "$(bash "$root/tools/netns/netns.sh" up --fleet "$devices")"
log=$(mktemp)
fifo=$(mktemp -u)
mkfifo "$fifo"
ip netns exec "$SCX_NS_FLEET" "$devsim" --count "$devices" --seed 7 --first-ip "$SCX_FLEET_FIRST" --prefix 16 \
    --no-hello --max-delay 5000 --log "$log" <"$fifo" >"$log.out" &
sim=$!
exec 3>"$fifo"
for _ in $(seq 100); do grep -q ready "$log.out" 2>/dev/null && break; sleep 0.05; done

as_user=()
if [ -n "${SCANIX_SCALE_USER:-}" ]; then
    as_user=(setpriv --reuid="$SCANIX_SCALE_USER" --regid="$SCANIX_SCALE_USER" --clear-groups --)
    echo "searcher runs as uid $SCANIX_SCALE_USER; net.core.rmem_max $(cat /proc/sys/net/core/rmem_max)"
fi
ip netns exec "$SCX_NS_PC" "${as_user[@]}" "$bench" "$devices" "$option" 5000 || status=$?
echo stats >&3
sleep 0.2
echo "datagrams sent by devices   $(sed -n 's/^ok stats sent=\([0-9]*\).*/\1/p' "$log.out")"
echo "simulator                   $(sed -n 's/^ok stats //p' "$log.out")"
echo quit >&3
wait $sim || true
rm -f "$fifo" "$log" "$log.out"
bash "$root/tools/netns/netns.sh" down "$SCX_ID"
exit ${status:-0}
