#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shortcut_inspect --scan against cat: over a 2 GiB file of zeros and one of random
# bytes, each with examples/notepad.lnk (and a terminal block) planted at known offsets (one header split across
# a 16 MiB boundary, one link ending at one), the best of 3 warm runs of each, in MB/s,
# and their ratio; then the peak memory of a scan of a sparse file twice the size of the
# memory available. Exits non-zero when a scan misses a planted link or finds another.
#
#   bench/scan_throughput.sh [BUILD_DIR]      default build/release
#
# Needs about 4 GiB free under $TMPDIR (or /tmp), and as much memory for the page cache
# for the figures to be those of a warm cache.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
inspect=$build/tool/shortcut_inspect
work=$(mktemp -d "${TMPDIR:-/tmp}/scan-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The example ends without the terminal block Windows writes: in random bytes what
# follows it would be read as its ExtraData, up to the next header or 256 MiB.
link=$work/planted.lnk
{ cat examples/notepad.lnk; printf '\0\0\0\0'; } > "$link"
link_size=$(stat -c %s "$link")

mib=$((1 << 20))
size=$((2048 * mib))
offsets=(0 12345 $((16 * mib - 7)) $((32 * mib - link_size)) $((1000 * mib + 3)) $((size - link_size)))
status=0

plant() {  # file, offsets...
    local file=$1 at
    shift
    for at in "$@"; do
        dd if="$link" of="$file" bs=64K seek="$at" oflag=seek_bytes conv=notrunc status=none
    done
}

# The offsets of the records a scan wrote, one a line, against those planted.
check_offsets() {  # output, offsets...
    local output=$1
    shift
    local found expected
    found=$(grep -o '"file":"[^"]*#[0-9]*"' "$output" | sed 's/.*#//; s/"$//' | sort -n | tr '\n' ' ')
    expected=$(printf '%s\n' "$@" | sort -n | tr '\n' ' ')
    if [ "$found" = "$expected" ]; then
        echo "found every planted link and nothing else: $found"
    else
        echo "FAILED: planted at $expected, found at $found"
        status=1
    fi
}

seconds() {  # command...: the wall time of one run, output discarded
    local start end
    start=$(date +%s.%N)
    "$@" > /dev/null
    end=$(date +%s.%N)
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}

best_of_3() {  # command...
    local best="" t
    for _ in 1 2 3; do
        t=$(seconds "$@")
        best=$(awk -v b="$best" -v t="$t" 'BEGIN { print (b == "" || t < b) ? t : b }')
    done
    echo "$best"
}

scan_quietly() { "$inspect" --scan "$1" || [ $? -eq 1 ]; }

printf '%-8s %12s %12s %8s\n' input "cat MB/s" "scan MB/s" ratio
for kind in zeros random; do
    file=$work/$kind.bin
    if [ $kind = zeros ]; then
        head -c "$size" /dev/zero > "$file"
    else
        head -c "$size" /dev/urandom > "$file"
    fi
    plant "$file" "${offsets[@]}"
    cat "$file" > /dev/null  # into the page cache
    cat_s=$(best_of_3 cat "$file")
    scan_s=$(best_of_3 scan_quietly "$file")
    awk -v n="$kind" -v size="$size" -v c="$cat_s" -v s="$scan_s" \
        'BEGIN { printf "%-8s %12.0f %12.0f %8.2f\n", n, size / c / 1e6, size / s / 1e6, c / s }'
    scan_quietly "$file" > "$work/$kind.jsonl"
    check_offsets "$work/$kind.jsonl" "${offsets[@]}"
    rm -f "$file"
done

# A sparse file larger than the memory there is: the scan may not keep it, nor a large
# part of it.
available_kib=$(awk '$1 == "MemAvailable:" { print $2 }' /proc/meminfo)
sparse_size=$((available_kib * 2048 / mib * mib))
sparse=$work/sparse.bin
truncate -s "$sparse_size" "$sparse"
sparse_offsets=(0 $((sparse_size / 3 + 5)) $((sparse_size / 2 - 11)) $((sparse_size - link_size)))
plant "$sparse" "${sparse_offsets[@]}"
start=$(date +%s.%N)
peak_kib=$( { /usr/bin/time -f %M "$inspect" --scan "$sparse" > "$work/sparse.jsonl" || true; } 2>&1 | tail -n 1)
end=$(date +%s.%N)
echo
awk -v size="$sparse_size" -v kib="$peak_kib" -v s="$start" -v e="$end" -v a="$available_kib" \
    'BEGIN { printf "sparse file of %.1f GiB (memory available %.1f GiB): peak RSS %d KiB, %.1f s, %.0f MB/s\n",
             size / 2^30, a / 2^20, kib, e - s, size / (e - s) / 1e6 }'
check_offsets "$work/sparse.jsonl" "${sparse_offsets[@]}"
exit $status
