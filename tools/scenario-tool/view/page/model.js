// The route as the page reads it: the data of DATA.md turned into typed arrays and lookups
// that the views ask many times a second (where is metre m on the plan, what applies at m).

const CELL = 50;

// The records that fill the profile from their position to the next of their kind.
const FILLING_TYPES = new Set(["gradient", "speed-limit", "adhesion"]);

// The kinds of object the page draws, in the order the search lists them.
const NAMED_TYPES = ["station", "sign-board"];

function clamp(v, lo, hi) {
  return v < lo ? lo : v > hi ? hi : v;
}

// Index of the last element of a sorted Float64Array at or below v, or -1.
function lastAtOrBelow(sorted, n, v) {
  let lo = 0;
  let hi = n - 1;
  let found = -1;
  while (lo <= hi) {
    const mid = (lo + hi) >> 1;
    if (sorted[mid] <= v) {
      found = mid;
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return found;
}

// "37+500" for 37500 m; negative values keep their sign.
function kilometreText(metres) {
  const sign = metres < 0 ? "-" : "";
  const a = Math.abs(Math.round(metres));
  return sign + Math.floor(a / 1000) + "+" + String(a % 1000).padStart(3, "0");
}

function metresText(m) {
  return Math.round(m).toLocaleString("en-US").replace(/,/g, "\u202f") + " m";
}

function distanceText(d) {
  return d >= 10000 ? (d / 1000).toFixed(1) + " km" : Math.round(d) + " m";
}

// One level of detail of the plan: the points as parallel typed arrays, cut into chunks with
// their bounding boxes so that a view draws and searches only the chunks it can see.
const CHUNK = 128;

class PlanLevel {
  constructor(level) {
    const pts = level.points;
    const n = pts.length;
    this.tolerance = level.tolerance;
    this.n = n;
    this.m = new Float64Array(n);
    this.x = new Float64Array(n);
    this.y = new Float64Array(n);
    for (let i = 0; i < n; i++) {
      this.m[i] = pts[i][0];
      this.x[i] = pts[i][1];
      this.y[i] = pts[i][2];
    }
    // Chunk c covers points [c * CHUNK, min(n - 1, (c + 1) * CHUNK)], sharing its last point
    // with the next chunk so that no segment is lost between two.
    const chunks = Math.max(1, Math.ceil((n - 1) / CHUNK));
    this.chunks = chunks;
    this.box = new Float64Array(chunks * 4);
    for (let c = 0; c < chunks; c++) {
      const a = c * CHUNK;
      const b = Math.min(n - 1, a + CHUNK);
      let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
      for (let i = a; i <= b; i++) {
        const x = this.x[i], y = this.y[i];
        if (x < minX) minX = x;
        if (x > maxX) maxX = x;
        if (y < minY) minY = y;
        if (y > maxY) maxY = y;
      }
      this.box[c * 4] = minX;
      this.box[c * 4 + 1] = minY;
      this.box[c * 4 + 2] = maxX;
      this.box[c * 4 + 3] = maxY;
    }
  }

  // The point of metre m, interpolated between the level's points; writes out.x, out.y and
  // the direction of travel out.dx, out.dy (unit vector). False when the plan does not reach m.
  locate(m, out) {
    const n = this.n;
    if (n === 0 || m < this.m[0] || m > this.m[n - 1]) return false;
    let i = lastAtOrBelow(this.m, n, m);
    if (i >= n - 1) i = n - 2;
    if (i < 0) i = 0;
    const m0 = this.m[i], m1 = this.m[i + 1];
    const t = m1 > m0 ? (m - m0) / (m1 - m0) : 0;
    const dx = this.x[i + 1] - this.x[i];
    const dy = this.y[i + 1] - this.y[i];
    out.x = this.x[i] + t * dx;
    out.y = this.y[i] + t * dy;
    const len = Math.hypot(dx, dy) || 1;
    out.dx = dx / len;
    out.dy = dy / len;
    return true;
  }
}

// The data keeps each of its many objects short: the record's values in the order of its
// kind's names (valueNames), a place in the texts as [file, line, column, endColumn], the id
// as its index. Here they get their names, once.
function spanOf(s) {
  if (!Array.isArray(s)) return s || null;
  const span = { file: s[0], line: s[1], column: s[2] };
  if (s.length > 3) span.endColumn = s[3];
  return span;
}

function namesGiven(objects, diagnostics, valueNames) {
  objects.forEach((o, i) => {
    o.id = i;
    o.source = spanOf(o.source);
    const details = {};
    const names = valueNames[o.type] || [];
    (o.values || []).forEach((v, k) => (details[k < names.length ? names[k] : "value " + (k + 1)] = v));
    o.details = Object.assign(details, o.details || {});
    o.stored = o.stored || {};
  });
  for (const d of diagnostics) {
    d.source = spanOf(d.source);
    for (const r of d.related || []) r.source = spanOf(r.source);
  }
}

class RouteModel {
  constructor(data) {
    this.data = data;
    this.title = data.title || "";
    this.code = data.code || "";
    this.routeLength = data.routeLength || 0;
    this.lastCell = data.lastCell || 0;
    this.cellCount = this.lastCell + 1;
    this.endMetre = this.cellCount * CELL;
    this.sources = new Map();
    for (const s of data.sources || []) this.sources.set(s.id, s);

    this.levels = [];
    this.bbox = null;
    if (data.plan && data.plan.levels && data.plan.levels.length) {
      this.levels = data.plan.levels.map((l) => new PlanLevel(l)).filter((l) => l.n > 1);
      this.levels.sort((a, b) => a.tolerance - b.tolerance);
      this.bbox = data.plan.bbox;
    }
    this.planEnd = this.levels.length ? this.levels[0].m[this.levels[0].n - 1] : 0;

    const p = data.profile || {};
    const cells = this.cellCount;
    const typed = (arr, Kind) => {
      const out = new Kind(cells);
      if (arr) for (let i = 0; i < cells && i < arr.length; i++) out[i] = arr[i];
      return out;
    };
    this.gradient = typed(p.gradient, Float64Array);
    this.speed = typed(p.speed, Float64Array);
    this.adhesion = typed(p.adhesion, Float64Array);
    this.span = typed(p.span, Float64Array);
    this.curvature = typed(p.curvature, Float64Array);
    this.height = typed(p.height, Float64Array);
    this.heightMin = Infinity;
    this.heightMax = -Infinity;
    for (let i = 0; i < cells; i++) {
      const h = this.height[i];
      if (h < this.heightMin) this.heightMin = h;
      if (h > this.heightMax) this.heightMax = h;
    }
    if (!isFinite(this.heightMin)) this.heightMin = this.heightMax = 0;

    this.ranges = (data.kilometric || []).slice().sort((a, b) => a.start - b.start);

    this.objects = data.objects || [];
    this.diagnostics = data.diagnostics || [];
    namesGiven(this.objects, this.diagnostics, data.valueNames || {});
    // What the build did not place is reached through its diagnostic and the search, but neither
    // drawn nor taken for what applies at the cursor.
    this.byType = new Map();
    for (const o of this.objects) {
      if (o.details.notPlaced) continue;
      if (!this.byType.has(o.type)) this.byType.set(o.type, []);
      this.byType.get(o.type).push(o);
    }
    for (const list of this.byType.values()) list.sort((a, b) => a.position - b.position);
    this.signalAt = this.positions("signal");
    this.stationAt = this.positions("station");

    // Where each object and diagnostic stands on the plan, found once.
    const spot = { x: 0, y: 0, dx: 0, dy: 1 };
    const place = (m, into, i) => {
      if (m !== null && m !== undefined && this.locate(m, spot)) {
        into[i * 4] = spot.x;
        into[i * 4 + 1] = spot.y;
        into[i * 4 + 2] = spot.dx;
        into[i * 4 + 3] = spot.dy;
      } else {
        into[i * 4] = NaN;
      }
    };
    this.objectXY = new Float64Array(this.objects.length * 4);
    this.objects.forEach((o, i) => place(o.position, this.objectXY, i));

    this.diagnosticXY = new Float64Array(this.diagnostics.length * 4);
    this.diagnostics.forEach((d, i) => place(d.position, this.diagnosticXY, i));

    this.run = data.run && data.run.points && data.run.points.length ? data.run : null;
    if (this.run) {
      const n = this.run.points.length;
      this.runM = new Float64Array(n);
      this.runV = new Float64Array(n);
      this.run.points.forEach((pt, i) => {
        this.runM[i] = pt[0];
        this.runV[i] = pt[1];
      });
    }
    this.curveStretches = this.findCurveStretches();
    let top = 0;
    for (let i = 0; i < cells; i++) if (this.speed[i] > top) top = this.speed[i];
    if (this.run) for (const v of this.runV) if (v > top) top = v;
    this.speedTop = Math.max(20, Math.ceil(top / 20) * 20);
  }

  // The curved stretches of the line, {position, end, hand, id}: the curve objects where the
  // data has them, else the runs of cells whose curvature turns the same way (id -1).
  findCurveStretches() {
    const curves = this.byType.get("curve");
    if (curves) return curves.map((o) => ({ position: o.position, end: o.end, hand: o.details && o.details.hand, id: o.id }));
    const out = [];
    let run = null;
    for (let c = 0; c < this.cellCount; c++) {
      const k = this.curvature[c];
      const hand = k < 0 ? "s" : k > 0 ? "d" : null;
      if (run && run.hand !== hand) {
        run.end = c * CELL;
        out.push(run);
        run = null;
      }
      if (hand && !run) run = { position: c * CELL, end: 0, hand, id: -1 };
    }
    if (run) {
      run.end = this.cellCount * CELL;
      out.push(run);
    }
    return out;
  }

  positions(type) {
    const list = this.byType.get(type) || [];
    const out = new Float64Array(list.length);
    list.forEach((o, i) => (out[i] = o.position));
    return { list, at: out };
  }

  get hasPlan() {
    return this.levels.length > 0;
  }

  locate(m, out) {
    return this.levels.length > 0 && this.levels[0].locate(m, out);
  }

  // The metres the profile shows at first: the route, or as far as its objects reach.
  // The profile records hold on into the run-out after the route: they do not widen it.
  get extent() {
    let end = this.routeLength;
    for (const o of this.objects) {
      if (o.details.notPlaced || FILLING_TYPES.has(o.type)) continue;
      const e = o.end !== undefined && o.end !== null ? o.end : o.position;
      if (e !== null && e > end) end = e;
    }
    if (end <= 0) end = this.endMetre;
    return [0, Math.min(this.endMetre, end)];
  }

  cellOf(m) {
    return clamp(Math.floor(m / CELL), 0, this.lastCell);
  }

  // The range in force at m: the one of greatest start at or before it.
  rangeAt(m) {
    let found = null;
    for (const r of this.ranges) if (r.start <= m) found = r;
    return found;
  }

  // The line's own kilometre reading at m, in metres, or null where no range covers it.
  kilometreAt(m) {
    const r = this.rangeAt(m);
    if (!r) return null;
    const run = m - r.start;
    return r.sense === 1 ? r.value - run : r.value + run;
  }

  // The first position whose kilometre reading is `reading`, or null.
  positionOfKilometre(reading) {
    for (let i = 0; i < this.ranges.length; i++) {
      const r = this.ranges[i];
      const next = i + 1 < this.ranges.length ? this.ranges[i + 1].start : Infinity;
      const m = r.sense === 1 ? r.start + (r.value - reading) : r.start + (reading - r.value);
      if (m >= r.start && m < next && m >= 0 && m <= this.endMetre) return m;
    }
    return null;
  }

  // The metres an object covers, [from, to). A slowdown restricts those of its boards' cells,
  // from its start board's to its end board's, as the simulator reads the cells: 50 m past the
  // positions the text writes.
  range(o) {
    const r = o.details.restricted;
    if (r) return r;
    return [o.position, o.end !== undefined && o.end !== null ? o.end : o.position];
  }

  // The object of a type that covers m, the last one when several do.
  covering(type, m) {
    const list = this.byType.get(type);
    if (!list) return null;
    let found = null;
    for (const o of list) {
      if (o.position > m) break;
      const [from, to] = this.range(o);
      if (from <= m && m < to) found = o;
    }
    return found;
  }

  // The next object of a sorted list strictly after m.
  next(sorted, m) {
    const i = lastAtOrBelow(sorted.at, sorted.at.length, m) + 1;
    return i < sorted.list.length ? sorted.list[i] : null;
  }

  // What applies at metre m, as the read-out shows it.
  valuesAt(m) {
    const c = this.cellOf(m);
    const slowdown = this.covering("slowdown", m);
    const lineSpeed = this.speed[c];
    const curve = this.covering("curve", m);
    let curvature = null;
    if (curve) {
      const d = curve.details || {};
      curvature = { radius: d.radius, hand: d.hand, object: curve };
    } else if (!this.byType.has("curve") && this.curvature[c] !== 0) {
      const k = this.curvature[c];
      curvature = { radius: Math.round(1 / Math.abs(k)), hand: k < 0 ? "s" : "d", object: null };
    }
    return {
      m,
      cell: c,
      kilometre: this.kilometreAt(m),
      speed: slowdown ? Math.min(lineSpeed, slowdown.details.speed) : lineSpeed,
      lineSpeed,
      slowdown,
      gradient: this.gradient[c],
      height: this.height[c] + (this.gradient[c] / 1000) * (m - c * CELL),
      adhesion: this.adhesion[c],
      span: this.span[c],
      curve: curvature,
      nextSignal: this.next(this.signalAt, m),
      nextStation: this.next(this.stationAt, m),
      station: this.stationZoneAt(m),
    };
  }

  stationZoneAt(m) {
    for (const s of this.stationAt.list) {
      const z = s.details && s.details.zone;
      if (z && z[0] <= m && m < z[1]) return s;
    }
    return null;
  }

  // Search: a position ("m=37500"), a kilometre ("37", "37.5", "37+500"), or any part of a
  // name, without regard to case. The results come in the order Enter would take them.
  search(query) {
    const q = query.trim();
    const out = [];
    if (!q) return out;
    let match = /^m\s*=\s*(-?\d+(?:\.\d+)?)$/i.exec(q);
    if (match) {
      const m = Number(match[1]);
      if (m >= 0 && m <= this.endMetre) out.push({ kind: "position", m, label: "position " + metresText(m) });
      return out;
    }
    // "37+500": kilometre and metres; "37.5" or "37,5": kilometres with a fraction.
    match = /^(?:km\s*)?(-?)(\d+)(?:\+(\d{1,3})|[.,](\d+))?$/i.exec(q);
    if (match) {
      const sign = match[1] ? -1 : 1;
      let reading = Number(match[2]) * 1000;
      if (match[3] !== undefined) reading += Number(match[3]);
      if (match[4] !== undefined) reading += Math.round(Number("0." + match[4]) * 1000);
      reading *= sign;
      const m = this.positionOfKilometre(reading);
      if (m !== null) out.push({ kind: "position", m, label: "km " + kilometreText(reading) + " at " + metresText(m) });
    }
    const needle = q.toLocaleUpperCase();
    const named = [];
    for (const o of this.objects) {
      if (!o.name) continue;
      const at = o.name.toLocaleUpperCase().indexOf(needle);
      if (at >= 0) named.push({ o, rank: (o.name.toLocaleUpperCase() === needle ? 0 : at === 0 ? 1 : 2) * 10 + Math.max(0, NAMED_TYPES.indexOf(o.type)) });
    }
    named.sort((a, b) => a.rank - b.rank || a.o.position - b.o.position);
    for (const { o } of named.slice(0, 30)) {
      out.push({ kind: "object", object: o, m: o.position, label: o.name + " \u00b7 " + TYPE_LABEL[o.type] + " at " + metresText(o.position) });
    }
    return out;
  }

  // The object called `name` (exactly, then in part), for #find=.
  findNamed(name) {
    const results = this.search(name).filter((r) => r.kind === "object");
    if (results.length) return results[0].object;
    return null;
  }
}

const TYPE_LABEL = {
  station: "station",
  signal: "signal",
  slowdown: "slowdown",
  "speed-board": "speed board",
  "sign-board": "sign board",
  mountain: "mountain span",
  curve: "curve",
  gradient: "gradient",
  "speed-limit": "speed limit",
  adhesion: "adhesion",
  "code-point": "code point",
  "kilometric-range": "kilometric range",
  "route-length": "route length",
  scenery: "scenery",
  "signal-repetition": "signal repetition",
  "braked-mass": "braked mass",
  coaches: "coaches",
  clock: "clock",
  sand: "sand",
};

function handText(hand) {
  return hand === "s" ? "left" : hand === "d" ? "right" : "";
}

// The speeds a speed board shows on the left, as "60/70/70".
function boardSpeeds(o) {
  const d = o.details || {};
  return ["first", "second", "third"]
    .map((n) => d[n + " speed on the left"])
    .filter((v) => v)
    .join("/");
}
