#!/usr/bin/env python3
"""Converts the states of the us-atlas counties topology (US Census boundaries,
TopoJSON) into the compact outline file from which the feed finds the states a
radar's picture covers. The file, all little-endian:

    8 bytes   "NVSTATE1"
    4 doubles scale x, scale y, translate x, translate y: degrees = q * scale + translate
    u32       number of states
    per state: 2 ASCII bytes, its postal code; u32 rings;
               per ring: u32 points, points as u32 x, u32 y (the ring closes itself)
"""
import json
import struct
import sys

# The Census's state and territory numbers, and the postal codes the weather
# service's alert areas are named by.
POSTAL = {
    "01": "AL", "02": "AK", "04": "AZ", "05": "AR", "06": "CA", "08": "CO", "09": "CT",
    "10": "DE", "11": "DC", "12": "FL", "13": "GA", "15": "HI", "16": "ID", "17": "IL",
    "18": "IN", "19": "IA", "20": "KS", "21": "KY", "22": "LA", "23": "ME", "24": "MD",
    "25": "MA", "26": "MI", "27": "MN", "28": "MS", "29": "MO", "30": "MT", "31": "NE",
    "32": "NV", "33": "NH", "34": "NJ", "35": "NM", "36": "NY", "37": "NC", "38": "ND",
    "39": "OH", "40": "OK", "41": "OR", "42": "PA", "44": "RI", "45": "SC", "46": "SD",
    "47": "TN", "48": "TX", "49": "UT", "50": "VT", "51": "VA", "53": "WA", "54": "WV",
    "55": "WI", "56": "WY", "60": "AS", "66": "GU", "69": "MP", "72": "PR", "78": "VI",
}


def decoded_arcs(topology):
    """Each arc as absolute quantized points (arcs are delta-encoded)."""
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((x, y))
        arcs.append(points)
    return arcs


def ring_points(ring, arcs):
    """A ring's points from its arcs; ~i walks arc i backwards."""
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        points.extend(arc if not points else arc[1:])
    return points


def main(source, target):
    with open(source, encoding="utf-8") as f:
        topology = json.load(f)
    arcs = decoded_arcs(topology)
    scale = topology["transform"]["scale"]
    translate = topology["transform"]["translate"]
    states = []
    for geometry in topology["objects"]["states"]["geometries"]:
        code = POSTAL.get(geometry.get("id"))
        if code is None:
            continue
        polygons = geometry["arcs"] if geometry["type"] == "MultiPolygon" else [geometry["arcs"]]
        rings = [ring_points(ring, arcs) for polygon in polygons for ring in polygon]
        states.append((code, rings))
    out = bytearray(b"NVSTATE1")
    out += struct.pack("<4d", scale[0], scale[1], translate[0], translate[1])
    out += struct.pack("<I", len(states))
    for code, rings in sorted(states):
        out += code.encode("ascii") + struct.pack("<I", len(rings))
        for ring in rings:
            out += struct.pack("<I", len(ring))
            for x, y in ring:
                out += struct.pack("<II", x, y)
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: states.py counties-10m.json us-states.bin")
    main(sys.argv[1], sys.argv[2])
