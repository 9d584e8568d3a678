#!/usr/bin/env bash
# vantrel-report's speed and page size, natively and optimised (preset `report`): prints figures
# and fails on none. Logs of 1,000 to 40,000 ordinary records (the most a log holds is far fewer in
# practice); 10,000 records whose titles are 299 characters of markup; and the worst a page can
# grow to: a log just under the 16 MiB the program reads, every title 299 quotes. Each time is the
# best of three runs, beside the time `cp` takes to copy the same log, measured the same way: the
# ratio says how far the page is from the cost of just moving the bytes. The page's bytes per
# record should stay flat as the log grows.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C
cmake --preset report >/dev/null
cmake --build --preset report -j2 --target vantrel-report >/dev/null
program=build/report/report/vantrel-report
work=build/report/bench
mkdir -p "$work"

# write_log FILE RECORDS KIND: writes at most RECORDS records, fewer if the log would reach
# 16 MiB, and prints how many it wrote. KIND is plain (windows of 50 programs at many places, a
# tenth minimized, some owned with WS_EX_APPWINDOW; numbers in decimal, as awk may read no
# hexadecimal), markup (each title its number, then markup
# and quotes up to 299 characters) or quotes (each title 299 quotes).
write_log() {
    awk -v n="$2" -v kind="$3" -v limit=$((16 * 1024 * 1024)) -v markup="<a href=\"x\" title='&amp;'>y</a> " -v out="$1" '
    BEGIN {
        for (k = 0; k < 299; k++) quotes = quotes "\""
        size = 0
        for (i = 0; i < n; i++) {
            x = (i * 37) % 3000; y = (i * 53) % 1800; min = (i % 10 == 0)
            title = "Document " i " - App" (i % 50) " <draft>"; class = "AppWindow" (i % 7)
            if (kind == "quotes") { title = quotes; class = "C" }
            if (kind == "markup") {
                title = i " "
                while (length(title) < 299) title = title markup
                title = substr(title, 1, 299); class = "C"
            }
            record = sprintf("0x%08X: exe=C:\\Program Files\\App%d\\app%d.exe\r\n", 65536 + i * 2, i % 50, i % 50)
            record = record sprintf("title=\"%s\" class=\"%s\" atom = 0x0000C0%02X\r\n", title, class, i % 256)
            record = record sprintf("Style=0x14cf0000 exStyle=0x%x parent=0x00010020 owner=0x%08X getparent=0x00000000\r\n",
                                    (i % 9 == 0) ? 262400 : 256, (i % 9 == 0) ? 65536 : 0)
            if (min) record = record "rcWnd = -32000,-32000 - -31840,-31972"
            else record = record sprintf("rcWnd = %d,%d - %d,%d", x, y, x + 400, y + 300)
            record = record sprintf(" rcClient = 0,0 - 384,261 maximized = 0 minimized = %d\r\n\r\n", min)
            if (size + length(record) >= limit) break
            size += length(record)
            printf "%s", record >out
        }
        print i
    }'
}

# best_us OUTPUT COMMAND...: the fewest microseconds of three runs of COMMAND, OUTPUT removed
# before each.
best_us() {
    local output=$1 best=0 run start elapsed
    shift
    for run in 1 2 3; do
        rm -f "$output"
        start=$(date +%s%N)
        "$@" >/dev/null
        elapsed=$((($(date +%s%N) - start) / 1000))
        if [ "$best" -eq 0 ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
    done
    echo "$best"
}

printf '%-8s %8s %10s %11s %12s %13s %9s %8s %9s\n' log records "log bytes" "page bytes" "page B/log B" \
    "page B/record" "page ms" "copy ms" page/copy
row() {
    local name=$1 log=$work/log-$1.txt page=$work/page-$1.html records log_bytes page_bytes page_us copy_us
    records=$(write_log "$log" "$2" "$3")
    page_us=$(best_us "$page" "$program" "$log" -o "$page")
    copy_us=$(best_us "$work/copy.txt" cp "$log" "$work/copy.txt")
    rm -f "$work/copy.txt"
    log_bytes=$(stat -c %s "$log")
    page_bytes=$(stat -c %s "$page")
    awk -v name="$name" -v r="$records" -v l="$log_bytes" -v p="$page_bytes" -v pu="$page_us" -v cu="$copy_us" \
        'BEGIN { printf "%-8s %8d %10d %11d %12.2f %13d %9.1f %8.2f %9.1f\n",
                 name, r, l, p, p / l, p / r, pu / 1000, cu / 1000, pu / (cu > 0 ? cu : 1) }'
}
row 1000 1000 plain
row 10000 10000 plain
row 40000 40000 plain
row markup 10000 markup
row quotes 1000000 quotes
