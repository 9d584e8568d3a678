#!/usr/bin/env bash
# The shipped vantrel-report.exe under Wine, on logs in a folder with a non-ASCII name: the page
# beside the log, exit codes and messages; then the page that scripts/run.sh made from the
# demonstration's real log, in the REPOSITORY's release build for this machine, opened in
# headless Chromium.
#   wine-check.sh WORK EXE REPOSITORY EMULATOR...
set -euo pipefail
work=$1 exe=$2 repo=$3
shift 3
emulator=("$@")
here=$(dirname "$0")
demo_page=$repo/build/$("$repo/scripts/target-arch.sh" preset release 2>/dev/null)/app/vantrel.html
rm -rf "$work"
folder="$work/Protokolle été"
mkdir -p "$folder"
windows_path() { local path; path=$(realpath -m "$1"); echo "Z:${path//\//\\}"; }

failures=0
# expect CODE TEXT ARGS...: the program exits with CODE and prints TEXT (to either stream).
expect() {
    local code=$1 text=$2 status=0 output
    shift 2
    output=$("$@" 2>&1 </dev/null) || status=$?
    if [ "$status" != "$code" ] || ! grep -qF -- "$text" <<<"$output"; then
        echo "FAILED: $* -> exit $status (expected $code), output: $output (expected to hold: $text)" >&2
        failures=$((failures + 1))
    fi
}
run() { "${emulator[@]}" "$exe" --no-open "$@"; }

printf '0x0001004C: exe=C:\\windows\\system32\\winemine.exe\r\ntitle="<script>x</script>" class="WineMine" atom = 0x0000C038\r\nStyle=0x14ca0000 exStyle=0x100 parent=0x00010020 owner=0x00000000 getparent=0x00000000\r\nrcWnd = 0,0 - 160,226 rcClient = 0,0 - 154,182 maximized = 0 minimized = 0\r\n\r\n' \
    >"$folder/vantrel.txt"
cp "$folder/vantrel.txt" "$folder/before.txt"
# The page dates the log by the file's last change, read from Windows' file times.
touch -d '2021-03-04 05:06:59 UTC' "$folder/vantrel.txt"
printf 'not a log\r\n' >"$folder/notes.txt"
truncate -s 17M "$folder/huge.txt"
log=$(windows_path "$folder/vantrel.txt")

expect 0 "$(windows_path "$folder/vantrel.html")" run "$log"
[ -f "$folder/vantrel.html" ] && grep -qF '&lt;script&gt;x&lt;/script&gt;' "$folder/vantrel.html" &&
    grep -qF '2021-03-04 05:06 UTC' "$folder/vantrel.html" ||
    { echo "FAILED: no page with the escaped title and the log's date beside the log" >&2; failures=$((failures + 1)); }
expect 0 "compared.html" run "$(windows_path "$folder/before.txt")" "$log" -o "$(windows_path "$folder/compared.html")"
grep -qF 'id="comparison"' "$folder/compared.html" || { echo "FAILED: no comparison" >&2; failures=$((failures + 1)); }
expect 1 "missing.txt: cannot be read" run "$(windows_path "$folder/missing.txt")"
expect 1 "huge.txt: larger than 16 MiB" run "$(windows_path "$folder/huge.txt")"
expect 1 "notes.txt: not a Vantrel log: line 1 reads \"not a log\"" run "$(windows_path "$folder/notes.txt")"
expect 1 "the page cannot be written" run "$log" -o "$(windows_path "$work/no such folder/page.html")"
expect 1 "usage: vantrel-report LOG" run

# Opening the page, in a prefix of its own whose one handler of .html writes down what it got.
open_prefix=$work/open-prefix opened=$work/opened.txt
mkdir -p "$work/open" "$open_prefix"
cp "$folder/vantrel.txt" "$work/open/v.txt"
open_in_prefix() { "${emulator[0]}" "$open_prefix" "$@"; }
trap 'open_in_prefix stop' EXIT
open_in_prefix exec reg add 'HKCR\.html' /ve /d vantrel.test.page /f >/dev/null
open_in_prefix exec reg add 'HKCR\vantrel.test.page\shell\open\command' /ve \
    /d "C:\\windows\\system32\\cmd.exe /c echo %1> $(windows_path "$opened")" /f >/dev/null
open_in_prefix exec "$exe" "$(windows_path "$work/open/v.txt")" >/dev/null 2>&1 </dev/null || true
for _ in $(seq 100); do [ -s "$opened" ] && break; sleep 0.1; done
grep -qF "$(windows_path "$work/open/v.html")" "$opened" 2>/dev/null ||
    { echo "FAILED: the page was not opened through its file type" >&2; failures=$((failures + 1)); }

if [ -f "$demo_page" ]; then
    demo_log=${demo_page%.html}.txt
    records=$(grep -c '^0x[0-9A-F]\{8\}: exe=' "$demo_log" || true)
    bash "$here/browser-check.sh" "$demo_page" "$records" "$work/demonstration.png" || failures=$((failures + 1))
else
    echo "no page from scripts/run.sh at $demo_page: the demonstration's page is not checked"
fi
[ "$failures" = 0 ] && echo "vantrel-report.exe under Wine: every case as expected"
exit $((failures > 0))
