#!/usr/bin/env bash
# Starts or stops the holder that keeps the test prefix's desktop open (tests/support/DesktopKeeper.cpp).
#   desktop-keeper.sh start READY_FILE EMULATOR... KEEPER_EXE
#   desktop-keeper.sh stop READY_FILE EMULATOR... KEEPER_EXE
# The holder outlives this script, so it runs in a session of its own with none of our output:
# ctest would otherwise wait for it as for any process that keeps a test's pipe.
set -euo pipefail
action=$1
ready=$2
shift 2

case $action in
start)
    rm -f "$ready"
    setsid "$@" hold "Z:$ready" </dev/null >/dev/null 2>&1 &
    for _ in $(seq 300); do
        [ -f "$ready" ] && exit 0
        sleep 0.1
    done
    echo "the desktop holder did not start within 30 s" >&2
    exit 1
    ;;
stop)
    "$@" stop
    rm -f "$ready"
    ;;
*)
    echo "usage: $0 start|stop READY_FILE EMULATOR... KEEPER_EXE" >&2
    exit 2
    ;;
esac
