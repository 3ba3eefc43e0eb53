#!/usr/bin/env python3
"""Makes route-page data (view/page/DATA.md, format 1) for the browser tests, from the real tool.

    make_fixture.py --tool SCENARIO_TOOL [--dense-writer WRITE_DENSE_LINE] --out DIR
                    [--cases builtin,mistake,dense]

writes into DIR:
  builtin.json  the built-in texts (`scenario-tool sources`), compiled, without a diagnostic
  mistake.json  the built-in texts with a misspelt gradient keyword and a signal on a taken cell
  dense.json    the dense 1,000,000 m line of tests/limits

The compile, the cells, the table and the plan come from `scenario-tool compile` and `dump
--json`, the diagnostics from `check --json`. The objects are found from the cells and the table,
and each is tied to its record by matching the record in the text; the fastest run is a plain
kinematic one. `scenario-tool view` writes the pages of the tests itself; this data adds what it
does not give yet (the curves, gradients, adhesion and code points with their records, the run),
so that the page is tested with every kind of object DATA.md names.
"""

import argparse
import json
import math
import os
import re
import subprocess
import sys

TITLE = "MORENA LAGO - PIAN DI VALSO"
CODE = "R10537"
DENSE_TITLE = "LINEA DENSA"
DENSE_CODE = "D1000"
DENSE_LENGTH = 1000000
TOLERANCES = (0.25, 2.0, 16.0, 128.0)
CELL = 50


def run(args, ok=(0,)):
    done = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    if done.returncode not in ok:
        sys.exit("make_fixture: %s failed (%d): %s" % (args[0], done.returncode,
                                                       done.stderr.decode(errors="replace")))
    return done.stdout


def dump(tool, path, *extra):
    return json.loads(run([tool, "dump", "--json", *extra, path]))


# ---------------------------------------------------------------- the texts, record by record

class Record:
    """One line of a text that holds a record: keyword, values as written, where it stands."""

    def __init__(self, source, line_no, text):
        self.source = source
        self.line = line_no
        self.text = text
        fields = text.split(",")
        self.keyword = fields[0].strip().lower()
        self.values = [f.strip() for f in fields[1:]]
        self.column = len(text) - len(text.lstrip(" ")) + 1

    def number(self, i):
        try:
            return int(self.values[i]) if self.values[i] else 0
        except (IndexError, ValueError):
            return None

    def span(self):
        return {"file": self.source, "line": self.line, "column": self.column,
                "endColumn": len(self.text.rstrip()) + 1}


def read_text(path, source_id, role, shown_name):
    with open(path, "rb") as f:
        raw = f.read()
    text = raw.decode("cp1252", errors="replace")
    lines = [l[:-1] if l.endswith("\r") else l for l in text.split("\n")]
    if lines and lines[-1] == "":
        lines.pop()
    records = [Record(source_id, i + 1, l) for i, l in enumerate(lines) if "," in l]
    return {"id": source_id, "role": role, "file": shown_name, "lines": lines}, records


def of_kind(records, *words):
    return [r for r in records if all(w in r.keyword for w in words)]


# ---------------------------------------------------------------- the plan

def plan_points(plan_dump):
    pts = plan_dump["samples"]
    return [(p["metre"], p["x"], p["y"]) for p in pts if p.get("x") is not None]


def simplify(points, tolerance, piece=2000):
    """Douglas-Peucker, iterative, in pieces of `piece` points whose ends are kept."""
    n = len(points)
    keep = bytearray(n)
    keep[0] = keep[n - 1] = 1
    bounds = list(range(0, n - 1, piece)) + [n - 1]
    for b in bounds:
        keep[b] = 1
    stack = [(bounds[i], bounds[i + 1]) for i in range(len(bounds) - 1)]
    while stack:
        a, b = stack.pop()
        if b - a < 2:
            continue
        _, ax, ay = points[a]
        _, bx, by = points[b]
        dx, dy = bx - ax, by - ay
        length = math.hypot(dx, dy)
        worst, at = -1.0, -1
        for i in range(a + 1, b):
            _, px, py = points[i]
            if length > 0:
                d = abs((px - ax) * dy - (py - ay) * dx) / length
            else:
                d = math.hypot(px - ax, py - ay)
            if d > worst:
                worst, at = d, i
        if worst > tolerance:
            keep[at] = 1
            stack.append((a, at))
            stack.append((at, b))
    return [points[i] for i in range(n) if keep[i]]


def plan_data(points):
    xs = [p[1] for p in points]
    ys = [p[2] for p in points]
    levels = []
    source = points
    for t in TOLERANCES:
        source = simplify(source, t)
        levels.append({"tolerance": t,
                       "points": [[m, round(x, 3), round(y, 3)] for m, x, y in source]})
    return {"bbox": [round(min(xs), 3), round(min(ys), 3), round(max(xs), 3), round(max(ys), 3)],
            "levels": levels}


def curvature_per_cell(points, last_cell):
    """The turn of the plan's step at each cell's first metre, per metre (<0 left, >0 right)."""
    by_metre = {m: (x, y) for m, x, y in points}
    out = []
    for c in range(last_cell + 1):
        m = c * CELL
        if m - 1 in by_metre and m in by_metre and m + 1 in by_metre:
            (x0, y0), (x1, y1), (x2, y2) = by_metre[m - 1], by_metre[m], by_metre[m + 1]
            dx, dy = x1 - x0, y1 - y0
            nx, ny = x2 - x1, y2 - y1
            k = ((nx - dx) * dy - (ny - dy) * dx) / (dx * dx + dy * dy)
            out.append(round(k, 6) + 0.0)
        else:
            out.append(0)
    return out


# ---------------------------------------------------------------- objects from cells and table

def time_text(seconds):
    if not seconds:
        return None
    return "%02d:%02d:%02d" % (seconds // 3600, seconds // 60 % 60, seconds % 60)


def cell_fields(cell):
    keys = ("kind", "ref", "ref2", "ref3", "ref4", "signalTime", "approachMark", "spanKind")
    return {k: cell.get(k, 0) for k in keys if cell.get(k, 0)}


def board_cell(p):
    return round(p / CELL + 1)


SIGNAL_NAMES = ("posizione", "sx", "s1", "s2", "s3", "rapp", "dx", "d1", "d2", "d3", "tempo")


def build_objects(table, cells, line_records, train_records, route_length):
    objects = []

    def add(obj):
        obj["id"] = len(objects)
        objects.append(obj)
        return obj

    by_cell = {c["index"]: c for c in cells}

    def find(records, cell_of, cell):
        for r in records:
            p = r.number(0)
            if p is not None and cell_of(p) == cell:
                return r
        return None

    for r in of_kind(line_records, "lunghezza", "percorso"):
        add({"type": "route-length", "position": 0, "end": r.number(0), "cells": [],
             "source": r.span(), "stored": {"entry": 84, "zoneEnd": route_length},
             "details": {"value": r.number(0)}})
    for r in line_records:
        if "progressiva" in r.keyword:
            add({"type": "kilometric-range", "position": r.number(0), "cells": [],
                 "source": r.span(), "stored": {},
                 "details": {"start": r.number(0), "value": r.number(1), "sense": r.number(2)}})

    # Stations from the table, each with its record of the same position and name.
    stations = [e for e in table["entries"] if e["role"] == "station"]
    station_records = of_kind(train_records, "stazione")
    for e in stations:
        rec = next((r for r in station_records
                    if r.number(0) == e["position"] and r.values[-1].strip() == e["name"]), None)
        stops = e["kind"] < 25
        stop = e["zoneEnd"] // CELL - 1
        add({"type": "station", "name": e["name"], "position": e["position"],
             "end": e["zoneEnd"], "cells": [stop] if stops else [],
             "source": rec.span() if rec else None,
             "stored": {"entry": e["index"], "kind": e["kind"], "zoneStart": e["zoneStart"],
                        "zoneEnd": e["zoneEnd"], "dwell": e["dwell"],
                        "timeOfDay": e["timeOfDay"],
                        **({"stopCell": stop, "cellKind": 10, "ref": e["index"]} if stops
                           else {})},
             "details": {"kind": e["kind"], "platform": rec.number(2) if rec else None,
                         "dwell": e["dwell"], "time": time_text(e["timeOfDay"]),
                         "zone": [e["zoneStart"], e["zoneEnd"]], "stops": stops}})

    signals = of_kind(train_records, "segnale")
    boards = of_kind(line_records, "indicatori_v")
    signs = [r for r in line_records if "indicat" in r.keyword and "cartello" in r.keyword]
    slowdowns = of_kind(train_records, "rallentamento")
    codes = of_kind(train_records, "abbattimento")
    names = {e["index"]: e["name"] for e in table["entries"]}
    for c in cells:
        kind = c.get("kind", 0)
        i = c["index"]
        if kind == 1:
            rec = find(signals, board_cell, i)
            add({"type": "signal", "position": (i - 1) * CELL, "cells": [i],
                 "source": rec.span() if rec else None, "stored": cell_fields(c),
                 "details": ({n: rec.number(k) for k, n in enumerate(SIGNAL_NAMES)}
                             if rec else {})})
        elif kind == 6:
            rec = find(boards, board_cell, i)
            speeds = [rec.number(k) for k in (1, 2, 3, 5, 6, 7)] if rec else []
            add({"type": "speed-board", "position": (i - 1) * CELL, "cells": [i],
                 "source": rec.span() if rec else None, "stored": cell_fields(c),
                 "details": {"speeds": [s for s in speeds if s], "stripes":
                             [rec.number(4), rec.number(8)] if rec else []}})
        elif kind == 14:
            rec = find(signs, board_cell, i)
            add({"type": "sign-board", "name": names.get(c.get("ref", 0), ""),
                 "position": rec.number(0) if rec else (i - 1) * CELL, "cells": [i],
                 "source": rec.span() if rec else None, "stored": cell_fields(c), "details": {}})
        elif kind == 3:
            rec = find(slowdowns, board_cell, i)
            if rec:
                x, v, l = rec.number(0), rec.number(1), rec.number(2)
                marked = [board_cell(x - 1200)] if x > 1500 else []
                end_cell = board_cell(x + l)
                add({"type": "slowdown", "position": x, "end": x + l,
                     "cells": sorted(marked + [i, end_cell]), "source": rec.span(),
                     "stored": {"start": cell_fields(c),
                                "end": cell_fields(by_cell.get(end_cell, {}))},
                     "details": {"speed": v, "length": l, "f_tt": rec.number(3),
                                 "f_ta": rec.number(4), "d_v": rec.number(5)}})
        elif kind == 12:
            rec = find(codes, lambda p: round(p / CELL), i)
            add({"type": "code-point", "position": i * CELL, "cells": [i],
                 "source": rec.span() if rec else None, "stored": cell_fields(c),
                 "details": {"value": c.get("ref", 0)} if rec else
                 {"value": c.get("ref", 0), "placedBy": "signalling"}})

    for r in of_kind(line_records, "montagna"):
        first, last = round(r.number(0) / CELL), round(r.number(1) / CELL - 1)
        kinds = sorted({by_cell[c].get("spanKind", 0) for c in range(first, last + 1)
                        if c in by_cell})
        add({"type": "mountain", "position": r.number(0), "end": r.number(1),
             "cells": [first, last], "cellRange": True, "source": r.span(),
             "stored": {"spanKind": kinds[0] if len(kinds) == 1 else kinds},
             "details": {"kind": r.number(2)}})
    classes = {"1": 0.0001, "2": 0.0002, "3": 0.0004, "4": 0.001, "5": 0.002, "6": 0.003}
    for r in of_kind(line_records, "curva"):
        digit = next((d for d in "123456" if d in r.keyword), None)
        if digit is None:
            continue
        start, length = r.number(0), r.number(1)
        hand = "s" if "s" in r.keyword else "d"
        add({"type": "curve", "position": start, "end": start + length,
             "cells": [round(start / CELL), round((start + length) / CELL)], "cellRange": True,
             "source": r.span(), "stored": {"plan": "metres %d to %d" % (start + 1, start + length)},
             "details": {"hand": hand, "class": int(digit),
                         "radius": round(1 / classes[digit])}})
    for kind, records, field in (("gradient", of_kind(line_records, "pendenza"), "gradientCode"),
                                 ("speed-limit", of_kind(train_records, "velocit"), "speedStep"),
                                 ("adhesion", of_kind(train_records, "aderenza"), "adhesion")):
        for n, r in enumerate(records):
            p = r.number(0)
            nxt = records[n + 1].number(0) if n + 1 < len(records) else None
            first = round(p / CELL)
            last = round(nxt / CELL) - 1 if nxt is not None else len(cells) - 1
            stored = by_cell.get(first, {}).get(field, 0)
            add({"type": kind, "position": p, "end": nxt, "cells": [first, max(first, last)],
                 "cellRange": True, "source": r.span(), "stored": {field: stored},
                 "details": {"value": r.number(1)}})
    objects.sort(key=lambda o: (o["position"] if o["position"] is not None else -1, o["id"]))
    for n, o in enumerate(objects):
        o["id"] = n
    return objects


# ---------------------------------------------------------------- the fastest run

def fastest_run(profile, objects, route_length):
    """The train's fastest run under the limits: 0.5 m/s2 up, 0.6 m/s2 down, a stop at each
    station with a stop cell. Only for drawing the page's run curve in the tests."""
    step = 10
    accel, brake = 0.5, 0.6
    slow = [o for o in objects if o["type"] == "slowdown"]
    stations = [o for o in objects if o["type"] == "station"]
    stops = [o for o in stations if o["details"]["stops"]]
    if not stops:
        return None
    begin, end = stops[0]["position"], stops[-1]["position"]
    n = (end - begin) // step + 1

    def limit(m):
        v = profile["speed"][min(m // CELL, len(profile["speed"]) - 1)]
        for s in slow:
            if s["position"] <= m < s["end"]:
                v = min(v, s["details"]["speed"])
        return max(v, 5) / 3.6

    v = [limit(begin + i * step) for i in range(n)]
    stop_at = {(o["position"] - begin) // step for o in stops}
    for i in stop_at:
        v[i] = 0.0
    for i in range(1, n):
        if i not in stop_at:
            v[i] = min(v[i], math.sqrt(v[i - 1] ** 2 + 2 * accel * step))
    for i in range(n - 2, -1, -1):
        v[i] = min(v[i], math.sqrt(v[i + 1] ** 2 + 2 * brake * step))
    times = [0.0]
    for i in range(1, n):
        mean = (v[i - 1] + v[i]) / 2
        times.append(times[-1] + (step / mean if mean > 0 else 0))
    points = [[begin + i * step, round(v[i] * 3.6, 1)] for i in range(0, n, 5)]
    if points[-1][0] != end:
        points.append([end, 0.0])
    rows = []
    previous = None  # (departure seconds, time along the run at the previous stop)
    for o in stations:
        d = o["details"]
        departure = o["stored"]["timeOfDay"] or None
        i = (o["position"] - begin) // step
        row = {"name": o["name"], "position": o["position"], "scheduled": None,
               "fastest": None, "margin": None, "departure": d["time"], "object": o["id"]}
        if departure and 0 <= i < n:
            if previous is not None:
                scheduled = departure - previous[0]
                fastest = round(times[i] - previous[1] + d["dwell"], 1)
                row.update(scheduled=scheduled, fastest=fastest,
                           margin=round(scheduled - fastest, 1))
            previous = (departure, times[i])
        rows.append(row)
    return {"points": points, "stations": rows}


# ---------------------------------------------------------------- one page's data

def diagnostics_of(report, sources, records_by_source, objects):
    out = []
    ids = {s["file"]: s["id"] for s in sources}
    for d in report["diagnostics"]:
        source_id = ids.get(d.get("file"))
        source = ({"file": source_id, "line": d["line"], "column": d["column"]}
                  if source_id is not None and d.get("line") else None)
        position = None
        found = re.search(r"\(position (-?\d+) m\)", d["message"])
        if found:
            position = int(found.group(1))
        record = None
        if source:
            record = next((r for r in records_by_source[source_id] if r.line == d["line"]), None)
            if position is None and record is not None:
                position = record.number(0)
        obj = next((o for o in objects if o["source"] and source and
                    o["source"]["file"] == source_id and o["source"]["line"] == d["line"]), None)
        cell = None
        if obj is not None and obj["cells"]:
            cell = obj["cells"][0]
        elif position is not None:
            cell = round(position / CELL + 1)
        related = []
        if "taken" in d["message"] and cell is not None:
            holder = next((o for o in objects if o is not obj and o["type"] != "mountain" and
                           cell in o["cells"] and not o.get("cellRange")), None)
            if holder is not None:
                related.append({"message": "the cell was taken here",
                                "source": holder["source"], "object": holder["id"]})
        out.append({"severity": d["severity"], "code": d["code"], "message": d["message"],
                    "source": source, "position": position, "cell": cell,
                    "object": obj["id"] if obj else None, "related": related,
                    "notes": d.get("notes", []), "hint": d.get("hint")})
    return out


def page_data(tool, workdir, line_path, train_path, title, code, stamp):
    run([tool, "compile", "--line", line_path, "--train", train_path, "--title", title,
         "--code", code, "--out", workdir], ok=(0, 1))
    table = dump(tool, os.path.join(workdir, "%s_%s.sim" % (title, code)))
    cells = dump(tool, os.path.join(workdir, "%s_%s.dat" % (title, code)))["cells"]
    plan = plan_points(dump(tool, os.path.join(workdir, "%s_linea.dat" % title), "--every", "1"))
    report = json.loads(run([tool, "check", "--json", "--line", line_path, "--train",
                             train_path], ok=(0, 1)))
    base = os.path.dirname(workdir)
    line_source, line_records = read_text(line_path, 0, "line", os.path.relpath(line_path, base))
    train_source, train_records = read_text(train_path, 1, "train",
                                            os.path.relpath(train_path, base))
    route_length = next(e for e in table["entries"] if e["index"] == 84)["zoneEnd"]
    last_cell = len(cells) - 1
    height, h = [], 0.0
    gradient = [c.get("gradientCode", 0) - 100 for c in cells]
    for g in gradient:
        height.append(round(h, 2))
        h += g / 1000 * CELL
    profile = {"gradient": gradient, "speed": [c.get("speedStep", 0) * 5 for c in cells],
               "adhesion": [c.get("adhesion", 0) for c in cells],
               "span": [c.get("spanKind", 0) for c in cells],
               "curvature": curvature_per_cell(plan, last_cell), "height": height}
    ranges = []
    for idx in (81, 82, 83):
        e = next(x for x in table["entries"] if x["index"] == idx)
        if e["zoneStart"] or e["zoneEnd"] or e["position"]:
            value = e["zoneEnd"] - 100 if e["position"] == 1 else e["zoneEnd"]
            ranges.append({"start": e["zoneStart"], "value": value, "sense": e["position"],
                           "entry": idx})
    ranges.sort(key=lambda r: r["start"])
    objects = build_objects(table, cells, line_records, train_records, route_length)
    sources = [line_source, train_source]
    # check names the files as it was given them.
    keyed = [dict(line_source, file=line_path), dict(train_source, file=train_path)]
    diagnostics = diagnostics_of(report, keyed, {0: line_records, 1: train_records}, objects)
    return {
        "format": 1, "generator": "make_fixture.py", "title": title, "code": code,
        "routeLength": route_length, "lastCell": last_cell, "watch": None, "stamp": stamp,
        "sources": sources, "plan": plan_data(plan), "profile": profile,
        "kilometric": ranges, "objects": objects, "diagnostics": diagnostics,
        "counts": {"errors": report["errors"], "warnings": report["warnings"]},
        "run": fastest_run(profile, objects, route_length),
    }


def write(path, data):
    with open(path, "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, separators=(",", ":"))


def edit(path, old, new):
    with open(path, "rb") as f:
        text = f.read()
    if old not in text:
        sys.exit("make_fixture: %r is not in %s" % (old, path))
    with open(path, "wb") as f:
        f.write(text.replace(old, new, 1))


def builtin_texts(tool, out):
    builtin = os.path.join(out, "builtin")
    os.makedirs(builtin, exist_ok=True)
    run([tool, "sources", "--force", builtin])
    return (builtin, os.path.join(builtin, TITLE + "_linea.txt"),
            os.path.join(builtin, TITLE + "_" + CODE + "-.txt"))


def builtin_case(args, out):
    builtin, line, train = builtin_texts(args.tool, out)
    write(os.path.join(out, "builtin.json"),
          page_data(args.tool, builtin, line, train, TITLE, CODE, "fixture#builtin"))


def mistake_case(args, out):
    _, line, train = builtin_texts(args.tool, out)
    mistake = os.path.join(out, "mistake")
    os.makedirs(mistake, exist_ok=True)
    bad_line = os.path.join(mistake, os.path.basename(line))
    bad_train = os.path.join(mistake, os.path.basename(train))
    with open(line, "rb") as f, open(bad_line, "wb") as g:
        g.write(f.read())
    with open(train, "rb") as f, open(bad_train, "wb") as g:
        g.write(f.read())
    edit(bad_line, b"pendenza,  8450,", b"pendneza,  8450,")
    edit(bad_train, b"segnale,    8050,", b"segnale,    8300,")
    write(os.path.join(out, "mistake.json"),
          page_data(args.tool, mistake, bad_line, bad_train, TITLE, CODE, "fixture#mistake"))


def dense_case(args, out):
    dense = os.path.join(out, "dense")
    os.makedirs(dense, exist_ok=True)
    dline = os.path.join(dense, DENSE_TITLE + "_linea.txt")
    dtrain = os.path.join(dense, DENSE_TITLE + "_" + DENSE_CODE + "-.txt")
    run([args.dense_writer, str(DENSE_LENGTH), dline, dtrain])
    write(os.path.join(out, "dense.json"),
          page_data(args.tool, dense, dline, dtrain, DENSE_TITLE, DENSE_CODE, "fixture#dense"))


CASES = {"builtin": builtin_case, "mistake": mistake_case, "dense": dense_case}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--tool", required=True)
    ap.add_argument("--dense-writer", help="write-dense-line, for the dense case")
    ap.add_argument("--out", required=True)
    ap.add_argument("--cases", default=",".join(CASES),
                    help="which of %s to make (default all)" % ", ".join(CASES))
    args = ap.parse_args()
    out = os.path.abspath(args.out)
    os.makedirs(out, exist_ok=True)
    for case in args.cases.split(","):
        if case not in CASES:
            sys.exit("make_fixture: no case %r" % case)
        if case == "dense" and not args.dense_writer:
            sys.exit("make_fixture: the dense case needs --dense-writer")
        CASES[case](args, out)


if __name__ == "__main__":
    main()
