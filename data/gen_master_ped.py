#!/usr/bin/env python3
"""Writes master.ped, the callsign list the callsign exercise draws from.

The callsigns are made up from the ITU prefix blocks: a prefix, one call-area
digit and a suffix of one to three letters, weighted toward the stations most
often heard from Russia, with a few per cent of portable forms ("/P", "/M",
"/9" and "DL/UA3ABC"). The same seed always gives the same file.

    python3 data/gen_master_ped.py [--count N] [--seed N] [-o data/master.ped]
"""

import argparse
import os
import random

LETTERS = "ABCDEFGHIJKLMNOPRSTUVWXYZ"  # suffixes never start with Q
ALL_LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"

# (weight, prefixes, call-area digits, suffix lengths as {length: weight});
# an empty digit string means the prefixes carry their digit already.
BLOCKS = [
    # European Russia: areas 1, 3, 4, 6, and 2 (Kaliningrad, suffix from F)
    (14, ["UA", "RA", "RV", "RW", "RX", "RZ", "RU", "RN", "RK", "R"], "1333344666",
     {2: 2, 3: 8}),
    (1, ["UA", "RA", "RV", "RW", "RZ"], "2", {3: 1}),
    # Asiatic Russia: areas 9 and 0, UA9 most often
    (6, ["UA"], "99990", {2: 2, 3: 8}),
    (5, ["RA", "RV", "RW", "RX", "RZ", "RU", "RN", "RK", "R"], "99990", {2: 2, 3: 8}),
    # Ukraine
    (8, ["UR", "US", "UT", "UU", "UV", "UW", "UX", "UY", "UZ", "EM", "EO"], "0123456789",
     {2: 4, 3: 6}),
    # Belarus, Kazakhstan and neighbours
    (4, ["EU", "EW", "EV"], "12345678", {2: 5, 3: 5}),
    (1.5, ["UN", "UP"], "0123456789", {2: 6, 3: 4}),
    (1, ["4L", "ER", "EX", "EY", "EK", "UK", "4X", "4Z"], "0123456789", {2: 6, 3: 4}),
    # Central and northern Europe
    (7, ["DL", "DK", "DJ", "DF", "DG", "DH", "DM", "DB", "DC", "DD"], "0123456789",
     {2: 5, 3: 5}),
    (1, ["DO"], "0123456789", {3: 1}),
    (3, ["OK", "OL"], "1122", {2: 4, 3: 6}),
    (4, ["SP", "SQ", "SO", "SN"], "123456789", {2: 5, 3: 5}),
    (2, ["YL"], "23", {2: 5, 3: 5}),
    (2, ["LY"], "12345", {2: 5, 3: 5}),
    (1.5, ["ES"], "12345678", {2: 6, 3: 4}),
    (3, ["HA", "HG", "YO", "LZ", "OH", "SM", "SA", "LA", "OZ", "PA", "PD", "ON", "OE", "YU",
         "9A", "S5", "HB"], "1234567", {2: 5, 3: 5}),
    # Western Europe
    # United Kingdom: each licence class and nation has its own prefix and digit
    (5, ["G0", "G3", "G4", "G3", "G4", "M0", "M1", "M3", "M6", "2E0", "2E1", "GM0", "GM3",
         "GM4", "GW0", "GW4", "GI4", "MM0", "MW0", "2M0"], "", {2: 2, 3: 8}),
    (3, ["F"], "14568", {2: 4, 3: 6}),
    (4, ["I", "IK", "IZ", "IW", "IU"], "0123456789", {2: 3, 3: 7}),
    (3, ["EA", "EB", "EC"], "123456789", {2: 4, 3: 6}),
    # Asia and Oceania
    (5, ["JA", "JE", "JF", "JG", "JH", "JI", "JJ", "JK", "JL", "JM", "JN", "JO", "JP", "JR",
         "JS", "7K", "7L", "7M", "7N"], "0123456789", {2: 2, 3: 8}),
    (2, ["VK"], "12345678", {2: 5, 3: 5}),
    # North America: 1x2, 1x3, 2x1, 2x2 and 2x3 calls
    (3, ["K", "W", "N"], "0123456789", {2: 3, 3: 7}),
    (3, ["KA", "KB", "KC", "KD", "KE", "KF", "KG", "KI", "KJ", "KK", "KM", "KN", "KO", "KQ",
         "WA", "WB", "WD", "NA", "NB", "NC", "ND", "NE", "NF", "N"], "0123456789",
     {1: 1, 2: 3, 3: 6}),
    (2, ["AA", "AB", "AC", "AD", "AE", "AF", "AG", "AI", "AJ", "AK"], "0123456789",
     {1: 1, 2: 9}),
    (2, ["VE", "VA", "VO", "VY"], "123456789", {2: 4, 3: 6}),
]

# Prefixes written before a visiting station's own call ("DL/UA3ABC").
VISIT_PREFIXES = ["DL", "OK", "SP", "YL", "LY", "ES", "F", "G", "I", "EA", "EA8", "OH", "SM",
                  "UA9", "R9", "UR", "EW", "OE", "HB9", "VE", "W", "JA"]


# Countries whose operators sign "/digit" when working from another call area.
AREA_MOVES = "RUKWNJ"


def pick_weighted(rng, weights):
    """A key of weights, drawn in proportion to its value."""
    keys = list(weights)
    return rng.choices(keys, weights=[weights[k] for k in keys])[0]


def base_callsign(rng):
    weight_list = [block[0] for block in BLOCKS]
    _, prefixes, digits, lengths = rng.choices(BLOCKS, weights=weight_list)[0]
    prefix = rng.choice(prefixes)
    digit = rng.choice(digits) if digits else ""
    length = pick_weighted(rng, lengths)
    first = rng.choice(LETTERS)
    if prefix in ("UA", "RA", "RV", "RW", "RZ") and digit == "2":
        first = "F"  # Kaliningrad
    rest = "".join(rng.choice(ALL_LETTERS) for _ in range(length - 1))
    return prefix + digit + first + rest


def portable(rng, call):
    """Roughly 3.5 per cent of the calls get a portable or visiting form."""
    roll = rng.random()
    if roll < 0.014:
        return call + "/P"
    if roll < 0.018:
        return call + "/M"
    if roll < 0.026 and call[0] in AREA_MOVES:
        return call + "/" + rng.choice("0123456789")
    if 0.026 <= roll < 0.035:
        return rng.choice(VISIT_PREFIXES) + "/" + call
    return call


def generate(count, seed):
    rng = random.Random(seed)
    calls = set()
    while len(calls) < count:
        calls.add(portable(rng, base_callsign(rng)))
    return sorted(calls)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description="Generate the callsign list master.ped.")
    parser.add_argument("--count", type=int, default=6000, help="distinct callsigns (6000)")
    parser.add_argument("--seed", type=int, default=1957, help="random seed (1957)")
    parser.add_argument("-o", "--output", default=os.path.join(here, "master.ped"))
    args = parser.parse_args()
    calls = generate(args.count, args.seed)
    with open(args.output, "wb") as out:
        out.write("".join(call + "\r\n" for call in calls).encode("ascii"))
    print(f"{len(calls)} callsigns written to {args.output}")


if __name__ == "__main__":
    main()
