# SPDX-License-Identifier: MIT
"""Windows shell links (.lnk) read exactly and safely, as Python values.

>>> import shortcut_reader
>>> record = shortcut_reader.read("examples/notepad.lnk")
>>> record["string_data"]["name_string"]
'Text editor'

Each record is a dict with the keys of shortcut_inspect's JSON record, in its order,
equal to json.loads of the line shortcut_inspect writes for the same input. A damaged,
hostile or unreadable file is never an exception: its record says what is wrong
("status", "error" and "warnings"). Only misuse raises: a source of the wrong type
(TypeError), or a code page iconv does not know (ValueError). The reading itself runs
without the GIL, so threads read in parallel.
"""

import json
import os
import stat
from typing import Any, Dict, Iterable, Iterator, Union

from . import _native

__all__ = ["read", "read_many", "__version__"]
__version__: str = _native.__version__

PathLike = Union[str, "os.PathLike[str]", "os.PathLike[bytes]"]
Source = Union[PathLike, bytes, bytearray, memoryview]


def read(source: Source, codepage: str = "CP1252") -> Dict[str, Any]:
    """The record of one link.

    source is a path (str or os.PathLike) or the link's bytes (bytes, bytearray or
    memoryview; the record's "file" is then ""). codepage is the iconv name of the ANSI
    code page of the machine that wrote the link.
    """
    if isinstance(source, (bytes, bytearray, memoryview)):
        # Read without the GIL: a copy, which no other thread can change meanwhile.
        return json.loads(_native.read_bytes(bytes(source), codepage))
    if isinstance(source, (str, os.PathLike)):
        return json.loads(_native.read_path(os.fsencode(source), codepage))
    raise TypeError(f"read() takes a path or bytes, not {type(source).__name__}")


def _is_link_name(name: bytes) -> bool:
    return name.lower().endswith(b".lnk")


def _records_below(top: bytes, codepage: str, any_name: bool) -> Iterator[Dict[str, Any]]:
    """The records below a directory, in the byte order of their whole paths (as
    shortcut_inspect --recursive lists them), without following symbolic links. The
    whole tree is listed first; a directory that cannot be read has a record of its own."""
    found = []  # (path below top, errno or 0)
    pending = [b""]
    while pending:
        below = pending.pop()
        try:
            entries = list(os.scandir(os.path.join(top, below) if below else top))
        except OSError as error:
            found.append((below, error.errno or 0))
            continue
        for entry in entries:
            relative = os.path.join(below, entry.name) if below else entry.name
            try:
                mode = entry.stat(follow_symlinks=False).st_mode
            except OSError:
                continue
            if stat.S_ISDIR(mode):
                pending.append(relative)
            elif stat.S_ISREG(mode) and (any_name or _is_link_name(entry.name)):
                found.append((relative, 0))
    for relative, error in sorted(found):
        path = os.path.join(top, relative) if relative else top
        line = _native.unreadable(path, error) if error else _native.read_path(path, codepage)
        yield json.loads(line)


def read_many(paths: Iterable[PathLike], codepage: str = "CP1252", any_name: bool = False) -> Iterator[Dict[str, Any]]:
    """The records of many links, one at a time, in order.

    A directory stands for every regular file below it whose name ends in .lnk (in any
    case; every regular file with any_name), in the byte order of their whole paths,
    without following symbolic links; any other path is read as a link.
    """
    _native.check_codepage(codepage)
    if isinstance(paths, (str, bytes, os.PathLike)):
        paths = [paths]  # type: ignore[list-item]
    for source in paths:
        if not isinstance(source, (str, bytes, os.PathLike)):
            raise TypeError(f"read_many() takes paths, not {type(source).__name__}")
        path = os.fsencode(source)
        if os.path.isdir(path):
            yield from _records_below(path, codepage, any_name)
        else:
            yield json.loads(_native.read_path(path, codepage))
