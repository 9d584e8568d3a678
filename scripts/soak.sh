#!/usr/bin/env bash
# The long churn soak: the program run 300 times (or as many as asked) while helper processes
# create, retitle, hide, show and destroy windows as fast as they can and some end mid-run. Each
# run must exit 0 with a whole log; the figures are printed at the end. Not part of the tests.
# About 4 to 7 minutes for 300 runs on two cores, once the test build exists.
#   scripts/soak.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-300}
bash scripts/install-deps.sh

preset=tests
if [ "$(scripts/target-arch.sh)" = x86_64 ]; then
    echo "note: this kernel cannot run 32-bit code; the soak runs the 64-bit build under 64-bit Wine"
    preset=tests-x64
fi
prefix=$PWD/build/$preset/wineprefix
trap 'scripts/wine-prefix.sh "$prefix" stop' EXIT

cmake --preset release >/dev/null
cmake --build --preset release
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target app_tests
scripts/wine-prefix.sh "$prefix" start
VANTREL_CHURN_RUNS=$runs scripts/wine-prefix.sh "$prefix" exec "build/$preset/tests/app_tests.exe" \
    --gtest_filter='Churn.*' </dev/null
