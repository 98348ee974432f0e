# SPDX-License-Identifier: MIT
"""Checks shortcut_inspect's CSV and Timesketch forms as the tools that load them would.

    check_timelines.py LIST CSV TIMESKETCH

LIST holds the input paths, NUL-separated, in order. CSV must parse with Python's csv
module (RFC 4180, CRLF) into the exact 27-column header and one row of 27 fields per
path, in order, each naming its path, with every time column empty or a time.
TIMESKETCH must hold JSON objects, one a line, each with a message, an ISO 8601
datetime with its offset and a timestamp_desc.
"""
import csv
import datetime
import json
import sys

HEADER = ("SourceFile,SourceCreated,SourceModified,SourceAccessed,TargetCreated,TargetModified,TargetAccessed,"
          "FileSize,RelativePath,WorkingDirectory,FileAttributes,HeaderFlags,DriveType,VolumeSerialNumber,"
          "VolumeLabel,LocalPath,NetworkPath,CommonPath,Arguments,TargetIDAbsolutePath,TargetMFTEntryNumber,"
          "TargetMFTSequenceNumber,MachineID,MachineMACAddress,MACVendor,TrackerCreatedOn,"
          "ExtraBlocksPresent").split(",")
TIME_COLUMNS = [i for i, name in enumerate(HEADER) if name.endswith(("Created", "Modified", "Accessed", "CreatedOn"))]


def fail(message):
    print("check_timelines: " + message)
    sys.exit(1)


def check_csv(paths, csv_path):
    with open(csv_path, "rb") as data:
        raw = data.read()
    with open(csv_path, encoding="utf-8", newline="") as data:
        rows = list(csv.reader(data, strict=True))
    if rows[0] != HEADER:
        fail("the CSV header is %r" % rows[0])
    if not raw.endswith(b"\r\n") or raw.count(b"\r\n") < len(rows):
        fail("the CSV's lines do not end with CRLF")
    if len(rows) - 1 != len(paths):
        fail("%d CSV rows for %d files" % (len(rows) - 1, len(paths)))
    for path, row in zip(paths, rows[1:]):
        if len(row) != 27 or row[0] != path:
            fail("the row of %s: %r" % (path, row))
        for column in TIME_COLUMNS:
            if row[column]:
                datetime.datetime.strptime(row[column], "%Y-%m-%d %H:%M:%S")
    print("csv: %d rows of 27 columns, as Python's csv module reads them" % (len(rows) - 1))


def check_timesketch(timesketch_path):
    count = 0
    with open(timesketch_path, encoding="utf-8") as lines:
        for line in lines:
            event = json.loads(line)
            for field in ("message", "datetime", "timestamp_desc"):
                if not isinstance(event.get(field), str) or not event[field]:
                    fail("a Timesketch line without %s: %s" % (field, line))
            when = datetime.datetime.fromisoformat(event["datetime"])
            if when.utcoffset() is None:
                fail("a datetime without its offset: " + event["datetime"])
            count += 1
    print("timesketch: %d events, each with message, datetime and timestamp_desc" % count)


def main(list_path, csv_path, timesketch_path):
    with open(list_path, "rb") as listing:
        paths = [p.decode("utf-8", "replace") for p in listing.read().split(b"\0") if p]
    check_csv(paths, csv_path)
    check_timesketch(timesketch_path)


if __name__ == "__main__":
    main(*sys.argv[1:])
