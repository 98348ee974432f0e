#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""The Python package over the real-link corpus, side by side with shortcut_inspect:
wall time a link of shortcut_reader.read() in one process against shortcut_inspect's
over the same files in one run (best of several rounds each; the target is at most 3
times), then whether reading the corpus 100 times grows the process (its peak resident
size after the first 10 rounds and after all 100, and tracemalloc's count of what
Python still holds).

    PYTHONPATH=build/python/python bench/python_corpus.py build/python [CORPUS]

Exits non-zero when read() takes more than 3 times as long, or the process grows by
more than 4 MiB between round 10 and round 100."""

import os
import pathlib
import resource
import subprocess
import sys
import time
import tracemalloc

import shortcut_reader

build = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "build/python")
corpus = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else os.environ.get("SHORTCUT_CORPUS_DIR", "../shared/corpus"))
files = sorted(str(path) for path in corpus.rglob("*") if path.is_file())
listed = b"".join(os.fsencode(path) + b"\0" for path in files)
ROUNDS = 20


def inspect_seconds():
    started = time.perf_counter()
    subprocess.run([str(build / "tool" / "shortcut_inspect"), "--files-from", "-", "-0"], input=listed,
                   stdout=subprocess.DEVNULL, check=False)
    return time.perf_counter() - started


def python_seconds():
    started = time.perf_counter()
    for path in files:
        shortcut_reader.read(path)
    return time.perf_counter() - started


inspect = min(inspect_seconds() for _ in range(ROUNDS)) / len(files)
python = min(python_seconds() for _ in range(ROUNDS)) / len(files)
ratio = python / inspect
print(f"{len(files)} links of {corpus}, best of {ROUNDS} rounds each")
print(f"shortcut_inspect (one run, start-up included)   {inspect * 1e6:8.1f} us a link")
print(f"shortcut_reader.read() (one process)            {python * 1e6:8.1f} us a link  ({ratio:.2f}x; target at most 3)")


def peak_kib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


tracemalloc.start()
for _ in range(10):
    python_seconds()
after_ten, held_ten = peak_kib(), tracemalloc.get_traced_memory()[0]
for _ in range(90):
    python_seconds()
after_hundred, held_hundred = peak_kib(), tracemalloc.get_traced_memory()[0]
tracemalloc.stop()
growth = after_hundred - after_ten
print(f"peak resident size after 10 and 100 rounds      {after_ten} KiB, {after_hundred} KiB ({growth:+d} KiB)")
print(f"memory Python holds (tracemalloc) after 10, 100  {held_ten} B, {held_hundred} B")
sys.exit(0 if ratio <= 3 and growth <= 4096 else 1)
