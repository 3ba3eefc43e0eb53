// The track plan, north up, on a canvas: pan with a drag, zoom with the wheel. It draws the
// coarsest level of detail that is still finer than half a pixel, and of that level only the
// chunks inside the view; objects are placed once (model.objectXY) and culled per frame.

const HOVER_PX = 24; // how near the pointer must come to the track to move the cursor
const HIT_PX = 8; // how near to an object to hover or click it

class PlanView {
  constructor(app, canvas, tip) {
    this.app = app;
    this.model = app.model;
    this.canvas = canvas;
    this.tip = tip;
    this.ctx = canvas.getContext("2d");
    this.w = 300;
    this.h = 200;
    this.cx = 0;
    this.cy = 0;
    this.scale = 1; // pixels per metre
    this.fitScale = 1;
    this.spot = { x: 0, y: 0, dx: 0, dy: 1 }; // scratch for locate()
    this.spot2 = { x: 0, y: 0, dx: 0, dy: 1 };
    this.labels = new Float64Array(4 * 400); // label boxes drawn this frame
    this.labelCount = 0;
    this.rangeBoxes = new Map(); // id (zones: -1 - id) -> [minX, minY, maxX, maxY] of the stretch
    this.drag = null;
    this.hover = null;
    this.bind();
  }

  bind() {
    const c = this.canvas;
    c.addEventListener("pointerdown", (e) => {
      c.setPointerCapture(e.pointerId);
      this.drag = { x: e.offsetX, y: e.offsetY, cx: this.cx, cy: this.cy, moved: false };
    });
    c.addEventListener("pointermove", (e) => {
      if (this.drag) {
        const dx = e.offsetX - this.drag.x;
        const dy = e.offsetY - this.drag.y;
        if (Math.abs(dx) + Math.abs(dy) > 3) this.drag.moved = true;
        if (this.drag.moved) {
          this.cx = this.drag.cx - dx / this.scale;
          this.cy = this.drag.cy + dy / this.scale;
          this.app.requestDraw("plan");
        }
        return;
      }
      this.hoverAt(e.offsetX, e.offsetY);
    });
    c.addEventListener("pointerup", (e) => {
      const drag = this.drag;
      this.drag = null;
      if (drag && !drag.moved) this.clickAt(e.offsetX, e.offsetY);
    });
    c.addEventListener("pointercancel", () => (this.drag = null));
    c.addEventListener("pointerleave", () => this.showTip(null));
    c.addEventListener(
      "wheel",
      (e) => {
        e.preventDefault();
        const unit = e.deltaMode === 1 ? 16 : e.deltaMode === 2 ? 400 : 1;
        this.zoomAt(Math.exp(-e.deltaY * unit * 0.0015), e.offsetX, e.offsetY);
      },
      { passive: false }
    );
    c.addEventListener("keydown", (e) => {
      const step = 60 / this.scale;
      const moves = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, step], ArrowDown: [0, -step] };
      if (moves[e.key]) {
        this.cx += moves[e.key][0];
        this.cy += moves[e.key][1];
      } else if (e.key === "+" || e.key === "=") this.zoomAt(1.5, this.w / 2, this.h / 2);
      else if (e.key === "-") this.zoomAt(1 / 1.5, this.w / 2, this.h / 2);
      else return;
      e.preventDefault();
      this.app.requestDraw("plan");
    });
  }

  resize() {
    const r = this.canvas.getBoundingClientRect();
    const dpr = (window.devicePixelRatio || 1) * (this.app.printing ? 3 : 1);
    const w = Math.max(50, Math.round(r.width));
    const h = Math.max(50, Math.round(r.height));
    if (w === this.w && h === this.h && this.canvas.width === Math.round(w * dpr)) return false;
    const first = this.canvas.width === 0 || this.fitScale === 1;
    this.w = w;
    this.h = h;
    this.canvas.width = Math.round(w * dpr);
    this.canvas.height = Math.round(h * dpr);
    this.dpr = dpr;
    this.computeFit();
    if (first) this.fit();
    return true;
  }

  computeFit() {
    const b = this.model.bbox;
    if (!b) return;
    const bw = Math.max(1, b[2] - b[0]);
    const bh = Math.max(1, b[3] - b[1]);
    this.fitScale = Math.min((this.w - 40) / bw, (this.h - 40) / bh);
  }

  fit() {
    const b = this.model.bbox;
    if (!b) return;
    this.computeFit();
    this.scale = this.fitScale;
    this.cx = (b[0] + b[2]) / 2;
    this.cy = (b[1] + b[3]) / 2;
    this.app.requestDraw();
  }

  zoomAt(factor, px, py) {
    const wx = this.wx(px);
    const wy = this.wy(py);
    const s = clamp(this.scale * factor, this.fitScale / 8, 40);
    this.scale = s;
    this.cx = wx - (px - this.w / 2) / s;
    this.cy = wy + (py - this.h / 2) / s;
    this.app.requestDraw("plan");
  }

  // Centre on metre m; with `close`, zoom in to about 4 m a pixel unless already closer.
  centreOn(m, close) {
    if (!this.model.locate(m, this.spot)) return;
    this.cx = this.spot.x;
    this.cy = this.spot.y;
    if (close && this.scale < 0.25) this.scale = 0.25;
    this.app.requestDraw();
  }

  // Keeps metre m in view, moving the view only when it is off the canvas.
  keepInView(m) {
    if (!this.model.locate(m, this.spot)) return;
    const x = this.sx(this.spot.x);
    const y = this.sy(this.spot.y);
    if (x < 10 || y < 10 || x > this.w - 10 || y > this.h - 10) {
      this.cx = this.spot.x;
      this.cy = this.spot.y;
    }
  }

  sx(x) {
    return (x - this.cx) * this.scale + this.w / 2;
  }
  sy(y) {
    return this.h / 2 - (y - this.cy) * this.scale;
  }
  wx(px) {
    return this.cx + (px - this.w / 2) / this.scale;
  }
  wy(py) {
    return this.cy - (py - this.h / 2) / this.scale;
  }

  // The coarsest level whose tolerance stays below half a pixel.
  level() {
    const levels = this.model.levels;
    const limit = 0.5 / this.scale;
    for (let i = levels.length - 1; i >= 0; i--) if (levels[i].tolerance < limit) return levels[i];
    return levels[0];
  }

  visible(minX, minY, maxX, maxY, margin) {
    const m = margin / this.scale;
    const hw = this.w / 2 / this.scale + m;
    const hh = this.h / 2 / this.scale + m;
    return maxX >= this.cx - hw && minX <= this.cx + hw && maxY >= this.cy - hh && minY <= this.cy + hh;
  }

  visiblePoint(x, y, margin) {
    return this.visible(x, y, x, y, margin);
  }

  draw() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const L = this.app.layers;
    ctx.setTransform(this.dpr, 0, 0, this.dpr, 0, 0);
    ctx.fillStyle = P.paper;
    ctx.fillRect(0, 0, this.w, this.h);
    this.labelCount = 0;
    // The view, for scripts that point at the plan: centre (m east, m north) and px a metre.
    this.canvas.dataset.cx = String(this.cx);
    this.canvas.dataset.cy = String(this.cy);
    this.canvas.dataset.scale = String(this.scale);
    if (!this.model.hasPlan) {
      ctx.fillStyle = P.muted;
      ctx.font = P.font;
      ctx.fillText("No track plan: the texts gave none to draw.", 56, 24);
      this.canvas.dataset.level = "";
      return;
    }
    const lv = this.level();
    this.canvas.dataset.level = String(lv.tolerance);
    ctx.lineJoin = "round";
    ctx.lineCap = "round";

    // Stretches under the track: station zones, mountain spans, curves.
    if (L.stations) this.stretches("station", lv, P.zone, 9, (o) => o.details && o.details.zone);
    if (L.spans) this.stretches("mountain", lv, P.mountain, 7, null);
    if (L.curves) this.curves(lv);

    // The track itself.
    ctx.strokeStyle = P.track;
    ctx.lineWidth = 2;
    ctx.beginPath();
    this.tracePath(lv, 0, lv.n - 1, true);
    ctx.stroke();

    if (L.slowdowns) this.stretches("slowdown", lv, P.slowdown, 4, (o) => this.model.range(o), null, [6, 4]);
    const sel = this.app.selectedObject();
    if (sel && sel.end !== undefined && sel.end !== null && sel.end > sel.position) {
      this.strokeStretch(lv, sel.position, sel.end, P.selection, 6, null, sel.id);
    }
    if (L.kilometres) this.kilometreTicks();
    this.objects(lv);
    if (L.diagnostics) this.diagnosticMarks();
    this.cursorMark();
    this.scaleBar();
    this.northArrow();
  }

  // Moves along the level's points a..b, drawing only the chunks in view.
  tracePath(lv, a, b, cull) {
    const ctx = this.ctx;
    const x = lv.x, y = lv.y;
    let pen = false;
    const c0 = Math.floor(a / CHUNK);
    const c1 = Math.min(lv.chunks - 1, Math.floor(Math.max(a, b - 1) / CHUNK));
    for (let c = c0; c <= c1; c++) {
      const box = lv.box;
      if (cull && !this.visible(box[c * 4], box[c * 4 + 1], box[c * 4 + 2], box[c * 4 + 3], 8)) {
        pen = false;
        continue;
      }
      const i0 = Math.max(a, c * CHUNK);
      const i1 = Math.min(b, c * CHUNK + CHUNK, lv.n - 1);
      for (let i = i0; i <= i1; i++) {
        if (pen) ctx.lineTo(this.sx(x[i]), this.sy(y[i]));
        else {
          ctx.moveTo(this.sx(x[i]), this.sy(y[i]));
          pen = true;
        }
      }
    }
  }

  // The bounding box of the stretch m0..m1 on the finest level, found once per object.
  stretchBox(id, m0, m1) {
    let box = this.rangeBoxes.get(id);
    if (box) return box;
    const lv = this.model.levels[0];
    let minX = Infinity, minY = Infinity, maxX = -Infinity, maxY = -Infinity;
    const add = (x, y) => {
      if (x < minX) minX = x;
      if (x > maxX) maxX = x;
      if (y < minY) minY = y;
      if (y > maxY) maxY = y;
    };
    if (lv.locate(m0, this.spot2)) add(this.spot2.x, this.spot2.y);
    if (lv.locate(m1, this.spot2)) add(this.spot2.x, this.spot2.y);
    const a = lastAtOrBelow(lv.m, lv.n, m0) + 1;
    for (let i = Math.max(0, a); i < lv.n && lv.m[i] < m1; i++) add(lv.x[i], lv.y[i]);
    box = [minX, minY, maxX, maxY];
    this.rangeBoxes.set(id, box);
    return box;
  }

  strokeStretch(lv, m0, m1, colour, width, dash, id) {
    const box = this.stretchBox(id, m0, m1);
    if (!this.visible(box[0], box[1], box[2], box[3], width)) return;
    const ctx = this.ctx;
    ctx.strokeStyle = colour;
    ctx.lineWidth = width;
    if (dash) ctx.setLineDash(dash);
    ctx.beginPath();
    if (lv.locate(m0, this.spot2)) ctx.moveTo(this.sx(this.spot2.x), this.sy(this.spot2.y));
    const a = lastAtOrBelow(lv.m, lv.n, m0) + 1;
    let i = Math.max(0, a);
    for (; i < lv.n && lv.m[i] < m1; i++) ctx.lineTo(this.sx(lv.x[i]), this.sy(lv.y[i]));
    if (lv.locate(m1, this.spot2)) ctx.lineTo(this.sx(this.spot2.x), this.sy(this.spot2.y));
    ctx.stroke();
    if (dash) ctx.setLineDash([]);
  }

  stretches(type, lv, colour, width, rangeOf, filter, dash) {
    const list = this.model.byType.get(type);
    if (!list) return;
    for (const o of list) {
      if (filter && !filter(o)) continue;
      let m0 = o.position, m1 = o.end;
      if (rangeOf) {
        const r = rangeOf(o);
        if (!r) continue;
        m0 = r[0];
        m1 = r[1];
      }
      if (m1 === undefined || m1 === null || m1 <= m0) continue;
      // A stretch shorter than a pixel shows nothing.
      if ((m1 - m0) * this.scale < 1) continue;
      this.strokeStretch(lv, m0, m1, colour, width, dash, rangeOf ? -1 - o.id : o.id);
    }
  }

  curves(lv) {
    const P = this.app.palette;
    const list = this.model.curveStretches;
    for (let i = 0; i < list.length; i++) {
      const c = list[i];
      if ((c.end - c.position) * this.scale < 1) continue;
      // Keys apart from the objects' ids and the zones' (-1 - id).
      this.strokeStretch(lv, c.position, c.end, c.hand === "s" ? P.curveLeft : P.curveRight, 5, null, 1e9 + i);
    }
  }

  // Room for a label at (x, y, w, h)? Records it when there is.
  claimLabel(x, y, w, h) {
    const b = this.labels;
    for (let i = 0; i < this.labelCount; i++) {
      const j = i * 4;
      if (x < b[j] + b[j + 2] && x + w > b[j] && y < b[j + 1] + b[j + 3] && y + h > b[j + 1]) return false;
    }
    if (this.labelCount * 4 >= b.length) return false;
    const j = this.labelCount * 4;
    b[j] = x;
    b[j + 1] = y;
    b[j + 2] = w;
    b[j + 3] = h;
    this.labelCount++;
    return true;
  }

  label(text, x, y, colour, bold) {
    const ctx = this.ctx;
    const P = this.app.palette;
    ctx.font = bold ? P.fontBold : P.font;
    const w = ctx.measureText(text).width + 6;
    if (!this.claimLabel(x, y - 9, w, 14)) return false;
    ctx.fillStyle = P.labelBack;
    ctx.fillRect(x, y - 9, w, 14);
    ctx.fillStyle = colour;
    ctx.fillText(text, x + 3, y + 2);
    return true;
  }

  kilometreTicks() {
    const model = this.model;
    const P = this.app.palette;
    const ctx = this.ctx;
    if (!model.ranges.length) return;
    const steps = [100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000];
    let step = steps[steps.length - 1];
    for (const s of steps) {
      if (s * this.scale >= 70) {
        step = s;
        break;
      }
    }
    ctx.strokeStyle = P.kilometre;
    ctx.lineWidth = 1.5;
    ctx.font = P.fontSmall;
    for (let r = 0; r < model.ranges.length; r++) {
      const range = model.ranges[r];
      const from = Math.max(0, range.start);
      const to = Math.min(model.planEnd, r + 1 < model.ranges.length ? model.ranges[r + 1].start : model.planEnd);
      if (to <= from) continue;
      const k0 = model.kilometreAt(from);
      const k1 = model.kilometreAt(to);
      const lo = Math.ceil(Math.min(k0, k1) / step) * step;
      const hi = Math.max(k0, k1);
      for (let k = lo; k <= hi; k += step) {
        const m = range.sense === 1 ? range.start + (range.value - k) : range.start + (k - range.value);
        if (m < from || m > to) continue;
        if (!model.locate(m, this.spot)) continue;
        if (!this.visiblePoint(this.spot.x, this.spot.y, 20)) continue;
        const x = this.sx(this.spot.x);
        const y = this.sy(this.spot.y);
        // Perpendicular to the track: (dy, -dx) in world, y flipped on screen.
        const nx = this.spot.dy;
        const ny = this.spot.dx;
        ctx.beginPath();
        ctx.moveTo(x - nx * 6, y - ny * 6);
        ctx.lineTo(x + nx * 6, y + ny * 6);
        ctx.stroke();
        this.label(step >= 1000 ? "km " + k / 1000 : "km " + kilometreText(k), x + nx * 9, y + ny * 9 + 4, P.kilometre, false);
      }
    }
  }

  objects(lv) {
    const model = this.model;
    const L = this.app.layers;
    const P = this.app.palette;
    const ctx = this.ctx;
    const xy = model.objectXY;
    const close = this.scale >= 0.05; // 20 m a pixel or closer: symbols and values
    const sel = this.app.selectedObject();
    const draw = (type, symbol) => {
      const list = model.byType.get(type);
      if (!list) return;
      for (const o of list) {
        const j = o.id * 4;
        const x = xy[j], y = xy[j + 1];
        if (x !== x || !this.visiblePoint(x, y, 30)) continue;
        symbol(o, this.sx(x), this.sy(y), xy[j + 2], xy[j + 3]);
      }
    };
    if (L.signals) {
      ctx.lineWidth = 1;
      draw("code-point", (o, x, y) => {
        ctx.fillStyle = P.codePoint;
        ctx.fillRect(x - 2, y - 2, 4, 4);
      });
      draw("signal", (o, x, y, dx, dy) => {
        const s = close ? 4 : 2.5;
        // The mast stands to the right of the track, a signal's usual side.
        const ox = x + dy * (close ? 9 : 0);
        const oy = y + dx * (close ? 9 : 0);
        if (close) {
          ctx.strokeStyle = P.signal;
          ctx.beginPath();
          ctx.moveTo(x, y);
          ctx.lineTo(ox, oy);
          ctx.stroke();
        }
        ctx.fillStyle = P.signal;
        ctx.beginPath();
        ctx.arc(ox, oy, s, 0, 2 * Math.PI);
        ctx.fill();
      });
    }
    if (L.boards) {
      draw("speed-board", (o, x, y, dx, dy) => {
        const ox = x - dy * (close ? 10 : 0);
        const oy = y - dx * (close ? 10 : 0);
        ctx.fillStyle = P.paper;
        ctx.strokeStyle = P.speedBoard;
        ctx.lineWidth = 2;
        ctx.beginPath();
        ctx.arc(ox, oy, close ? 5 : 3, 0, 2 * Math.PI);
        ctx.fill();
        ctx.stroke();
        if (close) this.label(boardSpeeds(o), ox + 7, oy, P.speedBoard, true);
      });
      draw("sign-board", (o, x, y, dx, dy) => {
        const ox = x + dy * (close ? 10 : 0);
        const oy = y + dx * (close ? 10 : 0);
        ctx.fillStyle = P.signBoard;
        ctx.beginPath();
        ctx.moveTo(ox, oy - 5);
        ctx.lineTo(ox + 5, oy);
        ctx.lineTo(ox, oy + 5);
        ctx.lineTo(ox - 5, oy);
        ctx.closePath();
        ctx.fill();
      });
    }
    if (L.stations) {
      // Names last so that they win the room for labels.
      draw("station", (o, x, y) => {
        const stops = o.details && o.details.stops;
        ctx.lineWidth = 2;
        ctx.strokeStyle = P.station;
        ctx.fillStyle = stops ? P.station : P.paper;
        ctx.beginPath();
        ctx.arc(x, y, 5, 0, 2 * Math.PI);
        ctx.fill();
        ctx.stroke();
      });
      const labelled = (o) => o.details && o.details.stops;
      for (const pass of [labelled, (o) => !labelled(o)]) {
        draw("station", (o, x, y) => {
          if (pass(o)) this.label(o.name || "", x + 8, y - 6, P.station, true);
        });
      }
    }
    if (sel) {
      const j = sel.id * 4;
      if (xy[j] === xy[j]) {
        ctx.strokeStyle = P.selection;
        ctx.lineWidth = 3;
        ctx.beginPath();
        ctx.arc(this.sx(xy[j]), this.sy(xy[j + 1]), 11, 0, 2 * Math.PI);
        ctx.stroke();
      }
    }
  }

  diagnosticMarks() {
    const model = this.model;
    const P = this.app.palette;
    const ctx = this.ctx;
    const xy = model.diagnosticXY;
    const selected = this.app.selection && this.app.selection.kind === "diagnostic" ? this.app.selection.index : -1;
    for (let i = 0; i < model.diagnostics.length; i++) {
      const x = xy[i * 4], y = xy[i * 4 + 1];
      if (x !== x || !this.visiblePoint(x, y, 20)) continue;
      const d = model.diagnostics[i];
      triangle(ctx, this.sx(x), this.sy(y) - 12, 8, d.severity === "error" ? P.error : P.warning, i === selected ? P.selection : P.paper);
    }
  }

  cursorMark() {
    const m = this.app.cursor;
    if (m === null || !this.model.locate(m, this.spot)) return;
    const ctx = this.ctx;
    const P = this.app.palette;
    const x = this.sx(this.spot.x);
    const y = this.sy(this.spot.y);
    ctx.strokeStyle = P.cursor;
    ctx.lineWidth = 2;
    ctx.beginPath();
    ctx.arc(x, y, 7, 0, 2 * Math.PI);
    ctx.moveTo(x - 13, y);
    ctx.lineTo(x - 7, y);
    ctx.moveTo(x + 7, y);
    ctx.lineTo(x + 13, y);
    ctx.moveTo(x, y - 13);
    ctx.lineTo(x, y - 7);
    ctx.moveTo(x, y + 7);
    ctx.lineTo(x, y + 13);
    ctx.stroke();
  }

  scaleBar() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const target = 120 / this.scale; // metres in about 120 px
    const pow = Math.pow(10, Math.floor(Math.log10(target)));
    let len = pow;
    for (const f of [1, 2, 5, 10]) if (f * pow <= target) len = f * pow;
    const px = len * this.scale;
    const x = 14, y = this.h - 16;
    ctx.fillStyle = P.labelBack;
    ctx.fillRect(x - 6, y - 18, px + 12, 26);
    ctx.strokeStyle = P.ink;
    ctx.lineWidth = 2;
    ctx.beginPath();
    ctx.moveTo(x, y - 5);
    ctx.lineTo(x, y);
    ctx.lineTo(x + px, y);
    ctx.lineTo(x + px, y - 5);
    ctx.stroke();
    ctx.fillStyle = P.ink;
    ctx.font = P.fontSmall;
    ctx.fillText(len >= 1000 ? len / 1000 + " km" : len + " m", x + 2, y - 7);
    this.canvas.dataset.scaleBar = String(len);
  }

  northArrow() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const x = this.w - 22, y = 14;
    ctx.fillStyle = P.ink;
    ctx.beginPath();
    ctx.moveTo(x, y);
    ctx.lineTo(x + 6, y + 16);
    ctx.lineTo(x, y + 12);
    ctx.lineTo(x - 6, y + 16);
    ctx.closePath();
    ctx.fill();
    ctx.font = P.fontBold;
    ctx.fillText("N", x - 4, y + 30);
  }

  // The metre of the track nearest to the pixel, when within `limit` pixels.
  nearestMetre(px, py, limit) {
    if (!this.model.hasPlan) return null;
    const lv = this.level();
    const wx = this.wx(px), wy = this.wy(py);
    const r = limit / this.scale;
    let best = r * r;
    let bestM = null;
    for (let c = 0; c < lv.chunks; c++) {
      const b = lv.box;
      if (wx < b[c * 4] - r || wx > b[c * 4 + 2] + r || wy < b[c * 4 + 1] - r || wy > b[c * 4 + 3] + r) continue;
      const i0 = c * CHUNK;
      const i1 = Math.min(lv.n - 1, i0 + CHUNK);
      for (let i = i0; i < i1; i++) {
        const ax = lv.x[i], ay = lv.y[i];
        const dx = lv.x[i + 1] - ax, dy = lv.y[i + 1] - ay;
        const len2 = dx * dx + dy * dy;
        const t = len2 > 0 ? clamp(((wx - ax) * dx + (wy - ay) * dy) / len2, 0, 1) : 0;
        const ex = ax + t * dx - wx, ey = ay + t * dy - wy;
        const d2 = ex * ex + ey * ey;
        if (d2 < best) {
          best = d2;
          bestM = lv.m[i] + t * (lv.m[i + 1] - lv.m[i]);
        }
      }
    }
    return bestM === null ? null : Math.round(bestM);
  }

  // The object or diagnostic mark under the pixel.
  hitAt(px, py) {
    const model = this.model;
    const L = this.app.layers;
    let best = HIT_PX * HIT_PX;
    let hit = null;
    const close = this.scale >= 0.05;
    if (L.diagnostics) {
      const xy = model.diagnosticXY;
      for (let i = 0; i < model.diagnostics.length; i++) {
        if (xy[i * 4] !== xy[i * 4]) continue;
        const dx = this.sx(xy[i * 4]) - px, dy = this.sy(xy[i * 4 + 1]) - 12 - py;
        const d2 = dx * dx + dy * dy;
        if (d2 < best) {
          best = d2;
          hit = { kind: "diagnostic", index: i };
        }
      }
      if (hit) return hit;
    }
    const types = [];
    if (L.stations) types.push(["station", 0]);
    if (L.boards) types.push(["speed-board", -10], ["sign-board", 10]);
    if (L.signals) types.push(["signal", 9], ["code-point", 0]);
    const xy = model.objectXY;
    for (const [type, side] of types) {
      const list = model.byType.get(type);
      if (!list) continue;
      const off = close ? side : 0;
      for (const o of list) {
        const j = o.id * 4;
        if (xy[j] !== xy[j]) continue;
        const dx = this.sx(xy[j]) + xy[j + 3] * off - px;
        const dy = this.sy(xy[j + 1]) + xy[j + 2] * off - py;
        const d2 = dx * dx + dy * dy;
        if (d2 < best) {
          best = d2;
          hit = { kind: "object", id: o.id };
        }
      }
    }
    if (hit) return hit;
    // On a stretch: a slowdown, a mountain span or a curve under the pointer.
    const m = this.nearestMetre(px, py, 6);
    if (m !== null) {
      for (const [type, on] of [["slowdown", L.slowdowns], ["mountain", L.spans], ["curve", L.curves]]) {
        if (!on) continue;
        const o = model.covering(type, m);
        if (o) return { kind: "object", id: o.id };
      }
    }
    return null;
  }

  hoverAt(px, py) {
    const hit = this.hitAt(px, py);
    this.showTip(hit ? this.app.describe(hit) : null, px, py);
    const m = this.nearestMetre(px, py, HOVER_PX);
    if (m !== null) this.app.setCursor(m, "plan");
  }

  clickAt(px, py) {
    this.canvas.focus({ preventScroll: true });
    const hit = this.hitAt(px, py);
    if (hit) {
      this.app.select(hit, { from: "plan" });
      return;
    }
    const m = this.nearestMetre(px, py, HOVER_PX);
    if (m !== null) this.app.setCursor(m, "plan");
  }

  showTip(text, px, py) {
    showTip(this.tip, text, px, py, this.w);
  }
}

function triangle(ctx, x, y, r, fill, stroke) {
  ctx.beginPath();
  ctx.moveTo(x, y + r);
  ctx.lineTo(x + r, y - r * 0.8);
  ctx.lineTo(x - r, y - r * 0.8);
  ctx.closePath();
  ctx.fillStyle = fill;
  ctx.fill();
  ctx.lineWidth = 1.5;
  ctx.strokeStyle = stroke;
  ctx.stroke();
}

function showTip(tip, text, px, py, width) {
  if (!text) {
    tip.hidden = true;
    return;
  }
  tip.textContent = text;
  tip.hidden = false;
  const left = Math.min(px + 14, width - tip.offsetWidth - 4);
  tip.style.left = Math.max(4, left) + "px";
  tip.style.top = py + 16 + "px";
}
