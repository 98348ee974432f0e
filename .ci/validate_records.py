# SPDX-License-Identifier: MIT
"""Checks shortcut_inspect's records against its JSON Schema.

    validate_records.py SCHEMA LIST RECORDS

LIST holds the input paths, NUL-separated, in the order they were given; RECORDS the
output, which must hold one line per path, in that order, each valid UTF-8 and a JSON
object that SCHEMA (draft 2020-12) accepts, naming its path. Prints the records' count by
status and the warnings' count by code.
"""
import collections
import json
import sys

import jsonschema


def is_utf8(data):
    try:
        data.decode("utf-8")
        return True
    except UnicodeDecodeError:
        return False


def main(schema_path, list_path, records_path):
    with open(schema_path, encoding="utf-8") as schema_file:
        schema = json.load(schema_file)
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    with open(list_path, "rb") as list_file:
        paths = [path for path in list_file.read().split(b"\0") if path]
    with open(records_path, "rb") as records_file:
        lines = records_file.read().split(b"\n")
    if lines[-1] != b"":
        return "the last record does not end with a newline"
    lines.pop()
    if len(lines) != len(paths):
        return f"{len(lines)} records for {len(paths)} inputs"
    statuses = collections.Counter()
    codes = collections.Counter()
    for path, line in zip(paths, lines):
        name = path.decode("utf-8", "replace")
        try:
            record = json.loads(line.decode("utf-8"))
        except (UnicodeDecodeError, ValueError) as error:
            return f"{name}: the record is not valid JSON in UTF-8: {error}"
        errors = sorted(validator.iter_errors(record), key=lambda e: list(e.path))
        if errors:
            return f"{name}: the schema does not accept the record: {errors[0].message} at {list(errors[0].path)}"
        if record["file"] != name and is_utf8(path):  # other paths are named with U+FFFD

            return f"{name}: the record names {record['file']!r}"
        statuses[record["status"]] += 1
        codes.update(warning["code"] for warning in record["warnings"])
    print(f"validate_records: {len(lines)} records, each one line that the schema accepts")
    print("  by status: " + ", ".join(f"{status} {count}" for status, count in sorted(statuses.items())))
    print("  warnings by code: " + (", ".join(f"{code} {count}" for code, count in sorted(codes.items())) or "none"))
    return None


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    failure = main(*sys.argv[1:])
    if failure:
        sys.exit("validate_records: " + failure)
