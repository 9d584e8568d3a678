#!/usr/bin/env bash
# vantrel-report's native checks, in about a minute: builds it for Linux with its tests
# (AddressSanitizer and UBSan) and runs them; runs the libFuzzer target over the reader, the
# comparison and the page writer for a fixed number of inputs, seeded with the logs the tests
# wrote (and the demonstration's log from scripts/run.sh, if there is one), and the live page's
# target over snapshots decoded from its inputs; then opens the page of a hostile log, of the
# demonstration's, and the live page of a snapshot with a window for each rule that the tests
# wrote, in headless Chromium and checks what it shows and how it is laid out. Exits non-zero on
# the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

cmake --preset report-native >/dev/null
cmake --build --preset report-native -j2
native=build/report-native
rm -rf "$native/fuzz-seeds" "$native/live-pages"
ctest --preset report-native
bash tests/report/posix-files-check.sh "$native/report/vantrel-report" "$native/posix-files"

cmake --preset report-fuzz >/dev/null
cmake --build --preset report-fuzz -j2 --target report_fuzzer live_fuzzer
corpus=build/report-fuzz/corpus
rm -rf "$corpus"
mkdir -p "$corpus"
cp "$native"/fuzz-seeds/* "$corpus"/
demo_logs=()
for log in build/release/app/vantrel.txt build/release-x64/app/vantrel.txt; do
    [ -f "$log" ] && demo_logs+=("$log")
done
[ ${#demo_logs[@]} -gt 0 ] && cp "${demo_logs[0]}" "$corpus/demonstration.txt"
runs=200000
if ! build/report-fuzz/tests/report/report_fuzzer -runs=$runs -seed=1 -max_len=4096 -max_total_time=60 \
    -dict=tests/report/fuzz/record.dict \
    -print_final_stats=1 "$corpus" >build/report-fuzz/fuzz.log 2>&1; then
    tail -40 build/report-fuzz/fuzz.log >&2
    echo "the fuzz run failed; its input is in $PWD (crash-*)" >&2
    exit 1
fi
echo "fuzz run: $(grep -o 'number_of_executed_units: [0-9]*' build/report-fuzz/fuzz.log) inputs, no failure"

live_corpus=build/report-fuzz/live-corpus
rm -rf "$live_corpus"
mkdir -p "$live_corpus"
if ! build/report-fuzz/tests/report/live_fuzzer -runs=$runs -seed=1 -max_len=4096 -max_total_time=60 \
    -print_final_stats=1 "$live_corpus" >build/report-fuzz/live-fuzz.log 2>&1; then
    tail -40 build/report-fuzz/live-fuzz.log >&2
    echo "the live page's fuzz run failed; its input is in $PWD (crash-*)" >&2
    exit 1
fi
echo "live fuzz run: $(grep -o 'number_of_executed_units: [0-9]*' build/report-fuzz/live-fuzz.log) inputs, no failure"

# A log whose titles try to break out of the page, written as the tool writes: ISO 8859-1, CR LF.
# Two windows on one spot far from the rest must get a strip of their own, not shrink the map of
# the 800-pixel window (row w0) to a sliver; a title of 299 letters with no break in it must wrap
# rather than widen the page.
browser=$native/browser
mkdir -p "$browser"
record() {
    printf '0x%08X: exe=C:\\Apps\\%s\r\ntitle="%s" class="%s" atom = 0x0000C038\r\n' "$1" "$2" "$3" "$4"
    printf 'Style=0x14cf0000 exStyle=0x%x parent=0x00010020 owner=0x00000000 getparent=0x00000000\r\n' "$5"
    printf 'rcWnd = %s rcClient = 0,0 - 100,100 maximized = 0 minimized = %s\r\n\r\n' "$6" "$7"
}
{
    record 0x10010 'a.exe' '<script>alert(1)</script>' 'A' 0x100 '0,0 - 800,600' 0
    record 0x10020 'b.exe' ']]><img src=x onerror=alert(2)>' '<!--' 0x40100 '200,100 - 700,400' 0
    record 0x10030 'b.exe' "Caf$(printf '\xe9') \"quoted\" & 'single'" 'C' 0x100 '-32000,-32000 - -31840,-31972' 1
    record 0x10040 'c.exe' 'Left on a monitor that is gone' 'D' 0x100 '5000,5000 - 5600,5400' 0
    record 0x10050 'c.exe' 'Its second window' 'D' 0x100 '5000,5000 - 5600,5400' 0
    record 0x10060 'd.exe' "$(printf 'W%.0s' $(seq 299))" 'E' 0x100 '100,100 - 500,400' 0
} >"$browser/hostile.txt"
touch -d '2021-03-04 05:06:59 UTC' "$browser/hostile.txt"
"$native/report/vantrel-report" "$browser/hostile.txt" >/dev/null
bash tests/report/browser-check.sh "$browser/hostile.html" 6 "$browser/hostile.png" \
    '&lt;script&gt;alert(1)&lt;/script&gt;' ']]&gt;&lt;img src=x onerror=alert(2)&gt;' "Café \"quoted\" &amp; 'single'" \
    '2021-03-04 05:06 UTC' -- --wide w0=300

for log in "${demo_logs[@]}"; do
    "$native/report/vantrel-report" "$log" -o "$browser/demonstration.html" >/dev/null
    records=$(grep -c '^0x[0-9A-F]\{8\}: exe=' "$log" || true)
    bash tests/report/browser-check.sh "$browser/demonstration.html" "$records" "$browser/demonstration.png"
done

# The live page of a desktop with a window for each rule (written by LivePageTest): each window in
# the group of its rule, the hidden ones closed, only the windows on screen on the map, no script.
python3 tests/report/page-layout.py "$native/live-pages/EveryRule.html" --screenshot "$browser/live.png" \
    --in g-gone= --in g-child=Inner --in g-tool=Palette --in g-noactivate=Keyboard --in g-owned=Options \
    --in 'g-owned=Lost dialog' --in 'g-ghost=Not Responding' --in 'g-shell=Program Manager' \
    --in 'g-cloaked-app=By the app' --in 'g-cloaked-shell=Other desktop' --in 'g-cloaked-inherited=With its owner' \
    --in 'g-removed=Skip taskbar' --in 'g-hidden=Hidden owner' --in g-hidden=Helper
