# SPDX-License-Identifier: MIT
"""Writes reader/format/well_known_tables.inc, the lookups' tables, from the TSVs beside it.

    /usr/bin/python3 reader/format/names/generate.py [--check]

With --check it writes nothing and fails when the committed file is not what it would
write. Standard library only.

The GUID tables are sorted by the GUID's 16 bytes in packet form (Data1 to Data3
little-endian), the order memcmp gives, not the order of their text; properties by
format ID, then id. A key that occurs twice in a table stops the generator: no row is
chosen silently. Rows with nothing to return are left out (a property without a name, a
control panel item with neither name). A shell folder without a name takes its symbol,
then its class name, as SOURCES.md says. Every property name of the table counts, the
one its own row credits to forensic practice ({46588AE2-...},4 "SID", the creator's SID
in links Windows writes) too.
"""
import argparse
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
OUTPUT = HERE.parent / "well_known_tables.inc"
SHOWN_OUTPUT = "reader/format/well_known_tables.inc"

SHELL_FOLDER_COLUMNS = ["guid", "name", "symbol", "also", "class_name", "seen_on", "source"]
GUID_TEXT = re.compile(r"\{([0-9A-F]{8})-([0-9A-F]{4})-([0-9A-F]{4})-([0-9A-F]{4})-([0-9A-F]{12})\}", re.IGNORECASE)


class TableError(Exception):
    pass


class Row:
    """A TSV line's cells by column name, with where it came from."""

    def __init__(self, path, line, cells):
        self.where = f"{path.name}:{line}"
        self.cells = cells

    def __getitem__(self, column):
        return self.cells[column]


def read_rows(name, columns):
    path = HERE / name
    text = path.read_text(encoding="utf-8")
    if "\r" in text:
        raise TableError(f"{path.name}: lines end in LF alone")
    lines = text.split("\n")
    if len(lines) < 2 or lines[-1] != "":
        raise TableError(f"{path.name}: no header, or the last line has no line end")
    lines.pop()
    header = lines[0].split("\t")
    if header != columns:
        raise TableError(f"{path.name}: columns {header}, expected {columns}")
    rows = []
    for line_number, line in enumerate(lines[1:], start=2):
        cells = line.split("\t")
        if len(cells) != len(columns):
            raise TableError(f"{path.name}:{line_number}: {len(cells)} cells, expected {len(columns)}")
        rows.append(Row(path, line_number, dict(zip(columns, cells))))
    return rows


def packet_bytes(row, column):
    """The GUID text's 16 bytes as a link stores them."""
    match = GUID_TEXT.fullmatch(row[column])
    if not match:
        raise TableError(f"{row.where}: {column} {row[column]!r} is not a GUID")
    data1, data2, data3, data4, data5 = (bytes.fromhex(group) for group in match.groups())
    return data1[::-1] + data2[::-1] + data3[::-1] + data4 + data5


def number(row, column):
    if not re.fullmatch(r"[0-9]+", row[column]) or int(row[column]) > 0xFFFFFFFF:
        raise TableError(f"{row.where}: {column} {row[column]!r} is not a 32-bit number")
    return int(row[column])


def keyed(rows, key):
    """rows as (key, row), sorted by key; a key that repeats is an error."""
    seen = {}
    for row in rows:
        value = key(row)
        if value in seen:
            raise TableError(f"{row.where}: the key of {seen[value].where} again")
        seen[value] = row
    return sorted(seen.items(), key=lambda item: item[0])


def literal(text):
    """text as a C++ string literal of its UTF-8 bytes, or nullptr for an empty one."""
    if not text:
        return "nullptr"
    # The record writes names as they are: one that JSON would have to escape is refused.
    if any(c in '"\\' or ord(c) < 0x20 for c in text):
        raise TableError(f"the name {text!r} holds a character JSON escapes")
    out = []
    for byte in text.encode("utf-8"):
        character = chr(byte)
        if character in '\\"?':  # '?' so that no "??x" reads as a trigraph
            out.append("\\" + character)
        elif 0x20 <= byte < 0x7F:
            out.append(character)
        else:
            out.append(f"\\{byte:03o}")  # always three digits: a digit after it stays a digit
    return '"' + "".join(out) + '"'


def guid_initializer(guid):
    return "{" + ", ".join(f"0x{byte:02X}" for byte in guid) + "}"


def first_byte_index(name, guids):
    """index[b]: the first row whose GUID's first byte is b or more; index[256]: the count."""
    index = []
    at = 0
    for first in range(257):
        while at < len(guids) and guids[at][0] < first:
            at += 1
        index.append(at)
    values = [f"{value}" for value in index]
    lines = [", ".join(values[start:start + 16]) for start in range(0, len(values), 16)]
    return [f"constexpr std::uint16_t {name}[257] = {{"] + [f"    {line}," for line in lines] + ["};"]


def guid_table(type_name, name, entries):
    """entries: (packet bytes, GUID text, initializer of the rest) in packet order."""
    if len(entries) > 0xFFFF:
        raise TableError(f"{name}: {len(entries)} rows do not fit the 16-bit index")
    lines = [f"constexpr {type_name} {name}[] = {{"]
    for guid, text, rest in entries:
        lines.append(f"    {{{guid_initializer(guid)}, {rest}}},  // {text.upper()}")
    lines.append("};")
    lines += first_byte_index(f"{name}ByFirstByte", [guid for guid, _, _ in entries])
    return lines


def shell_folders():
    rows = read_rows("shell-folders.tsv", SHELL_FOLDER_COLUMNS)
    rows += read_rows("shell-folders-observed.tsv", SHELL_FOLDER_COLUMNS)
    entries = []
    for guid, row in keyed(rows, lambda row: packet_bytes(row, "guid")):
        name = row["name"] or row["symbol"] or row["class_name"]
        if name:
            entries.append((guid, row["guid"], literal(name)))
    return guid_table("GuidName", "kShellFolders", entries)


def known_folders():
    columns = ["guid", "symbol", "name", "default_path", "csidl", "folder_type", "legacy_name",
               "legacy_default_path", "also", "source"]
    entries = []
    for guid, row in keyed(read_rows("known-folders.tsv", columns), lambda row: packet_bytes(row, "guid")):
        if row["name"] or row["symbol"]:
            entries.append((guid, row["guid"], f"{literal(row['name'])}, {literal(row['symbol'])}"))
    return guid_table("KnownFolder", "kKnownFolders", entries)


def control_panel_items():
    columns = ["guid", "canonical_name", "name", "deprecated_names", "status", "module", "supported_os", "note",
               "source"]
    entries = []
    for guid, row in keyed(read_rows("control-panel.tsv", columns), lambda row: packet_bytes(row, "guid")):
        if row["name"] or row["canonical_name"]:
            entries.append((guid, row["guid"], f"{{{literal(row['name'])}, {literal(row['canonical_name'])}}}"))
    return guid_table("ControlPanelItem", "kControlPanelItems", entries)


def csidl_symbols():
    columns = ["csidl", "csidl_hex", "symbol", "also", "folderid", "folderid_guid", "value_source"]
    lines = ["constexpr NamedValue kCsidlSymbols[] = {"]
    for value, row in keyed(read_rows("csidl.tsv", columns), lambda row: number(row, "csidl")):
        if row["csidl_hex"].upper() != f"0X{value:04X}":
            raise TableError(f"{row.where}: csidl_hex {row['csidl_hex']} is not csidl {value}")
        if row["symbol"]:
            lines.append(f"    {{0x{value:04X}, {literal(row['symbol'])}}},")
    lines.append("};")
    return lines


def property_names():
    columns = ["format_id", "id", "name", "symbol", "type", "also", "name_source", "type_source", "sources"]
    rows = read_rows("property-keys.tsv", columns)
    named = [(key, row) for key, row in keyed(rows, lambda row: (packet_bytes(row, "format_id"), number(row, "id")))
             if row["name"]]
    sets = []  # [format ID, its text, first, end] over the names below
    names = ["constexpr PropertyName kPropertyNames[] = {"]
    for at, ((format_id, id_), row) in enumerate(named):
        if not sets or sets[-1][0] != format_id:
            sets.append([format_id, row["format_id"], at, at])
            names.append(f"    // {row['format_id'].upper()}")
        sets[-1][3] = at + 1
        names.append(f"    {{{id_}, {literal(row['name'])}}},")
    names.append("};")
    if len(named) > 0xFFFF:
        raise TableError(f"property-keys.tsv: {len(named)} names do not fit the 16-bit ranges")
    entries = [(format_id, text, f"{first}, {end}") for format_id, text, first, end in sets]
    return guid_table("PropertySet", "kPropertySets", entries) + [""] + names


def generate():
    sections = [
        ("Shell folders: shell-folders.tsv and shell-folders-observed.tsv.", shell_folders()),
        ("Known folders: known-folders.tsv.", known_folders()),
        ("Control Panel items: control-panel.tsv.", control_panel_items()),
        ("CSIDLs: csidl.tsv, by value.", csidl_symbols()),
        ("Properties: property-keys.tsv. Each set's names are kPropertyNames[first, end), by id.",
         property_names()),
    ]
    lines = [
        "// SPDX-License-Identifier: MIT",
        "// Generated by reader/format/names/generate.py from the TSVs beside it; do not edit.",
        "// GUID tables are in memcmp order of the packet bytes. Their ...ByFirstByte[b] is the first",
        "// row whose GUID starts with b or more, so [b] to [b + 1] are the rows that start with b.",
    ]
    for title, table in sections:
        lines += ["", f"// {title}"] + table
    return "\n".join(lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--check", action="store_true",
                        help="write nothing; fail when the committed file differs from what would be written")
    arguments = parser.parse_args()
    try:
        text = generate()
    except (TableError, OSError, UnicodeDecodeError) as error:
        print(f"generate.py: {error}", file=sys.stderr)
        return 1
    if arguments.check:
        try:
            committed = OUTPUT.read_bytes()
        except OSError:
            committed = None
        if committed != text.encode("utf-8"):
            print(f"generate.py: {SHOWN_OUTPUT} is not what the tables give; "
                  "run /usr/bin/python3 reader/format/names/generate.py and commit it", file=sys.stderr)
            return 1
        print(f"generate.py: {SHOWN_OUTPUT} matches the tables")
        return 0
    OUTPUT.write_text(text, encoding="utf-8", newline="\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
