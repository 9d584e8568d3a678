#!/usr/bin/env bash
# Installs what is missing, makes the release (scripts/release.sh), builds the tests, and runs
# every test under Wine in a prefix of the build's own. The shipped-program checks read the exes
# that ctest unpacks from the release's archive, and the SDK test builds against the release's
# SDK. Exits with ctest's status.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/report-test.sh  # vantrel-report natively: unit tests, fuzz run, browser check
bash scripts/release.sh
source scripts/test-build.sh
# The display test runs scripts/run.sh, which builds the shipped program and runs it in that
# build's own prefix: both are made here, so that the test spends its time on the run itself.
bash scripts/run.sh --prepare
ctest --preset "$preset"
