#!/usr/bin/env bash
# The long churn soak: the program run 300 times (or as many as asked) while helper processes
# create, retitle, hide, show and destroy windows as fast as they can and some end mid-run. Each
# run must exit 0 with a whole log; the figures are printed at the end. Not part of the tests.
# About 4 to 7 minutes for 300 runs on two cores, once the test build exists.
#   scripts/soak.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."

runs=${1:-300}
test_targets=app_tests
source scripts/test-build.sh
VANTREL_CHURN_RUNS=$runs scripts/wine-prefix.sh "$prefix" exec "build/$preset/tests/app_tests.exe" \
    --gtest_filter='Churn.*' </dev/null
