#!/usr/bin/env bash
# Which build this machine runs under Wine, for every script that builds or runs one. Where the
# kernel runs 32-bit code (32-bit Wine needs it) that is the shipped program's own processor,
# i686, in a 32-bit prefix; otherwise (some virtual machines run 64-bit user code only, where
# only 64-bit Wine starts) the same sources built for x86_64, in a 64-bit prefix.
#   target-arch.sh                       i686 or x86_64
#   target-arch.sh preset BASE [ARCH]    the preset of BASE (release or tests) for ARCH, by default
#                                        this machine's: BASE itself for i686, BASE-x64 for x86_64
#   target-arch.sh wine-arch             win32 or win64, the width of this machine's prefixes
#   target-arch.sh loader [WINE_ARCH]    the Wine loader for a prefix of WINE_ARCH (win32 or
#                                        win64), by default this machine's
set -euo pipefail

arch() {
    if /usr/lib/wine/wine --version >/dev/null 2>&1; then
        echo i686
    else
        echo x86_64
    fi
}

wine_arch() {
    if [ "$(arch)" = i686 ]; then echo win32; else echo win64; fi
}

case "${1:-}" in
'')
    arch
    ;;
preset)
    base=$2
    target=${3:-}
    if [ -z "$target" ]; then
        target=$(arch)
        if [ "$target" = x86_64 ]; then
            echo "note: this kernel cannot run 32-bit code; using $base-x64, the same sources built as 64-bit" >&2
        fi
    fi
    if [ "$target" = i686 ]; then echo "$base"; else echo "$base-x64"; fi
    ;;
wine-arch)
    wine_arch
    ;;
loader)
    if [ "${2:-$(wine_arch)}" = win32 ]; then
        echo wine
    else
        echo /usr/lib/wine/wine64
    fi
    ;;
*)
    echo "usage: $0 [preset BASE [ARCH] | wine-arch | loader [WINE_ARCH]]" >&2
    exit 2
    ;;
esac
