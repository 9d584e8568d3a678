#!/usr/bin/env bash
# Finds this version's release archives in DIST and unpacks the program's into SHIPPED, for the
# tests that read what is shipped. Where an archive is missing it says which, and which command
# makes them, and fails.
#   release-archives.sh DIST VERSION SHIPPED
set -euo pipefail
dist=$1
version=$2
shipped=$3

program=$dist/vantrel-$version-win32.zip
missing=()
for archive in "$program" "$dist/library4-shell-$version-sdk.zip"; do
    [ -f "$archive" ] || missing+=("$archive")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "not found: ${missing[*]}" >&2
    echo "make the release first: bash scripts/release.sh (bash scripts/test.sh makes it, then runs every test)" >&2
    exit 1
fi

rm -rf "$shipped"
unzip -q "$program" -d "$shipped"
echo "unpacked $program, made $(date -u -r "$program" '+%Y-%m-%d %H:%M UTC'), into $shipped"
