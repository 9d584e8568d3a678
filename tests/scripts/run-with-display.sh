#!/usr/bin/env bash
# Runs `scripts/run.sh` as a user with a desktop would: on an X display (Xvfb), so the tool's box
# waits for somebody to press OK. A confirmer stands in for that person. The run must log the
# demonstration's Notepad and WineMine windows, which it only does when it waits for them.
#   run-with-display.sh REPOSITORY
set -euo pipefail
repo=$1
cd "$repo"

command -v Xvfb >/dev/null || { echo "Xvfb is missing: scripts/install-deps.sh installs it"; exit 1; }

display=
for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=$n; break; fi
done
[ -n "$display" ] || { echo "no free X display number"; exit 1; }

work=$(mktemp -d)
xvfb_pid=
run_pid=
finish() {
    [ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap finish EXIT

Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done

# As a person at a desktop: not CI, whatever started this test.
env -u CI DISPLAY=":$display" bash scripts/run.sh </dev/null >"$work/run.out" 2>&1 &
run_pid=$!

# The box appears only after run.sh has restarted the prefix's server for the display.
for _ in $(seq 1800); do
    grep -q "waiting for you to dismiss the message box" "$work/run.out" && break
    kill -0 "$run_pid" 2>/dev/null || break
    sleep 0.1
done

build=$repo/build/$(scripts/target-arch.sh preset release 2>/dev/null)
DISPLAY=":$display" scripts/wine-prefix.sh "$build/wineprefix" exec "$build/tools/run-confirmed.exe" \
    --confirm Vantrel </dev/null >"$work/confirm.out" 2>&1 || true

status=0
wait "$run_pid" || status=$?
run_pid=
# Wine's console programs end their lines with CR LF.
tr -d '\r' <"$work/confirm.out" >"$work/confirm.txt"
cat "$work/confirm.txt" "$work/run.out"

fail() { echo "FAILED: $*"; exit 1; }
[ "$status" = 0 ] || fail "run.sh exited with $status"
grep -q "^message box \"Vantrel\": Log file '.*vantrel.txt' has been created.\$" "$work/confirm.txt" ||
    fail "the tool's box was not confirmed"
grep -q '^exit code: 0$' "$work/run.out" || fail "the tool did not exit with 0"
grep -q 'class="Notepad"' "$work/run.out" || fail "the log holds no Notepad record"
grep -q 'class="WineMine"' "$work/run.out" || fail "the log holds no WineMine record"
echo "run.sh with a display logged Notepad and WineMine"
