#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The links inside other files: shortcut_inspect over the real Jump Lists
# (../shared/jumplists, or SHORTCUT_JUMPLISTS_DIR) and a scan of the corpus's links laid
# end to end, each record checked against the schema; then the compound file reader
# against Debian's python3-olefile, stream by stream.
#
#   .ci/check_containers.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
jumplists=${SHORTCUT_JUMPLISTS_DIR:-../shared/jumplists}
corpus=${SHORTCUT_CORPUS_DIR:-../shared/corpus}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ ! -d "$jumplists" ] || [ ! -d "$corpus" ]; then
    [ -z "${CI:-}" ] || { echo "CI is set but there are no Jump Lists at $jumplists or no corpus at $corpus"; exit 1; }
    echo "check_containers: no Jump Lists or corpus here; skipped"
    exit 0
fi
inspect=$build/tool/shortcut_inspect
status=0
"$inspect" -r "$jumplists" > "$work/jump_lists" 2> "$work/errors" || status=$?
[ $status -le 1 ] && [ ! -s "$work/errors" ] || { echo "check_containers: Jump Lists: status $status"; cat "$work/errors"; exit 1; }
find "$corpus" -type f ! -name README.md -print0 | sort -z | xargs -0 cat > "$work/carved"
status=0
"$inspect" --scan "$work/carved" > "$work/scanned" 2> "$work/errors" || status=$?
[ $status -le 1 ] && [ ! -s "$work/errors" ] || { echo "check_containers: scan: status $status"; cat "$work/errors"; exit 1; }
/usr/bin/python3 .ci/check_containers.py doc/shortcut_inspect.schema.json "$work/jump_lists" "$work/scanned"
/usr/bin/python3 .ci/check_compound.py "$jumplists" --program "$build/tests/list_compound_streams"
