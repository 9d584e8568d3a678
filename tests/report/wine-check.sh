#!/usr/bin/env bash
# vantrel-report.exe under Wine, on logs in a folder with a non-ASCII name: the page beside the
# log, exit codes and messages, a log never written over, a failed write that leaves no trace;
# then, in the REPOSITORY's release build for this machine (the shipped build, which
# scripts/run.sh makes), the largest log read made hostile, and the page that scripts/run.sh made
# from the demonstration's real log, opened in headless Chromium.
#   wine-check.sh WORK EXE REPOSITORY EMULATOR...
set -euo pipefail
work=$1 exe=$2 repo=$3
shift 3
emulator=("$@")
here=$(dirname "$0")
release=$repo/build/$("$repo/scripts/target-arch.sh" preset release 2>/dev/null)
demo_page=$release/app/vantrel.html shipped_exe=$release/report/vantrel-report.exe
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

# The log is never written over, whatever name -o gives it: here its own, in other letters, from
# its folder.
in_folder() { (cd "$folder" && "$@"); }
expect 1 "is a log given to read; not written over" in_folder run "$log" -o '.\VANTREL.TXT'
cmp -s "$folder/before.txt" "$folder/vantrel.txt" ||
    { echo "FAILED: the log was written over" >&2; failures=$((failures + 1)); }

# Nor is the page's default name ever a log, in any spelling: each row gives the logs, in the
# folder, and the page they make, or "refused" when every name the page could take is one (here
# l.html, and l.html.html, a link to it, in other letters).
for name in a.html a.html.html l.html; do cp "$folder/before.txt" "$folder/$name"; done
ln -s l.html "$folder/l.html.html"
while read -r page logs; do
    rm -f "$folder"/*.html.html.html "$folder"/A.HTML.html.html
    status=0
    output=$(cd "$folder" && run $logs 2>&1 </dev/null) || status=$?
    for name in a.html a.html.html l.html; do
        cmp -s "$folder/before.txt" "$folder/$name" ||
            { echo "FAILED: $logs: the log $name was written over" >&2; failures=$((failures + 1)); }
    done
    if [ "$page" = refused ]; then
        grep -qF "give the page a name with -o" <<<"$output" && [ "$status" = 1 ] ||
            { echo "FAILED: $logs -> exit $status: $output" >&2; failures=$((failures + 1)); }
    elif [ "$status" != 0 ] || [ ! -s "$folder/$page" ]; then
        echo "FAILED: $logs -> exit $status, no $page: $output" >&2
        failures=$((failures + 1))
    fi
done <<'ROWS'
a.html.html.html a.html.html a.html
A.HTML.html.html a.html .\A.HTML.HTML
a.html.html.html .\A.Html.html a.html
refused          L.HTML
ROWS
rm -f "$folder"/*.html.html.html "$folder"/A.HTML.html.html "$folder"/a.html "$folder"/a.html.html "$folder"/l.html*

# A page that cannot take the place of what is there (a folder, which Windows does not replace by
# a file) leaves that as it was and no temporary file beside it.
mkdir "$folder/kept.html"
echo kept >"$folder/kept.html/inside.txt"
listing=$(ls -A "$folder")
expect 1 "the page cannot be written" run "$log" -o "$(windows_path "$folder/kept.html")"
[ "$(ls -A "$folder")" = "$listing" ] && [ "$(cat "$folder/kept.html/inside.txt")" = kept ] ||
    { echo "FAILED: a failed write changed the folder: $(ls -A "$folder")" >&2; failures=$((failures + 1)); }

# A second run replaces the first run's page; a run whose write fails, on a disk that fills up,
# keeps it and leaves nothing beside it (where this user may mount a small disk).
expect 0 "again.html" run "$log" -o "$(windows_path "$folder/again.html")"
expect 0 "again.html" run "$(windows_path "$folder/before.txt")" "$log" -o "$(windows_path "$folder/again.html")"
grep -qF 'id="comparison"' "$folder/again.html" ||
    { echo "FAILED: a second run did not replace the first page" >&2; failures=$((failures + 1)); }
small=$work/small
mkdir -p "$small"
if mount -t tmpfs -o size=16k tmpfs "$small" 2>/dev/null; then
    echo 'the previous page' >"$small/v.html"
    for _ in $(seq 30); do cat "$folder/vantrel.txt"; done >"$small/v.txt"
    expect 1 "the page cannot be written" run "$(windows_path "$small/v.txt")"
    [ "$(cat "$small/v.html")" = 'the previous page' ] && [ "$(ls -A "$small")" = "$(printf 'v.html\nv.txt')" ] ||
        { echo "FAILED: a failed write on a full disk: $(ls -A "$small")" >&2; failures=$((failures + 1)); }
    umount "$small"
else
    echo "no tmpfs could be mounted here: the full-disk case is not checked under Wine"
fi

# A hostile log of just under the most that is read: each title 299 quotes, each of which the page
# escapes. A page, or a plain refusal; never a crash.
hostile=$work/hostile.txt
quotes=$(printf '"%.0s' $(seq 299))
printf -v record '%s\r\n' ": exe=C:\\windows\\system32\\winemine.exe" \
    "title=\"$quotes\" class=\"WineMine\" atom = 0x0000C038" \
    'Style=0x14ca0000 exStyle=0x100 parent=0x00010020 owner=0x00000000 getparent=0x00000000' \
    'rcWnd = 0,0 - 160,226 rcClient = 0,0 - 154,182 maximized = 0 minimized = 0' ''
hostile_records=$(((16 * 1024 * 1024 - 1) / (${#record} + 10)))
for ((i = 0; i < hostile_records; i++)); do printf '0x%08X%s' $((0x10000 + 2 * i)) "$record"; done >"$hostile"
started=$(date +%s%N)
status=0
output=$("${emulator[@]}" "$shipped_exe" --no-open "$(windows_path "$hostile")" -o "$(windows_path "$work/hostile.html")" \
    2>&1 </dev/null) || status=$?
elapsed=$((($(date +%s%N) - started) / 1000000))
page_size=$(stat -c %s "$work/hostile.html" 2>/dev/null || echo "no page")
printf 'hostile log: %s bytes, %s records -> exit %s in %d.%03d s, page: %s bytes\n' "$(stat -c %s "$hostile")" \
    "$hostile_records" "$status" $((elapsed / 1000)) $((elapsed % 1000)) "$page_size"
fine=0
[ "$status" = 0 ] && [ -s "$work/hostile.html" ] && fine=1
[ "$status" = 1 ] && grep -qE 'not enough memory|larger than' <<<"$output" && fine=1
grep -qE 'wine: Unhandled|Unhandled exception|Backtrace:' <<<"$output" && fine=0
[ "$fine" = 1 ] || { echo "FAILED: the hostile log -> exit $status, output: $output" >&2; failures=$((failures + 1)); }
rm -f "$hostile" "$work/hostile.html"

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
    echo "FAILED: no page from scripts/run.sh at $demo_page: run scripts/run.sh first" >&2
    failures=$((failures + 1))
fi
[ "$failures" = 0 ] && echo "vantrel-report.exe under Wine: every case as expected"
exit $((failures > 0))
