// The panels beside the views: the read-out at the cursor, the source of the selection, the
// diagnostics, the search, the layer switches and the timetable of the run.

function el(tag, attrs, ...children) {
  const e = document.createElement(tag);
  if (attrs) {
    for (const [k, v] of Object.entries(attrs)) {
      if (v === undefined || v === null || v === false) continue;
      if (k === "class") e.className = v;
      else if (k === "text") e.textContent = v;
      else if (k.startsWith("data-")) e.setAttribute(k, v);
      else if (k === "on") for (const [ev, fn] of Object.entries(v)) e.addEventListener(ev, fn);
      else e.setAttribute(k, v === true ? "" : v);
    }
  }
  for (const c of children) if (c !== null && c !== undefined && c !== false) e.append(c);
  return e;
}

function valueText(v) {
  if (v === null || v === undefined) return "\u2014";
  if (Array.isArray(v)) return v.map(valueText).join(", ");
  if (typeof v === "object") return Object.entries(v).map(([k, x]) => k + " " + valueText(x)).join(", ");
  if (typeof v === "boolean") return v ? "yes" : "no";
  return String(v);
}

function keyValues(obj, role) {
  const dl = el("dl", { class: "pairs", "data-key": role });
  for (const [k, v] of Object.entries(obj || {})) dl.append(el("dt", { text: k }), el("dd", { text: valueText(v) }));
  return dl;
}

// ---------------------------------------------------------------- read-out

const READOUT_ROWS = [
  ["position", "position"],
  ["kilometre", "line kilometre"],
  ["speed", "speed limit"],
  ["gradient", "gradient"],
  ["curve", "curve"],
  ["adhesion", "adhesion"],
  ["height", "height"],
  ["signal", "next signal"],
  ["station", "next station"],
  ["zone", "station zone"],
  ["span", "mountain span"],
];

class Readout {
  constructor(app, root) {
    this.app = app;
    this.root = root;
    this.cells = {};
    for (const [key, label] of READOUT_ROWS) {
      const dd = el("dd", { "data-key": key, text: "\u2014" });
      this.cells[key] = dd;
      root.append(el("dt", { text: label }), dd);
    }
  }

  update(m) {
    const c = this.cells;
    if (m === null) {
      for (const k in c) c[k].textContent = "\u2014";
      return;
    }
    const v = this.app.model.valuesAt(m);
    c.position.textContent = Math.round(m) + " m (cell " + v.cell + ")";
    c.kilometre.textContent = v.kilometre === null ? "no kilometric range" : "km " + kilometreText(v.kilometre);
    c.speed.textContent = v.slowdown
      ? v.speed + " km/h (slowdown; line " + v.lineSpeed + " km/h)"
      : v.speed + " km/h";
    c.gradient.textContent = v.gradient + " \u2030";
    c.curve.textContent = v.curve ? "radius " + v.curve.radius + " m, " + handText(v.curve.hand) : "straight";
    c.adhesion.textContent = v.adhesion + " %";
    c.height.textContent = v.height.toFixed(1) + " m";
    c.signal.textContent = v.nextSignal
      ? "at " + v.nextSignal.position + " m, in " + distanceText(v.nextSignal.position - m)
      : "none ahead";
    c.station.textContent = v.nextStation
      ? v.nextStation.name + " at " + v.nextStation.position + " m, in " + distanceText(v.nextStation.position - m)
      : "none ahead";
    c.zone.textContent = v.station ? v.station.name : "\u2014";
    c.span.textContent = v.span ? "kind " + v.span : "\u2014";
  }
}

// ---------------------------------------------------------------- the source of a selection

const EXCERPT = 3; // lines shown before and after the record

class SourcePanel {
  constructor(app, root) {
    this.app = app;
    this.root = root;
  }

  clear() {
    this.root.replaceChildren(el("p", { class: "hint", text: "Click an object on the plan, the profile or in the lists to see the record that made it." }));
  }

  excerpt(source) {
    const src = this.app.model.sources.get(source.file);
    if (!src) return el("p", { class: "missing", text: "The text of this record is not part of the page." });
    const pre = el("pre", { class: "excerpt", "data-key": "excerpt" });
    const first = Math.max(1, source.line - EXCERPT);
    const last = Math.min(src.lines.length, source.line + EXCERPT);
    for (let n = first; n <= last; n++) {
      const text = src.lines[n - 1] ?? "";
      const row = el("span", { class: n === source.line ? "line here" : "line", "data-line": n });
      row.append(el("span", { class: "no", text: String(n).padStart(String(last).length, " ") + " " }));
      if (n === source.line) {
        const a = Math.max(0, (source.column || 1) - 1);
        const b = source.endColumn ? Math.max(a + 1, source.endColumn - 1) : text.length;
        row.append(text.slice(0, a), el("mark", { "data-key": "record", text: text.slice(a, b) || " " }), text.slice(b));
      } else row.append(text);
      pre.append(row, "\n");
    }
    return pre;
  }

  where(source) {
    const src = this.app.model.sources.get(source.file);
    const name = src ? src.file : "text " + source.file;
    return el(
      "p",
      { class: "where" },
      el("span", { "data-key": "file", text: name }),
      ", line ",
      el("span", { "data-key": "line", text: String(source.line) }),
      ", column ",
      el("span", { "data-key": "column", text: String(source.column || 1) })
    );
  }

  cellsText(o) {
    const cells = o.cells || [];
    if (!cells.length) return "none";
    if (o.cellRange && cells.length === 2) return cells[0] === cells[1] ? String(cells[0]) : cells[0] + " to " + cells[1];
    return cells.join(", ");
  }

  showObject(o) {
    const m = this.app.model;
    const head = el("h3", { "data-key": "heading" }, TYPE_LABEL[o.type] || o.type, o.name ? el("span", { class: "name", text: " " + o.name }) : null);
    const at = [];
    if (o.position !== null && o.position !== undefined) {
      at.push("at " + o.position + " m");
      const k = m.kilometreAt(o.position);
      if (k !== null) at.push("km " + kilometreText(k));
      if (o.end !== undefined && o.end !== null && o.end !== o.position) at.push("to " + o.end + " m");
    }
    const parts = [head, el("p", { class: "at", text: at.join(", ") })];
    if (o.details.notPlaced) parts.push(el("p", { class: "missing", "data-key": "not-placed", text: "Not placed: " + o.details.notPlaced }));
    if (o.source) parts.push(this.where(o.source), this.excerpt(o.source));
    else {
      const placed = o.details && o.details.placedBy === "signalling";
      parts.push(
        el("p", {
          class: "missing",
          "data-key": "no-source",
          text: placed
            ? "No record of the texts made this object: the signalling pass placed it."
            : "No record of the texts is known for this object.",
        })
      );
    }
    parts.push(el("h4", { text: "cells" }), el("p", { "data-key": "cells", text: this.cellsText(o) }));
    parts.push(el("h4", { text: "stored" }), keyValues(o.stored, "stored"));
    if (o.details && Object.keys(o.details).length) parts.push(el("h4", { text: "details" }), keyValues(o.details, "details"));
    const related = m.diagnostics
      .map((d, i) => [d, i])
      .filter(([d]) => d.object === o.id || (d.related || []).some((r) => r.object === o.id));
    if (related.length) {
      parts.push(el("h4", { text: "diagnostics" }));
      const ul = el("ul", { class: "links" });
      for (const [d, i] of related) {
        ul.append(el("li", {}, el("button", { type: "button", class: "link " + d.severity, text: diagnosticTitle(d) + ": " + d.message, on: { click: () => this.app.select({ kind: "diagnostic", index: i }, { from: "panel" }) } })));
      }
      parts.push(ul);
    }
    this.root.replaceChildren(...parts);
    this.root.dataset.selected = "object:" + o.id;
  }

  showDiagnostic(d, index) {
    const parts = [el("h3", { class: d.severity, "data-key": "heading", text: diagnosticTitle(d) }), el("p", { class: "message", "data-key": "message", text: d.message })];
    if (d.position !== null && d.position !== undefined) parts.push(el("p", { class: "at", text: "at " + d.position + " m" + (d.cell !== null && d.cell !== undefined ? ", cell " + d.cell : "") }));
    if (d.source) parts.push(this.where(d.source), this.excerpt(d.source));
    else parts.push(el("p", { class: "missing", "data-key": "no-source", text: "This diagnostic is about the scenario as a whole, not one record." }));
    for (const n of d.notes || []) parts.push(el("p", { class: "note", text: "note: " + n }));
    if (d.hint) parts.push(el("p", { class: "note", text: "help: " + d.hint }));
    for (const r of d.related || []) {
      parts.push(el("h4", { text: r.message }));
      if (r.source) parts.push(this.where(r.source), this.excerpt(r.source));
      if (r.object !== null && r.object !== undefined) {
        const o = this.app.model.objects[r.object];
        parts.push(el("button", { type: "button", class: "link", text: "show the " + (TYPE_LABEL[o.type] || o.type) + (o.name ? " " + o.name : ""), on: { click: () => this.app.select({ kind: "object", id: r.object }, { from: "panel" }) } }));
      }
    }
    if (d.object !== null && d.object !== undefined) {
      const o = this.app.model.objects[d.object];
      parts.push(el("button", { type: "button", class: "link", text: "show the " + (TYPE_LABEL[o.type] || o.type) + " it is about", on: { click: () => this.app.select({ kind: "object", id: d.object }, { from: "panel" }) } }));
    }
    this.root.replaceChildren(...parts);
    this.root.dataset.selected = "diagnostic:" + index;
  }
}

function diagnosticTitle(d) {
  return d.severity === "error" ? "error " + d.code : "warning " + d.code;
}

// ---------------------------------------------------------------- diagnostics

class DiagnosticList {
  constructor(app, root, counts) {
    this.app = app;
    this.root = root;
    this.items = [];
    const model = app.model;
    const c = app.model.data.counts || {
      errors: model.diagnostics.filter((d) => d.severity === "error").length,
      warnings: model.diagnostics.filter((d) => d.severity !== "error").length,
    };
    const plural = (n, w) => n + " " + w + (n === 1 ? "" : "s");
    counts.replaceChildren(
      el("span", { class: c.errors ? "errors" : "none", "data-key": "errors", text: plural(c.errors, "error") }),
      " ",
      el("span", { class: c.warnings ? "warnings" : "none", "data-key": "warnings", text: plural(c.warnings, "warning") })
    );
    if (!model.diagnostics.length) {
      root.append(el("li", { class: "none", text: "The texts give no diagnostic." }));
      return;
    }
    model.diagnostics.forEach((d, i) => {
      const src = d.source ? model.sources.get(d.source.file) : null;
      const where = d.source ? (src ? src.role : "text") + ":" + d.source.line + ":" + (d.source.column || 1) : "scenario";
      const button = el(
        "button",
        { type: "button", class: "diag", on: { click: () => app.select({ kind: "diagnostic", index: i }, { from: "list" }) } },
        el("span", { class: "sev", text: diagnosticTitle(d) }),
        el("span", { class: "loc", text: where }),
        el("span", { class: "msg", text: d.message })
      );
      const li = el("li", { class: d.severity, "data-index": i }, button);
      this.items.push(li);
      root.append(li);
    });
  }

  mark(index) {
    this.items.forEach((li, i) => li.classList.toggle("selected", i === index));
    if (index !== null && this.items[index]) this.items[index].scrollIntoView({ block: "nearest" });
  }
}

// ---------------------------------------------------------------- search

class Search {
  constructor(app, form, input, list) {
    this.app = app;
    this.input = input;
    this.list = list;
    this.results = [];
    this.active = 0;
    input.addEventListener("input", () => this.update());
    input.addEventListener("keydown", (e) => {
      if (e.key === "ArrowDown" || e.key === "ArrowUp") {
        e.preventDefault();
        if (!this.results.length) return;
        this.active = (this.active + (e.key === "ArrowDown" ? 1 : this.results.length - 1)) % this.results.length;
        this.render();
      } else if (e.key === "Escape") {
        this.close();
      }
    });
    form.addEventListener("submit", (e) => {
      e.preventDefault();
      this.update();
      if (this.results.length) this.pick(this.results[this.active]);
      else {
        this.list.replaceChildren(el("li", { class: "none", text: "Nothing found" }));
        this.list.hidden = false;
      }
    });
    input.addEventListener("blur", () => setTimeout(() => this.close(), 150));
  }

  update() {
    this.results = this.app.model.search(this.input.value);
    this.active = 0;
    this.render();
  }

  render() {
    const items = this.results.slice(0, 12).map((r, i) =>
      el("li", { class: i === this.active ? "active" : null }, el("button", { type: "button", tabindex: "-1", text: r.label, on: { mousedown: (e) => e.preventDefault(), click: () => this.pick(r) } }))
    );
    this.list.replaceChildren(...items);
    this.list.hidden = items.length === 0;
  }

  pick(r) {
    this.close();
    if (r.kind === "object") this.app.select({ kind: "object", id: r.object.id }, { from: "search" });
    else this.app.setCursor(r.m, "search");
  }

  close() {
    this.list.hidden = true;
  }
}

// ---------------------------------------------------------------- layers

const LAYERS = [
  ["stations", "stations"],
  ["signals", "signals"],
  ["boards", "boards"],
  ["spans", "mountain spans"],
  ["slowdowns", "slowdowns"],
  ["curves", "curves"],
  ["kilometres", "kilometres"],
  ["diagnostics", "diagnostics"],
  ["run", "fastest run"],
];

function layerSwitches(app, root) {
  for (const [key, label] of LAYERS) {
    if (key === "run" && !app.model.run) continue;
    const box = el("input", { type: "checkbox", "data-layer": key });
    box.checked = app.layers[key];
    box.addEventListener("change", () => {
      app.layers[key] = box.checked;
      app.requestDraw();
    });
    root.append(el("label", {}, box, " " + label));
  }
}

// ---------------------------------------------------------------- timetable of the run

function runTable(app, panel, table) {
  const run = app.model.run;
  if (!run || !run.stations || !run.stations.length) return;
  panel.hidden = false;
  table.append(el("thead", {}, el("tr", {}, el("th", { text: "station" }), el("th", { text: "leaves" }), el("th", { text: "scheduled" }), el("th", { text: "fastest" }), el("th", { text: "margin" }))));
  const body = el("tbody");
  for (const s of run.stations) {
    const late = s.margin !== null && s.margin !== undefined && s.margin < 0;
    const name = el("button", { type: "button", class: "link", text: s.name, on: { click: () => (s.object !== null && s.object !== undefined ? app.select({ kind: "object", id: s.object }, { from: "panel" }) : app.setCursor(s.position, "search")) } });
    body.append(
      el("tr", { class: late ? "late" : null }, el("td", {}, name), el("td", { text: s.departure || "" }), el("td", { text: secondsText(s.scheduled) }), el("td", { text: secondsText(s.fastest) }), el("td", { text: s.margin === null || s.margin === undefined ? "" : secondsText(s.margin) }))
    );
  }
  table.append(body);
}
