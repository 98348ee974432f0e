#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shortcut_inspect over every link there is (the corpus, the examples and the links the
# tests generate), in one run: its exit status must be 0 or 1, standard error empty, and
# standard output one line per link, in order, each a JSON object that the committed
# schema (doc/shortcut_inspect.schema.json) accepts. Validated by Debian's
# python3-jsonschema.
#
#   .ci/check_records.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source .ci/every_link.sh

printf '%s\0' "${files[@]}" > "$work/list"
status=0
"$build/tool/shortcut_inspect" --files-from "$work/list" -0 > "$work/records" 2> "$work/errors" || status=$?
[ $status -le 1 ] || { echo "check_records: shortcut_inspect exited with $status"; cat "$work/errors"; exit 1; }
[ ! -s "$work/errors" ] || { echo "check_records: shortcut_inspect wrote to standard error:"; cat "$work/errors"; exit 1; }
/usr/bin/python3 .ci/validate_records.py doc/shortcut_inspect.schema.json "$work/list" "$work/records"
