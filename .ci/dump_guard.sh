#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keeps shortcut_dump's output byte for byte. Runs the tool over every file of the
# real-link corpus and every example, and compares its exit status and the SHA-256 of its
# standard output with the committed list .ci/shortcut_dump.digests (one line a file:
# status, digest and name, tab-separated). A file without an entry, an entry without its
# file, a different status or output, or anything on standard error fails, naming the file.
#
#   .ci/dump_guard.sh BUILD_DIR             check against the list
#   .ci/dump_guard.sh BUILD_DIR --update    write the list anew, only when an output is
#                                           meant to change
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
mode=${2:-check}
tool=$build/tool/shortcut_dump
corpus=${SHORTCUT_CORPUS_DIR:-../shared/corpus}
list=.ci/shortcut_dump.digests
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

[ -d "$corpus" ] || { echo "dump guard: no corpus at $corpus"; exit 1; }
# Each input as name, tab, path; the names are the list's keys.
{
    (cd "$corpus" && find . -type f ! -name README.md -print0) | while IFS= read -r -d '' file; do
        printf 'corpus/%s\t%s\n' "${file#./}" "$corpus/${file#./}"
    done
    for file in examples/*.lnk; do printf '%s\t%s\n' "$file" "$file"; done
} | LC_ALL=C sort > "$work/inputs"

failed=0
while IFS=$'\t' read -r name path; do
    status=0
    "$tool" "$path" > "$work/out" 2> "$work/err" || status=$?
    if [ -s "$work/err" ]; then
        echo "dump guard: $name: shortcut_dump wrote to standard error"
        failed=1
    fi
    printf '%s\t%s\t%s\n' "$status" "$(sha256sum < "$work/out" | cut -c1-64)" "$name"
done < "$work/inputs" > "$work/actual"

if [ "$mode" = --update ]; then
    cp "$work/actual" "$list"
    echo "dump guard: wrote $(wc -l < "$list") entries to $list"
    exit $failed
fi
[ -f "$list" ] || { echo "dump guard: no $list (write it with --update)"; exit 1; }
LC_ALL=C awk -F '\t' '
    NR == FNR { expected[$3] = $1 "\t" $2; next }
    !($3 in expected) { print "dump guard: " $3 ": no entry in the list"; bad = 1; next }
    expected[$3] != $1 "\t" $2 {
        split(expected[$3], was, "\t")
        print "dump guard: " $3 ": status " $1 " (listed " was[1] "), output " (was[2] == $2 ? "as listed" : "changed")
        bad = 1
    }
    { delete expected[$3] }
    END {
        for (name in expected) { print "dump guard: " name ": listed, but there is no such file"; bad = 1 }
        exit bad
    }' "$list" "$work/actual" || failed=1
if [ $failed -ne 0 ]; then
    echo "dump guard: shortcut_dump's output differs from $list"
    exit 1
fi
echo "dump guard: $(wc -l < "$work/actual") outputs and statuses as listed"
