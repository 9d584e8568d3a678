#!/usr/bin/env bash
# Opens a page in headless Chromium and checks what a person would see: RECORDS rows and map
# rectangles in the DOM, the map's picture, no script element, each TEXT given (as the DOM
# serialises it) present, and a screenshot that is not blank.
#   browser-check.sh PAGE RECORDS SCREENSHOT [TEXT...]
set -euo pipefail
page=$(realpath "$1") records=$2 screenshot=$3
shift 3
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
browser() {
    # No network, no first-run work, a profile of its own; bounded in time.
    timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
        --disable-background-networking --disable-component-update --disable-sync \
        --user-data-dir="$profile" "$@" "file://$page" 2>/dev/null
}
dom=$(browser --dump-dom)
fail() { echo "browser check of $page: $*" >&2; exit 1; }
count() { grep -o -- "$1" <<<"$dom" | wc -l; }

[ "$(count '<tr id="w')" = "$records" ] || fail "expected $records table rows, found $(count '<tr id="w')"
[ "$(count '<g class="win">')" = "$records" ] || fail "expected $records map rectangles, found $(count '<g class="win">')"
[ "$records" = 0 ] || grep -q '<svg class="map"' <<<"$dom" || grep -q '<svg class="strip"' <<<"$dom" || fail "no desktop map"
# The DOM serialises text with < escaped: a raw "<script" is an element.
! grep -qi '<script' <<<"$dom" || fail "a script element is in the DOM"
for text in "$@"; do
    grep -qF -- "$text" <<<"$dom" || fail "text not shown: $text"
done

mkdir -p "$(dirname "$screenshot")"
rm -f "$screenshot"
browser --window-size=1280,1600 --hide-scrollbars --screenshot="$(realpath -m "$screenshot")" >/dev/null
# A blank page, once PNG's row filters are applied, is almost all zero bytes.
python3 - "$screenshot" <<'PY' || fail "the screenshot is blank"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
chunks, at = [], 8
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    if kind == b"IDAT":
        chunks.append(data[at + 8:at + 8 + length])
    at += 12 + length
pixels = zlib.decompress(b"".join(chunks))
sys.exit(0 if sum(1 for b in pixels if b) > len(pixels) // 100 else 1)
PY
echo "browser check of $page: $records windows shown; screenshot $screenshot"
