# SPDX-License-Identifier: MIT
import os
from typing import Any, Dict, Iterable, Iterator, Union

__version__: str

PathLike = Union[str, os.PathLike[str], os.PathLike[bytes]]
Source = Union[PathLike, bytes, bytearray, memoryview]

def read(source: Source, codepage: str = ...) -> Dict[str, Any]: ...
def read_many(paths: Union[PathLike, Iterable[PathLike]], codepage: str = ..., any_name: bool = ...) -> Iterator[Dict[str, Any]]: ...
