# SPDX-License-Identifier: MIT
"""The Python package against shortcut_inspect: the same record, key by key, for every
corpus file; bytes and path input; misuse; a hostile link; threads."""

import json
import os
import pathlib
import subprocess
import threading

import pytest

import shortcut_reader

INSPECT = os.environ["SHORTCUT_INSPECT"]
EXAMPLES = pathlib.Path(os.environ["SHORTCUT_EXAMPLES_DIR"])
CORPUS = pathlib.Path(os.environ.get("SHORTCUT_CORPUS_DIR", ""))


def corpus_files():
    if not CORPUS.is_dir():
        if os.environ.get("CI"):
            pytest.fail(f"no corpus at {CORPUS}")
        pytest.skip(f"no corpus at {CORPUS}")
    return sorted(path for path in CORPUS.rglob("*") if path.is_file())


def inspect_records(paths, *options):
    """shortcut_inspect's records of paths, in one run."""
    listed = b"".join(os.fsencode(path) + b"\0" for path in paths)
    run = subprocess.run([INSPECT, *options, "--files-from", "-", "-0"], input=listed, capture_output=True, check=False)
    assert run.returncode in (0, 1) and run.stderr == b""
    return [json.loads(line) for line in run.stdout.splitlines()]


def test_every_corpus_record_equals_shortcut_inspects_key_by_key():
    files = corpus_files()
    for path, expected in zip(files, inspect_records(files), strict=True):
        record = shortcut_reader.read(str(path))
        assert list(record) == list(expected), path
        for key in expected:
            assert record[key] == expected[key], (path, key)
        # From bytes: the same record, but for the file's name and the file itself, which
        # bytes do not have.
        from_bytes = shortcut_reader.read(path.read_bytes())
        assert from_bytes["file"] == "" and from_bytes["link_file"] is None
        assert {**from_bytes, "file": expected["file"], "link_file": expected["link_file"]} == expected, path


@pytest.mark.parametrize("make", [str, pathlib.Path, os.fsencode, bytearray, memoryview], ids=lambda make: make.__name__)
def test_paths_and_buffers_of_every_kind_are_read(make):
    path = EXAMPLES / "notepad.lnk"
    source = make(path.read_bytes()) if make in (bytearray, memoryview) else make(str(path))
    if make is os.fsencode:  # bytes are the link itself, not a path
        source = path.read_bytes()
    record = shortcut_reader.read(source)
    assert record["status"] == "read"
    assert record["string_data"]["name_string"] == "Text editor"


@pytest.mark.parametrize(
    "source, error",
    [(42, TypeError), (None, TypeError), (["a.lnk"], TypeError), ("a.lnk\0b", ValueError)],
    ids=["a number", "None", "a list", "a NUL in the path"],
)
def test_misuse_raises(source, error):
    with pytest.raises(error):
        shortcut_reader.read(source)


def test_an_unknown_code_page_is_misuse_and_a_bad_file_is_not():
    with pytest.raises(ValueError, match="NO-SUCH"):
        shortcut_reader.read(b"L\0\0\0", codepage="NO-SUCH")
    with pytest.raises(ValueError):
        list(shortcut_reader.read_many([EXAMPLES], codepage="NO-SUCH"))
    assert shortcut_reader.read("/nonexistent/a.lnk")["status"] == "file_error"
    assert shortcut_reader.read(b"MZ")["status"] == "not_a_shortcut"


def test_a_hostile_link_gives_a_record_with_warnings():
    header = bytearray((EXAMPLES / "notepad.lnk").read_bytes()[:76])
    header[0x14:0x18] = (0xFFFFFFFF).to_bytes(4, "little")  # every section announced
    hostile = bytes(header) + bytes(range(256)) * 64 + b"\xff" * 4096
    for codepage in ("CP1252", "CP932", "UTF-8", "UCS-4LE"):
        record = shortcut_reader.read(hostile, codepage)
        assert record["status"] == "read" and record["warnings"]
        assert {warning["category"] for warning in record["warnings"]} <= {"damage", "suspicious"}


def test_read_many_walks_directories_in_byte_order_of_their_whole_paths(tmp_path):
    link = (EXAMPLES / "notepad.lnk").read_bytes()
    for name in ("a.lnk", "a-b.lnk", "a/x.lnk", "B.LNK", "notes.txt"):
        (tmp_path / name).parent.mkdir(exist_ok=True)
        (tmp_path / name).write_bytes(link)
    files = [pathlib.Path(record["file"]).relative_to(tmp_path).as_posix() for record in shortcut_reader.read_many([tmp_path])]
    assert files == ["B.LNK", "a-b.lnk", "a.lnk", "a/x.lnk"]
    every = [pathlib.Path(record["file"]).relative_to(tmp_path).as_posix()
             for record in shortcut_reader.read_many(tmp_path, any_name=True)]
    assert every == ["B.LNK", "a-b.lnk", "a.lnk", "a/x.lnk", "notes.txt"]
    assert [record["status"] for record in shortcut_reader.read_many([EXAMPLES / "notepad.lnk", "/nonexistent"])] == [
        "read",
        "file_error",
    ]


def test_threads_read_in_parallel_and_agree():
    links = [path.read_bytes() for path in sorted(EXAMPLES.glob("*.lnk"))]
    expected = [shortcut_reader.read(link, "CP932") for link in links]
    results = {}

    def read_all(index):
        results[index] = [[shortcut_reader.read(link, "CP932") for link in links] for _ in range(50)]

    threads = [threading.Thread(target=read_all, args=(index,)) for index in range(4)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert all(rounds == [expected] * 50 for rounds in results.values())


def test_version_is_the_projects():
    assert shortcut_reader.__version__ == os.environ["SHORTCUT_VERSION"]
