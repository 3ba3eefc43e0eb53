// The profile along the route on a canvas, in bands that share one axis of metres: what
// stands on the track, height, gradient, curves, speed (limit, slowdowns, fastest run),
// adhesion, mountain spans, and the kilometres. Where a pixel holds many cells, each band
// draws the least and greatest value of the pixel's cells, so nothing narrow is lost.

const GUTTER = 74;
const RIGHT = 12;

const BANDS = [
  { key: "marks", label: "", fixed: 16 },
  { key: "objects", label: "on the track", fixed: 34 },
  { key: "height", label: "height m", flex: 2.6 },
  { key: "gradient", label: "gradient \u2030", flex: 1.5 },
  { key: "curves", label: "curves", flex: 1 },
  { key: "speed", label: "speed km/h", flex: 2.8 },
  { key: "adhesion", label: "adhesion %", flex: 1 },
  { key: "spans", label: "mountain", fixed: 12 },
  { key: "axis", label: "", fixed: 34 },
];

class ProfileView {
  constructor(app, canvas, tip) {
    this.app = app;
    this.model = app.model;
    this.canvas = canvas;
    this.tip = tip;
    this.ctx = canvas.getContext("2d");
    this.w = 300;
    this.h = 200;
    const [a, b] = this.model.extent;
    this.m0 = a;
    this.m1 = b;
    this.bands = {};
    this.drag = null;
    this.bind();
  }

  bind() {
    const c = this.canvas;
    c.addEventListener("pointerdown", (e) => {
      c.setPointerCapture(e.pointerId);
      // On the axis a drag moves the cursor; elsewhere it pans.
      const onAxis = e.offsetY >= this.bands.axis.top;
      this.drag = { x: e.offsetX, m0: this.m0, m1: this.m1, moved: false, cursor: onAxis };
      if (onAxis) this.app.setCursor(this.metreAt(e.offsetX), "profile");
    });
    c.addEventListener("pointermove", (e) => {
      const d = this.drag;
      if (d) {
        if (Math.abs(e.offsetX - d.x) > 3) d.moved = true;
        if (d.cursor) this.app.setCursor(this.metreAt(e.offsetX), "profile");
        else if (d.moved) {
          const span = d.m1 - d.m0;
          this.setRange(d.m0 - ((e.offsetX - d.x) / this.plotW) * span, d.m1 - ((e.offsetX - d.x) / this.plotW) * span);
        }
        return;
      }
      const hit = this.hitAt(e.offsetX, e.offsetY);
      showTip(this.tip, hit ? this.app.describe(hit) : null, e.offsetX, e.offsetY, this.w);
      if (e.offsetX >= GUTTER) this.app.setCursor(this.metreAt(e.offsetX), "profile");
    });
    c.addEventListener("pointerup", (e) => {
      const d = this.drag;
      this.drag = null;
      if (d && !d.moved && !d.cursor) this.clickAt(e.offsetX, e.offsetY);
    });
    c.addEventListener("pointercancel", () => (this.drag = null));
    c.addEventListener("pointerleave", () => showTip(this.tip, null));
    c.addEventListener(
      "wheel",
      (e) => {
        e.preventDefault();
        const unit = e.deltaMode === 1 ? 16 : e.deltaMode === 2 ? 400 : 1;
        // A sideways wheel (or shift) pans; the plain wheel zooms about the pointer.
        const sideways = Math.abs(e.deltaX) > Math.abs(e.deltaY) ? e.deltaX : e.shiftKey ? e.deltaY : 0;
        if (sideways) {
          const dm = ((sideways * unit) / this.plotW) * (this.m1 - this.m0);
          this.setRange(this.m0 + dm, this.m1 + dm);
        } else this.zoomAt(Math.exp(e.deltaY * unit * 0.0015), e.offsetX);
      },
      { passive: false }
    );
    c.addEventListener("keydown", (e) => {
      const cur = this.app.cursor === null ? (this.m0 + this.m1) / 2 : this.app.cursor;
      const step = e.shiftKey ? 1000 : CELL;
      if (e.key === "ArrowLeft") this.app.setCursor(cur - step, "key");
      else if (e.key === "ArrowRight") this.app.setCursor(cur + step, "key");
      else if (e.key === "+" || e.key === "=") this.zoomAt(1 / 1.5, this.xOf(cur));
      else if (e.key === "-") this.zoomAt(1.5, this.xOf(cur));
      else return;
      e.preventDefault();
    });
  }

  resize() {
    const r = this.canvas.getBoundingClientRect();
    const dpr = (window.devicePixelRatio || 1) * (this.app.printing ? 3 : 1);
    const w = Math.max(200, Math.round(r.width));
    const h = Math.max(200, Math.round(r.height));
    if (w === this.w && h === this.h && this.canvas.width === Math.round(w * dpr)) return false;
    this.w = w;
    this.h = h;
    this.dpr = dpr;
    this.canvas.width = Math.round(w * dpr);
    this.canvas.height = Math.round(h * dpr);
    this.layout();
    return true;
  }

  layout() {
    this.plotW = this.w - GUTTER - RIGHT;
    let fixed = 0, flex = 0;
    for (const b of BANDS) {
      if (b.fixed) fixed += b.fixed;
      else flex += b.flex;
    }
    const room = Math.max(60, this.h - fixed - 4);
    let top = 2;
    for (const b of BANDS) {
      const h = b.fixed ? b.fixed : Math.floor((room * b.flex) / flex);
      this.bands[b.key] = { key: b.key, label: b.label, top, h };
      top += h;
    }
    // Where each band lies, for scripts that point at the profile: "key:top:height ...".
    this.canvas.dataset.bands = BANDS.map((b) => b.key + ":" + this.bands[b.key].top + ":" + this.bands[b.key].h).join(" ");
  }

  setRange(a, b) {
    const full = this.model.endMetre;
    let span = Math.min(full, Math.max(200, b - a));
    a = clamp(a, 0, Math.max(0, full - span));
    this.m0 = a;
    this.m1 = a + span;
    this.app.requestDraw("profile");
  }

  zoomAt(factor, px) {
    const m = this.metreAt(px);
    const span = clamp((this.m1 - this.m0) * factor, 200, this.model.endMetre);
    const t = clamp((px - GUTTER) / this.plotW, 0, 1);
    this.setRange(m - t * span, m - t * span + span);
  }

  // Shows metres a..b with a little room around them.
  show(a, b) {
    const pad = Math.max(150, (b - a) * 0.15);
    this.setRange(a - pad, b + pad);
  }

  keepInView(m) {
    if (m < this.m0 || m > this.m1) {
      const span = this.m1 - this.m0;
      this.setRange(m - span / 2, m + span / 2);
    }
  }

  xOf(m) {
    return GUTTER + ((m - this.m0) / (this.m1 - this.m0)) * this.plotW;
  }

  metreAt(px) {
    return clamp(Math.round(this.m0 + ((px - GUTTER) / this.plotW) * (this.m1 - this.m0)), 0, this.model.endMetre);
  }

  // The bands change only when the view, the layers or the selection do; the cursor moves
  // far more often. So the bands are drawn into a layer of their own, kept while its key holds,
  // and each frame copies it and draws the cursor over it.
  draw() {
    const P = this.app.palette;
    const L = this.app.layers;
    const sel = this.app.selection;
    const key = this.m0 + "|" + this.m1 + "|" + this.canvas.width + "|" + this.canvas.height + "|" +
      JSON.stringify(L) + "|" + (sel ? sel.kind + (sel.id ?? sel.index) : "") + "|" + this.app.printing;
    if (key !== this.layerKey) {
      if (!this.layer) {
        this.layer = document.createElement("canvas");
        this.layerCtx = this.layer.getContext("2d");
      }
      // Resizing a canvas reallocates it: only when the view's own size changed.
      if (this.layer.width !== this.canvas.width || this.layer.height !== this.canvas.height) {
        this.layer.width = this.canvas.width;
        this.layer.height = this.canvas.height;
      }
      const main = this.ctx;
      this.ctx = this.layerCtx;
      this.drawBands();
      this.ctx = main;
      this.layerKey = key;
    }
    const ctx = this.ctx;
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.drawImage(this.layer, 0, 0);
    ctx.setTransform(this.dpr, 0, 0, this.dpr, 0, 0);
    ctx.save();
    ctx.beginPath();
    ctx.rect(GUTTER, 0, this.plotW, this.h);
    ctx.clip();
    const o = this.app.selectedObject();
    if (o) this.selectionBand(o);
    this.cursorLine();
    ctx.restore();
    this.cursorLabel();
    this.canvas.dataset.m0 = String(this.m0);
    this.canvas.dataset.m1 = String(this.m1);
    this.canvas.dataset.gutter = String(GUTTER);
    this.canvas.dataset.plotWidth = String(this.plotW);
  }

  drawBands() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const L = this.app.layers;
    ctx.setTransform(this.dpr, 0, 0, this.dpr, 0, 0);
    ctx.fillStyle = P.paper;
    ctx.fillRect(0, 0, this.w, this.h);
    ctx.save();
    ctx.beginPath();
    ctx.rect(GUTTER, 0, this.plotW, this.h);
    ctx.clip();
    if (L.stations) this.stationZones();
    this.heightBand();
    this.gradientBand();
    if (L.curves) this.curvesBand();
    this.speedBand();
    this.adhesionBand();
    if (L.spans) this.spansBand();
    this.objectsBand();
    if (L.diagnostics) this.marksBand();
    ctx.restore();
    this.axis();
    this.gutter();
  }

  // The first and last cells in view.
  cellsInView() {
    const c0 = clamp(Math.floor(this.m0 / CELL), 0, this.model.lastCell);
    const c1 = clamp(Math.ceil(this.m1 / CELL), 0, this.model.lastCell);
    return [c0, c1];
  }

  stationZones() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const top = this.bands.height.top;
    const bottom = this.bands.spans.top;
    ctx.fillStyle = P.zone;
    for (const s of this.model.stationAt.list) {
      const z = s.details && s.details.zone;
      if (!z || z[1] < this.m0 || z[0] > this.m1) continue;
      const x0 = this.xOf(z[0]);
      ctx.fillRect(x0, top, Math.max(1, this.xOf(z[1]) - x0), bottom - top);
    }
  }

  selectionBand(o) {
    const ctx = this.ctx;
    const P = this.app.palette;
    const a = o.position;
    const b = o.end !== undefined && o.end !== null && o.end > a ? o.end : a;
    const x0 = this.xOf(a);
    const w = Math.max(3, this.xOf(b) - x0);
    ctx.globalAlpha = 0.25;
    ctx.fillStyle = P.selection;
    ctx.fillRect(w === 3 ? x0 - 1.5 : x0, this.bands.objects.top, w, this.bands.axis.top - this.bands.objects.top);
    ctx.globalAlpha = 1;
  }

  // Draws the per-cell values of `arr` as a step line in band `b` between values lo..hi.
  steps(arr, b, lo, hi, colour, width) {
    const ctx = this.ctx;
    const [c0, c1] = this.cellsInView();
    const yOf = (v) => b.top + b.h - 3 - ((clamp(v, lo, hi) - lo) / (hi - lo || 1)) * (b.h - 6);
    ctx.strokeStyle = colour;
    ctx.lineWidth = width;
    ctx.beginPath();
    const wide = (CELL / (this.m1 - this.m0)) * this.plotW >= 2;
    if (wide) {
      for (let c = c0; c <= c1; c++) {
        const y = yOf(arr[c]);
        const x0 = this.xOf(c * CELL);
        if (c === c0) ctx.moveTo(x0, y);
        else ctx.lineTo(x0, y);
        ctx.lineTo(this.xOf(c * CELL + CELL), y);
      }
    } else {
      let col = -1, lo2 = 0, hi2 = 0, last = 0;
      for (let c = c0; c <= c1; c++) {
        const v = arr[c];
        const px = Math.floor(this.xOf(c * CELL));
        if (px !== col) {
          if (col >= 0) {
            ctx.lineTo(col, yOf(lo2));
            ctx.lineTo(col, yOf(hi2));
            ctx.lineTo(col, yOf(last));
          } else ctx.moveTo(px, yOf(v));
          col = px;
          lo2 = hi2 = v;
        }
        if (v < lo2) lo2 = v;
        if (v > hi2) hi2 = v;
        last = v;
      }
      if (col >= 0) {
        ctx.lineTo(col, yOf(lo2));
        ctx.lineTo(col, yOf(hi2));
        ctx.lineTo(col + 1, yOf(last));
      }
    }
    ctx.stroke();
    return yOf;
  }

  heightBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.height;
    const model = this.model;
    const [c0, c1] = this.cellsInView();
    // Scale to the heights in view, so a gentle line still shows its shape.
    let lo = Infinity, hi = -Infinity;
    for (let c = c0; c <= c1; c++) {
      const h = model.height[c];
      if (h < lo) lo = h;
      if (h > hi) hi = h;
    }
    if (hi - lo < 10) {
      const mid = (hi + lo) / 2;
      lo = mid - 5;
      hi = mid + 5;
    }
    this.heightScale = [lo, hi];
    const yOf = (v) => b.top + b.h - 3 - ((v - lo) / (hi - lo)) * (b.h - 8);
    ctx.beginPath();
    ctx.moveTo(this.xOf(c0 * CELL), b.top + b.h);
    const wide = (CELL / (this.m1 - this.m0)) * this.plotW >= 2;
    let col = -9, top = 0;
    for (let c = c0; c <= c1; c++) {
      const x = this.xOf(c * CELL);
      const y = yOf(model.height[c]);
      if (wide) ctx.lineTo(x, y);
      else {
        const px = Math.floor(x);
        if (px !== col) {
          if (col > -9) ctx.lineTo(col, top);
          col = px;
          top = y;
        } else if (y < top) top = y;
      }
    }
    if (!wide && col > -9) ctx.lineTo(col, top);
    ctx.lineTo(this.xOf(c1 * CELL), b.top + b.h);
    ctx.closePath();
    ctx.fillStyle = P.heightFill;
    ctx.fill();
    ctx.strokeStyle = P.height;
    ctx.lineWidth = 1.5;
    ctx.stroke();
  }

  gradientBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.gradient;
    const model = this.model;
    const [c0, c1] = this.cellsInView();
    let top = 10;
    for (let c = c0; c <= c1; c++) top = Math.max(top, Math.abs(model.gradient[c]));
    top = Math.min(100, Math.ceil(top / 5) * 5);
    this.gradientScale = top;
    const mid = b.top + b.h / 2;
    const k = (b.h / 2 - 3) / top;
    ctx.strokeStyle = P.grid;
    ctx.lineWidth = 1;
    ctx.beginPath();
    ctx.moveTo(GUTTER, mid + 0.5);
    ctx.lineTo(GUTTER + this.plotW, mid + 0.5);
    ctx.stroke();
    // One path for the climbs and one for the descents: a fill per cell or per pixel would be
    // tens of thousands of drawing calls on the longest line.
    const cellPx = (CELL / (this.m1 - this.m0)) * this.plotW;
    for (const climb of [true, false]) {
      ctx.beginPath();
      if (cellPx >= 1) {
        for (let c = c0; c <= c1; c++) {
          const g = model.gradient[c];
          if (climb ? g <= 0 : g >= 0) continue;
          const x0 = this.xOf(c * CELL);
          const w = Math.max(1, this.xOf(c * CELL + CELL) - x0 - (cellPx > 4 ? 1 : 0));
          const hgt = clamp(Math.abs(g), 0, top) * k;
          ctx.rect(x0, climb ? mid - hgt : mid, w, hgt);
        }
      } else {
        // The steepest cell of each pixel, on its side, as one outline: a polygon fills
        // far faster than as many rectangles.
        const side = climb ? -k : k;
        let col = -1, worst = 0;
        ctx.moveTo(Math.floor(this.xOf(c0 * CELL)), mid);
        for (let c = c0; c <= c1 + 1; c++) {
          const px = c <= c1 ? Math.floor(this.xOf(c * CELL)) : -2;
          if (px !== col) {
            if (col >= 0) {
              const y = mid + side * clamp(worst, 0, top);
              ctx.lineTo(col, y);
              ctx.lineTo(col + 1, y);
            }
            col = px;
            worst = 0;
          }
          if (c <= c1) {
            const g = climb ? model.gradient[c] : -model.gradient[c];
            if (g > worst) worst = g;
          }
        }
        ctx.lineTo(Math.floor(this.xOf(c1 * CELL)) + 1, mid);
        ctx.closePath();
      }
      ctx.fillStyle = climb ? P.climb : P.descent;
      ctx.fill();
    }
  }

  curvesBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.curves;
    const mid = b.top + b.h / 2;
    ctx.strokeStyle = P.grid;
    ctx.lineWidth = 1;
    ctx.beginPath();
    ctx.moveTo(GUTTER, mid + 0.5);
    ctx.lineTo(GUTTER + this.plotW, mid + 0.5);
    ctx.stroke();
    const curves = this.model.byType.get("curve");
    const k = (b.h / 2 - 2) / 6;
    if (curves) {
      for (const o of curves) {
        if (o.end < this.m0 || o.position > this.m1) continue;
        const d = o.details || {};
        const cls = d.class || 1;
        const left = d.hand === "s";
        const x0 = this.xOf(o.position);
        const w = Math.max(1, this.xOf(o.end) - x0);
        ctx.fillStyle = left ? P.curveLeft : P.curveRight;
        // Right-hand curves above the line, left-hand below; the taller the sharper.
        ctx.fillRect(x0, left ? mid : mid - cls * k, w, cls * k);
      }
      return;
    }
    // Without curve objects, the plan's curvature per cell: the sharpest turn of each pixel
    // to either hand, one path a hand.
    const [c0, c1] = this.cellsInView();
    const curvature = this.model.curvature;
    for (const left of [true, false]) {
      ctx.beginPath();
      const side = left ? 1 : -1;
      let col = -1, x0 = 0, x1 = 0, worst = 0;
      ctx.moveTo(this.xOf(c0 * CELL), mid);
      for (let c = c0; c <= c1 + 1; c++) {
        const px = c <= c1 ? Math.floor(this.xOf(c * CELL)) : -2;
        if (px !== col) {
          if (col >= 0) {
            const y = mid + side * Math.min(b.h / 2 - 2, worst * 2000 * k);
            ctx.lineTo(x0, y);
            ctx.lineTo(Math.max(x0 + 1, x1), y);
          }
          col = px;
          x0 = this.xOf(c * CELL);
          worst = 0;
        }
        if (c <= c1) {
          x1 = this.xOf(c * CELL + CELL);
          const v = left ? -curvature[c] : curvature[c];
          if (v > worst) worst = v;
        }
      }
      ctx.lineTo(x1, mid);
      ctx.closePath();
      ctx.fillStyle = left ? P.curveLeft : P.curveRight;
      ctx.fill();
    }
  }

  speedBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const L = this.app.layers;
    const b = this.bands.speed;
    const top = this.model.speedTop;
    ctx.strokeStyle = P.grid;
    ctx.lineWidth = 1;
    const yOf = (v) => b.top + b.h - 3 - (clamp(v, 0, top) / top) * (b.h - 6);
    ctx.beginPath();
    for (let v = 20; v < top; v += top > 120 ? 40 : 20) {
      ctx.moveTo(GUTTER, Math.round(yOf(v)) + 0.5);
      ctx.lineTo(GUTTER + this.plotW, Math.round(yOf(v)) + 0.5);
    }
    ctx.stroke();
    this.steps(this.model.speed, b, 0, top, P.speed, 2);
    if (L.slowdowns) {
      const list = this.model.byType.get("slowdown") || [];
      ctx.lineWidth = 3;
      ctx.strokeStyle = P.slowdown;
      ctx.fillStyle = P.slowdownFill;
      for (const o of list) {
        const [from, to] = this.model.range(o);
        if (to < this.m0 || from > this.m1) continue;
        const x0 = this.xOf(from);
        const x1 = Math.max(x0 + 2, this.xOf(to));
        const y = yOf(o.details.speed);
        ctx.fillRect(x0, y, x1 - x0, b.top + b.h - y);
        ctx.beginPath();
        ctx.moveTo(x0, y);
        ctx.lineTo(x1, y);
        ctx.stroke();
      }
    }
    if (L.run && this.model.run) this.runCurve(b, yOf);
  }

  runCurve(b, yOf) {
    const ctx = this.ctx;
    const P = this.app.palette;
    const model = this.model;
    const M = model.runM, V = model.runV, n = M.length;
    let i = Math.max(0, lastAtOrBelow(M, n, this.m0));
    ctx.strokeStyle = P.run;
    ctx.lineWidth = 1.5;
    ctx.beginPath();
    let col = -9, lo = 0, hi = 0;
    let started = false;
    for (; i < n; i++) {
      const x = this.xOf(M[i]);
      const px = Math.floor(x);
      const v = V[i];
      if (px !== col) {
        if (col > -9) {
          ctx.lineTo(col, yOf(lo));
          ctx.lineTo(col, yOf(hi));
        }
        if (!started) {
          ctx.moveTo(x, yOf(v));
          started = true;
        }
        ctx.lineTo(x, yOf(v));
        col = px;
        lo = hi = v;
      }
      if (v < lo) lo = v;
      if (v > hi) hi = v;
      if (M[i] > this.m1) break;
    }
    ctx.stroke();
    // The times at the stations: fastest against scheduled.
    ctx.font = this.app.palette.fontSmall;
    let lastRight = -Infinity;
    for (const s of model.run.stations) {
      if (s.position < this.m0 || s.position > this.m1 || s.fastest === null || s.fastest === undefined) continue;
      const x = this.xOf(s.position);
      const text = secondsText(s.fastest) + (s.scheduled !== null ? " / " + secondsText(s.scheduled) : "");
      const w = ctx.measureText(text).width;
      if (x - w / 2 < lastRight + 4) continue;
      ctx.fillStyle = s.margin !== null && s.margin < 0 ? P.error : P.run;
      ctx.fillText(text, x - w / 2, b.top + 11);
      lastRight = x + w / 2;
    }
  }

  adhesionBand() {
    const P = this.app.palette;
    const b = this.bands.adhesion;
    this.steps(this.model.adhesion, b, 0, 100, P.adhesion, 1.5);
  }

  spansBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.spans;
    for (const o of this.model.byType.get("mountain") || []) {
      if (o.end < this.m0 || o.position > this.m1) continue;
      const x0 = this.xOf(o.position);
      ctx.fillStyle = P.mountain;
      ctx.fillRect(x0, b.top + 2, Math.max(1, this.xOf(o.end) - x0), b.h - 4);
    }
  }

  objectsBand() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const L = this.app.layers;
    const b = this.bands.objects;
    const model = this.model;
    const y = b.top + b.h - 8;
    const perPixel = (this.m1 - this.m0) / this.plotW;
    const each = (type, fn) => {
      const list = model.byType.get(type);
      if (!list) return;
      let i = Math.max(0, lastAtOrBelow(positionsOf(model, type), list.length, this.m0 - 50 * perPixel));
      for (; i < list.length; i++) {
        const o = list[i];
        if (o.position > this.m1 + 50 * perPixel) break;
        fn(o, this.xOf(o.position));
      }
    };
    if (L.signals) {
      each("code-point", (o, x) => {
        ctx.fillStyle = P.codePoint;
        ctx.fillRect(x - 1.5, y - 1.5, 3, 3);
      });
      // All the masts in one path and all the heads in another, one of each a pixel; from
      // afar (signals closer than a few pixels) the masts alone.
      const far = perPixel > 100;
      for (const heads of far ? [false] : [false, true]) {
        let last = -Infinity;
        ctx.beginPath();
        each("signal", (o, x) => {
          if (x - last < 1) return;
          last = x;
          if (heads) {
            ctx.moveTo(x + 3, y - 12);
            ctx.arc(x, y - 12, 3, 0, 2 * Math.PI);
          } else {
            ctx.moveTo(x, y + 4);
            ctx.lineTo(x, y - 10);
          }
        });
        ctx.fillStyle = ctx.strokeStyle = P.signal;
        ctx.lineWidth = 1.5;
        if (heads) ctx.fill();
        else ctx.stroke();
      }
    }
    if (L.boards) {
      const close = perPixel < 20;
      ctx.font = P.fontSmall;
      let right = -Infinity;
      let last = -Infinity;
      ctx.beginPath();
      const far = perPixel > 100;
      each("speed-board", (o, x) => {
        if (x - last < 1) return;
        last = x;
        if (far) ctx.rect(x - 1, y - 7, 2, 6);
        else {
          ctx.moveTo(x + 4, y - 4);
          ctx.arc(x, y - 4, 4, 0, 2 * Math.PI);
        }
      });
      ctx.fillStyle = P.paper;
      ctx.strokeStyle = P.speedBoard;
      ctx.lineWidth = 2;
      ctx.fill();
      ctx.stroke();
      each("speed-board", (o, x) => {
        if (close) {
          const t = boardSpeeds(o);
          if (x + 6 > right) {
            ctx.fillStyle = P.speedBoard;
            ctx.fillText(t, x + 6, y - 14);
            right = x + 6 + ctx.measureText(t).width + 4;
          }
        }
      });
      each("sign-board", (o, x) => {
        ctx.fillStyle = P.signBoard;
        ctx.beginPath();
        ctx.moveTo(x, y - 9);
        ctx.lineTo(x + 4, y - 5);
        ctx.lineTo(x, y - 1);
        ctx.lineTo(x - 4, y - 5);
        ctx.closePath();
        ctx.fill();
      });
    }
    if (L.stations) {
      ctx.font = P.fontBold;
      let right = -Infinity;
      each("station", (o, x) => {
        const stops = o.details && o.details.stops;
        ctx.strokeStyle = P.station;
        ctx.lineWidth = 2;
        ctx.beginPath();
        ctx.moveTo(x, b.top + b.h);
        ctx.lineTo(x, b.top + 2);
        ctx.stroke();
        if (stops) {
          ctx.fillStyle = P.station;
          ctx.fillRect(x, b.top + 2, 7, 5);
        }
        const name = o.name || "";
        const w = ctx.measureText(name).width;
        if (x + 3 > right) {
          ctx.fillStyle = P.labelBack;
          ctx.fillRect(x + 2, b.top + 8, w + 4, 12);
          ctx.fillStyle = P.station;
          ctx.fillText(name, x + 4, b.top + 18);
          right = x + w + 8;
        }
      });
    }
  }

  marksBand() {
    const P = this.app.palette;
    const ctx = this.ctx;
    const b = this.bands.marks;
    const sel = this.app.selection && this.app.selection.kind === "diagnostic" ? this.app.selection.index : -1;
    const diags = this.model.diagnostics;
    for (let i = 0; i < diags.length; i++) {
      const d = diags[i];
      if (d.position === null || d.position === undefined || d.position < this.m0 || d.position > this.m1) continue;
      const x = this.xOf(d.position);
      const colour = d.severity === "error" ? P.error : P.warning;
      ctx.strokeStyle = colour;
      ctx.lineWidth = 1;
      ctx.setLineDash([3, 3]);
      ctx.beginPath();
      ctx.moveTo(x, b.top + b.h);
      ctx.lineTo(x, this.bands.axis.top);
      ctx.stroke();
      ctx.setLineDash([]);
      triangle(ctx, x, b.top + b.h / 2, 6, colour, i === sel ? P.selection : P.paper);
    }
  }

  cursorLine() {
    const m = this.app.cursor;
    if (m === null || m < this.m0 || m > this.m1) return;
    const ctx = this.ctx;
    const P = this.app.palette;
    const x = Math.round(this.xOf(m)) + 0.5;
    ctx.strokeStyle = P.cursor;
    ctx.lineWidth = 1.5;
    ctx.beginPath();
    ctx.moveTo(x, this.bands.objects.top);
    ctx.lineTo(x, this.bands.axis.top + 6);
    ctx.stroke();
  }

  axis() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.axis;
    const model = this.model;
    const span = this.m1 - this.m0;
    const steps = [50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000];
    let step = steps[steps.length - 1];
    for (const s of steps) {
      if ((s / span) * this.plotW >= 80) {
        step = s;
        break;
      }
    }
    ctx.strokeStyle = P.ink;
    ctx.fillStyle = P.ink;
    ctx.lineWidth = 1;
    ctx.font = P.fontSmall;
    ctx.beginPath();
    ctx.moveTo(GUTTER, b.top + 0.5);
    ctx.lineTo(GUTTER + this.plotW, b.top + 0.5);
    ctx.stroke();
    for (let m = Math.ceil(this.m0 / step) * step; m <= this.m1; m += step) {
      const x = Math.round(this.xOf(m)) + 0.5;
      ctx.beginPath();
      ctx.moveTo(x, b.top);
      ctx.lineTo(x, b.top + 5);
      ctx.stroke();
      const t = step >= 1000 ? m / 1000 + " km" : (m / 1000).toFixed(step >= 100 ? 1 : 2) + " km";
      ctx.fillStyle = P.ink;
      ctx.fillText(t, x + 2, b.top + 15);
      const k = model.kilometreAt(m);
      if (k !== null) {
        ctx.fillStyle = P.kilometre;
        ctx.fillText(kilometreText(k), x + 2, b.top + 28);
      }
    }
  }

  cursorLabel() {
    const ctx = this.ctx;
    const P = this.app.palette;
    const b = this.bands.axis;
    const m = this.app.cursor;
    if (m !== null && m >= this.m0 && m <= this.m1) {
      ctx.font = P.fontSmall;
      const x = this.xOf(m);
      const t = metresText(m);
      const w = ctx.measureText(t).width + 8;
      const left = clamp(x - w / 2, GUTTER, GUTTER + this.plotW - w);
      ctx.fillStyle = P.cursor;
      ctx.fillRect(left, b.top + 4, w, 14);
      ctx.fillStyle = P.paper;
      ctx.fillText(t, left + 4, b.top + 15);
    }
  }

  gutter() {
    const ctx = this.ctx;
    const P = this.app.palette;
    ctx.fillStyle = P.paper;
    ctx.fillRect(0, 0, GUTTER - 1, this.h);
    ctx.font = P.fontSmall;
    ctx.strokeStyle = P.grid;
    for (const def of BANDS) {
      const b = this.bands[def.key];
      ctx.fillStyle = P.muted;
      if (b.label) ctx.fillText(b.label, 4, b.top + Math.min(b.h - 2, 12));
      if (b.key !== "marks" && b.key !== "axis") {
        ctx.beginPath();
        ctx.moveTo(0, b.top + b.h + 0.5);
        ctx.lineTo(GUTTER + this.plotW, b.top + b.h + 0.5);
        ctx.stroke();
      }
    }
    ctx.fillStyle = P.muted;
    const hb = this.bands.height;
    if (this.heightScale) {
      ctx.fillText(Math.round(this.heightScale[1]) + "", 4, hb.top + 26);
      ctx.fillText(Math.round(this.heightScale[0]) + "", 4, hb.top + hb.h - 3);
    }
    const gb = this.bands.gradient;
    if (gb.h > 30) {
      ctx.fillText("+" + this.gradientScale, 4, gb.top + 24);
      ctx.fillText("-" + this.gradientScale, 4, gb.top + gb.h - 3);
    }
    const sb = this.bands.speed;
    ctx.fillText(String(this.model.speedTop), 4, sb.top + 24);
    const cb = this.bands.curves;
    if (cb.h > 44) {
      ctx.fillText("right", 4, cb.top + cb.h / 2 - 2);
      ctx.fillText("left", 4, cb.top + cb.h - 3);
    }
  }

  // What lies under the pixel: a diagnostic mark, an object on the track, or the stretch of
  // the band (curve, slowdown, span, the gradient or limit record in force).
  hitAt(px, py) {
    if (px < GUTTER) return null;
    const model = this.model;
    const L = this.app.layers;
    const m = this.metreAt(px);
    const perPixel = (this.m1 - this.m0) / this.plotW;
    const near = (pos) => Math.abs(pos - m) <= 6 * perPixel;
    const band = this.bandAt(py);
    if (!band) return null;
    if (band === "marks" || (band === "objects" && L.diagnostics)) {
      let best = null, bestD = Infinity;
      model.diagnostics.forEach((d, i) => {
        if (d.position === null || d.position === undefined) return;
        const dist = Math.abs(d.position - m);
        if (near(d.position) && dist < bestD) {
          best = { kind: "diagnostic", index: i };
          bestD = dist;
        }
      });
      if (best && L.diagnostics) return best;
      if (band === "marks") return null;
    }
    if (band === "objects") {
      const types = [];
      if (L.stations) types.push("station");
      if (L.signals) types.push("signal", "code-point");
      if (L.boards) types.push("speed-board", "sign-board");
      let best = null, bestD = Infinity;
      for (const t of types) {
        for (const o of model.byType.get(t) || []) {
          const d = Math.abs(o.position - m);
          if (near(o.position) && d < bestD) {
            best = o;
            bestD = d;
          }
        }
      }
      if (!best && L.stations) {
        const s = model.stationZoneAt(m);
        if (s) best = s;
      }
      return best ? { kind: "object", id: best.id } : null;
    }
    const byBand = {
      height: ["gradient"],
      gradient: ["gradient"],
      curves: L.curves ? ["curve"] : [],
      speed: L.slowdowns ? ["slowdown", "speed-limit"] : ["speed-limit"],
      adhesion: ["adhesion"],
      spans: L.spans ? ["mountain"] : [],
    }[band] || [];
    for (const t of byBand) {
      const o = model.covering(t, m) || (t !== "curve" && t !== "slowdown" && t !== "mountain" ? this.inForce(t, m) : null);
      if (o) return { kind: "object", id: o.id };
    }
    return null;
  }

  // The record of a filling kind (gradient, speed limit, adhesion) in force at m.
  inForce(type, m) {
    const list = this.model.byType.get(type);
    if (!list) return null;
    let found = null;
    for (const o of list) {
      if (o.position > m) break;
      found = o;
    }
    return found;
  }

  bandAt(py) {
    for (const def of BANDS) {
      const b = this.bands[def.key];
      if (py >= b.top && py < b.top + b.h) return def.key;
    }
    return null;
  }

  clickAt(px, py) {
    this.canvas.focus({ preventScroll: true });
    const hit = this.hitAt(px, py);
    if (hit) this.app.select(hit, { from: "profile" });
    else if (px >= GUTTER) this.app.setCursor(this.metreAt(px), "profile");
  }
}

// Positions of a type's objects as a typed array, made once.
const positionCache = new WeakMap();
function positionsOf(model, type) {
  let cache = positionCache.get(model);
  if (!cache) positionCache.set(model, (cache = new Map()));
  let arr = cache.get(type);
  if (!arr) {
    const list = model.byType.get(type) || [];
    arr = new Float64Array(list.length);
    for (let i = 0; i < list.length; i++) arr[i] = list[i].position;
    cache.set(type, arr);
  }
  return arr;
}

function secondsText(s) {
  if (s === null || s === undefined) return "";
  const neg = s < 0;
  const a = Math.round(Math.abs(s));
  return (neg ? "-" : "") + Math.floor(a / 60) + ":" + String(a % 60).padStart(2, "0");
}
