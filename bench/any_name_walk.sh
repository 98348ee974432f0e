#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# What `shortcut_inspect -r --any-name` reads of the files that are not links: a tree of
# FILES files (default 100,000) in 100 folders, one in LINKS_EVERY a link with another
# name, the rest 64 KiB of other bytes (sparse: the tree takes little room), walked under
# strace. Prints the files opened and the bytes read from links and from the rest; a
# non-link must cost one read of its first 20 bytes. Exits non-zero when it costs more.
#
#   bench/any_name_walk.sh [BUILD_DIR] [FILES] [LINKS_EVERY]    default build/release 100000 100
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
count=${2:-100000}
every=${3:-100}
inspect=$build/tool/shortcut_inspect
command -v strace > /dev/null || { echo "any_name_walk: needs strace"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

/usr/bin/python3 - "$work/tree" "$count" "$every" examples/notepad.lnk << 'PYTHON'
import os, sys
root, count, every, sample = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4]
link = open(sample, "rb").read()
for folder in range(100):
    os.makedirs(os.path.join(root, "d%02d" % folder))
for i in range(count):
    path = os.path.join(root, "d%02d" % (i % 100), "f%06d" % i)
    with open(path, "wb") as out:
        if i % every == 0:
            out.write(link)
        else:
            out.write(b"MZ")
            out.truncate(64 << 10)
PYTHON

strace -f -qq -e trace=openat,read,pread64,close -e signal=none -o "$work/trace" \
    "$inspect" -r --any-name --summary "$work/tree" > /dev/null 2> "$work/summary" || true
/usr/bin/python3 - "$work/trace" "$work/tree" "$every" "$(cat "$work/summary")" << 'PYTHON'
import re, sys
trace, root, every, summary = sys.argv[1], sys.argv[2], int(sys.argv[3]), sys.argv[4]
open_re = re.compile(r'openat\(AT_FDCWD, "([^"]*)", [^)]*\) = (\d+)')
read_re = re.compile(r'p?read(?:64)?\((\d+), .*\) = (\d+)')
close_re = re.compile(r'close\((\d+)\)')
fds, bytes_read, reads = {}, {}, {}
for line in open(trace, encoding="utf-8", errors="replace"):
    line = line.split(" ", 1)[1] if line[:1].isdigit() else line
    if m := open_re.search(line):
        if m.group(1).startswith(root + "/"):
            fds[m.group(2)] = m.group(1)
            bytes_read.setdefault(m.group(1), 0)
            reads.setdefault(m.group(1), 0)
    elif m := read_re.search(line):
        if m.group(1) in fds:
            bytes_read[fds[m.group(1)]] += int(m.group(2))
            reads[fds[m.group(1)]] += 1
    elif m := close_re.search(line):
        fds.pop(m.group(1), None)
def is_link(path):
    return int(path[-6:]) % every == 0
files = [p for p in bytes_read if re.search(r"/f\d{6}$", p)]
links = [p for p in files if is_link(p)]
others = [p for p in files if not is_link(p)]
most = max((bytes_read[p] for p in others), default=0)
print("files opened:                 %d (%d links, %d others)" % (len(files), len(links), len(others)))
print("bytes read from the links:    %d" % sum(bytes_read[p] for p in links))
print("bytes read from the others:   %d, at most %d a file, in at most %d reads"
      % (sum(bytes_read[p] for p in others), most, max((reads[p] for p in others), default=0)))
print("summary:                      " + summary.strip())
if most > 20:
    sys.exit("a file that is not a link was read past its first 20 bytes")
PYTHON
