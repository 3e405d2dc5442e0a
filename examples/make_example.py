#!/usr/bin/env python3
"""Writes mailing.csv, the bundled example mailing, deterministically.

A Sydney lodgement of about 5,300 letters: a few sort plans big enough for
direct trays (one exactly at the 300-letter threshold, one just below it),
many small residue sort plans in every state, unbarcoded letters in several
states and a handful whose state is unknown. Run it from anywhere; it writes
beside itself.
"""
import os
import random

SEED = 20240314

# (BSP, letters); the state of each BSP follows the postal sort-plan table.
BARCODED = [
    (3, 1042), (7, 455), (12, 300), (19, 388), (22, 910), (35, 333),   # direct trays
    (5, 299), (8, 120), (14, 75), (20, 40), (23, 180), (27, 95), (31, 12),
    (38, 140), (41, 60), (2, 25), (46, 88), (47, 30), (49, 150), (51, 45),
    (54, 70), (1, 18),
]
UNBARCODED = [("NSW", 210), ("VIC", 95), ("QLD", 60), ("SA", 25), ("WA", 40),
              ("TAS", 12), ("ACT", 8)]
UNKNOWN_STATES = ["XX", "", "N.S.W", "Vic.", "", "QLND", "XX"]


def bsp_state(bsp):
    if bsp == 1:
        return "NT"
    if bsp == 2 or 35 <= bsp <= 44:
        return "QLD"
    if bsp == 19:
        return "ACT"
    if 3 <= bsp <= 21:
        return "NSW"
    if 22 <= bsp <= 34:
        return "VIC"
    if 45 <= bsp <= 48:
        return "SA"
    if 49 <= bsp <= 53:
        return "WA"
    return "TAS"


SUBURBS = {
    "NT": [("DARWIN", 800), ("PALMERSTON", 830), ("ALICE SPRINGS", 870)],
    "NSW": [("PARRAMATTA", 2150), ("BONDI", 2026), ("NEWCASTLE", 2300), ("WOLLONGONG", 2500),
            ("PENRITH", 2750), ("DUBBO", 2830), ("MANLY", 2095), ("ORANGE", 2800)],
    "VIC": [("RICHMOND", 3121), ("GEELONG", 3220), ("BALLARAT", 3350), ("BENDIGO", 3550),
            ("FRANKSTON", 3199)],
    "QLD": [("TOOWONG", 4066), ("SOUTHPORT", 4215), ("TOWNSVILLE", 4810), ("CAIRNS", 4870)],
    "SA": [("GLENELG", 5045), ("NORWOOD", 5067), ("MOUNT GAMBIER", 5290)],
    "WA": [("FREMANTLE", 6160), ("SUBIACO", 6008), ("BUNBURY", 6230)],
    "TAS": [("HOBART", 7000), ("LAUNCESTON", 7250)],
    "ACT": [("BRADDON", 2612), ("BELCONNEN", 2617), ("TUGGERANONG", 2900)],
}
FIRST = ["James", "Olivia", "Jack", "Charlotte", "William", "Amelia", "Noah", "Isla", "Thomas",
         "Mia", "Lucas", "Grace", "Henry", "Chloe", "Oliver", "Ruby", "Ethan", "Zoe", "Liam",
         "Sophie", "Mei", "Arjun", "Priya", "Nguyen", "Aroha"]
LAST = ["Smith", "Jones", "Williams", "Brown", "Wilson", "Taylor", "Nguyen", "Johnson",
        "Martin", "White", "Anderson", "Walker", "Thompson", "Harris", "Lee", "Ryan",
        "O'Brien", "Kelly", "Papadopoulos", "Singh", "Chen", "Rossi", "McDonald", "Murphy"]
STREETS = ["George", "Pitt", "King", "Queen", "Victoria", "Albert", "Church", "High",
           "Station", "Railway", "Park", "Beach", "Hill", "Bridge", "Mill", "Wattle"]
KINDS = ["St", "Rd", "Ave", "Pde", "Cres", "Dr", "Lane", "Tce"]


def address(rng):
    street = "%d %s %s" % (rng.randint(1, 399), rng.choice(STREETS), rng.choice(KINDS))
    roll = rng.random()
    if roll < 0.2:
        return "Unit %d, %s" % (rng.randint(1, 40), street), ""
    if roll < 0.3:
        return "PO Box %d" % rng.randint(1, 9999), ""
    if roll < 0.4:
        return street, "Level %d" % rng.randint(1, 30)
    return street, ""


def amended_flag(rng):
    roll = rng.random()
    if roll < 0.82:
        return "0"
    if roll < 0.86:
        return rng.choice(["1", "2", "3"])
    if roll < 0.93:
        return rng.choice(["4", "5"])
    if roll < 0.98:
        return rng.choice(["8", "12"])
    return "-1"


def quoted(text):
    return '"' + text + '"'


def record(rng, state, postcode_state, dpid, bsp, flag):
    suburb, postcode = rng.choice(SUBURBS[postcode_state])
    line1, line2 = address(rng)
    name = "%s %s" % (rng.choice(FIRST), rng.choice(LAST))
    return ",".join([quoted(name), quoted(line1), quoted(line2), quoted(suburb), quoted(state),
                     "%04d" % postcode, dpid, bsp, flag])


def main():
    rng = random.Random(SEED)
    dpids = rng.sample(range(30000000, 99999999), sum(n for _, n in BARCODED))
    lines = []
    for bsp, count in BARCODED:
        state = bsp_state(bsp)
        for _ in range(count):
            lines.append(record(rng, state, state, str(dpids.pop()), str(bsp), amended_flag(rng)))
    for state, count in UNBARCODED:
        for _ in range(count):
            lines.append(record(rng, state, state, "", "", ""))
    for state in UNKNOWN_STATES:
        lines.append(record(rng, state, rng.choice(["NSW", "VIC", "QLD"]), "", "", ""))
    rng.shuffle(lines)
    header = ",".join(quoted(n) for n in ["Name", "Address1", "Address2", "Suburb", "State",
                                          "Postcode", "Dpid", "Bsp", "Amended"])
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mailing.csv")
    with open(path, "w", newline="\n") as out:
        out.write(header + "\n")
        for line in lines:
            out.write(line + "\n")


if __name__ == "__main__":
    main()
