#!/usr/bin/env bash
# Installs what is missing, builds Vantrel and runs it under Wine as a user would: a few programs
# that ship with Wine are started first so that the taskbar has windows to log. Headless, the
# tool's message box is confirmed by run-confirmed.exe, which prints the box's text and the exit
# code; with a display (DISPLAY set, not CI) the box is left to the user. The log is printed last,
# and vantrel-report makes a page of it beside it.
#   scripts/run.sh             build and run
#   scripts/run.sh --prepare   build and make the Wine prefix, run nothing (scripts/test.sh, so
#                              that the test that runs this script spends its time on the run)
set -euo pipefail
cd "$(dirname "$0")/.."

prepare=0
case "${1:-}" in
'') ;;
--prepare) prepare=1 ;;
*)
    echo "usage: $0 [--prepare]" >&2
    exit 2
    ;;
esac

bash scripts/install-deps.sh

cmake --preset release >/dev/null
cmake --build --preset release
preset=$(scripts/target-arch.sh preset release)
if [ "$preset" != release ]; then
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
fi

build=$PWD/build/$preset
prefix=$build/wineprefix
if [ "$prepare" = 1 ]; then
    scripts/wine-prefix.sh "$prefix" make
    exit 0
fi
wine_run() { scripts/wine-prefix.sh "$prefix" exec "$@"; }
demo_pids=()
finish() {
    for pid in "${demo_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    scripts/wine-prefix.sh "$prefix" stop
}
trap finish EXIT

headless=1
if [ -n "${DISPLAY:-}" ] && [ -z "${CI:-}" ]; then headless=0; fi
VANTREL_WINE_DISPLAY=$((1 - headless)) scripts/wine-prefix.sh "$prefix" display

for program in notepad winemine; do
    wine_run "$program" </dev/null >/dev/null 2>&1 &
    demo_pids+=($!)
done

exe=$build/app/vantrel.exe
log=$build/app/vantrel.txt
# The tool logs the windows that exist when it starts: wait until the demonstration's are up.
demo_classes=Notepad,WineMine
status=0
if [ "$headless" = 1 ]; then
    wine_run "$build/tools/run-confirmed.exe" --wait-classes "$demo_classes" "Z:${exe//\//\\}" </dev/null || status=$?
else
    wine_run "$build/tools/run-confirmed.exe" --wait-classes "$demo_classes" </dev/null || true
    echo "waiting for you to dismiss the message box..."
    wine_run "$exe" </dev/null || status=$?
    echo "exit code: $status"
fi

if [ -f "$log" ]; then
    echo "---- $log ----"
    # The log is single-byte ISO 8859-1 text with CR LF line ends.
    iconv -f ISO-8859-1 -t UTF-8 "$log" | tr -d '\r'
    # The page a person reads instead, made beside the log by vantrel-report.exe in the same prefix.
    if wine_run "$build/report/vantrel-report.exe" --no-open "Z:${log//\//\\}" </dev/null >/dev/null; then
        echo "---- the page: ${log%.txt}.html (open it in a browser) ----"
    else
        echo "vantrel-report could not make the page from $log" >&2
        status=1
    fi
fi
exit "$status"
