#!/usr/bin/env python3
"""Checks an inventory the window exported against `scanix-cli scan` of the same fleet.

Usage: check_inventory.py EXPORT.csv EXPORT.json SCAN.csv SCAN.json
The CSV files are read with the csv module and the JSON files with the json module; both
exports must carry the same field names in the same order as the scan and the same values,
but for the running time, which moves on between the two.
"""
import csv
import io
import json
import sys

MOVING = {"runningTime", "runningSeconds"}


def read_csv(path):
    with open(path, newline="", encoding="utf-8") as f:
        text = f.read()
    rows = list(csv.reader(io.StringIO(text)))
    return rows[0], [dict(zip(rows[0], r)) for r in rows[1:]]


def by_mac(items):
    return {item["mac"]: {k: v for k, v in item.items() if k not in MOVING} for item in items}


def main(export_csv, export_json, scan_csv, scan_json):
    failures = []
    header, exported = read_csv(export_csv)
    scan_header, scanned = read_csv(scan_csv)
    if header != scan_header:
        failures.append("CSV header %r != scan's %r" % (header, scan_header))
    if by_mac(exported) != by_mac(scanned):
        failures.append("CSV rows differ from the scan's")
    with open(export_json, encoding="utf-8") as f:
        exported = json.load(f)
    with open(scan_json, encoding="utf-8") as f:
        scanned = json.load(f)
    if [list(d) for d in exported] != [list(d) for d in scanned]:
        failures.append("JSON field names differ from the scan's")
    if by_mac(exported) != by_mac(scanned):
        failures.append("JSON values differ from the scan's")
    if len(exported) == 0:
        failures.append("nothing was exported")
    for failure in failures:
        print(failure, file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:5]))
