#!/usr/bin/env bash
# The Linux vantrel-report on real files: no log is ever the page however it is named or spelt,
# and a page that cannot be written leaves the previous one and nothing else behind.
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

# The page's default name is never a log either, however the logs are named and spelt: each row
# gives the logs and the page they make, or "refused" when every name the page could take is one.
mkdir chains
for name in a.html a.html.html l.html; do cp v.txt "chains/$name"; done
ln -s l.html chains/l.html.html
while read -r page logs; do
    rm -f chains/*.html.html.html
    status=0
    output=$(cd chains && "$exe" $logs 2>&1) || status=$?
    for name in a.html a.html.html l.html; do cmp -s v.txt "chains/$name" || fail "$logs: the log $name was written over"; done
    if [ "$page" = refused ]; then
        [ "$status" = 1 ] && grep -qF "give the page a name with -o" <<<"$output" || fail "$logs -> exit $status: $output"
    else
        [ "$status" = 0 ] && [ -s "chains/$page" ] || fail "$logs -> exit $status, no $page: $output"
    fi
done <<'ROWS'
a.html.html.html a.html.html a.html
a.html.html.html a.html a.html.html
a.html.html.html ./a.html.html ../chains/a.html
a.html.html.html a.html.html ./a.html
refused          l.html
l.html.html.html l.html.html
ROWS

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
