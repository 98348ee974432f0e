#!/usr/bin/env bash
# Installs a build into a temporary prefix, then builds the outside consumer against it
# twice (CMake package and pkg-config) and checks what it prints for the bundled example.
#
#   tests/consumer/check.sh [BUILD_DIR]      default build/release
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" > /dev/null
for file in bin/shortcut_dump share/man/man1/shortcut_dump.1 include/shortcut_reader/shortcut_file.h \
            include/shortcut_reader/link_text.h lib/libshortcut_reader.a \
            lib/cmake/shortcut_reader/shortcut_readerConfig.cmake \
            lib/cmake/shortcut_reader/shortcut_readerConfigVersion.cmake lib/pkgconfig/shortcut_reader.pc; do
    [ -e "$prefix/$file" ] || { echo "not installed: $file"; exit 1; }
done
extra=$(ls "$prefix/include/shortcut_reader" | grep -v -x -e shortcut_file.h -e link_text.h || true)
[ -z "$extra" ] || { echo "headers installed beyond the two: $extra"; exit 1; }

expected="examples/notepad.lnk -> C:\\WINDOWS\\notepad.exe (Text editor)"

cmake -S tests/consumer -B "$work/consumer" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$work/consumer" > /dev/null
actual=$("$work/consumer/link_target" examples/notepad.lnk)
[ "$actual" = "$expected" ] || { echo "CMake consumer printed: $actual"; exit 1; }
echo "CMake package: ok"

# shellcheck disable=SC2046
c++ -std=c++17 tests/consumer/main.cpp -o "$work/link_target_pc" \
    $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs shortcut_reader)
actual=$("$work/link_target_pc" examples/notepad.lnk)
[ "$actual" = "$expected" ] || { echo "pkg-config consumer printed: $actual"; exit 1; }
echo "pkg-config: ok"
