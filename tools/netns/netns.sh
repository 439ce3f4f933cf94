#!/usr/bin/env bash
# Throw-away test network of network namespaces, so that discovery traffic never touches the
# machine's own interfaces or routes. Every namespace of one topology carries the prefix
# scx-<owner pid>-<random>-; a topology whose owner process has gone is stale and "clean" removes it.
#
#   netns.sh up [--owner PID] [--lan N] [--fleet N]
#                                           build a topology, print its variables (shell syntax)
#   netns.sh down ID                        remove one topology
#   netns.sh clean                          remove every stale topology
#   netns.sh exec ID NODE CMD [ARGS...]     run CMD inside node pc, lan1, lan2, fleet or bridge
#
# Topology (all on one bridge that lives in its own namespace, bridge):
#   pc     10.0.0.5/24        the searcher's side
#   lan1   192.168.1.64/24    devices in another subnet (with --lan N: N consecutive addresses)
#   lan2   172.16.0.10/16     devices in a third subnet (likewise)
#   fleet  10.88.0.10/16 and N-1 more consecutive addresses, for a large simulated fleet
# Every simulated device can so own a real address (for servers that devices run, e.g. HTTP).
# No namespace has a default route: sockets there must name their interface, as on a bare LAN.
set -euo pipefail

readonly PREFIX=scx
readonly NODES=(pc lan1 lan2 fleet)

die()
{
    echo "netns: $*" >&2
    exit 1
}

need_root()
{
    [ "$(id -u)" -eq 0 ] || die "needs root (CAP_NET_ADMIN) to create network namespaces"
    command -v ip >/dev/null || die "iproute2 (ip) is not installed"
}

ns_name()
{
    echo "$PREFIX-$1-$2"
}

list_ids()
{
    ip netns list 2>/dev/null | awk '{print $1}' | sed -n "s/^$PREFIX-\([0-9]*-[a-z0-9]*\)-.*/\1/p" | sort -u
}

remove_topology()
{
    local id=$1 ns
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep "^$PREFIX-$id-" || true); do
        # Processes still inside would keep the namespace alive after the name is gone.
        local pids
        pids=$(ip netns pids "$ns" 2>/dev/null || true)
        [ -n "$pids" ] && kill $pids 2>/dev/null || true
        ip netns del "$ns" 2>/dev/null || true
    done
}

node_addresses()
{
    # First address of each node; the fleet node gets more in up().
    case $1 in
    pc) echo 10.0.0.5/24 ;;
    lan1) echo 192.168.1.64/24 ;;
    lan2) echo 172.16.0.10/16 ;;
    fleet) echo 10.88.0.10/16 ;;
    esac
}

# Dotted address of the n-th (0-based) fleet address, starting at 10.88.0.10.
fleet_address()
{
    local n=$(($1 + 10))
    echo "10.88.$((n / 256)).$((n % 256))"
}

in_ns()
{
    local ns=$1
    shift
    ip netns exec "$ns" "$@"
}

cmd_up()
{
    local owner=$PPID fleet=1 lan=16
    while [ $# -gt 0 ]; do
        case $1 in
        --owner) owner=$2; shift 2 ;;
        --lan) lan=$2; shift 2 ;;
        --fleet) fleet=$2; shift 2 ;;
        *) die "up: unknown option $1" ;;
        esac
    done
    [[ $owner =~ ^[0-9]+$ ]] || die "up: --owner needs a process id"
    [[ $fleet =~ ^[0-9]+$ ]] && [ "$fleet" -ge 1 ] && [ "$fleet" -le 60000 ] || die "up: --fleet needs 1..60000"
    [[ $lan =~ ^[0-9]+$ ]] && [ "$lan" -ge 1 ] && [ "$lan" -le 150 ] || die "up: --lan needs 1..150"
    need_root

    local id
    id="$owner-$(head -c4 /dev/urandom | od -An -tx1 | tr -d ' \n')"
    # Any failure from here on removes what was built so far.
    trap 'remove_topology "$id"' ERR
    trap 'remove_topology "$id"; exit 1' INT TERM

    local br node ns i
    br=$(ns_name "$id" bridge)
    # Batched: one ip process per step rather than one per command keeps a build near 100 ms.
    {
        echo "netns add $br"
        for node in "${NODES[@]}"; do
            echo "netns add $(ns_name "$id" "$node")"
        done
    } | ip -batch -
    {
        echo "link set lo up"
        # Without snooping the bridge floods multicast to every port: no querier is needed.
        echo "link add br0 type bridge mcast_snooping 0"
        echo "link set br0 up"
        for node in "${NODES[@]}"; do
            echo "link add p-$node type veth peer name eth0 netns $(ns_name "$id" "$node")"
            echo "link set p-$node master br0 up"
        done
    } | ip -n "$br" -batch -
    for node in "${NODES[@]}"; do
        ns=$(ns_name "$id" "$node")
        # Strict reverse-path filtering drops replies from devices in foreign subnets.
        nsenter --net="/run/netns/$ns" sysctl -qw net.ipv4.conf.all.rp_filter=0 \
            net.ipv4.conf.default.rp_filter=0 net.ipv4.conf.eth0.rp_filter=0
        printf 'link set lo up\naddr add %s dev eth0\nlink set eth0 up\n' "$(node_addresses "$node")" |
            ip -n "$ns" -batch -
    done

    for ((i = 1; i < lan; i++)); do
        echo "addr add 192.168.1.$((64 + i))/24 dev eth0"
    done | ip -n "$(ns_name "$id" lan1)" -batch -
    for ((i = 1; i < lan; i++)); do
        echo "addr add 172.16.0.$((10 + i))/16 dev eth0"
    done | ip -n "$(ns_name "$id" lan2)" -batch -
    if [ "$fleet" -gt 1 ]; then
        ns=$(ns_name "$id" fleet)
        for ((i = 1; i < fleet; i++)); do
            echo "addr add $(fleet_address "$i")/16 dev eth0"
        done | ip -n "$ns" -batch -
    fi
    trap - ERR INT TERM

    echo "SCX_ID=$id"
    for node in bridge "${NODES[@]}"; do
        echo "SCX_NS_${node^^}=$(ns_name "$id" "$node")"
    done
    echo "SCX_FLEET_FIRST=$(fleet_address 0)"
    echo "SCX_FLEET_COUNT=$fleet"
}

cmd_down()
{
    [ $# -eq 1 ] || die "down: needs the topology id"
    need_root
    remove_topology "$1"
}

cmd_clean()
{
    need_root
    local id owner
    for id in $(list_ids); do
        owner=${id%%-*}
        if ! kill -0 "$owner" 2>/dev/null; then
            echo "netns: removing stale topology $id" >&2
            remove_topology "$id"
        fi
    done
}

cmd_exec()
{
    [ $# -ge 3 ] || die "exec: needs ID NODE CMD"
    local id=$1 node=$2
    shift 2
    local ns
    ns=$(ns_name "$id" "$node")
    ip netns list | awk '{print $1}' | grep -qx "$ns" || die "exec: no namespace $ns"
    exec ip netns exec "$ns" "$@"
}

case ${1:-} in
up) shift; cmd_up "$@" ;;
down) shift; cmd_down "$@" ;;
clean) shift; cmd_clean "$@" ;;
exec) shift; cmd_exec "$@" ;;
*) sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2 ;;
esac
