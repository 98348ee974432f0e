#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Resource bounds of whole runs on the links that claim the most: for shortcut_dump, each
# must stay within 4 MiB of peak memory above a small link's and finish well under a
# second; for shortcut_inspect, a 70 MB link may cost at most its size and its decoded
# text. Exits non-zero when one does not.
#
#   bench/resources.sh [BUILD_DIR]      default build/release
set -euo pipefail
source "$(dirname "$0")/bench_links.sh"

measure() {  # prints "peak_KiB seconds"
    /usr/bin/time -f '%M %e' "$tool" "$1" 2>&1 >/dev/null | tail -n 1
}
read -r base_kib _ <<< "$(measure "$work/typical.lnk")"
printf '%-22s %10s %9s %10s\n' link "peak KiB" seconds "above small"
printf '%-22s %10s\n' typical.lnk "$base_kib"
status=0
for name in hostile list_claim longest_strings deepest_list largest; do
    read -r kib seconds <<< "$(measure "$work/$name.lnk")"
    delta=$((kib - base_kib))
    verdict=ok
    if [ "$delta" -gt 4096 ] || awk -v s="$seconds" 'BEGIN { exit !(s >= 0.5) }'; then
        verdict=OVER
        status=1
    fi
    printf '%-22s %10s %9s %10s  %s\n' "$name.lnk" "$kib" "$seconds" "$delta" "$verdict"
done

# shortcut_inspect on a 70 MB link: the longest arguments the format allows, a property
# value of 4 MB in UTF-8, and an unknown block of 64 MiB. Its peak memory above a small
# link's may be at most the link's size plus its decoded text: the input is read whole,
# each text is kept once, and the unknown block is never copied.
inspect=$build/tool/shortcut_inspect
text_bytes=$(/usr/bin/python3 - "$work/huge.lnk" <<'PY'
import struct, sys
arguments = "A" * 65535
value = "\u00e9" * (2 << 20)                            # two bytes each in UTF-8
units = (value + "\0").encode("utf-16-le")
prop = struct.pack("<IIBHHI", 13 + 4 + len(units), 10, 0, 0x1F, 0, len(value) + 1) + units
storage = struct.pack("<II", 0, 0x53505331) + bytes.fromhex("30F125B7EF471A10A5F102608C9EEBAC") + prop + struct.pack("<I", 0)
storage = struct.pack("<I", len(storage)) + storage[4:]
store = storage + struct.pack("<I", 0)
blocks = struct.pack("<II", 8 + len(store), 0xA0000009) + store
blocks += struct.pack("<II", 8 + (64 << 20), 0xA2000001) + bytes(64 << 20) + struct.pack("<I", 0)
header = struct.pack("<I", 0x4C) + bytes.fromhex("0114020000000000C000000000000046") + struct.pack("<I", 0xA0)
header += bytes(0x4C - len(header))
strings = struct.pack("<H", len(arguments)) + arguments.encode("utf-16-le")
open(sys.argv[1], "wb").write(header + strings + blocks)
print(len(arguments) + len(value.encode("utf-8")))
PY
)
peak() { /usr/bin/time -f %M "$inspect" "$1" 2>&1 >/dev/null | tail -n 1; }
small_kib=$(peak "$work/typical.lnk")
huge_kib=$(peak "$work/huge.lnk")
size_kib=$(($(stat -c %s "$work/huge.lnk") / 1024))
allowed_kib=$((size_kib + text_bytes / 1024))
verdict=ok
if [ $((huge_kib - small_kib)) -gt "$allowed_kib" ]; then
    verdict=OVER
    status=1
fi
echo
printf 'shortcut_inspect on a %s KiB link with %s KiB of text: peak %s KiB, %s above a small link (at most %s)  %s\n' \
    "$size_kib" "$((text_bytes / 1024))" "$huge_kib" "$((huge_kib - small_kib))" "$allowed_kib" "$verdict"
exit $status
