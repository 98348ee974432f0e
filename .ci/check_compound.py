#!/usr/bin/python3
# SPDX-License-Identifier: MIT
"""Compares the compound file reader with Debian's python3-olefile over Jump Lists.

    .ci/check_compound.py [DIR] [--program PATH]

For every *.automaticDestinations-ms under DIR (default ../shared/jumplists, from the
project's root), both must list the same stream names and give every stream the same
size and SHA-256. PATH is the list_compound_streams program (default
build/release/tests/list_compound_streams). Exits 1 on any difference.
"""
import argparse
import hashlib
import pathlib
import subprocess
import sys

import olefile

ROOT = pathlib.Path(__file__).resolve().parent.parent


def ours(program, path):
    """Stream name -> (size, sha256) or (size, 'error: why'); None when rejected."""
    lines = subprocess.run([str(program), str(path)], check=True, capture_output=True,
                           text=True).stdout.splitlines()
    streams = {}
    for line in lines[1:]:
        fields = line.split("\t")
        if fields[0] == "rejected":
            return None, fields[1]
        name, size = fields[0], int(fields[1])
        if fields[2] == "error":
            streams[name] = (size, "error: " + fields[3])
        else:
            streams[name] = (size, hashlib.sha256(bytes.fromhex(fields[2])).hexdigest())
    return streams, ""


def theirs(path):
    with olefile.OleFileIO(str(path)) as ole:
        streams = {}
        for parts in ole.listdir(streams=True, storages=False):
            data = ole.openstream(parts).read()
            streams["/".join(parts)] = (ole.get_size(parts), hashlib.sha256(data).hexdigest())
        return streams


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("directory", nargs="?", default=str(ROOT.parent / "shared" / "jumplists"))
    parser.add_argument("--program", default=str(ROOT / "build/release/tests/list_compound_streams"))
    args = parser.parse_args()
    files = sorted(pathlib.Path(args.directory).rglob("*.automaticDestinations-ms"))
    if not files:
        print(f"no *.automaticDestinations-ms under {args.directory}")
        return 1
    differences = 0
    stream_count = 0
    for path in files:
        mine, why = ours(args.program, path)
        if mine is None:
            print(f"{path}: rejected by ours ({why}), read by olefile")
            differences += 1
            continue
        other = theirs(path)
        for name in sorted(set(mine) | set(other)):
            if name not in mine or name not in other:
                side = "olefile" if name not in mine else "ours"
                print(f"{path}: stream {name!r} listed by {side} only")
                differences += 1
            elif mine[name] != other[name]:
                print(f"{path}: stream {name!r}: ours {mine[name]}, olefile {other[name]}")
                differences += 1
        stream_count += len(mine)
    if differences:
        print(f"{len(files)} files, {stream_count} streams: {differences} differences from olefile")
        return 1
    print(f"{len(files)} files, {stream_count} streams: olefile agrees")
    return 0


if __name__ == "__main__":
    sys.exit(main())
