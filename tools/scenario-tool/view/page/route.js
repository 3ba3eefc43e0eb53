// The page: reads its data once, makes the views and panels, and keeps the one cursor and the
// one selection they share, with the address (#m=..., #find=...) following both.

const PALETTE_VARS = {
  paper: "--paper",
  ink: "--ink",
  muted: "--muted",
  grid: "--grid",
  track: "--track",
  station: "--station",
  zone: "--zone",
  signal: "--signal",
  codePoint: "--code-point",
  speedBoard: "--speed-board",
  signBoard: "--sign-board",
  mountain: "--mountain",
  curveLeft: "--curve-left",
  curveRight: "--curve-right",
  slowdown: "--slowdown",
  slowdownFill: "--slowdown-fill",
  kilometre: "--kilometre",
  cursor: "--cursor",
  selection: "--selection",
  error: "--error",
  warning: "--warning",
  height: "--height",
  heightFill: "--height-fill",
  climb: "--climb",
  descent: "--descent",
  speed: "--speed",
  run: "--run",
  adhesion: "--adhesion",
  labelBack: "--label-back",
};

function readPalette() {
  const style = getComputedStyle(document.documentElement);
  const p = {};
  for (const [k, v] of Object.entries(PALETTE_VARS)) p[k] = style.getPropertyValue(v).trim() || "#000";
  const family = style.getPropertyValue("--canvas-font").trim() || "sans-serif";
  p.font = "12px " + family;
  p.fontSmall = "11px " + family;
  p.fontBold = "bold 12px " + family;
  return p;
}

class App {
  constructor(model) {
    this.model = model;
    this.palette = readPalette();
    this.layers = { stations: true, signals: true, boards: true, spans: true, slowdowns: true, curves: true, kilometres: true, diagnostics: true, run: true };
    this.cursor = null;
    this.selection = null;
    this.drawPending = false;
    this.dirty = { plan: false, profile: false };
    this.hashTimer = 0;
    const $ = (role) => document.querySelector('[data-role="' + role + '"]');
    this.$ = $;
    this.plan = new PlanView(this, $("plan"), $("plan-tip"));
    this.profile = new ProfileView(this, $("profile"), $("profile-tip"));
    this.readout = new Readout(this, $("readout"));
    this.source = new SourcePanel(this, $("source"));
    this.diagnosticList = new DiagnosticList(this, $("diagnostics"), $("counts"));
    this.search = new Search(this, $("search-form"), $("search"), $("search-results"));
    layerSwitches(this, $("layers"));
    runTable(this, $("run-panel"), $("run-table"));
    this.header();

    $("zoom-in").addEventListener("click", () => this.plan.zoomAt(1.6, this.plan.w / 2, this.plan.h / 2));
    $("zoom-out").addEventListener("click", () => this.plan.zoomAt(1 / 1.6, this.plan.w / 2, this.plan.h / 2));
    $("zoom-fit").addEventListener("click", () => {
      this.plan.fit();
      const [a, b] = this.model.extent;
      this.profile.setRange(a, b);
    });
    $("zoom-cursor").addEventListener("click", () => {
      if (this.cursor !== null) this.plan.centreOn(this.cursor, true);
    });
    window.addEventListener("resize", () => this.requestDraw());
    window.addEventListener("hashchange", () => this.readHash());
    // Paper gets the views at the size the print style gives them, drawn afresh and finer.
    this.printing = false;
    const printed = (on) => {
      this.printing = on;
      this.drawNow();
    };
    window.addEventListener("beforeprint", () => printed(true));
    window.addEventListener("afterprint", () => printed(false));
    matchMedia("print").addEventListener("change", (e) => printed(e.matches));
  }

  header() {
    const m = this.model;
    const title = m.title || "Route";
    document.title = title + (m.code ? " \u00b7 " + m.code : "");
    this.$("title").textContent = title;
    const facts = [];
    if (m.code) facts.push("train " + m.code);
    facts.push("route " + m.routeLength + " m");
    facts.push((m.lastCell + 1) + " cells");
    facts.push((m.byType.get("station") || []).length + " stations");
    facts.push((m.byType.get("signal") || []).length + " signals");
    this.$("facts").textContent = facts.join(" \u00b7 ");
  }

  // Draws at the next frame: `which` is "plan" or "profile" when only that view moved.
  requestDraw(which) {
    this.dirty.plan = this.dirty.plan || which !== "profile";
    this.dirty.profile = this.dirty.profile || which !== "plan";
    if (this.drawPending) return;
    this.drawPending = true;
    requestAnimationFrame(() => this.drawNow(false));
  }

  drawNow(all = true) {
    this.drawPending = false;
    const resized = this.plan.resize() | this.profile.resize();
    if (all || resized || this.dirty.plan) this.plan.draw();
    if (all || resized || this.dirty.profile) this.profile.draw();
    this.dirty.plan = this.dirty.profile = false;
  }

  selectedObject() {
    const s = this.selection;
    return s && s.kind === "object" ? this.model.objects[s.id] : null;
  }

  // Moves the cursor to metre m. Hovering moves it quietly; a search, the address or the keys
  // also bring it into both views.
  setCursor(m, from) {
    if (m === null || m === undefined || !isFinite(m)) return;
    m = clamp(Math.round(m), 0, this.model.endMetre);
    if (m === this.cursor && from !== "search" && from !== "hash") return;
    this.cursor = m;
    this.readout.update(m);
    if (from === "search" || from === "hash" || from === "key") {
      this.profile.keepInView(m);
      this.plan.keepInView(m);
      if (from !== "key") this.plan.centreOn(m, from === "search" || from === "hash");
    } else if (from === "plan") this.profile.keepInView(m);
    this.requestDraw();
    this.saveHash();
  }

  // Selects an object ({kind: "object", id}) or a diagnostic ({kind: "diagnostic", index}),
  // shows its source and brings it into view.
  select(hit, opts) {
    const from = (opts && opts.from) || "";
    this.selection = hit;
    let m = null;
    let end = null;
    if (hit.kind === "object") {
      const o = this.model.objects[hit.id];
      if (!o) return;
      this.source.showObject(o);
      this.diagnosticList.mark(null);
      m = o.position;
      end = o.end !== undefined && o.end !== null ? o.end : m;
    } else {
      const d = this.model.diagnostics[hit.index];
      if (!d) return;
      this.source.showDiagnostic(d, hit.index);
      this.diagnosticList.mark(hit.index);
      m = d.position;
      end = m;
    }
    if (m !== null && m !== undefined) {
      this.cursor = clamp(Math.round(m), 0, this.model.endMetre);
      this.readout.update(this.cursor);
      if (from !== "profile") {
        if (end - m > (this.profile.m1 - this.profile.m0) * 0.8 || m < this.profile.m0 || end > this.profile.m1) this.profile.show(m, Math.max(m, end));
      }
      if (from !== "plan") this.plan.centreOn(m, from === "search" || from === "hash");
    }
    this.requestDraw();
    this.saveHash();
  }

  // The words of a tooltip for an object or a diagnostic mark.
  describe(hit) {
    if (hit.kind === "diagnostic") {
      const d = this.model.diagnostics[hit.index];
      return diagnosticTitle(d) + ": " + d.message;
    }
    const o = this.model.objects[hit.id];
    const d = o.details || {};
    let text = TYPE_LABEL[o.type] || o.type;
    if (o.type === "sign-board") text += ": " + (o.name || "");
    else if (o.name) text += " " + o.name;
    if (o.type === "speed-board") text += " " + boardSpeeds(o) + " km/h";
    if (o.type === "slowdown") text += " " + d.speed + " km/h over " + d.length + " m";
    if (o.type === "curve") text += " radius " + d.radius + " m, " + handText(d.hand);
    if (o.type === "mountain") text += " kind " + d.kind;
    if (o.type === "gradient") text += " " + d.gradient + " \u2030";
    if (o.type === "speed-limit") text += " " + d.speed + " km/h";
    if (o.type === "adhesion") text += " " + d.adhesion + " %";
    if (d.notPlaced) text += " (not placed)";
    if (o.position !== null && o.position !== undefined) text += " at " + o.position + " m";
    if (o.end !== undefined && o.end !== null && o.end !== o.position) text += " to " + o.end + " m";
    return text;
  }

  // The address follows the cursor and the selection, without adding to the history.
  saveHash() {
    if (this.hashTimer) return;
    this.hashTimer = setTimeout(() => {
      this.hashTimer = 0;
      const parts = [];
      if (this.cursor !== null) parts.push("m=" + this.cursor);
      const s = this.selection;
      if (s && s.kind === "object") {
        const o = this.model.objects[s.id];
        const named = o.name && this.model.findNamed(o.name) === o;
        parts.push(named ? "find=" + encodeURIComponent(o.name) : "object=" + o.id);
      } else if (s && s.kind === "diagnostic") parts.push("diagnostic=" + s.index);
      const hash = "#" + parts.join("&");
      // replaceState fires no hashchange: every hashchange is the reader's own navigation,
      // the Back button to an address written here included.
      if (hash !== location.hash) history.replaceState(null, "", hash);
    }, 150);
  }

  readHash() {
    const params = new URLSearchParams(location.hash.replace(/^#/, ""));
    const find = params.get("find");
    const object = params.get("object");
    const diagnostic = params.get("diagnostic");
    let selected = false;
    if (find) {
      const o = this.model.findNamed(find);
      if (o) {
        this.select({ kind: "object", id: o.id }, { from: "hash" });
        selected = true;
      }
    } else if (object !== null && this.model.objects[Number(object)]) {
      this.select({ kind: "object", id: Number(object) }, { from: "hash" });
      selected = true;
    } else if (diagnostic !== null && this.model.diagnostics[Number(diagnostic)]) {
      this.select({ kind: "diagnostic", index: Number(diagnostic) }, { from: "hash" });
      selected = true;
    }
    const m = params.get("m");
    if (m !== null && m !== "" && isFinite(Number(m))) this.setCursor(Number(m), selected ? "key" : "hash");
  }

  // With `watch`, the page asks its watch script every 2 s whether the texts changed.
  watch() {
    const file = this.model.data.watch;
    if (!file) return;
    const bar = this.$("watch-bar");
    this.$("reload").addEventListener("click", () => location.reload());
    let current = null;
    const poll = () => {
      if (current) current.remove();
      current = document.createElement("script");
      current.src = file + "?t=" + Date.now();
      current.onload = () => {
        if (window.routeWatchStamp !== undefined && window.routeWatchStamp !== this.model.data.stamp) bar.hidden = false;
      };
      document.head.append(current);
    };
    setInterval(poll, 2000);
  }
}

function start() {
  const holder = document.getElementById("route-data");
  let data;
  try {
    data = JSON.parse(holder.textContent);
  } catch (e) {
    document.body.replaceChildren(el("p", { class: "broken", text: "The page's data cannot be read: " + e.message }));
    return;
  }
  const app = new App(new RouteModel(data));
  app.drawNow();
  app.readHash();
  // Without an address the cursor starts at the first station (or the route's start), quietly:
  // the address changes only when the author moves it.
  if (app.cursor === null) {
    const first = app.model.stationAt.list[0];
    app.cursor = first ? first.position : 0;
    app.readout.update(app.cursor);
  }
  app.drawNow();
  app.watch();
  document.documentElement.dataset.ready = "true";
  performance.mark("route-ready");
  window.routePage = app;
}

if (document.readyState === "loading") document.addEventListener("DOMContentLoaded", start);
else start();
