#!/usr/bin/env bash
# Installs what is missing, builds the release from a clean tree and writes dist/:
#   vantrel-VERSION-win32.zip         the stripped 32-bit vantrel.exe and vantrel-report.exe, and the
#                                     user's README.txt
#   vantrel-VERSION-win32-debug.zip   vantrel.exe.debug and vantrel-report.exe.debug, the debug
#                                     information each exe links to
#   library4-shell-VERSION-sdk.zip    the shell module's headers, one static library each for i686
#                                     and x86_64 (win32 thread model), its CMake package and its
#                                     README.txt
#   SHA256SUMS                        the archives' checksums
# VERSION is the project's, from CMakeLists.txt. The sources are the repository's tracked files as
# they stand in the working tree, copied into build/dist/src; everything is built afresh below
# build/dist. The archives hold their files in a fixed order, dated by the last commit.
#   scripts/release.sh            the release
#   scripts/release.sh --verify   builds it twice, from copies in two different folders, checks that
#                                 every archive and the exes are the same byte for byte, prints the
#                                 checksums, and writes dist/ from the first build
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD

verify=0
case "${1:-}" in
'') ;;
--verify) verify=1 ;;
*)
    echo "usage: $0 [--verify]" >&2
    exit 2
    ;;
esac

bash scripts/install-deps.sh

# Every archive member is dated by the last commit, so a rebuild of the same sources is the same.
# objcopy and strip stamp the PE header with the time they run unless told this one.
stamp=$(git log -1 --format=%ct)
export SOURCE_DATE_EPOCH=$stamp
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "note: tracked files have uncommitted changes; the release holds them as they stand"
fi

# copy_sources DEST: the tracked files of the working tree, nothing untracked or ignored.
copy_sources() {
    mkdir -p "$1"
    git ls-files -z | while IFS= read -r -d '' file; do
        # A tracked file deleted in the working tree is not part of what is built.
        if [ -e "$file" ] || [ -L "$file" ]; then printf '%s\0' "$file"; fi
    done | tar --null -T - -cf - | tar -xf - -C "$1"
}

# zip_folder ZIP FOLDER: every file below FOLDER, by sorted name, with fixed times and modes.
zip_folder() {
    local zip=$1 folder=$2
    find "$folder" -type f -exec chmod 0644 {} + -exec touch -h -d "@$stamp" {} +
    rm -f "$zip"
    # -X leaves out the owner and the extra time fields, -D the folder entries; zip writes local
    # times, so UTC makes the stored times the same in every time zone.
    (cd "$folder" && find . -type f -printf '%P\n' | LC_ALL=C sort | TZ=UTC zip -q -X -D -9 "$zip" -@)
}

# build_release ROOT: builds below ROOT (removed first) and leaves the archives in ROOT/dist.
build_release() {
    local root=$1
    local src=$root/src stage=$root/stage out=$root/dist
    rm -rf "$root"
    copy_sources "$src"

    # The shipped program's settings (the release presets), with debug information, which the
    # strip below moves into a file of its own; -g does not change the code generated.
    local arch
    for arch in i686 x86_64; do
        (cd "$src" && cmake --preset "$(scripts/target-arch.sh preset release "$arch")" -B "$root/$arch" \
            -DCMAKE_C_FLAGS=-g -DCMAKE_CXX_FLAGS=-g >/dev/null)
    done
    cmake --build "$root/i686" --target vantrel vantrel-report Library4ShellSdk
    cmake --build "$root/x86_64" --target Library4ShellSdk
    version=$(cat "$root/i686/VERSION")

    local sdk=$stage/library4-shell-$version-sdk
    for arch in i686 x86_64; do
        cmake --install "$root/$arch" --component sdk --prefix "$sdk" >/dev/null
        # The libraries' debug information would only make the SDK larger; their symbols stay.
        "$arch-w64-mingw32-strip" --strip-debug "$sdk/lib/$arch/"*.a
    done
    # Both builds install the same README; Windows developers read it in Notepad too.
    sed -i 's/$/\r/' "$sdk/README.txt"

    local program=$stage/vantrel-$version-win32 debug=$stage/vantrel-$version-win32-debug
    mkdir -p "$program" "$debug"
    local objcopy=i686-w64-mingw32-objcopy exe
    for exe in app/vantrel.exe report/vantrel-report.exe; do
        local name=${exe#*/}
        "$objcopy" --only-keep-debug "$root/i686/$exe" "$debug/$name.debug"
        i686-w64-mingw32-strip --strip-all -o "$program/$name" "$root/i686/$exe"
        # The link names the debug file and holds its checksum; a debugger finds it beside the exe.
        (cd "$debug" && "$objcopy" --add-gnu-debuglink="$name.debug" "$program/$name")
    done
    # Windows users read it in Notepad, which wants CR LF.
    sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$src/release/README.txt" >"$program/README.txt"

    # No path of this build may be left in what is shipped; the build folders lie below the
    # repository, so its path covers them all.
    local leaks
    leaks=$(grep -rlaF -e "$repo" -e "$root" "$stage" || true)
    if [ -n "$leaks" ]; then
        echo "error: build paths left in: $leaks" >&2
        return 1
    fi

    mkdir -p "$out"
    local name
    for name in vantrel-$version-win32 vantrel-$version-win32-debug library4-shell-$version-sdk; do
        zip_folder "$out/$name.zip" "$stage/$name"
    done
    (cd "$out" && sha256sum -- *.zip >SHA256SUMS)
}

# publish ROOT: dist/ holds this build's archives and nothing older.
publish() {
    rm -rf "$repo/dist"
    cp -r "$1/dist" "$repo/dist"
    echo "dist/ (version $version):"
    local file
    for file in "$repo"/dist/*.zip; do
        printf '  %-38s %9s bytes\n' "$(basename "$file")" "$(stat -c %s "$file")"
    done
    for file in vantrel.exe vantrel-report.exe; do
        printf '  %-38s %9s bytes\n' "$file (in the win32 zip)" "$(stat -c %s "$1/stage/vantrel-$version-win32/$file")"
    done
}

if [ "$verify" = 0 ]; then
    build_release "$repo/build/dist"
    publish "$repo/build/dist"
    exit 0
fi

# Two folders whose paths differ, in length too, so that any path left in a file shows.
first=$repo/build/dist-verify/1
second=$repo/build/dist-verify/second-build/2
build_release "$first"
build_release "$second"

status=0
while IFS= read -r -d '' file; do
    relative=${file#"$first/"}
    if ! cmp -s "$file" "$second/$relative"; then
        echo "DIFFERS: $relative" >&2
        status=1
    fi
done < <(find "$first/dist" "$first/stage" -type f -print0 | sort -z)
[ -n "$(diff <(cd "$first" && find dist stage -type f | sort) <(cd "$second" && find dist stage -type f | sort))" ] && {
    echo "DIFFERS: the two builds hold different files" >&2
    status=1
}
if [ "$status" != 0 ]; then
    echo "error: the two builds differ; both are left in build/dist-verify" >&2
    exit 1
fi

echo "built twice, in $first and $second: the archives, the exes and the debug files are byte-identical"
(cd "$first/dist" && cat SHA256SUMS)
(cd "$first/stage" && sha256sum "vantrel-$version-win32/"*.exe "vantrel-$version-win32-debug/"*.debug)
publish "$first"
rm -rf "$repo/build/dist-verify"
