#!/usr/bin/env bash
# Prepares and serves a Wine prefix that belongs to one build tree, never ~/.wine.
#   wine-prefix.sh PREFIX start   make the prefix if needed, then make sure its persistent server runs
#   wine-prefix.sh PREFIX stop    stop this prefix's server (and every Wine process in it)
#   wine-prefix.sh PREFIX make    start, then stop: the prefix is ready for a later run
#   wine-prefix.sh PREFIX display start with a real display if VANTREL_WINE_DISPLAY=1, headless if not
#   wine-prefix.sh PREFIX exec PROGRAM ARGS...   start, then run PROGRAM under Wine
# The prefix is headless (null graphics driver) unless VANTREL_WINE_DISPLAY=1, crashes never start
# the debugger, and the Mono and Gecko installers are skipped. Background Wine processes must not
# hold our stdout, or whoever reads it through a pipe waits for ever: the server starts detached.
set -euo pipefail

# wineserver refuses a relative WINEPREFIX, and stop hides its errors: a relative prefix would
# quietly leave its server running.
prefix=$(realpath -m -- "$1")
action=$2
shift 2

export WINEPREFIX=$prefix
# A prefix of the same width as the programs it runs; 64-bit only where 32-bit code cannot run,
# or where the caller asks for one with VANTREL_WINE_ARCH=win64: there 32-bit programs run beside
# 64-bit ones as on 64-bit Windows (the 64-bit loader hands a 32-bit program to the 32-bit one).
target_arch=$(dirname "$0")/target-arch.sh
arch=${VANTREL_WINE_ARCH:-$("$target_arch" wine-arch)}
export WINEARCH=$arch
wine_loader=$("$target_arch" loader "$arch")
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml="

server_running() {
    # The server listens in a folder named after the prefix's device and inode, below /tmp.
    local id sockets
    id=$(printf 'server-%x-%x' "$(stat -c %d "$prefix")" "$(stat -c %i "$prefix")")
    sockets=$(compgen -G "/tmp/.wine-$(id -u)/$id/socket" || compgen -G "/tmp/wine-*/$id/socket" || true)
    [ -n "$sockets" ]
}

start_server() {
    server_running && return 0
    wineserver -p </dev/null >/dev/null 2>&1 9>&- || true
    for _ in $(seq 50); do server_running && break; sleep 0.1; done
    # The first Wine program starts the prefix's services, which live as long as the server and
    # keep that program's stdout: start them here, detached, so no later caller's pipe is held.
    "$wine_loader" wineboot </dev/null >/dev/null 2>&1 9>&- || true
}

make_prefix() {
    # The mark names the settings below: a prefix made before they changed is brought up to date.
    [ -f "$prefix/.vantrel-ready-2" ] && return 0
    mkdir -p "$prefix"
    "$wine_loader" wineboot -i </dev/null >/dev/null 2>&1 9>&-
    "$wine_loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    "$wine_loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /d false /f \
        </dev/null >/dev/null 2>&1
    # Auto=1: a crash ends the process at once. Otherwise Wine asks in a message box whether to
    # debug, and a test with a window open waits on that box until its time-out.
    "$wine_loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /d 1 /f \
        </dev/null >/dev/null 2>&1
    # The driver is read when the server starts.
    stop_server
    touch "$prefix/.vantrel-ready-2"
}

stop_server() {
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
}

# The prefix made, once, whoever else starts at the same time, and its server running.
ready() {
    (
        flock 9
        make_prefix
        start_server
    ) 9>"$prefix.lock"
}

choose_display() {
    if [ "${VANTREL_WINE_DISPLAY:-0}" = 1 ]; then
        "$wine_loader" reg delete 'HKCU\Software\Wine\Drivers' /v Graphics /f </dev/null >/dev/null 2>&1 || true
    else
        "$wine_loader" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    fi
}

case $action in
start)
    ready
    ;;
stop)
    [ -d "$prefix" ] && wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
make)
    ready
    stop_server
    ;;
display)
    # Switches between headless and a real display; takes effect with the next server.
    ready
    choose_display
    stop_server
    start_server
    ;;
exec)
    ready
    exec "$wine_loader" "$@"
    ;;
*)
    echo "usage: $0 PREFIX start|stop|make|display|exec PROGRAM..." >&2
    exit 2
    ;;
esac
