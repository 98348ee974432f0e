#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The cost of shortcut_inspect over every file of the real-link corpus, in one process:
#   - instructions per link for reading, decoding and writing its JSON line, and its CSV
#     row (callgrind, repeatable on a busy machine), start-up excluded: a run over the
#     first link that loads the IEEE registry of MAC vendors is subtracted (the figure
#     with that load spread over the corpus is printed beside it). Exits non-zero when either is above
#     SHORTCUT_MAX_LINK_INSTRUCTIONS (40000; 0 only reports). Also what --hash sha256 adds.
#   - wall time per link with --files-from, side by side with read_floor, a program that
#     only opens, reads and closes each file (hyperfine, many runs); the target is at
#     most 2.5 times the floor.
#
#   bench/inspect_corpus.sh [BUILD_DIR]     default build/release
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
inspect=$build/tool/shortcut_inspect
corpus=${SHORTCUT_CORPUS_DIR:-../shared/corpus}
limit=${SHORTCUT_MAX_LINK_INSTRUCTIONS:-40000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$corpus" ] || { echo "inspect_corpus: no corpus at $corpus"; exit 1; }
find "$corpus" -type f ! -name README.md -print0 | sort -z > "$work/list"
printf '' > "$work/empty"
links=$(tr -cd '\0' < "$work/list" | wc -c)
# The floor is built as the command is: the build's compiler, optimised, hardened, dynamic.
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
"$(cache CMAKE_CXX_COMPILER)" -std=c++17 -O2 -fPIE -pie bench/read_floor.cpp -o "$work/read_floor"

instructions() {  # the corpus holds files that are not links: status 1 is expected
    { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null || true; } | sed -n 's/.*Collected : //p'
}
# The IEEE registry of MAC vendors is loaded once a process, at the first tracker block
# with a registered MAC address: like start-up, a cost of the run, not of each link. The
# first such link of the list, alone, is the run the others are measured against.
{ "$inspect" --files-from "$work/list" -0 2> /dev/null || true; } | /usr/bin/python3 -c '
import json, sys
first = [record["file"] for record in map(json.loads, sys.stdin)
         if any(block.get("mac_kind") == "universal" for block in record["extra_data"] or [])][:1]
sys.stdout.write("".join(path + "\0" for path in first))' > "$work/first"
[ -s "$work/first" ] || cp "$work/empty" "$work/first"
per_link_of() {  # the options of a run: instructions per link, start-up excluded; then with the registry's load
    local startup first whole
    startup=$(instructions "$inspect" "$@" --files-from "$work/empty" -0)
    first=$(instructions "$inspect" "$@" --files-from "$work/first" -0)
    whole=$(instructions "$inspect" "$@" --files-from "$work/list" -0)
    echo $(((whole - first) / (links - 1))) $(((whole - startup) / links))
}
echo "== instructions (callgrind), $links links of $corpus in one process, start-up excluded"
read -r per_link per_link_loading < <(per_link_of)
read -r csv_per_link csv_per_link_loading < <(per_link_of --format csv)
read -r sha256_per_link _ < <(per_link_of --hash sha256)
printf '%-44s %12s  (limit %s; %s with the registry'"'"'s load)\n' "per link, JSON Lines" "$per_link" "$limit" "$per_link_loading"
printf '%-44s %12s  (limit %s; %s with the registry'"'"'s load)\n' "per link, --format csv" "$csv_per_link" "$limit" "$csv_per_link_loading"
printf '%-44s %12s  (%s more: libcrypto)\n' "per link, --hash sha256" "$sha256_per_link" "$((sha256_per_link - per_link))"

echo
echo "== wall time (hyperfine), the whole corpus a run"
hyperfine -N -i --warmup 20 --runs 300 --export-json "$work/times.json" \
    "$work/read_floor $work/list" "$inspect --files-from $work/list -0" > /dev/null 2>&1
read -r floor_s inspect_s < <(/usr/bin/python3 -c '
import json, sys
results = json.load(open(sys.argv[1]))["results"]
print(results[0]["mean"], results[1]["mean"])' "$work/times.json")
awk -v f="$floor_s" -v i="$inspect_s" -v n="$links" 'BEGIN {
    printf "%-44s %9.2f us a link\n", "read_floor (open, read, close)", f / n * 1e6
    printf "%-44s %9.2f us a link  (%.2fx the floor; target at most 2.5)\n", "shortcut_inspect --files-from", i / n * 1e6, i / f
    printf "%-44s %9.0f links a second\n", "shortcut_inspect", n / i
}'
for cost in "$per_link" "$csv_per_link"; do
    if [ "$limit" -gt 0 ] && [ "$cost" -gt "$limit" ]; then
        echo "a link took $cost instructions, more than $limit"
        exit 1
    fi
done
