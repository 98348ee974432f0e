#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# shortcut_inspect's timeline forms over every link there is, read back by what analysts
# load them into: the CSV by Python's csv module (one row a file), the body file by
# Sleuth Kit's mactime (which must take every line: as many events out as the lines
# give), the Timesketch lines by Timesketch's three required fields.
#
#   .ci/check_timelines.sh BUILD_DIR
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source .ci/every_link.sh

printf '%s\0' "${files[@]}" > "$work/list"
inspect() {  # format, output; the corpus holds files that are not links: status 1 is expected
    local status=0
    "$build/tool/shortcut_inspect" --format "$1" --hash md5 --files-from "$work/list" -0 > "$2" 2> "$work/errors" || status=$?
    [ $status -le 1 ] || { echo "check_timelines: --format $1 exited with $status"; cat "$work/errors"; exit 1; }
    [ ! -s "$work/errors" ] || { echo "check_timelines: --format $1 wrote to standard error:"; cat "$work/errors"; exit 1; }
}
inspect csv "$work/links.csv"
inspect bodyfile "$work/body"
inspect timesketch "$work/timesketch.jsonl"
/usr/bin/python3 .ci/check_timelines.py "$work/list" "$work/links.csv" "$work/timesketch.jsonl"

# mactime prints one line per distinct time of a name; -d makes them comma-separated.
# Every body line must be read: a line it skips or splits wrongly loses its name.
mactime -b "$work/body" -d -y > "$work/timeline" 2> "$work/mactime_errors"
[ ! -s "$work/mactime_errors" ] || { echo "check_timelines: mactime complained:"; cat "$work/mactime_errors"; exit 1; }
/usr/bin/python3 - "$work/body" "$work/timeline" << 'PYTHON'
import csv, re, sys
body = [line.rstrip("\n").split("|") for line in open(sys.argv[1], encoding="utf-8")]
if any(len(fields) != 11 for fields in body):
    sys.exit("check_timelines: a body file line without 11 fields")
# The names as mactime shows them, after decoding %XX as it does.
names = {re.sub(r"%([0-9A-Fa-f]{2})", lambda m: chr(int(m.group(1), 16)), fields[1]) for fields in body}
with open(sys.argv[2], encoding="utf-8", errors="replace", newline="") as timeline:
    seen = {row[7] for row in csv.reader(timeline) if len(row) == 8}
missing = names - seen
if missing:
    sys.exit("check_timelines: mactime left out %d names, such as %s" % (len(missing), sorted(missing)[0]))
print("bodyfile: %d lines, every one read by mactime" % len(body))
PYTHON
