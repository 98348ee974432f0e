# SPDX-License-Identifier: MIT
"""Checks the records of links found inside other files (Jump Lists, scans, archives).

    check_containers.py SCHEMA RECORDS...

Each RECORDS file holds shortcut_inspect's JSON Lines: every line must be a JSON object
that SCHEMA accepts, with a container, and every file named once. A record from an
automatic destinations Jump List has its DestList entry, or a warning that says why not.
Prints the records' count by container kind and the DestList entries seen.
"""
import collections
import json
import sys

import jsonschema


def check(validator, path, kinds, files):
    entries = 0
    with open(path, encoding="utf-8") as records:
        for number, line in enumerate(records, 1):
            record = json.loads(line)
            errors = list(validator.iter_errors(record))
            if errors:
                return f"{path}:{number}: the schema does not accept the record: {errors[0].message}"
            container = record["container"]
            if container is None:
                if record["status"] == "not_a_shortcut":
                    continue  # a file that holds no link where it was looked for
                return f"{path}:{number}: {record['file']} has no container"
            if record["file"] in files:
                return f"{path}:{number}: {record['file']} is named twice"
            files.add(record["file"])
            kinds[container["kind"]] += 1
            if container["kind"] == "automatic_destinations" and container["stream"] != "DestList":
                warned = any(w["code"] == "unmatched_entry" for w in record["warnings"])
                if container["dest_list"] is None and not warned:
                    return f"{path}:{number}: {record['file']} has no DestList entry and no warning why"
                entries += container["dest_list"] is not None
    return entries


def main(schema_path, *record_paths):
    with open(schema_path, encoding="utf-8") as schema_file:
        validator = jsonschema.Draft202012Validator(json.load(schema_file))
    kinds = collections.Counter()
    files = set()
    entries = 0
    for path in record_paths:
        result = check(validator, path, kinds, files)
        if isinstance(result, str):
            return result
        entries += result
    print(f"check_containers: {sum(kinds.values())} records the schema accepts, "
          + ", ".join(f"{kind} {count}" for kind, count in sorted(kinds.items()))
          + f"; {entries} with their DestList entry")
    return None


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
