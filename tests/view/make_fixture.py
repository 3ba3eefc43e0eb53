#!/usr/bin/env python3
"""Makes the data of the tests' fixture page from a page `scenario-tool view` wrote:

    make_fixture.py PAGE.html OUT.json --watch SCRIPT --stamp STAMP

The data is the page's own, written as `view --watch` writes it (its watch script and stamp),
with a plain fastest run of the train for what `view` does not give yet: the run curve and the
timetable. The run is only for drawing them in the tests: 0.5 m/s2 up, 0.6 m/s2 down, under the
line's limits and the slowdowns, stopping at each station with a stop cell.
"""

import argparse
import json
import math
import re
import sys

CELL = 50


def page_data(path):
    with open(path, encoding="utf-8") as f:
        html = f.read()
    found = re.search(r'<script type="application/json" id="route-data">(.*?)</script>', html,
                      re.S)
    if not found:
        sys.exit("make_fixture: %s holds no route data" % path)
    return json.loads(found.group(1))


def named_details(data, o):
    """An object's details as the page names them: its values by its kind's names, then the
    rest."""
    details = dict(zip(data["valueNames"].get(o["type"], []), o.get("values", [])))
    details.update(o.get("details", {}))
    return details


def seconds(time):
    h, m, s = (int(v) for v in time.split(":"))
    return (h * 60 + m) * 60 + s


def fastest_run(data):
    step = 10
    accel, brake = 0.5, 0.6
    speed = data["profile"]["speed"]
    objects = [(i, o, named_details(data, o)) for i, o in enumerate(data["objects"])
               if "notPlaced" not in named_details(data, o)]
    slow = [(o, d) for _, o, d in objects if o["type"] == "slowdown"]
    stations = [(i, o, d) for i, o, d in objects if o["type"] == "station"]
    stops = [o for _, o, d in stations if d["stops"]]
    begin, end = stops[0]["position"], stops[-1]["position"]
    n = (end - begin) // step + 1

    def limit(m):
        v = speed[min(m // CELL, len(speed) - 1)]
        for o, d in slow:
            if o["position"] <= m < o["end"]:
                v = min(v, d["speed"])
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
    for i, o, d in stations:
        departure = seconds(d["time"]) if d["time"] else None
        k = (o["position"] - begin) // step
        row = {"name": o["name"], "position": o["position"], "scheduled": None,
               "fastest": None, "margin": None, "departure": d["time"], "object": i}
        if departure is not None and 0 <= k < n:
            if previous is not None:
                scheduled = departure - previous[0]
                fastest = round(times[k] - previous[1] + d["stop time"], 1)
                row.update(scheduled=scheduled, fastest=fastest,
                           margin=round(scheduled - fastest, 1))
            previous = (departure, times[k])
        rows.append(row)
    return {"points": points, "stations": rows}


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("page")
    ap.add_argument("out")
    ap.add_argument("--watch", required=True, help="the watch script's name, beside the page")
    ap.add_argument("--stamp", required=True)
    args = ap.parse_args()
    data = page_data(args.page)
    data["watch"] = args.watch
    data["stamp"] = args.stamp
    data["run"] = fastest_run(data)
    with open(args.out, "w", encoding="utf-8") as f:
        json.dump(data, f, ensure_ascii=False, separators=(",", ":"))


if __name__ == "__main__":
    main()
