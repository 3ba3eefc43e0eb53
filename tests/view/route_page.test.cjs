// The route page in a real browser: Debian's chromium driven by playwright-core. run.sh prepare
// makes the pages under $VIEW_WORK/pages: builtin, mistake and dense by `scenario-tool view` from
// the texts under $VIEW_WORK/texts, fixture from the builtin page's data with what the tool does
// not give yet (the fastest run) and a watch script. Screenshots go to $VIEW_WORK/screenshots.
"use strict";

const { test, before, after } = require("node:test");
const assert = require("node:assert/strict");
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { pathToFileURL } = require("node:url");

const work = process.env.VIEW_WORK;
const { chromium } = require(path.join(work, "node_modules", "playwright-core"));

const TITLE = "MORENA LAGO - PIAN DI VALSO";
let context;
let profileDir;

before(async () => {
  profileDir = fs.mkdtempSync(path.join(os.tmpdir(), "route-page-chromium-"));
  context = await chromium.launchPersistentContext(profileDir, {
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: [
      "--no-sandbox",
      "--disable-gpu",
      "--disable-quic",
      "--no-first-run",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
    ],
    viewport: { width: 1400, height: 900 },
  });
});

after(async () => {
  if (context) await context.close();
  fs.rmSync(profileDir, { recursive: true, force: true });
});

// Opens a page and listens for what must not happen: a console error, an uncaught exception,
// a request for anything but the page itself.
async function open(name, hash = "") {
  const file = path.join(work, "pages", name + ".html");
  const url = pathToFileURL(file).href;
  const page = await context.newPage();
  const problems = [];
  const requests = [];
  page.on("console", (m) => {
    if (m.type() === "error" || m.type() === "warning") problems.push(m.type() + ": " + m.text());
  });
  page.on("pageerror", (e) => problems.push("exception: " + e.message));
  page.on("request", (r) => {
    const u = r.url();
    if (u !== url && u !== url + hash && !u.startsWith("data:")) requests.push(u);
  });
  await page.goto(url + hash);
  await page.waitForSelector('html[data-ready="true"]', { timeout: 20000 });
  return { page, problems, requests };
}

async function shot(page, name) {
  const dir = path.join(work, "screenshots");
  fs.mkdirSync(dir, { recursive: true });
  await page.screenshot({ path: path.join(dir, name + ".png") });
}

// The pixel of metre m in band `band` of the profile, from what the canvas says of its view.
async function profilePoint(page, m, band) {
  return page.$eval(
    '[data-role="profile"]',
    (c, [m, band]) => {
      const r = c.getBoundingClientRect();
      const m0 = Number(c.dataset.m0), m1 = Number(c.dataset.m1);
      const x = r.left + Number(c.dataset.gutter) + ((m - m0) / (m1 - m0)) * Number(c.dataset.plotWidth);
      const [, top, h] = c.dataset.bands.split(" ").map((b) => b.split(":")).find((b) => b[0] === band);
      return { x, y: r.top + Number(top) + Number(h) / 2 };
    },
    [m, band]
  );
}

// Rests the pointer on the read-out, which follows nothing it does.
async function awayFromDrawings(page) {
  const box = await page.locator('[data-role="readout"]').boundingBox();
  await page.mouse.move(box.x + 2, box.y + 2);
}

// The data of a page, as the tool wrote it into the page.
function pageData(name) {
  const html = fs.readFileSync(path.join(work, "pages", name + ".html"), "utf8");
  const found = /<script type="application\/json" id="route-data">([\s\S]*?)<\/script>/.exec(html);
  assert.ok(found, name + " holds no data");
  return JSON.parse(found[1]);
}

async function text(page, selector) {
  return (await page.locator(selector).first().textContent()).trim();
}

// The line number of the first line of a fixture text that matches.
function lineOf(textFile, pattern) {
  const lines = fs.readFileSync(path.join(work, "texts", textFile), "latin1").split("\n");
  const i = lines.findIndex((l) => pattern.test(l));
  assert.ok(i >= 0, "no line of " + textFile + " matches " + pattern);
  return i + 1;
}

const TRAIN = "builtin/" + TITLE + "_R10537-.txt";

test("loads without an error or a request", async () => {
  for (const name of ["builtin", "mistake", "dense", "fixture", "compiled"]) {
    const { page, problems, requests } = await open(name);
    // Let a page that would load something in its own time do so.
    await page.waitForTimeout(name === "fixture" ? 2500 : 300);
    assert.deepEqual(problems, [], name + ": console");
    // The fixture is written as a watched page: its watch script, and nothing else.
    const others = requests.filter((u) => !(name === "fixture" && /\/fixture\.html\.watch\.js\?t=\d+$/.test(u)));
    assert.deepEqual(others, [], name + ": requests");
    // The views fill the window: the profile ends at its foot.
    const profile = await page.locator('[data-role="profile"]').boundingBox();
    assert.ok(profile.y + profile.height > 900 - 30, name + ": the profile ends at " + (profile.y + profile.height));
    await shot(page, "open-" + name);
    await page.close();
  }
});

test("a station clicked on the profile shows its record", async () => {
  const { page, problems } = await open("builtin");
  const at = await profilePoint(page, 7500, "objects");
  await page.mouse.click(at.x, at.y);
  const source = '[data-role="source"]';
  assert.match(await text(page, source + ' [data-key="heading"]'), /CASTELLETTO LAGO/);
  assert.equal(await text(page, source + ' [data-key="file"]'), TRAIN);
  assert.equal(await text(page, source + ' [data-key="line"]'), String(lineOf(TRAIN, /^stazione,\s+7500,/)));
  assert.match(await text(page, source + ' mark[data-key="record"]'), /^stazione,\s+7500, 11,.*CASTELLETTO LAGO$/);
  // Its stop cell and the four approach marks before it; its table entry and the cells.
  const cells = (await text(page, source + ' [data-key="cells"]')).match(/^(\d+) to (\d+)$/);
  assert.ok(cells && Number(cells[2]) - Number(cells[1]) === 4, "cells " + (cells && cells[0]));
  const stored = await text(page, source + ' [data-key="stored"]');
  assert.match(stored, /^entry \d+kind 11,/);
  assert.match(stored, new RegExp("cell " + cells[2] + "kind 10, ref \\d+"));
  await shot(page, "station-source");
  assert.deepEqual(problems, []);
  await page.close();
});

test("the read-out tells what applies at the cursor", async () => {
  const { page, problems } = await open("builtin");
  // 60 km/h from 36500 to 39500, a gradient of 24 from 37200 to 38300 (the built-in texts).
  const at = await profilePoint(page, 37700, "height");
  await page.mouse.move(at.x, at.y);
  const r = '[data-role="readout"] ';
  const position = Number((await text(page, r + '[data-key="position"]')).match(/^(\d+) m/)[1]);
  assert.ok(Math.abs(position - 37700) < 300, "cursor at " + position);
  assert.equal(await text(page, r + '[data-key="speed"]'), "60 km/h");
  assert.equal(await text(page, r + '[data-key="gradient"]'), "24 \u2030");
  assert.match(await text(page, r + '[data-key="station"]'), /^FONTANELLE at 40300 m/);
  assert.equal(await text(page, r + '[data-key="kilometre"]'), "km " + Math.floor((98000 - position) / 1000) + "+" + String((98000 - position) % 1000).padStart(3, "0"));
  // Within the slowdown the limit is the slowdown's. The pointer leaves the profile first: a
  // drawing that moves under a resting pointer gets a move from the browser, and the cursor
  // would follow it away from the address.
  await awayFromDrawings(page);
  await page.goto(page.url().replace(/#.*$/, "") + "#m=71300");
  await page.waitForFunction(() => document.querySelector('[data-key="position"]').textContent.startsWith("71300"));
  assert.match(await text(page, r + '[data-key="speed"]'), /^40 km\/h \(slowdown/);
  // Either side of the slowdown and of three changes of the limit, what the cells hold: the
  // limit of the cell, and the slowdown's from its start board's cell to its end board's.
  const data = pageData("builtin");
  const values = data.valueNames["speed-limit"];
  const boards = Object.entries(data.objects.find((o) => o.type === "slowdown").stored);
  const boardCell = (kind) => Number(boards.find(([, f]) => f.kind === kind)[0].replace("cell ", ""));
  const [from, to] = [boardCell(3) * 50, boardCell(2) * 50 + 50];
  assert.deepEqual([from, to], [71250, 71600]);
  const limits = data.objects.filter((o) => o.type === "speed-limit").slice(1, 4);
  const metres = [from - 1, from, to - 1, to];
  for (const o of limits) metres.push(o.position - 1, o.position);
  for (const m of metres) {
    await page.evaluate((m) => (location.hash = "#m=" + m), m);
    await page.waitForFunction((m) => document.querySelector('[data-key="position"]').textContent.startsWith(m + " m"), m);
    const cell = Math.floor(m / 50);
    const line = data.profile.speed[cell];
    const speed = from <= m && m < to ? Math.min(40, line) + " km/h (slowdown; line " + line + " km/h)" : line + " km/h";
    assert.equal(await text(page, r + '[data-key="speed"]'), speed, "at " + m);
    assert.equal(await text(page, r + '[data-key="gradient"]'), data.profile.gradient[cell] + " \u2030", "at " + m);
  }
  assert.deepEqual(values, ["position", "speed"]);
  await shot(page, "readout");
  assert.deepEqual(problems, []);
  await page.close();
});

test("a mistake shows in the list and on the profile, and leads to its source", async () => {
  const { page, problems } = await open("mistake");
  assert.equal(await text(page, '[data-role="counts"] [data-key="errors"]'), "1 error");
  assert.equal(await text(page, '[data-role="counts"] [data-key="warnings"]'), "1 warning");
  const items = page.locator('[data-role="diagnostics"] li');
  assert.equal(await items.count(), 2);
  assert.match(await items.nth(1).textContent(), /error 16.*train:\d+:13.*already taken/);

  // The error's mark: the error colour at 8300 m in the marks band of the profile.
  const mark = await profilePoint(page, 8300, "marks");
  const colour = await page.$eval(
    '[data-role="profile"]',
    (c, [x, y]) => {
      const r = c.getBoundingClientRect();
      const dpr = c.width / r.width;
      const px = c.getContext("2d").getImageData(Math.round((x - r.left) * dpr), Math.round((y - r.top) * dpr), 1, 1).data;
      return [px[0], px[1], px[2]];
    },
    [mark.x, mark.y]
  );
  assert.ok(colour[0] > 150 && colour[1] < 90 && colour[2] < 90, "mark colour " + colour);

  await page.mouse.click(mark.x, mark.y);
  await page.waitForSelector('[data-role="diagnostics"] li.selected');
  assert.equal(await page.locator('[data-role="diagnostics"] li.selected').getAttribute("data-index"), "1");
  const source = '[data-role="source"]';
  const bad = "mistake/" + TITLE + "_R10537-.txt";
  assert.equal(await text(page, source + ' [data-key="file"]'), bad);
  assert.equal(await text(page, source + ' [data-key="line"]'), String(lineOf(bad, /^segnale,\s+8300,/)));
  assert.equal(await text(page, source + ' [data-key="column"]'), "13");
  assert.match(await text(page, source + ' mark[data-key="record"]'), /^8300/);
  // The other party of the taken cell, and the signal itself, kept on the page though not placed.
  assert.match(await text(page, source), /the cell was taken here, by the sign board/);
  await page.locator(source + " button", { hasText: "it is about" }).click();
  assert.match(await text(page, source + ' [data-key="heading"]'), /^signal/);
  assert.match(await text(page, source + ' [data-key="not-placed"]'), /^Not placed: a fault stops/);
  await page.locator('[data-role="diagnostics"] li').nth(1).locator("button").click();

  // From the list: the warning of the misspelt keyword, on the line text.
  await items.nth(0).locator("button").click();
  assert.equal(await text(page, source + ' [data-key="file"]'), "mistake/" + TITLE + "_linea.txt");
  // The field it is about is marked, on its line of the text.
  assert.equal(await text(page, source + ' mark[data-key="record"]'), "pendneza");
  assert.match(await text(page, source + " .line.here"), /^\s*\d+ pendneza,\s+8450/);
  await shot(page, "diagnostics");
  assert.deepEqual(problems, []);
  await page.close();
});

test("the search finds a station, a kilometre and a position", async () => {
  const { page, problems } = await open("builtin");
  const box = page.locator('[data-role="search"]');
  await box.fill("riva");
  await box.press("Enter");
  assert.match(await text(page, '[data-role="source"] [data-key="heading"]'), /RIVA BELLA/);
  assert.match(await text(page, '[data-role="source"] mark[data-key="record"]'), /^stazione,\s+4900,.*RIVA BELLA$/);
  assert.match(await text(page, '[data-role="readout"] [data-key="position"]'), /^4900 m/);
  // The line's kilometres fall from 98+000 at the start: km 37+500 is at 60500 m.
  for (const [query, metres] of [["37+500", 60500], ["37.5", 60500], ["m=37500", 37500]]) {
    await box.fill(query);
    await box.press("Enter");
    assert.match(await text(page, '[data-role="readout"] [data-key="position"]'), new RegExp("^" + metres + " m"), query);
  }
  await shot(page, "search");
  assert.deepEqual(problems, []);
  await page.close();
});

test("the address opens where it says and follows the cursor", async () => {
  let { page, problems } = await open("builtin", "#m=37500");
  assert.match(await text(page, '[data-role="readout"] [data-key="position"]'), /^37500 m/);
  assert.equal(await text(page, '[data-role="readout"] [data-key="gradient"]'), "24 \u2030");
  const view = await page.$eval('[data-role="profile"]', (c) => [Number(c.dataset.m0), Number(c.dataset.m1)]);
  assert.ok(view[0] <= 37500 && 37500 <= view[1], "profile shows " + view);
  await shot(page, "address-m");
  assert.deepEqual(problems, []);
  await page.close();

  ({ page, problems } = await open("builtin", "#find=RIVA%20BELLA"));
  assert.match(await text(page, '[data-role="source"] [data-key="heading"]'), /RIVA BELLA/);
  assert.equal(await text(page, '[data-role="source"] [data-key="line"]'), String(lineOf(TRAIN, /^stazione,\s+4900,/)));
  await shot(page, "address-find");
  // Moving the cursor rewrites the address, selection kept.
  const at = await profilePoint(page, 20000, "height");
  await page.mouse.move(at.x, at.y);
  await page.waitForFunction(() => /^#m=(\d+)&find=RIVA%20BELLA$/.test(location.hash) && !location.hash.startsWith("#m=4900&"));
  // An address typed over it, then Back: the page goes back to the address it wrote.
  const written = Number(/^#m=(\d+)/.exec(await page.evaluate(() => location.hash))[1]);
  await awayFromDrawings(page);
  await page.evaluate(() => (location.hash = "#m=60000"));
  await page.waitForFunction(() => document.querySelector('[data-key="position"]').textContent.startsWith("60000 m"));
  await page.evaluate(() => history.back());
  await page.waitForFunction((m) => document.querySelector('[data-key="position"]').textContent.startsWith(m + " m"), written);
  assert.deepEqual(problems, []);
  await page.close();
});

test("the dense line opens and pans by levels of detail", async () => {
  const { page, problems, requests } = await open("dense");
  const ready = await page.evaluate(() => performance.getEntriesByName("route-ready")[0].startTime);
  console.log("dense line ready " + Math.round(ready) + " ms after navigation");
  const plan = page.locator('[data-role="plan"]');
  const box = await plan.boundingBox();
  const state = () => plan.evaluate((c) => ({ level: Number(c.dataset.level), cx: Number(c.dataset.cx), scale: Number(c.dataset.scale) }));
  const whole = await state();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  for (let i = 0; i < 12; i++) await page.mouse.wheel(0, -400);
  await page.waitForTimeout(100);
  const close = await state();
  assert.ok(close.scale > whole.scale * 100, "zoomed from " + whole.scale + " to " + close.scale);
  assert.ok(close.level < whole.level, "level " + whole.level + " then " + close.level);
  await page.mouse.down();
  await page.mouse.move(box.x + box.width / 2 - 300, box.y + box.height / 2, { steps: 10 });
  await page.mouse.up();
  await page.waitForTimeout(100);
  const panned = await state();
  assert.ok(Math.abs(panned.cx - close.cx - 300 / close.scale) < 1, "panned " + (panned.cx - close.cx) + " m");
  await shot(page, "dense-close");
  assert.deepEqual(problems, []);
  assert.deepEqual(requests, []);
  await page.close();
});

test("the printed form keeps the plan and the profile", async () => {
  const { page, problems } = await open("mistake", "#diagnostic=1");
  await page.emulateMedia({ media: "print" });
  await page.waitForFunction(() => window.routePage.printing);
  assert.equal(await page.locator(".panels").isVisible(), false);
  assert.equal(await page.locator('[data-role="search"]').isVisible(), false);
  for (const role of ["plan", "profile"]) {
    const box = await page.locator('[data-role="' + role + '"]').boundingBox();
    assert.ok(box && box.width > 500 && box.height > 200, role + " on paper: " + JSON.stringify(box));
  }
  await shot(page, "print");
  fs.writeFileSync(path.join(work, "screenshots", "print.pdf"), await page.pdf({ landscape: true, format: "A4" }));
  assert.deepEqual(problems, []);
  await page.close();
});

test("a watched page offers to reload when its texts change", async () => {
  const script = path.join(work, "pages", "fixture.html.watch.js");
  fs.writeFileSync(script, 'window.routeWatchStamp = "fixture#builtin";\n');
  const { page, problems, requests } = await open("fixture");
  const bar = page.locator('[data-role="watch-bar"]');
  await page.waitForTimeout(2500);
  assert.equal(await bar.isVisible(), false, "the bar with the page's own stamp");
  fs.writeFileSync(script, 'window.routeWatchStamp = "fixture#builtin#2";\n');
  await bar.waitFor({ state: "visible", timeout: 6000 });
  assert.match(await bar.textContent(), /The texts changed/);
  assert.ok(requests.length >= 1 && requests.every((u) => /\/fixture\.html\.watch\.js\?/.test(u)), requests.join(" "));
  await shot(page, "watch");
  assert.deepEqual(problems, []);
  await page.close();
});

test("every kind of object leads to its record", async () => {
  const data = pageData("builtin");
  const { page, problems } = await open("builtin");
  // A right-hand curve of class 4 from 2850 m over 200 m, in the line text.
  const at = await profilePoint(page, 2950, "curves");
  await page.mouse.click(at.x, at.y);
  const source = '[data-role="source"]';
  assert.match(await text(page, source + ' [data-key="heading"]'), /curve/i);
  assert.match(await text(page, source + ' mark[data-key="record"]'), /^curvad4,\s+2850,\s+200$/);
  assert.match(await text(page, source + ' [data-key="file"]'), /_linea\.txt$/);
  assert.match(await text(page, source + ' [data-key="details"]'), /handd\s*class4\s*radius1000/);
  // A code point the signalling pass placed has no record, and says so.
  const placed = data.objects.findIndex((o) => o.type === "code-point" && o.source === null);
  assert.ok(placed >= 0);
  await page.goto(page.url().replace(/#.*$/, "") + "#object=" + placed);
  await page.waitForSelector(source + ' [data-key="no-source"]');
  assert.match(await text(page, source + ' [data-key="no-source"]'), /signalling pass/);
  // Every record of the two texts is an object, each kind with its record's line.
  const types = new Set(data.objects.filter((o) => o.source).map((o) => o.type));
  for (const type of ["station", "signal", "slowdown", "speed-board", "sign-board", "mountain", "curve", "gradient", "speed-limit", "adhesion", "kilometric-range", "route-length"]) {
    assert.ok(types.has(type), type);
  }
  await shot(page, "objects");
  assert.deepEqual(problems, []);
  await page.close();
});

test("the run is drawn and its timetable listed", async () => {
  const data = pageData("builtin");
  const { page, problems } = await open("builtin");
  // The timetable: a row for each station, the fastest run against the scheduled time.
  const rows = page.locator('[data-role="run-table"] tbody tr');
  assert.equal(await rows.count(), data.objects.filter((o) => o.type === "station").length);
  assert.match(await rows.nth(2).textContent(), /CASTELLETTO LAGO\s*06:48:00\s*11:00\s*\d+:\d\d/);
  await shot(page, "run");
  assert.deepEqual(problems, []);
  await page.close();
});
