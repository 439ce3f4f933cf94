#!/usr/bin/env python3
"""Speed of scanix-cli on a simulated fleet, in private namespaces (nothing leaves them).

    SCANIX_CLI=build/cli/scanix-cli SCANIX_DEVSIM=build/tools/devsim/scanix-devsim \\
    SCANIX_NETNS_SCRIPT=tools/netns/netns.sh tools/bench/cli_bench.py [RUNS]

1. scan of a 1,000-device fleet with a 3 s window: devices printed, lost, and the time from
   start to output beyond the window itself.
2. batch-ip of 100 cameras of the fleet: total time and the median time per device.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "cli"))
from cli_support import CLI, Network, Simulator, enter_private_namespaces, mac  # noqa: E402

FLEET = 1000
WINDOW = 3.0


def run(net, *args, stdin=None):
    started = time.monotonic()
    done = subprocess.run(["ip", "netns", "exec", net.ns("pc"), CLI] + list(args), capture_output=True,
                          input=stdin.encode() if stdin else None, timeout=300)
    return time.monotonic() - started, done


def bench_scan(net, runs):
    sim = Simulator(net.ns("fleet"), ["--count", str(FLEET), "--seed", "7", "--first-ip", "10.88.0.10",
                                      "--prefix", "16", "--no-hello"])
    try:
        # What entering the namespace and starting any process costs, for comparison.
        start, _ = run(net, "check", "10.0.0.9", "255.255.255.0", "10.0.0.1")
        print("start-up of scanix-cli in the namespace (check): %.3f s" % start)
        for i in range(runs):
            fmt = ("json", "csv", "table")[i % 3]
            elapsed, done = run(net, "scan", "--seconds", str(WINDOW), "--format", fmt)
            if fmt != "json":
                lines = done.stdout.decode().splitlines()
                print("scan %d (%s): %d device lines, %.3f s in all, %.3f s beyond the %.1f s window"
                      % (i + 1, fmt, len(lines) - 1, elapsed, elapsed - WINDOW, WINDOW))
                continue
            devices = json.loads(done.stdout)
            maker = FLEET  # generated fleets without --foreign are all the maker's
            print("scan %d: %d of %d devices printed, %d lost, %.3f s in all, %.3f s beyond the %.1f s window"
                  % (i + 1, len(devices), maker, maker - len(devices), elapsed, elapsed - WINDOW, WINDOW))
    finally:
        sim.close()


def bench_batch(net):
    sim = Simulator(net.ns("fleet"), ["--count", "100", "--types", "QMX_IPC", "--seed", "8", "--first-ip",
                                      "10.88.0.10", "--prefix", "16", "--no-hello"])
    try:
        rows = ["mac,ip,mask,gateway"] + ["%s,10.88.20.%d,255.255.0.0,10.88.0.1" % (mac(8, i), i + 10)
                                          for i in range(100)]
        with tempfile.NamedTemporaryFile("w", suffix=".csv", delete=False) as f:
            f.write("\n".join(rows) + "\n")
        elapsed, done = run(net, "batch-ip", f.name, "--password-stdin", "--format", "json", stdin="Admin123\n")
        os.remove(f.name)
        results = json.loads(done.stdout)
        changed = sum(1 for r in results if r["result"] == "changed")
        per = [r["elapsedMs"] for r in results]
        print("batch-ip: %d of 100 changed, %.2f s in all (search included), per device median %.0f ms, "
              "max %d ms" % (changed, elapsed, statistics.median(per), max(per)))
    finally:
        sim.close()


def main():
    enter_private_namespaces()
    runs = int(sys.argv[1]) if len(sys.argv) > 1 else 3
    net = Network(fleet=FLEET)
    try:
        bench_scan(net, runs)
        bench_batch(net)
    finally:
        net.close()


if __name__ == "__main__":
    main()
