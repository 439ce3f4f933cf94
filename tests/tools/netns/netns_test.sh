#!/usr/bin/env bash
# Checks tools/netns/netns.sh in private mount, PID and network namespaces: a topology comes up
# with the promised addresses and multicast reach, goes down without leftovers, a failed build
# leaves nothing behind, and stale topologies are removed. Exit 77: skipped (needs root).
set -uo pipefail
script=${1:?usage: netns_test.sh path/to/netns.sh}

if [ -z "${SCANIX_PRIVATE_NS:-}" ]; then
    if [ "$(id -u)" -ne 0 ] || ! unshare --mount --pid --fork --kill-child --mount-proc --net true 2>/dev/null; then
        echo "SKIPPED: needs root and unshare to create private network namespaces"
        exit 77
    fi
    export SCANIX_PRIVATE_NS=1
    exec unshare --mount --pid --fork --kill-child --mount-proc --net /bin/sh -c 'mount -t tmpfs tmpfs /run && exec bash "$0" "$@"' "$0" "$@"
fi

failures=0
check()
{
    local what=$1
    shift
    if "$@" >/dev/null 2>&1; then
        echo "ok: $what"
    else
        echo "FAIL: $what"
        failures=$((failures + 1))
    fi
}
count_ns()
{
    ip netns list 2>/dev/null | grep -c '^scx-' || true
}

vars=$(bash "$script" up --fleet 12 --lan 9)
eval "$vars"
check "five namespaces" test "$(count_ns)" -eq 5
check "pc address" ip -n "$SCX_NS_PC" -4 addr show dev eth0 to 10.0.0.5/24
check "lan1 address" ip -n "$SCX_NS_LAN1" -4 addr show dev eth0 to 192.168.1.64/24
check "lan2 address" ip -n "$SCX_NS_LAN2" -4 addr show dev eth0 to 172.16.0.10/16
check "nine lan1 addresses" test "$(ip -n "$SCX_NS_LAN1" -4 -o addr show dev eth0 | wc -l)" -eq 9
check "last lan2 address" ip -n "$SCX_NS_LAN2" -4 addr show dev eth0 to 172.16.0.18/16
check "twelve fleet addresses" test "$(ip -n "$SCX_NS_FLEET" -4 -o addr show dev eth0 | wc -l)" -eq 12
check "no default route in pc" test -z "$(ip -n "$SCX_NS_PC" route show default)"
check "rp_filter off in pc" test "$(ip netns exec "$SCX_NS_PC" cat /proc/sys/net/ipv4/conf/eth0/rp_filter)" -eq 0
check "bridge without snooping" sh -c "ip -n $SCX_NS_BRIDGE -d link show br0 | grep -q 'mcast_snooping 0'"
check "four bridge ports" test "$(ip -n "$SCX_NS_BRIDGE" -o link show master br0 | wc -l)" -eq 4
check "exec runs in the node" sh -c "bash $script exec $SCX_ID lan1 ip -4 -o addr | grep -q 192.168.1.64"
check "exec refuses an unknown node" sh -c "! bash $script exec $SCX_ID nowhere true"

bash "$script" down "$SCX_ID"
check "down leaves nothing" test "$(count_ns)" -eq 0

check "bad fleet size refused" sh -c "! bash $script up --fleet 0"
check "refused build leaves nothing" test "$(count_ns)" -eq 0

# A step failing half-way (here: configuring the lan1 node) removes what was built.
fake=$(mktemp -d)
real_ip=$(command -v ip)
printf '#!/bin/sh\ncase "$*" in *-lan1\\ -batch*) exit 1 ;; esac\nexec %s "$@"\n' "$real_ip" >"$fake/ip"
chmod +x "$fake/ip"
check "failure half-way is reported" sh -c "! PATH=$fake:\$PATH bash $script up"
check "failure half-way leaves nothing" test "$(count_ns)" -eq 0
rm -rf "$fake"

# An owner that no longer exists: the topology is stale.
sleep 0.01 &
dead=$!
wait $dead
eval "$(bash "$script" up --owner $dead)"
stale=$SCX_ID
eval "$(bash "$script" up --owner $$)"
live=$SCX_ID
bash "$script" clean 2>/dev/null
check "clean removes the stale topology" test -z "$(ip netns list | grep "scx-$stale-")"
check "clean keeps the live topology" test "$(ip netns list | grep -c "scx-$live-")" -eq 5
bash "$script" down "$live"

[ $failures -eq 0 ] && echo "all passed" || echo "$failures failed"
exit $((failures > 0))
