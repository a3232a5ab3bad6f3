#!/usr/bin/env node
// phone-picture.mjs -- the README's picture of the page on a phone held upright: the game started by
// a tap, Heron's greeting gone on with the A control, the player outside the hut.
import path from "node:path";
import { fileURLToPath } from "node:url";

import puppeteer from "puppeteer-core";

import { serve } from "../../scripts/web-serve.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const output = process.argv[2];
if (!output || output.startsWith("-") || process.argv.length > 3) {
  console.log(`usage: node phone-picture.mjs OUT.png
Opens the web build (build/web, or ZELVO_WEB_DIR) in headless Chromium (CHROMIUM) as a 390x844 phone
and saves the page, in play, to OUT.png (docs/pictures/phone.png in the README).`);
  process.exit(output === "--help" || output === "-h" ? 0 : 2);
}
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));
const server = await serve(process.env.ZELVO_WEB_DIR || path.join(here, "../../build/web"), 0);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true,
  args: ["--no-sandbox", "--disable-gpu", "--no-first-run", "--mute-audio"],
});
try {
  const page = await browser.newPage();
  await page.setViewport({ width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true });
  await page.goto(`http://127.0.0.1:${server.address().port}/zelvo.html`);
  await page.waitForFunction(() => document.getElementById("status").textContent === "", { timeout: 60_000 });
  await sleep(2000);
  const screen = await (await page.$("#canvas")).boundingBox();
  await page.touchscreen.tap(screen.x + 110.5 * screen.width / 240, screen.y + 105.5 * screen.width / 240);
  const a = await (await page.$(".controls [aria-label=A]")).boundingBox();
  await sleep(1500);
  for (let i = 0; i < 3; ++i) {
    await sleep(2200);
    await page.touchscreen.tap(a.x + a.width / 2, a.y + a.height / 2);
  }
  await sleep(1500);
  await page.screenshot({ path: output });
} finally {
  await browser.close();
  server.close();
}
