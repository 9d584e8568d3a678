#!/usr/bin/env bash
# The Linux vantrel-report on real files: the log is refused as the page however it is spelt, and a
# page that cannot be written leaves the previous one and nothing else behind.
#   posix-files-check.sh EXE WORK
set -euo pipefail
exe=$(realpath "$1") work=$(realpath -m "$2")
umount "$work/small" 2>/dev/null || true
rm -rf "$work"
mkdir -p "$work"
cd "$work"
printf '0x0001004C: exe=C:\\a.exe\r\ntitle="A" class="A" atom = 0x0000C038\r\nStyle=0x14cf0000 exStyle=0x100 parent=0x00010020 owner=0x00000000 getparent=0x00000000\r\nrcWnd = 0,0 - 160,226 rcClient = 0,0 - 154,182 maximized = 0 minimized = 0\r\n\r\n' >v.txt
cp v.txt kept.txt
ln -s v.txt link.txt
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
# expect CODE TEXT ARGS...
expect() {
    local code=$1 text=$2 status=0 output
    shift 2
    output=$("$exe" "$@" 2>&1) || status=$?
    [ "$status" = "$code" ] && grep -qF -- "$text" <<<"$output" || fail "$* -> exit $status: $output"
}

expect 1 "is a log given to read; not written over" v.txt -o ./v.txt
expect 1 "is a log given to read; not written over" v.txt -o link.txt
cmp -s v.txt kept.txt || fail "the log was written over"

mkdir page.html
echo previous >page.html/inside
before=$(ls -A)
expect 1 "page.html: the page cannot be written" v.txt -o page.html
[ "$(ls -A)" = "$before" ] || fail "debris left beside the page: $(ls -A)"
[ "$(cat page.html/inside)" = previous ] || fail "the folder in the page's place was changed"

# A disk that fills up while the page is written, where this user may mount one.
mkdir small
if mount -t tmpfs -o size=16k tmpfs small 2>/dev/null; then
    trap 'umount "$work/small"' EXIT
    echo 'the previous page' >small/v.html
    # A log of some 6 KB, whose page needs more than the 10 KB left.
    for _ in $(seq 30); do cat v.txt; done >small/v.txt
    expect 1 "the page cannot be written" small/v.txt
    [ "$(cat small/v.html)" = 'the previous page' ] || fail "the previous page was lost on a full disk"
    [ "$(ls -A small)" = "$(printf 'v.html\nv.txt')" ] || fail "debris left on a full disk: $(ls -A small)"
else
    echo "no tmpfs could be mounted here: the full-disk case is not checked"
fi
[ "$failures" = 0 ] && echo "vantrel-report on Linux files: every case as expected"
exit $((failures > 0))
