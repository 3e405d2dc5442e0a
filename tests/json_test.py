"""Reads a run's JSON with Python's own parser and checks that its figures add up.

Usage: json_test.py FILE RECORDS FILES
"""
import json
import sys

LEVELS = ("BDT", "BR", "UR", "barcoded", "total")


def fail(message):
    print(message)
    sys.exit(1)


def number(value, where):
    if isinstance(value, bool) or not isinstance(value, (int, float)):
        fail(f"{where}: {value!r} is not a JSON number")
    return value


def main():
    path, records, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    with open(path, "rb") as f:
        doc = json.loads(f.read().decode("utf-8"))
    settings = doc["settings"]
    number(settings["lettersPerTray"], "lettersPerTray")
    number(settings["weightOfLetter"], "weightOfLetter")
    if settings["stateOfLodgement"] != "NSW":
        fail("state of lodgement " + settings["stateOfLodgement"])
    if not settings["dataFile"].endswith('job "q" \\ x.csv'):
        fail("data file " + settings["dataFile"])
    if len(doc["states"]) != 8:
        fail("states: %d" % len(doc["states"]))
    for level in LEVELS:
        for figure in ("volume", "trays"):
            mailing = number(doc["mailingTotal"][level][figure], level)
            parts = doc["sameState"][level][figure] + doc["otherStates"][level][figure]
            states = sum(state[level][figure] for state in doc["states"])
            if not mailing == parts == states:
                fail(f"{level} {figure}: mailing {mailing}, same+other {parts}, states {states}")
    for level in ("BDT", "BR"):
        volume = sum(b["volume"] for b in doc["bsps"] if b["sortLevel"] == level)
        if volume != doc["mailingTotal"][level]["volume"]:
            fail(f"{level}: BSPs {volume} vs mailing {doc['mailingTotal'][level]['volume']}")
    if sum(b["trays"] for b in doc["bsps"] if b["sortLevel"] == "BDT") != doc["mailingTotal"]["BDT"]["trays"]:
        fail("BDT trays of the BSPs")
    if any(b["trays"] is not None for b in doc["bsps"] if b["sortLevel"] == "BR"):
        fail("a residue BSP has trays of its own")
    matching = doc["addressMatching"]
    if matching["total"] != records:
        fail(f"total records {matching['total']} vs {records}")
    if matching["notMatched"] != doc["mailingTotal"]["UR"]["volume"]:
        fail("not matched vs unbarcoded volume")
    if len(doc["files"]) != files or doc["files"][1] != "tab\there":
        fail(f"files {doc['files']!r}")


main()
