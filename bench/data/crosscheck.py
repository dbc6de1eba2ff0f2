#!/usr/bin/env python3
"""Cross-checks vlxdecode against a second decoder of the logger's memory,
written separately in Python, on memories made by the simulator.

    bench/data/crosscheck.py [--build build] [--random N] [--full]

For every memory it writes the image with `vlxlogger-sim --write-image`, runs
`vlxdecode -d` on it and compares every export file byte for byte with what
this script's own decoder writes. Prints one line per memory and a summary;
exits 1 on the first difference (with the first differing line).
"""
import argparse
import math
import os
import random
import struct
import subprocess
import sys
import tempfile

SEP = 0x02


def marker(data, p):
    return bytes(data[p:p + 3]).ljust(3, b"\0")


def bcd(b):
    hi, lo = b >> 4, b & 15
    return -1 if hi > 9 or lo > 9 else hi * 10 + lo


def valid_date(y, m, d):
    if m < 1 or m > 12 or d < 1:
        return False
    days = [31, 29 if (y % 4 == 0 and (y % 100 != 0 or y % 400 == 0)) else 28, 31, 30, 31, 30,
            31, 31, 30, 31, 30, 31][m - 1]
    return d <= days


def bcd_time(data, p):
    raw = bytes(data[p:p + 5]).ljust(5, b"\0")
    d, mo, y, h, mi = (bcd(b) for b in raw)
    if min(d, mo, y, h, mi) < 0 or not valid_date(2000 + y, mo, d) or h > 23 or mi > 59:
        return None
    return (2000 + y, mo, d, h, mi)


def add_minutes(t, minutes):
    if t is None:
        return None
    import datetime
    dt = datetime.datetime(*t) + datetime.timedelta(minutes=minutes)
    return (dt.year, dt.month, dt.day, dt.hour, dt.minute)


def value(data, p):
    raw = bytes(data[p:p + 4]).ljust(4, b"\0")
    v = struct.unpack(">f", raw)[0]
    return 0.0 if v == 0.0 else v


def text(data, start, end):
    part = bytes(data[start:end]).split(b"\0", 1)[0]
    return part.decode("utf-8", errors="replace")


def fmt(v):
    if math.isnan(v):
        return "nan"
    if math.isinf(v):
        return "inf" if v > 0 else "-inf"
    return "%.2f" % v


def decode(data):
    files = []
    cur = {"records": [], "time": None, "interval": 0, "last": (-1.0, -1.0)}
    pending = False
    n = len(data)
    p = 0

    def add(f, t, ch, typ, v1, v2, ts, missing=False):
        f["records"].append((t, ch, typ, v1, v2, ts, missing))

    while True:
        if p >= n:
            break
        m = marker(data, p)
        if m == b"\xff\xff\xff":
            if n - p < 6:
                break
            nx = marker(data, p + 3)
            if nx in (b"\xff\xff\xff", b"\xfb\xfb\xfb"):
                break
            add(cur, cur["time"], 0, 0, cur["last"][0], cur["last"][1], pending, True)
            cur["time"] = add_minutes(cur["time"], cur["interval"])
            p += 8
            pending = False
        elif m == b"\xdd\xdd\xdd":
            q = p + 3
            fields = []
            ok = True
            for i in range(6):
                if i == 2:
                    install = bcd_time(data, q)
                    raw = bytes(data[q + 5:q + 7]).ljust(2, b"\0")
                    a, b = bcd(raw[0]), bcd(raw[1])
                    interval = 0 if a < 0 or b < 0 else a * 100 + b
                    q += 8
                if q >= n:
                    ok = False
                    break
                e = data.find(bytes([SEP]), q)
                if e < 0:
                    ok = False
                    break
                fields.append(text(data, q, e))
                q = e + 1
            if not ok:
                break
            cur = {"name": fields[0], "no": fields[1], "install": install, "interval": interval,
                   "ch": fields[2:6], "records": [], "time": install, "last": (-1.0, -1.0)}
            files.append(cur)
            p = q
        elif m == b"\xfa\xfa\xfa":
            cur["time"] = bcd_time(data, p + 3)
            p += 8
            pending = True
        elif m == b"\xf1\xf1\xf1":
            parts = [(3, 8, 12, 1, 1), (16, 21, 25, 2, 1), (29, 34, 38, 1, 2), (42, 47, 51, 2, 2)]
            for tpos, v1, v2, ch, typ in parts:
                a, b = value(data, p + v1), value(data, p + v2)
                cur["last"] = (a, b)
                add(cur, bcd_time(data, p + tpos), ch, typ, a, b, pending)
            td = bcd_time(data, p + 42)
            a, b = value(data, p + 55), value(data, p + 59)
            cur["last"] = (a, b)
            add(cur, None if td is None else (td[0], td[1], td[2], 23, 59), 0, 3, a, b, pending)
            p += 63
            pending = False
        else:
            a, b = value(data, p), value(data, p + 4)
            p += 8
            if math.isfinite(a) and math.isfinite(b):
                cur["last"] = (a, b)
                add(cur, cur["time"], 0, 0, a, b, pending)
            else:
                add(cur, cur["time"], 0, 0, cur["last"][0], cur["last"][1], pending, True)
            cur["time"] = add_minutes(cur["time"], cur["interval"])
            pending = False
    return files


def clean(s):
    return "".join(" " if ord(c) < 0x20 else "/" if c == "|" else c for c in s)


def export(f):
    def date(t, sep="/"):
        return "" if t is None else "%02d/%02d/%04d" % (t[2], t[1], t[0])

    def clock(t):
        return "" if t is None else "%02d:%02d" % (t[3], t[4])

    inst = f["install"]
    lines = [clean(f["name"]), clean(f["no"]),
             "" if inst is None else "%s %s" % (date(inst), clock(inst)), "00000000", "",
             "|||%s|%s|" % (clean(f["ch"][0]), clean(f["ch"][1])),
             "|||%s|%s|" % (clean(f["ch"][2]), clean(f["ch"][3])),
             "|||%d|%d|" % (f["interval"], f["interval"]), ""]
    out = "".join(line + "\r\n" for line in lines)
    names = {0: "ANL", 1: "MAX", 2: "MIN", 3: "ORT"}
    for t, ch, typ, v1, v2, ts, missing in f["records"]:
        mark = "*" if ts else "H" if missing else " " if typ == 0 else "#"
        out += "%s|%s|%s|%s|%s|%s\r\n" % (date(t), clock(t), names[typ], fmt(v1), fmt(v2), mark)
    return (out + "SSS").encode("utf-8")


def export_name(f):
    no = "".join("_" if ord(c) < 0x20 or c in '/\\:*?"<>|' else c for c in f["no"])
    inst = f["install"]
    day = "" if inst is None else "%02d%02d%02d" % (inst[2], inst[1], inst[0] % 100)
    return "%s_%s.txt" % (no, day)


def check(build, sim_args, label):
    with tempfile.TemporaryDirectory() as tmp:
        image = os.path.join(tmp, "image.bin")
        out = os.path.join(tmp, "out")
        subprocess.run([os.path.join(build, "bin", "vlxlogger-sim"), *sim_args,
                        "--write-image", image], check=True, stdout=subprocess.DEVNULL,
                       timeout=600)
        env = dict(os.environ, VLXLOGGER_DATA_ROOT=os.path.join(tmp, "root"))
        subprocess.run([os.path.join(build, "bin", "vlxdecode"), image, "-d", out], check=True,
                       stdout=subprocess.DEVNULL, env=env, timeout=600)
        data = open(image, "rb").read()
        mine = {}
        for f in decode(data):
            mine[export_name(f)] = export(f)   # a later file of the same name wins
        theirs = {name: open(os.path.join(out, name), "rb").read() for name in os.listdir(out)}
        if sorted(mine) != sorted(theirs):
            print("%s: files differ: %s against %s" % (label, sorted(mine), sorted(theirs)))
            return False
        lines = 0
        for name in mine:
            if mine[name] != theirs[name]:
                a, b = mine[name].split(b"\r\n"), theirs[name].split(b"\r\n")
                i = next(i for i in range(min(len(a), len(b))) if a[i] != b[i]) \
                    if any(x != y for x, y in zip(a, b)) else min(len(a), len(b))
                print("%s: %s differs at line %d: %r against vlxdecode's %r"
                      % (label, name, i + 1, a[i] if i < len(a) else None,
                         b[i] if i < len(b) else None))
                return False
            lines += mine[name].count(b"\r\n")
        print("%s: %d bytes, %d files, %d lines: identical" % (label, len(data), len(mine), lines))
        return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--random", type=int, default=20)
    parser.add_argument("--full", action="store_true")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    runs = []
    if args.full:
        runs.append((["--full-memory", "--station-no", "1234"], "full memory"))
    for i in range(args.random):
        sim = ["--files", str(rng.randint(1, 5)), "--days", str(rng.randint(1, 20)),
               "--interval", str(rng.choice([1, 5, 10, 15, 30, 60])),
               "--missing-every", str(rng.choice([0, 7, 40, 300])),
               "--gap-minutes", str(rng.choice([0, 45, 90, 600])),
               "--station-no", str(rng.randint(1, 99999))]
        runs.append((sim, "random %d (%s)" % (i + 1, " ".join(sim))))
    failed = 0
    for sim, label in runs:
        if not check(args.build, sim, label):
            failed += 1
            break
    print("%d of %d memories identical" % (len(runs) - failed, len(runs)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
