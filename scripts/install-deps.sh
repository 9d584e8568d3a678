#!/usr/bin/env bash
# Installs what building and running Vantrel here needs, and nothing that is already present:
# the i686 and x86_64 MinGW-w64 cross compilers, Wine (32- and 64-bit), CMake, Ninja, GoogleTest's
# sources, zip and unzip for the release archives, Xvfb for the test that runs the demonstration
# on a display; for vantrel-report's native checks g++, clang-14 with libFuzzer, and Chromium.
set -euo pipefail

need=()
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
    apt_update_needed=1
fi

for p in g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 cmake ninja-build googletest zip unzip \
    xvfb g++ clang-14 libfuzzer-14-dev chromium; do
    have_pkg "$p" || need+=("$p")
done

if [ ${#need[@]} -gt 0 ] || [ -n "${apt_update_needed:-}" ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
fi
if [ ${#need[@]} -gt 0 ]; then
    echo "installing: ${need[*]}"
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
