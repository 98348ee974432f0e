#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Reads every link there is, whole and cut short, under a checker:
#
#   .ci/read_every_link.sh BUILD_DIR [CHECKER ARGS...]
#
# The links: the real-link corpus (../shared/corpus, or SHORTCUT_CORPUS_DIR), the
# examples, and the links that make_sample_links writes from the tests (the seeds and
# the bench links). read_links_cut_short reads each one in one process, from its path and from
# memory, whole and cut short at every length up to 4 KiB and at spread lengths beyond;
# shortcut_inspect reads them all in one run (status 0 or 1, a line each); then
# shortcut_dump runs over each, and must exit with 0 or 1. The checker (valgrind,
# say) wraps every program; without one, the build's own sanitizers report. Under CI a
# missing corpus is a failure.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
shift
checker=("$@")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source .ci/every_link.sh

echo "read_links_cut_short: ${#files[@]} links, whole and cut short"
"${checker[@]}" "$build/tests/read_links_cut_short" "${files[@]}"

echo "shortcut_inspect: the ${#files[@]} links in one run"
records=$work/records
status=0
printf '%s\0' "${files[@]}" | "${checker[@]}" "$build/tool/shortcut_inspect" --files-from - -0 > "$records" || status=$?
[ $status -le 1 ] || { echo "shortcut_inspect exited with $status"; exit 1; }
[ "$(wc -l < "$records")" -eq ${#files[@]} ] || { echo "shortcut_inspect wrote $(wc -l < "$records") lines for ${#files[@]} links"; exit 1; }

echo "shortcut_dump: each of the ${#files[@]} links"
export SHORTCUT_TOOL=$build/tool/shortcut_dump
# xargs gives each run the checker's words, then one link; a status above 1 stops it.
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P 2 bash -c '
    link=${!#}
    status=0
    "${@:1:$#-1}" "$SHORTCUT_TOOL" "$link" > /dev/null || status=$?
    [ $status -le 1 ] || { echo "shortcut_dump exited with $status on $link"; exit 255; }
' read_every_link "${checker[@]}"
echo "read_every_link: no report"
