#!/usr/bin/env bash
# Installs what is missing, builds the shipped program and the tests, and runs every test under
# Wine in a prefix of the build's own. Exits with ctest's status.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/test-build.sh
ctest --preset "$preset"
