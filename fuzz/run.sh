#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs every fuzz target for a while, in parallel, from the generated seeds (and the
# shared corpus of real links when it is there). Exits non-zero on any finding.
#
#   fuzz/run.sh [SECONDS_PER_TARGET]      default 120
#
# Needs the fuzz preset built: cmake --workflow --preset fuzz
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-120}
build=build/fuzz
corpus_dir=${SHORTCUT_CORPUS_DIR:-../shared/corpus}
jumplists_dir=${SHORTCUT_JUMPLISTS_DIR:-../shared/jumplists}
work=$build/work
mkdir -p "$work/seeds-links" "$work/seeds-lists" "$work/artifacts"

"$build/tests/make_sample_links" seeds "$work/seeds-links"
"$build/tests/make_sample_links" lists "$work/seeds-lists"

extra=()
[ -d "$corpus_dir" ] && extra+=("$corpus_dir")

# fuzz_shell_link takes its first byte as the code page and the rest as the link: its
# seeds are the links with such a byte before each, the code pages taken in turn.
mkdir -p "$work/seeds-coded"
index=0
while IFS= read -r -d '' seed; do
    { printf "\\$(printf %03o $((index % 6)))"; cat "$seed"; } > "$work/seeds-coded/$index"
    index=$((index + 1))
done < <(find "$work/seeds-links" "${extra[@]}" -type f ! -name '*.md' -print0 | sort -z)

run_target() {  # target, seed folders...
    local target=$1
    shift
    mkdir -p "$work/corpus-$target"
    "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -dict=fuzz/shortcut.dict -print_final_stats=1 \
        -artifact_prefix="$work/artifacts/$target-" \
        "$work/corpus-$target" "$@" > "$work/$target.log" 2>&1
}

run_target fuzz_shortcut_file "$work/seeds-links" "${extra[@]}" & file_pid=$!
run_target fuzz_target_path "$work/seeds-lists" "${extra[@]}" & path_pid=$!
run_target fuzz_shell_link "$work/seeds-coded" & link_pid=$!
# The compound file reader from the shared Jump Lists, when they are there.
compound_seeds=()
[ -d "$jumplists_dir" ] && compound_seeds+=("$jumplists_dir")
run_target fuzz_compound_file "${compound_seeds[@]}" & compound_pid=$!
# fuzz_scan takes its first byte as the window and the link cap: a raw link's 0x4C and
# the coded seeds' small ones both serve.
run_target fuzz_scan "$work/seeds-coded" "$work/seeds-links" "${extra[@]}" & scan_pid=$!
status=0
wait $file_pid || status=1
wait $path_pid || status=1
wait $link_pid || status=1
wait $compound_pid || status=1
wait $scan_pid || status=1

for target in fuzz_shortcut_file fuzz_target_path fuzz_shell_link fuzz_compound_file fuzz_scan; do
    echo "== $target"
    grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^#[0-9]+ *DONE|ERROR|SUMMARY' "$work/$target.log" || tail -n 20 "$work/$target.log"
done
if [ $status -ne 0 ]; then
    echo "fuzzing found something: see $work/artifacts and the logs in $work"
fi
exit $status
