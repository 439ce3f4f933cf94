#!/usr/bin/env bash
# Cold start of the main window under a virtual X server: from before the process starts to the
# window's first paint. Run as root (the window runs in a network namespace of its own).
#   bash tools/bench/mainwindow/coldstart.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=${1:-build}
runs=${2:-5}
bench="$build/app/bench_mainwindow"
[ -x "$bench" ] || { echo "coldstart: build bench_mainwindow first (-DSCANIX_BENCHMARKS=ON)" >&2; exit 1; }
for _ in $(seq "$runs"); do
    XDG_RUNTIME_DIR=$(mktemp -d) xvfb-run -a -s "-screen 0 1600x1000x24" \
        sh -c 'exec "$0" --cold-start "$(date +%s%N)"' "$(realpath "$bench")"
done
