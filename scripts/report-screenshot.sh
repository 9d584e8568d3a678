#!/usr/bin/env bash
# Makes docs/report.png, the README's picture of vantrel-report's page: runs the demonstration
# (scripts/run.sh, which writes the log and its page under Wine) and photographs the page in
# headless Chromium, checking on the way what the browser check checks.
set -euo pipefail
cd "$(dirname "$0")/.."
CI=1 bash scripts/run.sh >/dev/null
log=build/$(scripts/target-arch.sh preset release 2>/dev/null)/app/vantrel.txt
bash tests/report/browser-check.sh "${log%.txt}.html" "$(grep -c '^0x[0-9A-F]\{8\}: exe=' "$log")" docs/report.png
