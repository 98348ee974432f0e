#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The reader as outside programs use it. Builds the consumer (the README's example) and
# runs it over good, missing and not-a-link files:
#   - against BUILD_DIR installed into a temporary prefix (the multiarch lib/<triplet>/
#     that Debian's layout gives), through the CMake package and through pkg-config;
#   - against a shared build installed with --prefix /usr into a DESTDIR staging folder
#     with a plain lib/, the same two ways;
#   - against BUILD_DIR and the shared build installed side by side into one prefix: the
#     CMake package gives the shared library, or the static one with
#     -Dshortcut_reader_SHARED_LIBS=OFF, and pkg-config the shared one;
#   - from source, in a parent project (parent/) configured with no build type and
#     --prefix /opt/x, by add_subdirectory and by FetchContent from a local clone: the
#     parent keeps its own build type and install layout, and its cache gains nothing of
#     ours but SHORTCUT_ options;
# each installed one plain and under AddressSanitizer and UndefinedBehaviorSanitizer. Also
# checks the installed files, the shared library's SONAME and exported symbols, and that
# the static library links into a shared object. FetchContent takes the committed HEAD.
#
#   .ci/consumer/check.sh [BUILD_DIR]      default build/release
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sanitize=(-fsanitize=address,undefined -fno-sanitize-recover=all)
export ASAN_OPTIONS=detect_leaks=1

fail() { echo "consumer check: $*"; exit 1; }

# The consumer's output over two links, a missing file and a file that is not a link.
inputs=(examples/notepad.lnk /nonexistent/x.lnk README.md examples/no_id_list.lnk)
expected=$(printf '%s\n' \
    'examples/notepad.lnk -> C:\WINDOWS\notepad.exe (Text editor)' \
    '/nonexistent/x.lnk: File error' \
    'README.md: Not a shortcut' \
    'examples/no_id_list.lnk ->  (Report archive)')
# The same through the complete reader.
expected_record=$(printf '%s\n' \
    'examples/notepad.lnk -> C:\WINDOWS\notepad.exe, made on ? (2 warnings)' \
    '/nonexistent/x.lnk: No such file or directory' \
    'README.md: not_a_shortcut' \
    'examples/no_id_list.lnk -> ?, made on ? (0 warnings)')
run_consumer() {  # program, what; then any VAR=value for the run
    local program=$1 what=$2 actual status=0 wanted=$expected
    shift 2
    [[ $program == *record* ]] && wanted=$expected_record
    actual=$(env "$@" "$program" "${inputs[@]}" 2> "$work/stderr") || status=$?
    [ "$actual" = "$wanted" ] || fail "$what printed:"$'\n'"$actual"
    [ "$status" -eq 1 ] || fail "$what exited with $status, not 1 (two files were not links)"
    [ ! -s "$work/stderr" ] || fail "$what wrote to standard error:"$'\n'"$(cat "$work/stderr")"
    echo "$what: ok"
}
cmake_consumer() {  # build folder, what, cmake arguments...
    local dir=$1 what=$2
    shift 2
    cmake -S .ci/consumer -B "$dir" "$@" > /dev/null
    cmake --build "$dir" > /dev/null
    echo "$dir/link_target"
}
both_ways() {  # prefix, libdir, what; then any VAR=value for the runs
    local prefix=$1 libdir=$2 what=$3
    shift 3
    local flavour flags program
    for flavour in plain sanitized; do
        flags=()
        [ $flavour = sanitized ] && flags=("${sanitize[@]}")
        program=$(cmake_consumer "$work/$what-$flavour" "$what" -DCMAKE_PREFIX_PATH="$prefix" \
                  -DCMAKE_CXX_FLAGS="${flags[*]}" -DCMAKE_EXE_LINKER_FLAGS="${flags[*]}")
        run_consumer "$program" "$what, CMake package, $flavour" "$@"
        run_consumer "${program%/*}/link_record" "$what, complete reader, CMake package, $flavour" "$@"
        local source
        for source in main record; do
            # shellcheck disable=SC2046
            c++ -std=c++17 "${flags[@]}" .ci/consumer/$source.cpp -o "$work/$what-$flavour-pc-$source" \
                $(PKG_CONFIG_PATH="$prefix/$libdir/pkgconfig" pkg-config --cflags --libs shortcut_reader)
            run_consumer "$work/$what-$flavour-pc-$source" "$what, pkg-config, $source, $flavour" "$@"
        done
    done
}

# 1. BUILD_DIR installed as it is configured.
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$build/CMakeCache.txt")
for file in bin/shortcut_dump share/man/man1/shortcut_dump.1.gz share/doc/shortcut-dump/copyright \
            include/shortcut_reader/shortcut_file.h include/shortcut_reader/link_text.h include/shortcut_reader/export.h \
            include/shortcut_reader/shell_link.h include/shortcut_reader/shell_link_json.h include/shortcut_reader/shell_link_timeline.h \
            include/shortcut_reader/shell_link_containers.h include/shortcut_reader/shell_link_constants.h include/shortcut_reader/shell_link_c.h bin/shortcut_inspect \
            share/man/man1/shortcut_inspect.1.gz share/doc/shortcut-dump/shortcut_inspect.schema.json \
            "$libdir/libshortcut_reader.a" "$libdir/cmake/shortcut_reader/shortcut_readerConfig.cmake" \
            "$libdir/cmake/shortcut_reader/shortcut_readerConfigVersion.cmake" "$libdir/cmake/shortcut_reader/shortcut_reader-static-targets.cmake" "$libdir/pkgconfig/shortcut_reader.pc"; do
    [ -e "$prefix/$file" ] || fail "not installed: $file"
done
extra=$(ls "$prefix/include/shortcut_reader" | grep -v -x -e shortcut_file.h -e link_text.h -e export.h \
        -e shell_link.h -e shell_link_json.h -e shell_link_timeline.h -e shell_link_containers.h -e shell_link_constants.h \
        -e shell_link_c.h || true)
[ -z "$extra" ] || fail "headers installed beyond the public nine: $extra"
both_ways "$prefix" "$libdir" "static ($libdir)"

# The static library links into a user's shared object.
printf '#include <shortcut_reader/shortcut_file.h>\nint Count(const char* p) { ShortcutStatus s; ShortcutFile f(p, s); return static_cast<int>(s); }\n' \
    > "$work/plugin.cpp"
c++ -std=c++17 -shared -fPIC -I"$prefix/include" "$work/plugin.cpp" "$prefix/$libdir/libshortcut_reader.a" -o "$work/plugin.so" \
    || fail "the static library does not link into a shared object"
echo "static library in a shared object: ok"

# 2. A shared build, staged as a distribution would: --prefix /usr, DESTDIR, plain lib/.
shared=$work/shared-build
stage=$work/stage
cmake -S . -B "$shared" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON -DSHORTCUT_BUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_LIBDIR=lib > /dev/null
cmake --build "$shared" > /dev/null
DESTDIR=$stage cmake --install "$shared" > /dev/null
library=$stage/usr/lib/libshortcut_reader.so.5
[ -f "$stage/usr/lib/libshortcut_reader.so.5.0.0" ] && [ -L "$library" ] && [ -L "$stage/usr/lib/libshortcut_reader.so" ] \
    || fail "the shared library and its links are not installed"
readelf -d "$library" | grep -q 'Library soname: \[libshortcut_reader.so.5\]' || fail "no SONAME libshortcut_reader.so.5"
# Exported: the reader class, the status text, ReportError, the five LinkText
# operations, the complete reader's functions (the target's among them) and its C interface; nothing of the byte spans, stream
# reads, the walk or the JSON writer.
exported=$(nm -D --defined-only -C "$library" | awk '$2 ~ /^[TWVBDR]$/ { $1 = ""; $2 = ""; print substr($0, 3) }')
public='^(ShortcutFile::(ShortcutFile|~ShortcutFile|Get(Path|Args|WorkDir|Desc|PathRel))\(|ShortcutStatusText\(|ReportError\('
public+='|(WidenLinkText|NarrowToLinkText|LinkTextLength|LinkTextToMultibyte|MultibyteToLinkText)\('
public+='|shell_link::(CodePage::(CodePage|~CodePage|valid|Decode)\(|ReadLink\(|ReadLinkFile\(|UnreadableFile\(|Analyze\('
public+='|AppendJsonLine\(|WarningCodeName\(|CategoryOf\(|WarningCategoryName\(|StatusName\(|TargetSourceName\(|TargetOf\(|HashesAvailable\(|AppendCsvHeader\(|AppendCsvRow\(|AppendBodyLines\(|AppendTimesketchLines\('
public+='|ContainerKindName\(|ContentOf\(|IsJumpList\(|ReadEmbeddedLink\(|ReadJumpList\(|ScanBytes\(|ScanFile\('
public+='|(AppIdOf|ContainedFileName)(\[abi:cxx11\])?\('
public+='|LinkInfoTarget(\[abi:cxx11\])?\('
public+='|(GuidText|FileTimeText|DosDateTimeText)(\[abi:cxx11\])?\()'
public+='|shortcut_(read_memory|read_file|record_json|record_status|record_free|reader_version)$)'
unexpected=$(grep -v -E "$public" <<< "$exported" || true)
[ -z "$unexpected" ] || fail "the shared library exports more than the public face:"$'\n'"$unexpected"
grep -q '^ShortcutFile::ShortcutFile(void const\*, unsigned long, ShortcutStatus&)' <<< "$exported" \
    || grep -q '^ShortcutFile::ShortcutFile(void const\*, unsigned int, ShortcutStatus&)' <<< "$exported" \
    || fail "the memory constructor is not exported"
echo "shared library: SONAME and $(wc -l <<< "$exported") exported symbols, all of the public face: ok"
LD_LIBRARY_PATH=$stage/usr/lib "$stage/usr/bin/shortcut_dump" examples/notepad.lnk | grep -q '^GetPath :C:' \
    || fail "the dynamically linked tool does not run"
both_ways "$stage/usr" lib "shared (DESTDIR, lib)" LD_LIBRARY_PATH="$stage/usr/lib"

# 3. Static and shared side by side in one prefix, in BUILD_DIR's library folder.
both=$work/both
cmake -S . -B "$shared" -DCMAKE_INSTALL_LIBDIR="$libdir" > /dev/null
cmake --install "$build" --prefix "$both" > /dev/null
cmake --install "$shared" --prefix "$both" > /dev/null
links_shared_reader() { readelf -d "$1" | grep -q 'NEEDED.*\[libshortcut_reader\.so\.5\]'; }
for choice in default OFF ON; do
    arguments=(-DCMAKE_PREFIX_PATH="$both")
    [ $choice = default ] || arguments+=(-Dshortcut_reader_SHARED_LIBS=$choice)
    program=$(cmake_consumer "$work/both-$choice" "both, $choice" "${arguments[@]}")
    if [ $choice = OFF ]; then
        ! links_shared_reader "$program" || fail "shortcut_reader_SHARED_LIBS=OFF linked the shared reader"
    else
        links_shared_reader "$program" || fail "the CMake package ($choice) did not give the shared reader"
    fi
    run_consumer "$program" "static and shared in one prefix, CMake package, $choice" LD_LIBRARY_PATH="$both/$libdir"
done
# shellcheck disable=SC2046
c++ -std=c++17 .ci/consumer/main.cpp -o "$work/both-pc" \
    $(PKG_CONFIG_PATH="$both/$libdir/pkgconfig" pkg-config --cflags --libs shortcut_reader)
links_shared_reader "$work/both-pc" || fail "pkg-config did not give the shared reader"
run_consumer "$work/both-pc" "static and shared in one prefix, pkg-config" LD_LIBRARY_PATH="$both/$libdir"
if cmake -S .ci/consumer -B "$work/static-only-shared" -DCMAKE_PREFIX_PATH="$prefix" \
       -Dshortcut_reader_SHARED_LIBS=ON > "$work/static-only.log" 2>&1; then
    fail "a prefix with only the static reader gave a shared one"
fi
grep -q 'no shared build of shortcut_reader is installed' "$work/static-only.log" \
    || fail "asking a static-only prefix for the shared reader gave no reason"
echo "a static-only prefix asked for the shared reader: refused with the reason"

# 4. From source in a parent project. Its cache without us is the reference: with us it
# may only gain SHORTCUT_ options (and FetchContent's, Git's and the OpenSSL and LibArchive find modules' own entries), and every
# entry it shares keeps its value.
cache_entries() {  # the cache's NAME:TYPE=VALUE lines, but CMake's INTERNAL and STATIC ones
    grep -E '^[A-Za-z0-9_.+-]+:[A-Z]+=' "$1/CMakeCache.txt" | grep -v -E '^[^:]+:(INTERNAL|STATIC)=' \
        | grep -v -E '^PARENT_' | LC_ALL=C sort
}
parent_build() {  # folder, then -D arguments
    local dir=$1
    shift
    cmake -S .ci/consumer/parent -B "$dir" -DCMAKE_INSTALL_PREFIX=/opt/x "$@" > "$dir.log" 2>&1 \
        || { tail -n 20 "$dir.log"; fail "the parent project did not configure ($*)"; }
}
parent_build "$work/parent-none" -DPARENT_TAKE=none
cache_entries "$work/parent-none" > "$work/parent-none.cache"
clone=$work/clone
git clone --quiet "$PWD" "$clone"
for take in subdirectory fetchcontent; do
    dir=$work/parent-$take
    if [ $take = subdirectory ]; then
        parent_build "$dir" -DPARENT_TAKE=$take -DPARENT_SOURCE="$PWD"
    else
        parent_build "$dir" -DPARENT_TAKE=$take -DPARENT_SOURCE="$clone" -DPARENT_TAG="$(git -C "$clone" rev-parse HEAD)"
    fi
    cache_entries "$dir" > "$dir.cache"
    gained=$(LC_ALL=C comm -13 "$work/parent-none.cache" "$dir.cache" | grep -v -E '^(SHORTCUT_|FETCHCONTENT_|GIT_EXECUTABLE:|OPENSSL_|PKG_CONFIG_|pkgcfg_lib__OPENSSL_|LibArchive_)' || true)
    [ -z "$gained" ] || fail "$take: the parent's cache gained or changed entries of ours:"$'\n'"$gained"
    grep -q '^CMAKE_BUILD_TYPE:STRING=$' "$dir.cache" || fail "$take: CMAKE_BUILD_TYPE is not left empty"
    grep -x "$(grep '^CMAKE_INSTALL_LIBDIR:' "$work/parent-none.cache")" "$dir.cache" > /dev/null \
        || fail "$take: CMAKE_INSTALL_LIBDIR is not GNUInstallDirs' own"
    cmake --build "$dir" --target link_target > /dev/null
    run_consumer "$dir/link_target" "parent project, $take (no build type, --prefix /opt/x, $(grep '^CMAKE_INSTALL_LIBDIR:' "$dir.cache"))"
done
