#!/usr/bin/env bash
# Opens a page in headless Chromium and checks what a person would see: RECORDS rows and map items
# in the DOM, the map's picture, no script element, each TEXT given (as the DOM serialises it)
# present; then the page's layout and its Content-Security-Policy (page-layout.py, given each
# LAYOUT-OPTION, such as --wide w0=300) and a screenshot at 1280 px wide that is not blank.
#   browser-check.sh PAGE RECORDS SCREENSHOT [TEXT...] [-- LAYOUT-OPTION...]
set -euo pipefail
page=$(realpath "$1") records=$2 screenshot=$3
shift 3
texts=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    texts+=("$1")
    shift
done
[ $# -gt 0 ] && shift
profile=$(mktemp -d)
trap 'rm -rf "$profile"' EXIT
# No network, no first-run work, a profile of its own; bounded in time.
dom=$(timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --dump-dom "file://$page" 2>/dev/null)
fail() { echo "browser check of $page: $*" >&2; exit 1; }
count() { grep -o -- "$1" <<<"$dom" | wc -l; }

[ "$(count '<tr id="w')" = "$records" ] || fail "expected $records table rows, found $(count '<tr id="w')"
[ "$(count '<a class="win"')" = "$records" ] || fail "expected $records map items, found $(count '<a class="win"')"
[ "$records" = 0 ] || grep -q '<svg class="\(map\|strip\)' <<<"$dom" || fail "no desktop map"
# The DOM serialises text with < escaped: a raw "<script" is an element.
! grep -qi '<script' <<<"$dom" || fail "a script element is in the DOM"
for text in ${texts[@]+"${texts[@]}"}; do
    grep -qF -- "$text" <<<"$dom" || fail "text not shown: $text"
done

mkdir -p "$(dirname "$screenshot")"
rm -f "$screenshot"
python3 "$(dirname "$0")/page-layout.py" "$page" --screenshot "$screenshot" "$@" || fail "the layout check failed"
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
