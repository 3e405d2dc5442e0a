"""Reads a run's JSON with Python's own parser and checks that its figures add up.

Usage: json_test.py FILE RECORDS   (in the run's working directory)
"""
import csv
import json
import sys

with open(sys.argv[1], "rb") as f:
    doc = json.loads(f.read().decode("utf-8"))
settings, total, matching = doc["settings"], doc["mailingTotal"], doc["addressMatching"]
assert (settings["lettersPerTray"], settings["weightOfLetter"], settings["stateOfLodgement"]) == (300, 0.02, "NSW")
assert settings["dataFile"].endswith('job "q" \\ x.csv'), settings["dataFile"]
assert len(doc["states"]) == 8
for level in ("BDT", "BR", "UR", "barcoded", "total"):
    for figure in ("volume", "trays"):
        mailing = total[level][figure]
        assert type(mailing) is int, (level, mailing)
        parts = doc["sameState"][level][figure] + doc["otherStates"][level][figure]
        states = sum(state[level][figure] for state in doc["states"])
        assert mailing == parts == states, (level, figure, mailing, parts, states)
for level in ("BDT", "BR"):
    assert sum(b["volume"] for b in doc["bsps"] if b["sortLevel"] == level) == total[level]["volume"]
assert sum(b["trays"] for b in doc["bsps"] if b["sortLevel"] == "BDT") == total["BDT"]["trays"]
assert all(b["trays"] is None for b in doc["bsps"] if b["sortLevel"] == "BR"), "residue BSP trays"
assert (matching["total"], matching["notMatched"]) == (int(sys.argv[2]), total["UR"]["volume"]), matching
# The files listed are the run's, each a name that opens.
names = [name for name in doc["files"] if open(name, "rb")]
assert settings["dataFile"] in names and any(name.endswith("/reports/RunDigest.txt") for name in names), names
# Every weight has the CSV's digits: a longer expansion reads back as another number.
manifest = next(name for name in names if name.endswith("/ManifestReport.csv"))
bsps, states = {b["bsp"]: b for b in doc["bsps"]}, {s["state"]: s for s in doc["states"]}
pairs = [(row["Weight"], bsps[int(row["BSP"])] if row["Sort Level"] == "BDT"
          else states[row["State"]][row["Sort Level"]]) for row in csv.DictReader(open(manifest))]
assert len(pairs) >= 15 and all(float(w or 0) == j["weight"] for w, j in pairs), pairs
