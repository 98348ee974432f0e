#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole-process cost of shortcut_dump, against a do-nothing C++ program built the same
# way: instructions of one run (callgrind, repeatable on a busy machine), wall time over
# many runs (hyperfine when present), and peak memory (GNU time). Exits non-zero when a
# run on the typical link takes more instructions than SHORTCUT_MAX_INSTRUCTIONS.
#
#   bench/startup.sh [BUILD_DIR]        default build/release (cmake --workflow --preset release)
set -euo pipefail
source "$(dirname "$0")/bench_links.sh"
# The do-nothing program is compiled and linked as the tool is: the same hardening,
# position-independent, and static when the tool is.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
list() { local -n into=$2; IFS=';' read -r -a into <<< "$(cache "$1")"; }
flags=(-O3 -fPIE)
link_mode=()
if [ "$(cache SHORTCUT_HARDEN)" = ON ]; then
    list SHORTCUT_HARDEN_COMPILE_OPTIONS compile_options
    list SHORTCUT_HARDEN_LINK_OPTIONS link_mode
    flags+=("${compile_options[@]}" -D_FORTIFY_SOURCE=2)
fi
if [ "$(cache SHORTCUT_STATIC)" = ON ]; then
    list SHORTCUT_STATIC_LINK_OPTIONS pie  # in place of -pie, as the tool is linked
else
    pie=(-pie)
fi
link_mode+=("${pie[@]}")
echo 'int main() { return 0; }' > "$work/do_nothing.cpp"
"$(cache CMAKE_CXX_COMPILER)" "${flags[@]}" "${link_mode[@]}" "$work/do_nothing.cpp" -o "$work/do_nothing"
# At most this many instructions for one run on the typical link (0 to only report).
limit=${SHORTCUT_MAX_INSTRUCTIONS:-175000}

instructions() {
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null | sed -n 's/.*Collected : //p'
}
peak_kib() {
    /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -n 1
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

echo "compile options: ${flags[*]}"
echo "link options: ${link_mode[*]}"
echo
echo "== instructions of one whole run (callgrind)"
typical=$(instructions "$tool" "$work/typical.lnk")
nothing=$(instructions "$work/do_nothing")
largest=$(instructions "$tool" "$work/largest.lnk")
hostile=$(instructions "$tool" "$work/hostile.lnk")
largest_bytes=$(stat -c %s "$work/largest.lnk")
printf '%-34s %12s\n' "do-nothing program" "$nothing"
printf '%-34s %12s  (%sx the do-nothing program)\n' "shortcut_dump typical.lnk" "$typical" "$(ratio "$typical" "$nothing")"
printf '%-34s %12s  (%s bytes: %s per byte)\n' "shortcut_dump largest.lnk" "$largest" "$largest_bytes" "$(ratio "$largest" "$largest_bytes")"
printf '%-34s %12s\n' "shortcut_dump hostile.lnk" "$hostile"

if [ -x /usr/bin/time ]; then
    echo
    echo "== peak memory (maximum resident set, KiB)"
    for name in typical largest hostile; do
        printf '%-34s %12s\n' "shortcut_dump $name.lnk" "$(peak_kib "$tool" "$work/$name.lnk")"
    done
    printf '%-34s %12s\n' "do-nothing program" "$(peak_kib "$work/do_nothing")"
fi

echo
echo "== wall time of one run"
if command -v hyperfine > /dev/null; then
    hyperfine -N --warmup 100 --runs 3000 --export-csv "$work/times.csv" \
        "$work/do_nothing" "$tool $work/typical.lnk" > /dev/null 2>&1
    nothing_s=$(awk -F, 'NR == 2 { print $2 }' "$work/times.csv")
    typical_s=$(awk -F, 'NR == 3 { print $2 }' "$work/times.csv")
else
    runs=1000
    clock() {
        local start end
        start=$(date +%s%N)
        for ((i = 0; i < runs; i++)); do "$@" > /dev/null; done
        end=$(date +%s%N)
        awk -v ns=$((end - start)) -v n=$runs 'BEGIN { printf "%.9f", ns / n / 1e9 }'
    }
    nothing_s=$(clock "$work/do_nothing")
    typical_s=$(clock "$tool" "$work/typical.lnk")
fi
awk -v s="$nothing_s" 'BEGIN { printf "%-34s %9.1f us\n", "do-nothing program", s * 1e6 }'
awk -v s="$typical_s" -v r="$(ratio "$typical_s" "$nothing_s")" \
    'BEGIN { printf "%-34s %9.1f us  (%sx the do-nothing program)\n", "shortcut_dump typical.lnk", s * 1e6, r }'
if [ "$limit" -gt 0 ] && [ "$typical" -gt "$limit" ]; then
    echo "one run on the typical link took $typical instructions, more than $limit"
    exit 1
fi
