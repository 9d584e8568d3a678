#!/usr/bin/env bash
# Installs what is missing, builds the shipped program and the tests, and runs every test under
# Wine in a prefix of the build's own. Exits with ctest's status.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

preset=tests
if [ "$(scripts/target-arch.sh)" = x86_64 ]; then
    echo "note: this kernel cannot run 32-bit code; the tests run as a 64-bit build under 64-bit Wine"
    preset=tests-x64
fi
prefix=$PWD/build/$preset/wineprefix
# Stop this prefix's server however the run ends, or its processes outlive the script.
trap 'scripts/wine-prefix.sh "$prefix" stop' EXIT

cmake --preset release >/dev/null
cmake --build --preset release
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
scripts/wine-prefix.sh "$prefix" start
ctest --preset "$preset"
