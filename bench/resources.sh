#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Resource bounds of whole runs on the links that claim the most: for shortcut_dump, each
# must stay within 4 MiB of peak memory above a small link's and finish well under a
# second; for shortcut_inspect, a 70 MB link may cost at most its size and its decoded
# text, and a 64 MiB link whose LinkInfo texts all share one long run of bytes at most 4
# times its size plus 64 MiB. Exits non-zero when one does not.
#
#   bench/resources.sh [BUILD_DIR [BUILD_DIR_32]]
#
# BUILD_DIR defaults to build/release. BUILD_DIR_32, when given (e.g. build/m32), is a
# 32-bit build whose shortcut_inspect takes the shared-run check too; it runs directly,
# or under qemu-i386 where this kernel cannot run 32-bit programs.
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

# shortcut_inspect on a 64 MiB link whose LinkInfo sends all five of its code-page texts
# (the volume label, LocalBasePath, NetName, DeviceName and CommonPathSuffix) to one run
# of 0x80 bytes with no zero byte after it; each of those bytes decodes to three in UTF-8
# (U+20AC in CP1252). Its peak memory may be at most 4 times the link's size plus 64 MiB,
# in BUILD_DIR and in BUILD_DIR_32.
/usr/bin/python3 - "$work/shared_run.lnk" <<'PY'
import struct, sys
total = 64 << 20
info_size = total - 0x4C - 4                            # all but the header and the terminal block
volume_at, network_at, run_at = 0x1C, 0x2C, 0x40        # offsets within the LinkInfo
header = struct.pack("<I", 0x4C) + bytes.fromhex("0114020000000000C000000000000046") + struct.pack("<I", 0x2)
header += bytes(0x4C - len(header))
# LinkInfoSize, LinkInfoHeaderSize, LinkInfoFlags, VolumeIDOffset, LocalBasePathOffset,
# CommonNetworkRelativeLinkOffset, CommonPathSuffixOffset
info = struct.pack("<7I", info_size, 0x1C, 0x3, volume_at, run_at, network_at, run_at)
# VolumeID up to the end of the LinkInfo: VolumeIDSize, DriveType, DriveSerialNumber,
# VolumeLabelOffset (from the VolumeID)
info += struct.pack("<4I", info_size - volume_at, 3, 0x1234ABCD, run_at - volume_at)
# CommonNetworkRelativeLink up to the end of the LinkInfo: its size, ValidDevice,
# NetNameOffset and DeviceNameOffset (from the structure: right after its 0x14 bytes),
# NetworkProviderType
info += struct.pack("<5I", info_size - network_at, 0x1, 0x14, 0x14, 0)
assert len(info) == run_at
info += b"\x80" * (info_size - run_at)
open(sys.argv[1], "wb").write(header + info + struct.pack("<I", 0))
PY
shared_kib=$(($(stat -c %s "$work/shared_run.lnk") / 1024))
shared_allowed_kib=$((4 * shared_kib + 64 * 1024))
check_shared() {  # BUILD_DIR: runs its shortcut_inspect on the shared-run link, prints a line
    local program=$1/tool/shortcut_inspect runner=() out=$work/shared probe=0
    if [ ! -x "$program" ]; then
        printf '%s: not built  FAILED\n' "$program"
        status=1
        return
    fi
    "$program" "$work/typical.lnk" > /dev/null 2>&1 || probe=$?
    if [ "$probe" -eq 126 ] && command -v qemu-i386 > /dev/null; then  # this kernel cannot run it
        runner=(qemu-i386)
    fi
    rm -f "$out.pid"
    # shellcheck disable=SC2016  # $$ and $@ are the inner shell's
    /usr/bin/time -o "$out.time" -f '%M %e' bash -c 'echo $$ > "$0" && exec "$@"' "$out.pid" \
        "${runner[@]}" "$program" "$work/shared_run.lnk" > /dev/null 2> "$out.err" &
    local timer=$! pid="" hwm stopped="" code=0
    # Once past the bound the verdict is known: the run is stopped there rather than left
    # to take its whole memory and time.
    while kill -0 "$timer" 2> /dev/null; do
        [ -n "$pid" ] || pid=$(cat "$out.pid" 2> /dev/null || true)
        if [ -n "$pid" ]; then
            hwm=$(awk '$1 == "VmHWM:" { print $2 }' "/proc/$pid/status" 2> /dev/null || true)
            if [ "${hwm:-0}" -gt "$shared_allowed_kib" ]; then
                kill "$pid" 2> /dev/null || true
                stopped=yes
                break
            fi
        fi
        sleep 0.05
    done
    wait "$timer" || code=$?
    local kib seconds verdict=ok figure
    read -r kib seconds < <(tail -n 1 "$out.time")
    figure="peak $kib KiB in $seconds s"
    if [ -n "$stopped" ]; then
        figure="peak at least $kib KiB, stopped there after $seconds s"
        verdict=OVER
        status=1
    elif [ "$code" -ne 0 ]; then
        verdict="FAILED (status $code: $(tail -n 1 "$out.err"))"
        status=1
    elif [ "$kib" -gt "$shared_allowed_kib" ]; then
        verdict=OVER
        status=1
    fi
    printf '%s%s on a %s KiB link with five texts at one run of 0x80 bytes: %s (at most %s)  %s\n' \
        "$program" "${runner[*]:+ under ${runner[*]}}" "$shared_kib" "$figure" "$shared_allowed_kib" "$verdict"
}
echo
check_shared "$build"
if [ $# -ge 2 ]; then
    check_shared "$2"
fi
exit $status
