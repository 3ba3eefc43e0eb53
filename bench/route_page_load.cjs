// Loads each page five times in headless chromium, each in a fresh tab, and prints its size and
// the median time from navigation to its "route-ready" mark (performance.mark in route.js).
"use strict";
const fs = require("node:fs");
const os = require("node:os");
const path = require("node:path");
const { pathToFileURL } = require("node:url");
const { chromium } = require("playwright-core");

const LOADS = 5;

(async () => {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), "route-page-bench-"));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM || "/usr/bin/chromium",
    headless: true,
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
    viewport: { width: 1400, height: 900 },
  });
  try {
    for (const file of process.argv.slice(2)) {
      const times = [];
      for (let i = 0; i < LOADS; i++) {
        const page = await context.newPage();
        await page.goto(pathToFileURL(path.resolve(file)).href);
        await page.waitForSelector('html[data-ready="true"]', { timeout: 60000 });
        times.push(await page.evaluate(() => performance.getEntriesByName("route-ready")[0].startTime));
        await page.close();
      }
      times.sort((a, b) => a - b);
      const bytes = fs.statSync(file).size;
      console.log(`${file}: ${(bytes / 1e6).toFixed(2)} MB, ready after ${Math.round(times[LOADS >> 1])} ms ` +
        `(median of ${LOADS}; ${times.map(Math.round).join(", ")} ms)`);
    }
  } finally {
    await context.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
