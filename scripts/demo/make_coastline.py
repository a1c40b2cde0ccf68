#!/usr/bin/env python3
# Makes the demo folder's coastline tiles (demo/coastline/*.cst) from the GSHHG shoreline.
# Kept to remake the demo's own Tokyo-datum tiles exactly; for any other race area use
# brisko-coastline (src/tools/coastline), which writes WGS 84 tiles for any longitude and
# latitude and adds their MAP records to the race file.
#
# Shoreline data: GSHHG (Global Self-consistent, Hierarchical, High-resolution Geography
# Database) by P. Wessel and W. H. F. Smith, distributed under the GNU Lesser General Public
# License (LGPL) version 3 or later; read here through GMT's "gmt coast" (Debian packages gmt
# and gmt-gshhg-full). The generated tiles are a derived work under the same licence; see
# demo/coastline/LICENSE-coastline.txt.
#
# The tiles use the grid-square layout the program reads: one file per first-level square
# (40' of latitude x 1 degree of longitude), named by its latitude band and longitude band;
# inside it, per second-level square (5' x 7.5'), an "M" line with the square's six-digit code,
# then per polyline an "L" line with the point count in columns 50-55 and point lines of up to
# seven 10-column slots (5 columns east offset, 5 columns north offset, in 1/10000 of the
# square). Points are in the Tokyo datum, converted from WGS by inverting the program's
# Tokyo -> WGS shift. Polylines are split where they cross a square's border.
#
# Usage: make_coastline.py [--tiles 5238,5239,5338,5339] [--out demo/coastline]
#        [--levels 1] [--gmt-dump FILE]   (FILE: a saved "gmt coast -M -W" text dump)
import argparse
import math
import os
import subprocess
import sys

BAND_LAT = 40.0
BAND_LON = 60.0
SQ_LAT = 5.0
SQ_LON = 7.5
LON_ORIGIN = 6000.0  # longitude band 0 starts at 100 degrees east
UNITS = 10000
SLOTS = 7

# Tokyo datum (Bessel) to WGS: the same three-parameter shift as src/core/track/geodesy.cpp.
BESSEL_A = 6377397.155
BESSEL_INV_F = 299.152813
WGS_INV_F = 298.257222101
SHIFT = (-148.0, 508.0, 680.0)


def e2_of(inv_f):
    f = 1.0 / inv_f
    return 2 * f - f * f


def tokyo_to_wgs(lat_min, lon_min):
    e2 = e2_of(BESSEL_INV_F)
    e2w = e2_of(WGS_INV_F)
    phi = math.radians(lat_min / 60.0)
    lam = math.radians(lon_min / 60.0)
    n = BESSEL_A / math.sqrt(1 - e2 * math.sin(phi) ** 2)
    x = n * math.cos(phi) * math.cos(lam) + SHIFT[0]
    y = n * math.cos(phi) * math.sin(lam) + SHIFT[1]
    z = n * (1 - e2) * math.sin(phi) + SHIFT[2]
    lam2 = math.atan2(y, x)
    phi2 = math.atan2(z / (1 - e2w), math.hypot(x, y))
    return math.degrees(phi2) * 60.0, math.degrees(lam2) * 60.0


def wgs_to_tokyo(lat_min, lon_min):
    lat, lon = lat_min, lon_min
    for _ in range(20):
        flat, flon = tokyo_to_wgs(lat, lon)
        dlat, dlon = lat_min - flat, lon_min - flon
        lat += dlat
        lon += dlon
        if abs(dlat) < 1e-10 and abs(dlon) < 1e-10:
            break
    return lat, lon


def square_of(lat, lon):
    """Second-level square (row, column) counted from latitude 0 and longitude 100 E."""
    return math.floor(lat / SQ_LAT), math.floor((lon - LON_ORIGIN) / SQ_LON)


def square_code(row, col):
    pp, q = divmod(row, 8)
    uu, v = divmod(col, 8)
    return pp, uu, "%02d%02d%d%d" % (pp, uu, q, v)


def split_at_squares(points):
    """Splits a polyline (Tokyo minutes) into pieces that each lie in one square; a piece
    that leaves a square ends on its border and the next one starts at the same point."""
    pieces = []
    cur = [points[0]]
    cur_sq = square_of(*points[0])
    for a, b in zip(points, points[1:]):
        ts = []
        for axis, size, origin in ((0, SQ_LAT, 0.0), (1, SQ_LON, LON_ORIGIN)):
            lo, hi = sorted((a[axis], b[axis]))
            k = math.floor((lo - origin) / size) + 1
            while origin + k * size < hi:
                edge = origin + k * size
                ts.append((edge - a[axis]) / (b[axis] - a[axis]))
                k += 1
        ts = sorted(t for t in ts if 0 < t < 1)
        bounds = [0.0] + ts + [1.0]
        for t0, t1 in zip(bounds, bounds[1:]):
            tm = (t0 + t1) / 2
            mid = (a[0] + (b[0] - a[0]) * tm, a[1] + (b[1] - a[1]) * tm)
            sq = square_of(*mid)
            p0 = (a[0] + (b[0] - a[0]) * t0, a[1] + (b[1] - a[1]) * t0)
            p1 = (a[0] + (b[0] - a[0]) * t1, a[1] + (b[1] - a[1]) * t1)
            if sq != cur_sq:
                if len(cur) >= 2:
                    pieces.append((cur_sq, cur))
                cur = [p0]
                cur_sq = sq
            cur.append(p1)
    if len(cur) >= 2:
        pieces.append((cur_sq, cur))
    return pieces


def read_gmt_segments(text, levels):
    segs, cur, keep = [], [], True
    for line in text.splitlines():
        if line.startswith(">"):
            if cur and keep:
                segs.append(cur)
            cur = []
            lvl = None
            if "Level" in line:
                try:
                    lvl = int(line.split("Level")[1].split()[0].strip(","))
                except (ValueError, IndexError):
                    lvl = None
            keep = lvl is None or lvl in levels
            continue
        parts = line.split()
        if len(parts) >= 2:
            lon, lat = float(parts[0]), float(parts[1])
            cur.append((lat * 60.0, lon * 60.0))
    if cur and keep:
        segs.append(cur)
    return segs


def slot(x, y):
    return "%5d%5d" % (x, y)


def format_square(code, polylines, row, col):
    south, west = row * SQ_LAT, LON_ORIGIN + col * SQ_LON
    out = ["M " + code]
    for pts in polylines:
        # Columns 1-49 carry nothing the reader needs; the count sits in columns 50-55.
        out.append("L" + " " * 48 + "%6d" % len(pts))
        slots = []
        for lat, lon in pts:
            x = min(UNITS, max(0, round((lon - west) / SQ_LON * UNITS)))
            y = min(UNITS, max(0, round((lat - south) / SQ_LAT * UNITS)))
            slots.append(slot(x, y))
        while len(slots) % SLOTS:
            slots.append(slot(0, 0))  # padding on the last point line; not points
        for i in range(0, len(slots), SLOTS):
            out.append("".join(slots[i:i + SLOTS]))
    return out


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--tiles", default="5238,5239,5338,5339")
    ap.add_argument("--out", default=os.path.join(here, "..", "..", "demo", "coastline"))
    ap.add_argument("--levels", default="1", help="GSHHG levels to keep (1 = sea shore)")
    ap.add_argument("--gmt-dump", help="read this saved gmt coast dump instead of running gmt")
    args = ap.parse_args()

    tiles = [t.strip() for t in args.tiles.split(",") if t.strip()]
    bands = []
    for t in tiles:
        if len(t) != 4 or not t.isdigit():
            sys.exit("tile names are four digits (latitude band, longitude band): " + t)
        bands.append((int(t[:2]), int(t[2:])))
    levels = {int(v) for v in args.levels.split(",")}

    south = min(b[0] for b in bands) * BAND_LAT / 60.0
    north = (max(b[0] for b in bands) + 1) * BAND_LAT / 60.0
    west = 100 + min(b[1] for b in bands)
    east = 100 + max(b[1] for b in bands) + 1
    # The datum shift is a few hundred metres at most: a margin of 0.02 degree covers it.
    region = "%.4f/%.4f/%.4f/%.4f" % (west - 0.02, east + 0.02, south - 0.02, north + 0.02)
    if args.gmt_dump:
        with open(args.gmt_dump) as f:
            text = f.read()
    else:
        cmd = ["gmt", "coast", "-R" + region, "-Df", "-M", "-W", "--GMT_HISTORY=false"]
        text = subprocess.run(cmd, check=True, capture_output=True, text=True).stdout

    squares = {}  # (row, col) -> list of polylines (Tokyo minutes)
    for seg in read_gmt_segments(text, levels):
        tokyo = [wgs_to_tokyo(lat, lon) for lat, lon in seg]
        # Drop repeated points, which carry no shape.
        pts = [tokyo[0]] + [p for p, q in zip(tokyo[1:], tokyo) if p != q]
        if len(pts) < 2:
            continue
        for sq, piece in split_at_squares(pts):
            squares.setdefault(sq, []).append(piece)

    os.makedirs(args.out, exist_ok=True)
    wanted = set(bands)
    files = {}
    for (row, col) in sorted(squares):
        pp, uu, code = square_code(row, col)
        if (pp, uu) not in wanted:
            continue
        files.setdefault((pp, uu), []).extend(format_square(code, squares[(row, col)], row, col))
    for (pp, uu) in bands:
        lines = files.get((pp, uu), [])
        path = os.path.join(args.out, "%d%d.cst" % (pp, uu))
        if not lines:
            # A square without shore (inland) gets no file; the program skips missing tiles.
            if os.path.exists(path):
                os.remove(path)
            print("%s: no shoreline, not written" % path)
            continue
        with open(path, "w", newline="") as f:
            f.write("".join(l + "\r\n" for l in lines))
        print("%s: %d lines" % (path, len(lines)))


if __name__ == "__main__":
    main()
