#!/usr/bin/env python3
# Makes the demo application folder (demo/): a windward-leeward race off Enoshima in Sagami Bay
# simulated boat by boat, written as the program's own data files. Python standard library only;
# a seeded random generator makes every run with the same options give the same files.
#
#   demo/RaceAdmin/Ver.txt            "1": browser mode, Japanese
#   demo/RaceAdmin/racefile.st        the race opened at start-up
#   demo/RaceAdmin/<race>.txt         the race control file (CP932, CR LF)
#   demo/GPSDAT/<sail number>.trk     one GPS track file per boat (UTC, packed degrees-minutes)
#   demo/WINDDAT/<race>_WIND.CSV      wind data file (local time, degrees magnetic)
#   demo/gun.wav                      the start and finish gun
#   demo/coastline/*.cst              made separately by make_coastline.py
#
# The race: start line L1, windward mark MK1, leeward mark MK2, back to MK1 and a downwind
# finish through line L2 (course L1, MK1, MK2, MK1, L2), marks left to port. The sea breeze
# blows from about 205 degrees true at 8-11 knots with oscillating shifts and a slow veer. Boats
# sail 40-45 degrees off the wind upwind and tack on headers and at the laylines, gybe downwind;
# one boat is over the line at the gun and returns to restart; one gives up after the first beat
# and sails home to the Enoshima yacht harbour, where its track ends.
#
# Usage: make_demo_race.py [--boats 10] [--seed 7] [--leg 0.75] [--out DIR]
import argparse
import math
import os
import random
import struct
import wave

RACE_NAME = "enoshima_0607"
RACE_DATE = (2026, 6, 7)  # local (JST) and UTC date of the race
START_UTC = 2 * 3600  # 11:00:00 JST = 02:00:00 UTC
TIME_DIFF = 9
MAG_VARIATION = -7.0  # degrees, west negative
MEAN_WIND_TRUE = 205.0
PRESTART_MINUTES = 5

KNOT = 1852.0 / 3600.0  # metres per second per knot
METRES_PER_NM = 1852.0

# Start line centre, off Enoshima in open water (WGS degrees).
ORIGIN_LAT = 35.2700
ORIGIN_LON = 139.4720
# Home: east of Enoshima island, then off the yacht harbour entrance (WGS degrees).
HOME_ROUTE = [(35.2930, 139.4905), (35.2990, 139.4880)]

MONTHS = ["JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"]

BOATS = [
    # sail number, file name, display name
    ("JPN4012", "JPN4012.trk", "はやぶさ"),
    ("JPN3877", "JPN3877.trk", "SEABIRD"),
    ("JPN4105", "JPN4105.trk", "海風"),
    ("JPN3650", "JPN3650.trk", "かもめ丸"),
    ("JPN3999", "JPN3999.trk", "Blue Wing"),
    ("JPN4230", "JPN4230.trk", "疾風 II"),
    ("JPN3512", "JPN3512.trk", "Orca"),
    ("JPN4188", "JPN4188.trk", "しおさい"),
    ("JPN3321", "JPN3321.trk", "Mistral"),
    ("JPN4077", "JPN4077.trk", "翔"),
    ("JPN3760", "JPN3760.trk", "Kestrel"),
    ("JPN4301", "JPN4301.trk", "みなと"),
]


# --- local plane -----------------------------------------------------------------------------

def metres_per_degree(lat_deg):
    a, inv_f = 6378137.0, 298.257222101
    f = 1 / inv_f
    e2 = 2 * f - f * f
    s = math.sin(math.radians(lat_deg))
    w = 1 - e2 * s * s
    m = a * (1 - e2) / w ** 1.5
    n = a / math.sqrt(w)
    return math.radians(1) * m, math.radians(1) * n * math.cos(math.radians(lat_deg))


M_LAT, M_LON = metres_per_degree(ORIGIN_LAT)


def to_xy(lat, lon):
    return (lon - ORIGIN_LON) * M_LON, (lat - ORIGIN_LAT) * M_LAT


def to_latlon(x, y):
    return ORIGIN_LAT + y / M_LAT, ORIGIN_LON + x / M_LON


def offset(p, bearing, dist):
    b = math.radians(bearing)
    return p[0] + dist * math.sin(b), p[1] + dist * math.cos(b)


def bearing_to(a, b):
    return math.degrees(math.atan2(b[0] - a[0], b[1] - a[1])) % 360


def dist(a, b):
    return math.hypot(b[0] - a[0], b[1] - a[1])


def norm180(a):
    a = (a + 180) % 360 - 180
    return 180.0 if a == -180 else a


# --- wind --------------------------------------------------------------------------------------

class Wind:
    """True wind over the race area: an oscillating, slowly veering sea breeze with a little
    more wind and a slight veer towards the right-hand side of the course."""

    def __init__(self, rng, t_from, t_to):
        self.p1 = rng.uniform(0, 2 * math.pi)
        self.p2 = rng.uniform(0, 2 * math.pi)
        self.p3 = rng.uniform(0, 2 * math.pi)
        self.period = rng.uniform(480, 600)
        self.t_from = t_from
        self.noise_dir = {}
        self.noise_spd = {}
        nd = ns = 0.0
        for t in range(t_from, t_to + 1):
            nd = 0.985 * nd + rng.gauss(0, 0.25)
            ns = 0.98 * ns + rng.gauss(0, 0.06)
            self.noise_dir[t] = nd
            self.noise_spd[t] = ns

    def at(self, t, x=0.0, y=0.0):
        ti = min(max(int(t), self.t_from), self.t_from + len(self.noise_dir) - 1)
        # Metres to the right of the start, looking upwind.
        across = x * math.cos(math.radians(MEAN_WIND_TRUE)) - y * math.sin(
            math.radians(MEAN_WIND_TRUE))
        direction = (MEAN_WIND_TRUE + 5.0 * math.sin(2 * math.pi * t / self.period + self.p1)
                     + 2.0 * math.sin(2 * math.pi * t / 1700 + self.p2) + 0.0018 * t
                     + 0.0025 * across + self.noise_dir[ti])
        speed = (9.4 + 1.1 * math.sin(2 * math.pi * t / 900 + self.p3) + 0.0004 * across
                 + self.noise_spd[ti])
        return direction % 360, max(4.0, speed)


# --- boats -------------------------------------------------------------------------------------

POLAR = [(0, 0.0), (25, 0.15), (32, 0.55), (38, 0.82), (43, 0.90), (52, 0.98), (70, 1.05),
         (90, 1.10), (110, 1.10), (130, 1.05), (150, 0.96), (165, 0.86), (180, 0.80)]


def polar_speed(twa, tws):
    twa = abs(twa)
    for (a0, f0), (a1, f1) in zip(POLAR, POLAR[1:]):
        if twa <= a1:
            f = f0 + (f1 - f0) * (twa - a0) / (a1 - a0)
            break
    else:
        f = POLAR[-1][1]
    return f * 5.8 * math.sqrt(tws / 9.5)


class Boat:
    """One boat and its crew, sailed second by second: pre-start manoeuvres, the start, the
    course and the way home, with a GPS receiver logging every `interval` seconds."""

    def __init__(self, idx, sail, filename, name, rng, course, wind, interval, start_spot, delay):
        self.idx, self.sail, self.filename, self.name = idx, sail, filename, name
        self.rng = rng
        self.course = course
        self.wind = wind
        self.interval = interval
        self.skill = rng.uniform(0.93, 1.02)
        self.up_angle = rng.uniform(40.0, 45.0)
        self.down_angle = rng.uniform(145.0, 155.0)
        self.margin = rng.uniform(0.10, 0.22)
        self.shift_limit = rng.uniform(3.0, 6.0)  # degrees of header that make this crew tack
        self.cone = rng.uniform(14.0, 26.0)  # how far off the wind axis it lets the mark get
        self.mean_wind = MEAN_WIND_TRUE
        self.bias = rng.gauss(0, 1.5)  # how this crew reads the wind
        self.lag = rng.randint(8, 30)
        self.turn_rate = rng.uniform(11.0, 15.0)
        self.start_spot = start_spot
        self.go_delay = delay
        lateral = rng.uniform(-220, 220)
        below = rng.uniform(80, 260)
        self.pos = offset(offset(course["c0"], course["up"] + 180, below), course["up"] + 90,
                          lateral)
        self.heading = (course["up"] + rng.choice([-95, 95, 180 - 30, 180 + 30])) % 360
        self.speed = rng.uniform(2.0, 4.0)
        self.mode = "mill"
        self.mill_target = self.random_box_point()
        self.last_turn = -9999
        self.side = None  # +1 starboard, -1 port: the side the helm is sailing or turning to
        self.waypoints = []
        self.ocs = False
        self.finish_time = None
        self.end_time = None
        self.retire_after = None  # gives up when this many waypoints are left
        self.log = []
        self.noise = [0.0, 0.0]
        self.alt = rng.uniform(0, 5)  # the receiver's altitude reading, metres

    # --- helpers
    def random_box_point(self):
        c = self.course
        p = offset(c["c0"], c["up"] + 180, self.rng.uniform(60, 260))
        return offset(p, c["up"] + 90, self.rng.uniform(-200, 200))

    def above_line(self, line):
        """Metres upwind of a line (perpendicular to the course's wind axis)."""
        a, _ = line
        d = (self.pos[0] - a[0], self.pos[1] - a[1])
        u = math.radians(self.course["up"])
        return d[0] * math.sin(u) + d[1] * math.cos(u)

    def time_to_line(self):
        """Seconds this crew reckons it needs from here to the start line, sheeting in."""
        return max(0.0, -self.above_line(self.course["L1"])) / 1.9 + 5

    def perceived_wind(self, t):
        d, s = self.wind.at(t - self.lag, *self.pos)
        return (d + self.bias) % 360, s

    def best_heading(self, t, target):
        """The heading with the best speed made good towards `target` on each side of the
        wind: {side: (heading, speed made good)}."""
        twd, tws = self.perceived_wind(t)
        b = bearing_to(self.pos, target)
        rb = norm180(b - twd)
        out = {}
        for s in (+1, -1):  # +1 starboard (wind over the right side), -1 port
            cands = [(twd - s * self.up_angle) % 360, (twd - s * self.down_angle) % 360]
            if (rb < 0) == (s > 0) and self.up_angle <= abs(rb) <= self.down_angle:
                cands.append(b)
            best = None
            for h in cands:
                twa = norm180(h - twd)
                v = polar_speed(twa, tws) * math.cos(math.radians(h - b))
                if best is None or v > best[1]:
                    best = (h, v)
            out[s] = best
        return out

    def steer_to(self, t, target, min_hold=40):
        """Keeps to the chosen side of the wind (tack or gybe) until the other side makes
        clearly better speed towards the target; then tacks or gybes and holds the new side
        for at least `min_hold` seconds."""
        options = self.best_heading(t, target)
        if self.side is None:
            twd, _ = self.perceived_wind(t)
            self.side = +1 if norm180(self.heading - twd) < 0 else -1
        h, v = options[self.side]
        oh, ov = options[-self.side]
        if ov > v * (1 + self.margin) + 0.05 and t - self.last_turn >= min_hold:
            self.last_turn = t
            self.side = -self.side
            return oh
        return h

    def race_heading(self, t, target):
        """Racing tactics towards a mark: sail straight when the mark can be laid; otherwise
        beat or run on the favoured tack, tacking or gybing at the laylines, on a shift against
        the crew's idea of the mean wind, or when too far out to one side."""
        twd, _ = self.perceived_wind(t)
        if self.side is None:
            self.side = +1 if norm180(self.heading - twd) < 0 else -1
        s = self.side
        b = bearing_to(self.pos, target)
        rb = norm180(b - twd)  # the mark's bearing off the wind; < 0 on starboard's half
        up, down = self.up_angle, self.down_angle
        held = t - self.last_turn

        def turn():
            self.side = -self.side
            self.last_turn = t

        if up <= abs(rb) <= down:
            # The mark can be laid: on this tack, or on the other one (a layline).
            if (rb < 0) != (s > 0):
                turn()
            return b
        if abs(rb) < up:  # beating
            header = s * (self.mean_wind - twd)
            if s * rb > self.cone or (header > self.shift_limit and s * rb > -15 and held >= 45):
                if held >= 15:
                    turn()
            return (twd - self.side * up) % 360
        # running with the mark dead downwind
        bad = s * (twd - self.mean_wind)
        off = 180 - abs(rb)
        if (s * rb > 0 and off > self.cone / 2) or (bad > self.shift_limit and held >= 45):
            if held >= 20:
                turn()
        return (twd - self.side * down) % 360

    # --- one second of sailing
    def step(self, t):
        c = self.course
        twd, tws = self.wind.at(t, *self.pos)
        seen, _ = self.perceived_wind(t)
        self.mean_wind = (self.mean_wind + norm180(seen - self.mean_wind) / 240) % 360
        want_speed_factor = 1.0
        if self.mode == "mill":
            if dist(self.pos, self.mill_target) < 30:
                self.mill_target = self.random_box_point()
            desired = self.steer_to(t, self.mill_target, 25)
            want_speed_factor = 0.75
            if t >= self.setup_time:
                self.mode = "setup"
        elif self.mode == "setup":
            spot = offset(self.start_spot, c["up"] + 180, 30)
            desired = self.steer_to(t, spot, 15)
            if dist(self.pos, spot) < 10:
                self.mode = "hold"
            if self.time_to_line() + t >= self.cross_at:
                self.mode = "go"
        elif self.mode == "hold":
            desired = (twd - 35) % 360  # luffing on starboard, sails flapping
            self.side = +1
            want_speed_factor = 0.08
            if self.time_to_line() + t >= self.cross_at:
                self.mode = "go"
        elif self.mode == "go":
            target = offset(self.start_spot, c["up"], 60)
            desired = self.steer_to(t, target, 20)
            if self.above_line(c["L1"]) > 0 and t >= -1:
                if t < 2:
                    self.ocs = True  # over the line at the gun
                self.mode = "ocs" if self.ocs else "race"
                self.waypoints = list(c["legs"])
        elif self.mode == "ocs":
            # Over the line at the gun: the crew hears the recall a few seconds later, bears
            # away below the line and starts again.
            desired = self.heading
            if t >= 4:
                desired = self.steer_to(t, offset(self.start_spot, c["up"] + 180, 35), 3)
                if self.above_line(c["L1"]) < -25:
                    self.ocs = False
                    self.mode = "go"
        elif self.mode == "race":
            target, kind = self.waypoints[0]
            desired = self.race_heading(t, target)
            reached = dist(self.pos, target) < (18 if kind == "mark" else 12)
            if kind == "finish":
                reached = self.above_line(c["L2"]) < -15
            if reached:
                self.waypoints.pop(0)
                if kind == "finish":
                    self.mode = "cooldown"
                    self.finish_time = t
                    self.end_time = t + self.rng.randint(100, 220)
            if self.retire_after is not None and len(self.waypoints) == self.retire_after:
                # Gives up and sails home; the GPS goes off at the harbour entrance.
                self.mode = "home"
                self.waypoints = [(to_xy(*p), "home") for p in HOME_ROUTE]
        elif self.mode == "home":
            target, _ = self.waypoints[0]
            desired = self.steer_to(t, target, 30)
            want_speed_factor = 0.9
            if dist(self.pos, target) < 40:
                self.waypoints.pop(0)
                if not self.waypoints:
                    self.end_time = t + 5
                    self.mode = "cooldown"
        else:  # cooldown: sails lowered half way, heading for the harbour
            desired = self.steer_to(t, to_xy(*HOME_ROUTE[0]), 60)
            want_speed_factor = 0.45

        # Helm: turn towards the desired heading at a limited rate.
        turn = norm180(desired - self.heading)
        limit = self.turn_rate
        turn = max(-limit, min(limit, turn))
        self.heading = (self.heading + turn) % 360
        twa = norm180(self.heading - twd)
        target_speed = polar_speed(twa, tws) * self.skill * want_speed_factor
        if abs(turn) > 5:
            target_speed *= 0.55
        tau = 5.0 if target_speed > self.speed else 3.0
        self.speed += (target_speed - self.speed) / tau
        x = self.pos[0] + self.speed * KNOT * math.sin(math.radians(self.heading))
        y = self.pos[1] + self.speed * KNOT * math.cos(math.radians(self.heading))
        self.pos = (x, y)

    def record(self, t):
        # Receiver noise: a slowly wandering error of a metre or two.
        for i in range(2):
            self.noise[i] = 0.9 * self.noise[i] + self.rng.gauss(0, 0.5)
        x, y = self.pos[0] + self.noise[0], self.pos[1] + self.noise[1]
        self.alt = max(-5.0, min(12.0, self.alt + self.rng.gauss(0, 0.3)))
        self.log.append((t, to_latlon(x, y), round(self.alt)))


# --- the course --------------------------------------------------------------------------------

def make_course(leg_nm):
    up = MEAN_WIND_TRUE  # towards the wind
    c0 = (0.0, 0.0)
    half_line = 95.0
    leg = leg_nm * METRES_PER_NM
    l1 = (offset(c0, up + 90, half_line), offset(c0, up - 90, half_line))  # end 1: committee
    mk1 = offset(c0, up, leg)
    mk2 = offset(c0, up, 130)
    f0 = offset(offset(mk2, up - 90, 230), up + 180, 40)
    l2 = (offset(f0, up + 90, 60), offset(f0, up - 90, 60))

    def round_points(mark, incoming, outgoing):
        back = (incoming + 180) % 360
        diff = norm180(outgoing - back)
        rdir = (back + diff / 2 + 180) % 360
        # Left to port: the bearing from the mark to the boat falls through rdir.
        return [(offset(mark, rdir + 60, 26), "mark"), (offset(mark, rdir - 60, 26), "mark")]

    legs = (round_points(mk1, up, up + 180) + round_points(mk2, up + 180, up)
            + round_points(mk1, up, bearing_to(mk1, offset(l2[0], up + 180, 0)))
            + [(offset(((l2[0][0] + l2[1][0]) / 2, (l2[0][1] + l2[1][1]) / 2), up + 180, 40),
                "finish")])
    return {"up": up, "c0": c0, "L1": l1, "L2": l2, "MK1": mk1, "MK2": mk2, "legs": legs}


# --- files -------------------------------------------------------------------------------------

def dm(value, width_deg, pos, neg):
    mark = pos if value >= 0 else neg
    v = abs(value)
    deg = int(v)
    minutes = (v - deg) * 60
    if round(minutes, 4) >= 60:
        deg, minutes = deg + 1, 0.0
    return "%s%0*d%07.4f" % (mark, width_deg, deg, minutes)


def utc_text(sec):
    y, m, d = RACE_DATE
    day = d + sec // 86400
    s = sec % 86400
    return "%02d-%s-%02d" % (day, MONTHS[m - 1], y % 100), "%02d:%02d:%02d" % (
        s // 3600, s % 3600 // 60, s % 60)


def local_text(sec):
    y, m, d = RACE_DATE
    s = sec + TIME_DIFF * 3600
    return "%04d/%02d/%02d %02d:%02d:%02d" % (y, m, d + s // 86400, s % 86400 // 3600,
                                              s % 3600 // 60, s % 60)


def write_track(path, boat):
    lines = [
        "H  SOFTWARE NAME & VERSION",
        "I  TRACK DOWNLOAD 2.10",
        "",
        "H  R DATUM                IDX DA            DF            DX            DY            DZ",
        "M  G WGS 84               121 +0.000000e+00 +0.000000e+00 +0.000000e+00 "
        "+0.000000e+00 +0.000000e+00",
        "",
        "H  COORDINATE SYSTEM",
        "U  LAT LON DM",
        "",
        "H  LATITUDE    LONGITUDE    DATE      TIME     ALT    ;track",
    ]
    for t, (lat, lon), alt in boat.log:
        date, time = utc_text(START_UTC + t)
        lines.append("T  %s %s %s %s %d" % (dm(lat, 2, "N", "S"), dm(lon, 3, "E", "W"), date,
                                           time, alt))
    with open(path, "w", newline="") as f:
        f.write("".join(l + "\r\n" for l in lines))


def minutes_text(deg):
    # Four decimals, written as the race file writer writes numbers back (no trailing zeros),
    # so that the program's own rewrite of the file changes nothing.
    return ("%.4f" % (deg * 60)).rstrip("0").rstrip(".")


def write_race_file(path, course, boats, finish_local, tiles):
    def pos(p):
        lat, lon = to_latlon(*p)
        return minutes_text(lat) + ", " + minutes_text(lon)

    lines = ["WF, %s_WIND.CSV" % RACE_NAME,
             "T1, 江の島オープンレガッタ 2026  第2レース",
             "T2, 相模湾 江の島沖  6月7日  南南西の海風 8-11ノット",
             "MG, %d" % MAG_VARIATION,
             "LG,  4.7",
             "ST, %s" % local_text(START_UTC),
             "FT, %s" % finish_local,
             "TD,  %d" % TIME_DIFF,
             "WD,  %d" % MEAN_WIND_TRUE]
    for b in boats:
        lines.append("BN, %s, %s" % (b.filename, b.name))
    lines.append("MK, " + pos(course["MK1"]))
    lines.append("MK, " + pos(course["MK2"]))
    for key in ("L1", "L2"):
        a, b = course[key]
        lines.append("LN, " + pos(a) + ", " + pos(b))
    lines.append("CRS, L1, MK1, MK2, MK1, L2")
    for tile in tiles:
        lines.append("MAP, " + tile)
    lines.append("LL, 45,160")
    lines.append("BT, %d" % PRESTART_MINUTES)
    with open(path, "wb") as f:
        f.write("".join(l + "\r\n" for l in lines).encode("cp932"))


def write_wind_file(path, wind, t_from, t_to):
    lines = ["TIME,WIND SPEED,WIND DIRECTION (Mag)"]
    for t in range(t_from, t_to + 1, 60):
        d, s = wind.at(t)
        mag = round(d - MAG_VARIATION) % 360
        lines.append("%s,%.1f,%d" % (local_text(START_UTC + t), s, mag))
    with open(path, "w", newline="") as f:
        f.write("".join(l + "\r\n" for l in lines))


def write_gun(path, seed):
    """A short cannon shot: a sharp crack of noise over a low thump, both dying away."""
    rate = 22050
    rng = random.Random(seed)
    n = int(rate * 1.1)
    samples = []
    low = 0.0
    for i in range(n):
        t = i / rate
        attack = min(1.0, t / 0.002)
        noise = rng.uniform(-1, 1)
        low += (noise - low) * 0.08  # darker rumble from filtered noise
        crack = noise * math.exp(-t / 0.035)
        rumble = low * 3.0 * math.exp(-t / 0.28)
        thump = math.sin(2 * math.pi * (55 - 20 * t) * t) * math.exp(-t / 0.18)
        fade = min(1.0, (n - i) / (0.15 * rate))  # no click at the end
        v = attack * fade * (0.55 * crack + 0.6 * rumble + 0.5 * thump)
        samples.append(math.tanh(1.2 * v))  # soft limit instead of hard clipping
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(b"".join(struct.pack("<h", int(v * 30000)) for v in samples))


def coast_tiles(boats):
    """The tile names the program chooses for the tracks' box (centre +- span / 2)."""
    lats = [p[0] * 60 for b in boats for _, p, _ in b.log]
    lons = [p[1] * 60 for b in boats for _, p, _ in b.log]
    clat, clon = (max(lats) + min(lats)) / 2, (max(lons) + min(lons)) / 2
    f = M_LON / M_LAT
    span = max(max(lats) - min(lats), f * (max(lons) - min(lons)), 0.1)
    half = span / 2
    tiles = []
    for pp in range(int((clat - half) // 40), int((clat + half) // 40) + 1):
        for uu in range(int((clon - half / f) // 60) - 100, int((clon + half / f) // 60) - 99):
            tiles.append("%d%d" % (pp, uu))
    return tiles[:20]


# --- main --------------------------------------------------------------------------------------

def simulate(args):
    rng = random.Random(args.seed)
    course = make_course(args.leg)
    t_first = -60 * (PRESTART_MINUTES + 3)
    t_last = 5400
    wind = Wind(random.Random(args.seed + 1), t_first - 60, t_last)
    n = max(2, min(args.boats, len(BOATS)))
    a, b = course["L1"]
    spots = sorted(rng.sample(range(1, 20), n))
    boats = []
    for i in range(n):
        sail, filename, name = BOATS[i]
        f = spots[i] / 20.0
        spot = (b[0] + (a[0] - b[0]) * f, b[1] + (a[1] - b[1]) * f)
        interval = 1 if i in (1, 4) else 2
        boat = Boat(i + 1, sail, filename, name, random.Random(args.seed * 1000 + i), course,
                    wind, interval, spot, rng.uniform(0, 7))
        boat.setup_time = -rng.randint(150, 200)
        boat.cross_at = boat.go_delay  # seconds after the gun the crew aims to cross
        boats.append(boat)
    # The premature starter pulls the trigger early; the boat that gives up does so on the
    # second beat.
    early = boats[2] if n >= 3 else boats[0]
    early.cross_at = -9
    early.start_spot = (b[0] + (a[0] - b[0]) * 0.55, b[1] + (a[1] - b[1]) * 0.55)
    quitter = boats[6] if n >= 7 else boats[-1]
    quitter.retire_after = len(course["legs"]) - 2  # once round the windward mark

    for boat in boats:
        boat.t_log_from = t_first + boat.rng.randint(0, 40)
    t = t_first
    while t <= t_last and any(bt.end_time is None or t <= bt.end_time for bt in boats):
        for boat in boats:
            if boat.end_time is not None and t > boat.end_time:
                continue
            boat.step(t)
            if t >= boat.t_log_from and (t - boat.t_log_from) % boat.interval == 0:
                boat.record(t)
        t += 1
    return course, wind, boats, t_first, early


def main():
    ap = argparse.ArgumentParser(description="Make the demo race folder.")
    here = os.path.dirname(os.path.abspath(__file__))
    ap.add_argument("--boats", type=int, default=10, help="number of boats (2-12)")
    ap.add_argument("--seed", type=int, default=7)
    ap.add_argument("--leg", type=float, default=0.75, help="leg length, nautical miles")
    ap.add_argument("--out", default=os.path.join(here, "..", "..", "demo"))
    args = ap.parse_args()

    course, wind, boats, t_first, early = simulate(args)
    out = os.path.normpath(args.out)
    for sub in ("RaceAdmin", "GPSDAT", "WINDDAT", "coastline"):
        os.makedirs(os.path.join(out, sub), exist_ok=True)
    for name in os.listdir(os.path.join(out, "GPSDAT")):
        if name.lower().endswith(".trk"):
            os.remove(os.path.join(out, "GPSDAT", name))

    for boat in boats:
        write_track(os.path.join(out, "GPSDAT", boat.filename), boat)
    finishes = [b.finish_time for b in boats if b.finish_time is not None]
    last = max(finishes) if finishes else max(b.log[-1][0] for b in boats)
    race_end = (last + 180 + 59) // 60 * 60
    # Confirmed times are checked against the last fix of the last boat's file, so the finish
    # time must lie within that log or confirming the times unchanged would be refused.
    last_fix = boats[-1].log[-1][0]
    race_end = min(race_end, int(last_fix) // 60 * 60)
    write_race_file(os.path.join(out, "RaceAdmin", RACE_NAME + ".txt"), course, boats,
                    local_text(START_UTC + race_end), coast_tiles(boats))
    with open(os.path.join(out, "RaceAdmin", "Ver.txt"), "w", newline="") as f:
        f.write("1\r\n")
    with open(os.path.join(out, "RaceAdmin", "racefile.st"), "w", newline="") as f:
        f.write(RACE_NAME + ".txt\r\n")
    write_wind_file(os.path.join(out, "WINDDAT", RACE_NAME + "_WIND.CSV"), wind, t_first,
                    race_end)
    write_gun(os.path.join(out, "gun.wav"), args.seed)

    for boat in sorted(boats, key=lambda b: (b.finish_time is None, b.finish_time or 0)):
        state = ("finished %d:%02d" % divmod(boat.finish_time, 60) if boat.finish_time
                 else "retired")
        print("%-8s %-10s %s, %d fixes %s" % (boat.sail, boat.name, state, len(boat.log),
                                             "(over at the gun)" if boat is early else ""))


if __name__ == "__main__":
    main()
