#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The cost of reading Jump Lists: shortcut_inspect over the real Jump Lists
# (../shared/jumplists, or SHORTCUT_JUMPLISTS_DIR) in one process, side by side with
# read_floor, which only opens, reads and closes each file (hyperfine). The list is
# given REPEAT times (default 200), so that start-up and the one load of the IEEE
# registry spread as over a real collection; the target is at most 2.5 times the floor
# per file. Also the instructions per file (callgrind), start-up excluded.
#
#   bench/jump_lists.sh [BUILD_DIR]     default build/release
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
inspect=$build/tool/shortcut_inspect
jumplists=${SHORTCUT_JUMPLISTS_DIR:-../shared/jumplists}
repeat=${REPEAT:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$jumplists" ] || { echo "jump_lists: no Jump Lists at $jumplists"; exit 1; }
find "$jumplists" -type f -name '*Destinations-ms' -print0 | sort -z > "$work/once"
files=$(tr -cd '\0' < "$work/once" | wc -c)
for _ in $(seq "$repeat"); do cat "$work/once"; done > "$work/list"
total=$((files * repeat))
records=$("$inspect" --files-from "$work/once" -0 | wc -l)
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
"$(cache CMAKE_CXX_COMPILER)" -std=c++17 -O2 -fPIE -pie bench/read_floor.cpp -o "$work/read_floor"

echo "== $files Jump Lists ($records records), the list $repeat times: $total files in one process"
instructions() {
    { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null || true; } | sed -n 's/.*Collected : //p'
}
printf '' > "$work/empty"
startup=$(instructions "$inspect" --files-from "$work/empty" -0)
once=$(instructions "$inspect" --files-from "$work/once" -0)
printf '%-44s %12s\n' "instructions a file (callgrind, first pass)" $(((once - startup) / files))

hyperfine -N -i --warmup 5 --runs 30 --export-json "$work/times.json" \
    "$work/read_floor $work/list" "$inspect --files-from $work/list -0" > /dev/null 2>&1
read -r floor_s inspect_s < <(/usr/bin/python3 -c '
import json, sys
results = json.load(open(sys.argv[1]))["results"]
print(results[0]["mean"], results[1]["mean"])' "$work/times.json")
awk -v f="$floor_s" -v i="$inspect_s" -v n="$total" 'BEGIN {
    printf "%-44s %9.2f us a file\n", "read_floor (open, read, close)", f / n * 1e6
    printf "%-44s %9.2f us a file  (%.2fx the floor; target at most 2.5)\n", "shortcut_inspect --files-from", i / n * 1e6, i / f
}'
