// browser.test.mjs -- zelvo.html played in headless Chromium: pictures read back from the canvas, taps, keys, kept settings.
import assert from "node:assert/strict";
import { spawnSync } from "node:child_process";
import { copyFileSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from "node:fs";
import { tmpdir } from "node:os";
import path from "node:path";
import { after, before, test } from "node:test";
import { fileURLToPath } from "node:url";

import puppeteer from "puppeteer-core";

import { serve } from "../../scripts/web-serve.mjs";

const here = path.dirname(fileURLToPath(import.meta.url));
const pageDir = process.env.ZELVO_WEB_DIR || path.join(here, "../../build/web");
const goldenDir = path.join(here, "../golden/default-world");
// The native zelvo-sim and the world the web build packed, to replay what the page recorded.
const simPath = process.env.ZELVO_SIM || path.join(here, "../../build/release/zelvo-sim");
const worldDir = process.env.ZELVO_WEB_WORLD || path.join(here, "../../build/web-build/world");
const browserPath = process.env.CHROMIUM || "/usr/bin/chromium";
const kViewTop = 40;  // the game's 240x240 view starts 40 rows down the 240x320 screen

// Buttons, in the view's coordinates (the game's own): the middle of each.
const kTitleStart = [110, 65];
const kTitleKeys = [112, 95];
const kTitleVolume = [112, 125];
const kTitleQuit = [110, 185];
const kVolumeUp = [165, 105];
const kVolumeBack = [120, 145];

let server, browser, profile, address;

before(async () => {
  server = await serve(pageDir, 0);
  address = `http://127.0.0.1:${server.address().port}/zelvo.html`;
  profile = mkdtempSync(path.join(tmpdir(), "zelvo-chromium-"));
  // The machine may have no network and no GPU: nothing is fetched, and the canvas is drawn in software.
  browser = await puppeteer.launch({
    executablePath: browserPath,
    headless: true,
    userDataDir: profile,
    args: ["--no-sandbox", "--disable-gpu", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--no-first-run", "--disable-quic", "--mute-audio"],
  });
});

after(async () => {
  await browser?.close();
  server?.close();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

// A page in a context of its own: its own browser storage, so each test starts from nothing kept.
async function openGame(context) {
  const page = await context.newPage();
  await page.setViewport({ width: 720, height: 1000, hasTouch: true });
  page.problems = [];
  page.on("pageerror", error => page.problems.push(String(error)));
  page.on("dialog", dialog => { page.problems.push("message box: " + dialog.message()); dialog.dismiss(); });
  await page.goto(address);
  return page;
}

// RGBA bytes read back from the game's canvas, or from a PNG the browser decodes itself.
async function readPicture(page, png = null) {
  const data = await page.evaluate(async png => {
    let context = document.getElementById("canvas").getContext("2d");
    if (png) {
      const image = new Image();
      image.src = "data:image/png;base64," + png;
      await image.decode();
      context = new OffscreenCanvas(image.width, image.height).getContext("2d");
      context.drawImage(image, 0, 0);
    }
    const { width, height } = context.canvas;
    const pixels = context.getImageData(0, 0, width, height).data;
    let text = "";
    for (let i = 0; i < pixels.length; i += 0x8000) text += String.fromCharCode(...pixels.subarray(i, i + 0x8000));
    return { width, height, bytes: btoa(text) };
  }, png);
  return { width: data.width, height: data.height, bytes: Buffer.from(data.bytes, "base64") };
}

const goldens = new Map();
async function golden(page, name) {
  if (!goldens.has(name))
    goldens.set(name, await readPicture(page, readFileSync(path.join(goldenDir, `${name}.png`)).toString("base64")));
  return goldens.get(name);
}

// The game's 5-6-5 pixel behind an RGBA colour: SDL widens the channels its own way, goldens by
// repeating the top bits, and both keep the game's bits on top.
function pixel565(bytes, i) {
  return ((bytes[i] >> 3) << 11) | ((bytes[i + 1] >> 2) << 5) | (bytes[i + 2] >> 3);
}

// How many of the game's pixels differ between two pictures, within a screen rectangle if given.
function difference(shot, expected, [left, top, right, bottom] = [0, 0, shot.width, shot.height]) {
  if (shot.width !== expected.width || shot.height !== expected.height) return Infinity;
  let pixels = 0;
  for (let y = top; y < bottom; ++y)
    for (let x = left, i = 4 * (y * shot.width + left); x < right; ++x, i += 4)
      if (pixel565(shot.bytes, i) !== pixel565(expected.bytes, i)) ++pixels;
  return pixels;
}

// Read the canvas until accept takes it; the last picture read, or a failure naming what was awaited.
async function waitForCanvas(page, accept, what, seconds = 20) {
  const end = Date.now() + seconds * 1000;
  let shot;
  do {
    shot = await readPicture(page);
    if (await accept(shot)) return shot;
    await new Promise(resolve => setTimeout(resolve, 100));
  } while (Date.now() < end);
  const kept = path.join(tmpdir(), `zelvo-web-${what.replace(/\W+/g, "-")}.png`);
  writeFileSync(kept, Buffer.from(await page.screenshot()));
  assert.fail(`${what} is not shown within ${seconds} s (the page is kept at ${kept}; ${page.problems.join("; ")})`);
}

// The golden picture, whole or in a screen rectangle [left, top, right, bottom].
async function expectScreen(page, name, area = undefined) {
  const expected = await golden(page, name);
  return waitForCanvas(page, shot => difference(shot, expected, area) === 0, `the golden picture ${name}`);
}

async function expectChange(page, from, what) {
  return waitForCanvas(page, shot => difference(shot, from) > 0, what);
}

// A click (or a touch) on a view point, where the page shows it at its scale.
async function tap(page, [x, y], { touch = false } = {}) {
  const box = await (await page.$("#canvas")).boundingBox();
  const scale = box.width / 240;
  const where = [box.x + (x + 0.5) * scale, box.y + (y + kViewTop + 0.5) * scale];
  await (touch ? page.touchscreen.tap(...where) : page.mouse.click(...where));
}

// A key held long enough for a frame to see it.
async function press(page, key) {
  await page.keyboard.down(key);
  await new Promise(resolve => setTimeout(resolve, 250));
  await page.keyboard.up(key);
}

test("the front end shows its pictures, takes clicks, touches and keys, and Quit keeps the volume for the next visit",
     { timeout: 180_000 }, async () => {
  const context = await browser.createBrowserContext();
  let page = await openGame(context);
  await expectScreen(page, "title");
  const box = await (await page.$("#canvas")).boundingBox();
  assert.equal(box.width, 3 * 240, "the page does not show the screen at the largest whole scale that fits");

  await tap(page, kTitleVolume);
  await expectScreen(page, "volume");
  assert.equal(await page.evaluate(() => Module.SDL2.audioContext.state), "running",
               "the music does not play after the first click");
  await tap(page, kVolumeUp, { touch: true });
  await expectScreen(page, "volume-up");
  await tap(page, kVolumeBack);
  await expectScreen(page, "title");

  // Four keys define Left, Right, Up and Action; the fourth takes the game back to the title.
  await tap(page, kTitleKeys);
  let shot = await expectScreen(page, "keys");
  for (const key of ["x", "c", "Enter"]) {
    await press(page, key);
    shot = await expectChange(page, shot, `the prompt after ${key}`);
  }
  await press(page, "ArrowDown");
  await expectScreen(page, "title");

  await tap(page, kTitleQuit);
  await page.waitForSelector("body[data-state=ended]", { timeout: 20_000 });
  const log = await page.evaluate(() => new TextDecoder().decode(Module.FS.readFile("/zelvo/log.txt")));
  assert.match(log, /Saved settings\./);

  // A new visit: the volume set before Quit is shown.
  await page.close();
  page = await openGame(context);
  await expectScreen(page, "title");
  await tap(page, kTitleVolume);
  await expectScreen(page, "volume-up");
  assert.deepEqual(page.problems, []);
  await context.close();
});

test("Start begins play as on the headless device, a key reaches the game, and the session replays natively", { timeout: 120_000 }, async () => {
  const context = await browser.createBrowserContext();
  const page = await openGame(context);
  await expectScreen(page, "title");
  await tap(page, kTitleStart);
  // Heron's first text shows as it does on the headless device, and a key goes on to the next. Only
  // the box is compared: the world's animations behind it run on the page's real clock.
  const landed = await expectScreen(page, "play-start", [25, 80, 215, 196]);
  // The box ignores keys for its first second, so the key is pressed until the text goes on.
  const next = await waitForCanvas(page, async shot => difference(shot, landed) > 0 || (await press(page, "ArrowRight"), false),
                                   "the next text after a key");
  assert.deepEqual(page.problems, []);
  // The page records its session as zelvo does, and the native zelvo-sim plays it again without desync.
  const session = await page.evaluate(() => {
    const folder = "/zelvo-kept/recordings";
    const name = Module.FS.readdir(folder).filter(file => file.endsWith(".zrec")).sort().pop();
    return Array.from(Module.FS.readFile(folder + "/" + name));
  });
  // Left in the middle of the game once the page has kept its session (every ten seconds), the
  // page goes on from there at the next visit.
  await new Promise(resolve => setTimeout(resolve, 11_000));
  await page.reload();
  await waitForCanvas(page, shot => difference(shot, next, [25, 80, 215, 196]) === 0, "the text the game was left at");
  const log = await page.evaluate(() => new TextDecoder().decode(Module.FS.readFile("/zelvo/log.txt")));
  assert.match(log, /\nResumed the last session after \d+ frames/);
  await context.close();
  const work = mkdtempSync(path.join(tmpdir(), "zelvo-replay-"));
  try {
    writeFileSync(path.join(work, "browser.zrec"), Buffer.from(session));
    for (const file of ["map", "images", "fonts", "sprites", "art", "dialogs", "events"])
      copyFileSync(path.join(worldDir, file + ".dat"), path.join(work, file + ".dat"));
    const replay = spawnSync(simPath, ["--app-dir", work, "--replay", path.join(work, "browser.zrec")], { encoding: "utf8" });
    assert.equal(replay.status, 0, replay.stdout + replay.stderr);
    assert.match(replay.stdout, /^replay: [1-9]\d* frames, [0-9.]+ s of play, no desync$/m);
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
});
