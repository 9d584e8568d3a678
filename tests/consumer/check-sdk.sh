#!/usr/bin/env bash
# Builds the consumer project against the released shell module SDK for i686 and x86_64, as
# another project would: the archive unpacked into a folder of its own, found by find_package.
# The project builds the example of the SDK's README.txt too, exactly as the README shows it.
# The width this machine runs (scripts/target-arch.sh) is then run under Wine, in a prefix below
# WORK whose server is stopped at the end: the consumer must report what the module found for
# real, and the example must run to its end.
#   check-sdk.sh SDK_ZIP WORK
set -euo pipefail

sdk_zip=$1
work=$2
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)

if [ ! -f "$sdk_zip" ]; then
    echo "no SDK at $sdk_zip: make the release first (scripts/release.sh)" >&2
    exit 1
fi

mkdir -p "$work"
work=$(cd "$work" && pwd)
rm -rf "$work/sdk" "$work/i686" "$work/x86_64"
mkdir -p "$work/sdk"
unzip -q "$sdk_zip" -d "$work/sdk"

# The README's example: its indented lines from the one that names example.cpp to the closing
# brace of main, without the indent and the README's CR LF line ends.
example=$work/example.cpp
tr -d '\r' <"$work/sdk/README.txt" | sed -n '/^    \/\/ example\.cpp/,/^    }$/{s/^    //;p;}' >"$example"
if ! grep -q '^int main()' "$example"; then
    echo "FAIL: no example found in the SDK's README.txt" >&2
    exit 1
fi

declare -A pe_format=([i686]=pei-i386 [x86_64]=pei-x86-64)
for arch in i686 x86_64; do
    echo "== consumer for $arch"
    cmake -S "$here" -B "$work/$arch" -G Ninja --toolchain "$repo/cmake/mingw.cmake" -DVANTREL_ARCH="$arch" \
        -DVANTREL_THREAD_MODEL=win32 -DCMAKE_BUILD_TYPE=Release -DCMAKE_PREFIX_PATH="$work/sdk" -DLIBRARY4_EXAMPLE="$example" >/dev/null
    cmake --build "$work/$arch"
    for program in consumer example; do
        format=$("$arch-w64-mingw32-objdump" -f "$work/$arch/$program.exe" | sed -n 's/.*file format //p')
        if [ "$format" != "${pe_format[$arch]}" ]; then
            echo "FAIL: the $arch $program is $format, not ${pe_format[$arch]}" >&2
            exit 1
        fi
    done
done

arch=$("$repo/scripts/target-arch.sh")
prefix=$work/wineprefix
in_wine() { "$repo/scripts/wine-prefix.sh" "$prefix" exec "$@" </dev/null; }
trap '"$repo/scripts/wine-prefix.sh" "$prefix" stop' EXIT

# A text no earlier run left behind, read back through the module.
subkey='Software\Library4ShellConsumer'
text="read through the SDK $(date +%s%N)"
in_wine reg add "HKCU\\$subkey" /v Label /d "$text" /f >/dev/null 2>&1

echo "== running the $arch consumer under Wine"
output=$(in_wine "$work/$arch/consumer.exe" "$subkey" Label | tr -d '\r')
echo "$output"
expected="taskbar-window=1
tool-window=0
main-window=the taskbar window
display-string=$text (${#text})
app-bar-worker=running"
if [ "$output" != "$expected" ]; then
    echo "FAIL: expected" >&2
    echo "$expected" >&2
    exit 1
fi

echo "== running the $arch example under Wine"
output=$(in_wine "$work/$arch/example.exe" | tr -d '\r')
echo "$output"
if ! grep -q '^taskbar state: [0-9]*$' <<<"$output"; then
    echo "FAIL: the example did not ask the taskbar its state" >&2
    exit 1
fi
echo "the consumer and the README's example built for both widths and ran as expected"
