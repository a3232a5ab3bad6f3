#!/usr/bin/env node
// measure.mjs -- what the web page costs a phone: bytes and time to the first picture over a slow
// network, and the page's CPU time while the title waits and while the game plays.
import { mkdtempSync, readFileSync, rmSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { fileURLToPath } from "node:url";

import puppeteer from "puppeteer-core";

import { serve } from "../../scripts/web-serve.mjs";

const usage = `usage: node measure.mjs [--seconds N] [--runs N] [--plain]
Serves the web build (build/web, or ZELVO_WEB_DIR) and opens it in headless Chromium (CHROMIUM, default
/usr/bin/chromium) as a first visit over an emulated 10 Mbit/s network with 40 ms of latency: prints
the bytes the server sent and when the first picture of the game showed (the median of --runs, 3 by
default). The server gzips the code on the way, as most hosts do; --plain sends every file as it is.
Then, on the normal network, Chromium's CPU time (all its processes, and the page's main thread
alone) over N seconds (default 10) of the waiting title, and N seconds of play (Start, A through
Heron's greeting, then the player standing in the world, its music playing), and N seconds of that
play with another tab in front.`;

const here = path.dirname(fileURLToPath(import.meta.url));
const pageDir = process.env.ZELVO_WEB_DIR || path.join(here, "../../build/web");
const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

let seconds = 10, runs = 3, compress = true;
const args = process.argv.slice(2);
for (let i = 0; i < args.length; ++i) {
  const number = Number(args[i + 1]);
  if (args[i] === "--help" || args[i] === "-h") { console.log(usage); process.exit(0); }
  else if (args[i] === "--plain") compress = false;
  else if ((args[i] === "--seconds" || args[i] === "--runs") && Number.isInteger(number) && number > 0) {
    if (args[i] === "--seconds") seconds = number; else runs = number;
    ++i;
  } else { console.error(`measure: cannot use '${args[i]}'\n${usage}`); process.exit(2); }
}
try { readFileSync(path.join(pageDir, "zelvo.html")); } catch {
  console.error(`measure: ${pageDir} holds no zelvo.html (scripts/web builds it)`);
  process.exit(1);
}

// Bytes the server sent (headers included), counted on its sockets.
const server = await serve(pageDir, 0, { compress });
const sockets = new Set();
let closedBytes = 0;
server.on("connection", socket => { sockets.add(socket); socket.on("close", () => { closedBytes += socket.bytesWritten; sockets.delete(socket); }); });
const sentBytes = () => closedBytes + [...sockets].reduce((sum, socket) => sum + socket.bytesWritten, 0);
const address = `http://127.0.0.1:${server.address().port}/zelvo.html`;

const profile = mkdtempSync(path.join(tmpdir(), "zelvo-measure-"));
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || "/usr/bin/chromium", headless: true, userDataDir: profile,
  args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
         "--disable-sync", "--no-first-run", "--disable-quic", "--mute-audio"],
});
const phone = { width: 390, height: 844, deviceScaleFactor: 3, isMobile: true, hasTouch: true };

// The page notes when its canvas first shows anything but black.
const watchFirstPicture = () => {
  const look = () => {
    const canvas = document.getElementById("canvas");
    const pixels = canvas && canvas.getContext("2d").getImageData(0, 0, canvas.width, canvas.height).data;
    if (pixels && pixels.some((value, i) => i % 4 !== 3 && value !== 0)) window.firstPicture = performance.now();
    else requestAnimationFrame(look);
  };
  requestAnimationFrame(look);
};

// The page's service worker is installed (a page without one gets 10 s).
const installed = () => Promise.race([navigator.serviceWorker.ready, new Promise(resolve => setTimeout(resolve, 10_000))]);

async function firstVisit() {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport(phone);
  const session = await page.createCDPSession();
  await session.send("Network.enable");
  await session.send("Network.emulateNetworkConditions",
                     { offline: false, latency: 40, downloadThroughput: 10e6 / 8, uploadThroughput: 10e6 / 8 });
  await page.evaluateOnNewDocument(watchFirstPicture);
  const before = sentBytes();
  await page.goto(address);
  await page.waitForFunction(() => window.firstPicture, { timeout: 60_000, polling: 50 });
  const shown = await page.evaluate(() => window.firstPicture);
  // Whatever the page and its service worker still fetch counts for the visit too.
  await page.evaluate(installed);
  await sleep(3000);
  const bytes = sentBytes() - before;
  await context.close();
  return { bytes, shown };
}

const visits = [];
for (let i = 0; i < runs; ++i) visits.push(await firstVisit());
const median = values => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];
console.log(`first visit${compress ? "" : " (nothing compressed on the way)"}: ${(median(visits.map(v => v.bytes)) / 1e6).toFixed(2)} MB sent, first picture after ` +
            `${(median(visits.map(v => v.shown)) / 1000).toFixed(2)} s (median of ${runs}; ` +
            visits.map(v => `${(v.bytes / 1e6).toFixed(2)} MB ${(v.shown / 1000).toFixed(2)} s`).join(", ") + ")");

// The CPU time Chromium spent over a stretch of wall time, as shares of one core: all its processes
// (only this page is open: its renderer, the compositor, audio, the browser), and the page's main
// thread alone (its TaskDuration).
const browserSession = await browser.target().createCDPSession();
async function busy(session) {
  const cpu = async () => (await browserSession.send("SystemInfo.getProcessInfo")).processInfo
    .reduce((sum, process) => sum + process.cpuTime, 0);
  const task = async () => (await session.send("Performance.getMetrics")).metrics
    .find(metric => metric.name === "TaskDuration").value;
  const [cpu0, task0] = [await cpu(), await task()];
  await sleep(seconds * 1000);
  const [cpu1, task1] = [await cpu(), await task()];
  return { all: (cpu1 - cpu0) / seconds, main: (task1 - task0) / seconds };
}
const share = value => `${(value * 100).toFixed(1)}%`;

const context = await browser.createBrowserContext();
const page = await context.newPage();
await page.setViewport(phone);
const session = await page.createCDPSession();
await session.send("Performance.enable");
await page.evaluateOnNewDocument(watchFirstPicture);
await page.goto(address);
await page.waitForFunction(() => window.firstPicture, { timeout: 60_000, polling: 100 });
await page.evaluate(installed);
await sleep(5000);
const title = await busy(session);
// Start on the title (the stylus), then A through Heron's three texts.
const box = await (await page.$("#canvas")).boundingBox();
await page.touchscreen.tap(box.x + 110.5 * box.width / 240, box.y + 105.5 * box.width / 240);
for (let i = 0; i < 4; ++i) {
  await sleep(1700);
  await page.keyboard.down(" ");
  await sleep(100);
  await page.keyboard.up(" ");
}
await sleep(1000);
const play = await busy(session);
// Another tab in front: the game's page is hidden.
const front = await context.newPage();
await front.bringToFront();
await sleep(2000);
const hidden = await busy(session);
await context.close();
console.log(`Chromium's CPU time over ${seconds} s, in shares of one core: title ${share(title.all)} ` +
            `(the page's main thread ${share(title.main)}), play ${share(play.all)} (main thread ${share(play.main)}), ` +
            `play with the page hidden ${share(hidden.all)} (main thread ${share(hidden.main)})`);

await browser.close();
server.close();
rmSync(profile, { recursive: true, force: true });
