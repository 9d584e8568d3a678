#!/usr/bin/env bash
# Mounts (or unmounts) the small volume that the full-volume test fills, and writes to STATUS
# whether it could: "mounted", or why not. Mounting needs root; where it is refused the test is
# skipped with the reason, and this script still succeeds.
#   full-volume.sh mount|unmount FOLDER STATUS
set -uo pipefail
action=$1
folder=$2
status=$3

mountpoint -q "$folder" 2>/dev/null && umount "$folder"
[ "$action" = unmount ] && { rm -f "$status"; exit 0; }

mkdir -p "$folder"
# Room for a copy of the program and a filler; the test leaves 16 KiB of it free.
if error=$(mount -t tmpfs -o size=32m,mode=0755 vantrel-full-volume "$folder" 2>&1); then
    echo mounted >"$status"
else
    echo "mounting a small volume was refused: $error" >"$status"
fi
exit 0
