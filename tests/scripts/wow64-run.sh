#!/usr/bin/env bash
# Runs the shipped 32-bit program as it runs on 64-bit Windows: under WOW64, in a 64-bit prefix,
# beside a 64-bit program's window (Notepad, started by the 64-bit loader) and a 32-bit one's
# (WineMine, from the 32-bit system folder). Each record must name its program's real path: a
# 32-bit process asks for a 64-bit one's image without the file system redirection that applies
# to its own file accesses.
#   wow64-run.sh REPOSITORY PREFIX SHIPPED_EXE RUN_CONFIRMED_EXE
# Exits 77 (skipped) where this kernel cannot run 32-bit code.
set -euo pipefail
repo=$1
prefix=$2
shipped=$3
confirmer=$4

if [ "$("$repo/scripts/target-arch.sh")" != i686 ]; then
    echo "skipped: this kernel cannot run 32-bit code, so there is no WOW64 to run under"
    exit 77
fi

export VANTREL_WINE_ARCH=win64
wine_run() { "$repo/scripts/wine-prefix.sh" "$prefix" exec "$@"; }
work=$(mktemp -d)
pids=()
finish() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    "$repo/scripts/wine-prefix.sh" "$prefix" stop
    rm -rf "$work"
}
trap finish EXIT

"$repo/scripts/wine-prefix.sh" "$prefix" start
wine_run 'C:\windows\system32\notepad.exe' </dev/null >/dev/null 2>&1 &
pids+=($!)
wine_run 'C:\windows\syswow64\winemine.exe' </dev/null >/dev/null 2>&1 &
pids+=($!)

# Each program runs under the loader of its own width.
loader_of() {
    local pid
    for pid in $(pgrep -f "$1"); do readlink "/proc/$pid/exe"; done
}

# A copy of its own, so that the log lands in this run's folder.
cp "$shipped" "$work/vantrel.exe"
status=0
wine_run "$confirmer" --wait-classes Notepad,WineMine "Z:${work//\//\\}\\vantrel.exe" </dev/null \
    >"$work/confirm.out" 2>&1 || status=$?
tr -d '\r' <"$work/confirm.out"
notepad_loader=$(loader_of 'system32\\notepad.exe')
winemine_loader=$(loader_of 'syswow64\\winemine.exe')
echo "loaders: Notepad $notepad_loader, WineMine $winemine_loader"
[ -f "$work/vantrel.txt" ] && iconv -f ISO-8859-1 -t UTF-8 "$work/vantrel.txt" | tr -d '\r' | tee "$work/log.txt"

fail() { echo "FAILED: $*"; exit 1; }
[ "$status" = 0 ] || fail "the program exited with $status"
# The record's first line names the program; its class is on the next line.
program_of() { grep -B1 -F "class=\"$1\"" "$work/log.txt" | sed -n 's/^0x[0-9A-F]\{8\}: exe=//p'; }
notepad=$(program_of Notepad)
winemine=$(program_of WineMine)
[[ "$notepad_loader" == */wine64* ]] || fail "Notepad was not a 64-bit process"
[[ "$winemine_loader" == */wine && "$winemine_loader" != */wine64* ]] || fail "WineMine was not a 32-bit process"
[ "${notepad,,}" = 'c:\windows\system32\notepad.exe' ] || fail "the 64-bit Notepad is logged as '$notepad'"
[ "${winemine,,}" = 'c:\windows\syswow64\winemine.exe' ] || fail "the 32-bit WineMine is logged as '$winemine'"
echo "under WOW64: $notepad (64-bit) and $winemine (32-bit)"
