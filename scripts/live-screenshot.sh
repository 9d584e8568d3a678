#!/usr/bin/env bash
# Makes docs/live.png, the README's picture of the live explainer: builds the tests, runs the
# snapshot of a Wine desktop where a helper process holds one window for each rule (the test that
# also compares it with vantrel.exe's log), and photographs that page in headless Chromium at
# 1280 px wide, checking on the way what the layout check checks.
set -euo pipefail
cd "$(dirname "$0")/.."
test_targets="live_tests desktop-keeper vantrel"
source scripts/test-build.sh
ctest --preset "$preset" -R 'LiveSnapshotOfRealWindows|LivePageOfRealWindowsInChromium'
cp "build/$preset/live-desktop.png" docs/live.png
echo "docs/live.png: $(stat -c %s docs/live.png) bytes"
