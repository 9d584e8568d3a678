#!/usr/bin/env bash
# vantrel-report's speed and page size on logs of 1,000 to 40,000 records (the most a log holds
# is far fewer in practice), natively, optimised: prints figures and fails on none. The page's
# bytes per record should stay flat as the log grows.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/report-bench
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vantrel-report >/dev/null
work=$build/logs
mkdir -p "$work"
printf '%8s %11s %11s %9s %14s\n' records "log bytes" "page bytes" "time ms" "page B/record"
for records in 1000 10000 40000; do
    log=$work/log-$records.txt
    # Windows of 50 programs at many places, a tenth minimized, some owned with WS_EX_APPWINDOW.
    awk -v n="$records" 'BEGIN {
        for (i = 0; i < n; i++) {
            x = (i * 37) % 3000; y = (i * 53) % 1800; min = (i % 10 == 0)
            printf "0x%08X: exe=C:\\Program Files\\App%d\\app%d.exe\r\n", 65536 + i * 2, i % 50, i % 50
            printf "title=\"Document %d - App%d <draft>\" class=\"AppWindow%d\" atom = 0x0000C0%02X\r\n", i, i % 50, i % 7, i % 256
            printf "Style=0x14cf0000 exStyle=0x%x parent=0x00010020 owner=0x%08X getparent=0x00000000\r\n", \
                (i % 9 == 0) ? 0x40100 : 0x100, (i % 9 == 0) ? 65536 : 0
            if (min) printf "rcWnd = -32000,-32000 - -31840,-31972"; else printf "rcWnd = %d,%d - %d,%d", x, y, x + 400, y + 300
            printf " rcClient = 0,0 - 384,261 maximized = 0 minimized = %d\r\n\r\n", min
        } }' >"$log"
    start=$(date +%s%N)
    "$build/report/vantrel-report" "$log" -o "$work/page-$records.html" >/dev/null
    elapsed=$((($(date +%s%N) - start) / 1000000))
    page_bytes=$(stat -c %s "$work/page-$records.html")
    printf '%8d %11d %11d %9d %14d\n' "$records" "$(stat -c %s "$log")" "$page_bytes" "$elapsed" $((page_bytes / records))
done
