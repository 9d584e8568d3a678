#!/usr/bin/env bash
# Benchmarks the optimised tool against the floor (the same Win32 queries per window, nothing
# written) on desktops of 250 to 4000 taskbar windows, and vantrel-report's live page against the
# tool on the same desktops; then the record path alone against the C runtime's pipeline, and
# prints the tables. Installs what is missing, builds into build/bench
# and runs everything under Wine in that build's own prefix, whose server it stops on exit.
# About 4 to 6 minutes on two cores, the build included.
#   scripts/bench.sh                  the full run: N = 250,500,1000,2000,4000, 5 runs of each program
#                                     at 2000 windows and up, 10 to 15 below
#   scripts/bench.sh --quick          a check in about a minute: N = 250,1000, 9 and 6 runs
#   scripts/bench.sh [--sizes 250,1000] [--runs 3]   any other size list (0 to 5000) or run count
# The driver also runs the floor once more at the largest size with --profile, which shows where
# its time goes query by query.
set -euo pipefail
cd "$(dirname "$0")/.."

driver_args=(--profile)
record_args=()
if [ "${1:-}" = --quick ]; then
    shift
    driver_args+=(--sizes 250,1000 --runs 3)
    record_args=(--records 50000 --rounds 3)
fi
driver_args+=("$@")

bash scripts/install-deps.sh

preset=$(scripts/target-arch.sh preset release)
build=$PWD/build/bench
cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build" --target vantrel vantrel-report vantrel-bench bench-floor bench-window-owner bench-record-path

prefix=$build/wineprefix
# Stop this prefix's server however the run ends: it holds every window the owners made.
trap 'scripts/wine-prefix.sh "$prefix" stop' EXIT
# A fresh server, so that no window of an earlier run is on the desktop.
scripts/wine-prefix.sh "$prefix" stop
scripts/wine-prefix.sh "$prefix" start

wine_loader=$(scripts/target-arch.sh loader)
echo "machine: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), $(nproc) cores," \
    "$(uname -sr), $("$wine_loader" --version), preset $preset, load average $(cut -d' ' -f1-3 /proc/loadavg)"

scripts/wine-prefix.sh "$prefix" exec "$build/bench/vantrel-bench.exe" "${driver_args[@]}" </dev/null
scripts/wine-prefix.sh "$prefix" exec "$build/bench/bench-record-path.exe" "${record_args[@]}" </dev/null
