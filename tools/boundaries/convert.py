#!/usr/bin/env python3
"""Converts the us-atlas counties topology (US Census boundaries, TopoJSON) into
the compact line file that the feed draws its maps from.

Every arc of the topology becomes one line, classed by what it bounds: the
nation's outline (coasts and borders), a line between two states, or a line
between counties only. The file, all little-endian:

    8 bytes   "NVBNDRY1"
    4 doubles scale x, scale y, translate x, translate y: degrees = q * scale + translate
    u32       number of lines
    per line: u8 class (1 county, 2 state, 3 outline), u32 points, points as u32 x, u32 y
"""
import json
import struct
import sys

COUNTY, STATE, OUTLINE = 1, 2, 3


def arc_indexes(geometry):
    """Every arc index a polygon or multipolygon uses, as non-negative numbers."""
    rings = []
    if geometry["type"] == "Polygon":
        rings = geometry["arcs"]
    elif geometry["type"] == "MultiPolygon":
        rings = [ring for polygon in geometry["arcs"] for ring in polygon]
    for ring in rings:
        for index in ring:
            yield index if index >= 0 else ~index


def main(source, target):
    with open(source, encoding="utf-8") as f:
        topology = json.load(f)
    arcs = topology["arcs"]
    objects = topology["objects"]

    state_uses = [0] * len(arcs)
    for geometry in objects["states"]["geometries"]:
        for index in set(arc_indexes(geometry)):
            state_uses[index] += 1
    outline = set()
    for geometry in objects["nation"]["geometries"]:
        outline.update(arc_indexes(geometry))

    scale = topology["transform"]["scale"]
    translate = topology["transform"]["translate"]
    out = bytearray(b"NVBNDRY1")
    out += struct.pack("<4d", scale[0], scale[1], translate[0], translate[1])
    out += struct.pack("<I", len(arcs))
    for index, arc in enumerate(arcs):
        if index in outline:
            kind = OUTLINE
        elif state_uses[index] >= 2:
            kind = STATE
        else:
            kind = COUNTY
        out += struct.pack("<BI", kind, len(arc))
        # Arcs are delta-encoded: each point after the first is a step.
        x = y = 0
        for dx, dy in arc:
            x += dx
            y += dy
            out += struct.pack("<II", x, y)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: convert.py counties-10m.json us-boundaries.bin")
    main(sys.argv[1], sys.argv[2])
