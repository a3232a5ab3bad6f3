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

// Phones as the tests hold them: upright and sideways.
const kPortrait = { width: 390, height: 844, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
const kLandscape = { width: 844, height: 390, deviceScaleFactor: 2, isMobile: true, hasTouch: true };
const kControls = ["Left", "Right", "Up", "Down", "A", "B", "C", "Start"];

// A page in a context of its own: its own browser storage, so each test starts from nothing kept.
async function openGame(context, viewport = { width: 720, height: 1000, hasTouch: true }) {
  const page = await context.newPage();
  await page.setViewport(viewport);
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
  // A key puts away the touch controls that a touch screen starts with, as on a desktop.
  await page.keyboard.press("Shift");
  const box = await (await page.$("#canvas")).boundingBox();
  assert.equal(box.width, 3 * 240, "the page does not show the screen at the largest whole scale that fits");

  await tap(page, kTitleVolume);
  await expectScreen(page, "volume");
  assert.equal(await page.evaluate(() => Module.SDL2.audioContext.state), "running",
               "the music does not play after the first click");
  // The title's tune, which the page carries as Ogg Vorbis, is heard: SDL's audio puts out samples.
  const loudest = await page.evaluate(async () => {
    const node = Module.SDL2.audio.scriptProcessorNode, play = node.onaudioprocess;
    let loudest = 0;
    node.onaudioprocess = event => {
      play(event);
      for (const sample of event.outputBuffer.getChannelData(0)) loudest = Math.max(loudest, Math.abs(sample));
    };
    await new Promise(resolve => setTimeout(resolve, 1000));
    node.onaudioprocess = play;
    return loudest;
  });
  assert.ok(loudest > 0.01, "the title's tune is not heard");
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

  // Escape pauses, as in the window: the title dimmed under "Paused" until a click, which ends the
  // pause and touches nothing (not even Quit under it).
  await press(page, "Escape");
  await expectChange(page, await golden(page, "title"), "the paused title");
  await tap(page, kTitleQuit);
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

// Fingers on the touch screen, several at once: each change is one touch event with every finger
// still down, as a phone sends them.
class Fingers {
  constructor(page) { this.page = page; this.points = new Map(); }
  async send(type) {
    this.session ??= await this.page.createCDPSession();
    const touchPoints = [...this.points].map(([id, [x, y]]) => ({ id, x, y }));
    await this.session.send("Input.dispatchTouchEvent", { type, touchPoints });
  }
  async down(id, where) { this.points.set(id, where); await this.send("touchStart"); }
  async move(id, where) { this.points.set(id, where); await this.send("touchMove"); }
  async up(id) { this.points.delete(id); await this.send("touchEnd"); }
}

const sleep = ms => new Promise(resolve => setTimeout(resolve, ms));

// The player's colours, from its sprite strip as the game packs them (5-6-5).
let playerColours = null;

// How far the player went right and up between two pictures of a screen where nothing else moves.
// Of the pixels that changed, those in the player's colours before and not after are where it was,
// those the other way round where it is (pixels in its colours both times are left out, being the
// player over itself or over the world's pixels in its colours): so a step right shows at the
// trailing left edges, and a rise at the bottom edges.
async function playerMoved(page, before, after) {
  if (!playerColours) {
    const strip = await readPicture(page, readFileSync(path.join(here, "../../content/default/sprites/zelvo.png")).toString("base64"));
    playerColours = new Set();
    for (let i = 0; i < strip.bytes.length; i += 4) if (strip.bytes[i + 3] === 255) playerColours.add(pixel565(strip.bytes, i));
  }
  const was = { left: Infinity, bottom: -1 }, is = { left: Infinity, bottom: -1 };
  for (let y = kViewTop; y < kViewTop + 240; ++y)
    for (let x = 0, i = 4 * y * 240; x < 240; ++x, i += 4) {
      const from = pixel565(before.bytes, i), to = pixel565(after.bytes, i);
      if (from === to) continue;
      const box = playerColours.has(from) ? (playerColours.has(to) ? null : was) : (playerColours.has(to) ? is : null);
      if (box) { box.left = Math.min(box.left, x); box.bottom = Math.max(box.bottom, y); }
    }
  if (was.bottom < 0 || is.bottom < 0) return { right: 0, up: 0 };
  return { right: is.left - was.left, up: was.bottom - is.bottom };
}

// Where a control is on the page (null when hidden), and its middle.
async function controlBox(page, name) {
  const control = await page.$(`.controls [aria-label="${name}"]`);
  return control && control.boundingBox();
}
const middle = box => [box.x + box.width / 2, box.y + box.height / 2];
const overlap = (a, b) => a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;

// The eight controls are shown, inside the page, clear of the game's screen and of each other; the
// pad on the left of the buttons; the help line whole. Returns the boxes by name, and the screen's.
async function expectControls(page, viewport) {
  const screen = await (await page.$("#canvas")).boundingBox();
  const boxes = {};
  for (const name of kControls) {
    const box = boxes[name] = await controlBox(page, name);
    assert.ok(box && box.width >= 30 && box.height >= 30, `the control ${name} is not shown`);
    assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= viewport.width && box.y + box.height <= viewport.height,
              `the control ${name} is not inside the page`);
    assert.ok(!overlap(box, screen), `the control ${name} covers the game's screen`);
    for (const other of kControls.slice(0, kControls.indexOf(name)))
      assert.ok(!overlap(box, boxes[other]), `the controls ${name} and ${other} overlap`);
    assert.equal(await page.$eval(`.controls [aria-label="${name}"]`, control => control.tagName), "BUTTON");
  }
  assert.ok(boxes.Right.x + boxes.Right.width <= boxes.C.x, "the pad is not on the left of the buttons");
  const help = await page.$eval("#help", help => ({ scroll: help.scrollWidth, width: help.clientWidth,
                                                    box: help.getBoundingClientRect().toJSON() }));
  assert.ok(help.scroll <= help.width && help.box.x >= 0 && help.box.right <= viewport.width,
            "the help line does not fit the page");
  return { boxes, screen };
}

test("on a phone held upright, touch alone plays: the screen on top, the keys below, held and slid",
     { timeout: 120_000 }, async () => {
  const context = await browser.createBrowserContext();
  const page = await openGame(context, kPortrait);
  await expectScreen(page, "title");
  const { boxes, screen } = await expectControls(page, kPortrait);
  assert.ok(screen.y < 40 && screen.width >= 0.9 * kPortrait.width, "the screen is not on top, as wide as the phone");
  assert.ok(boxes.Up.y >= screen.y + screen.height && boxes.C.y >= screen.y + screen.height,
            "the keys are not below the screen");

  // The keys each control presses, as the page sends them to the game.
  await page.evaluate(() => {
    window.keysSeen = [];
    addEventListener("keydown", event => { if (!event.repeat) keysSeen.push(event.key); });
  });
  const fingers = new Fingers(page);
  const hold = async (name, ms = 250) => {
    await fingers.down(1, middle(boxes[name]));
    await sleep(ms);
    await fingers.up(1);
  };

  // A tap on the game's own Start (the stylus) starts a game; A goes on through Heron's texts.
  await tap(page, kTitleStart, { touch: true });
  const landed = await expectScreen(page, "play-start", [25, 80, 215, 196]);
  await waitForCanvas(page, async shot => difference(shot, landed) > 0 || (await hold("A"), false),
                      "Heron's next text after A");
  assert.equal((await page.evaluate(() => keysSeen))[0], " ", "A does not press the key A stands for");

  // Two more texts, then A at the hut's door leads in; there the player walks right while Right is
  // held, and jumps to the right when Up is tapped meanwhile.
  for (let text = 0; text < 2; ++text) {
    const before = await readPicture(page);
    await waitForCanvas(page, async now => difference(now, before, [25, 80, 215, 196]) > 0 || (await hold("A"), false),
                               `Heron's text ${text + 3} after A`);
  }
  const outside = await readPicture(page);
  await waitForCanvas(page, async now => difference(now, outside) > 20_000 || (await hold("A"), false), "the hut after A");
  await sleep(500);
  const standing = await readPicture(page);
  await hold("Right", 600);
  await sleep(300);
  const walked = await readPicture(page);
  const walk = await playerMoved(page, standing, walked);
  assert.ok(walk.right > 6, `holding Right does not walk the player right (${JSON.stringify(walk)})`);
  await fingers.down(1, middle(boxes.Right));
  await sleep(50);
  await fingers.down(2, middle(boxes.Up));
  let rise = 0, across = 0;
  for (let i = 0; i < 12; ++i) {
    if (i === 2) await fingers.up(2);
    await sleep(60);
    const now = await playerMoved(page, walked, await readPicture(page));
    rise = Math.max(rise, now.up);
    across = Math.max(across, now.right);
  }
  await fingers.up(1);
  assert.ok(rise > 8 && across > 8, `Right held with Up tapped does not jump to the right (rose ${rise}, went right ${across})`);

  // A finger slides over the pad from Left to Right without lifting; another taps Up meanwhile.
  await page.evaluate(() => { keysSeen = []; });
  await fingers.down(1, middle(boxes.Left));
  await sleep(100);
  await fingers.move(1, middle(boxes.Right));
  await sleep(100);
  await fingers.down(2, middle(boxes.Up));
  await sleep(100);
  assert.deepEqual(await page.$$eval(".controls .down", held => held.map(control => control.ariaLabel)),
                   ["Up", "Right"], "Right held with Up tapped are not both down");
  await fingers.up(2);
  await fingers.up(1);
  await hold("Start");
  assert.deepEqual(await page.evaluate(() => keysSeen), ["ArrowLeft", "ArrowRight", "ArrowUp", "Enter"]);
  assert.deepEqual(page.problems, []);
  await context.close();
});

test("on a phone held sideways, the screen sits between the pad and the buttons; keys put them away, a touch brings them back",
     { timeout: 60_000 }, async () => {
  const context = await browser.createBrowserContext();
  const page = await openGame(context, kLandscape);
  await expectScreen(page, "title");
  const { boxes, screen } = await expectControls(page, kLandscape);
  assert.ok(boxes.Right.x + boxes.Right.width <= screen.x && boxes.C.x >= screen.x + screen.width,
            "the pad and the buttons are not either side of the screen");
  await page.keyboard.press("Shift");
  assert.equal(await controlBox(page, "A"), null, "a key does not put the touch controls away");
  await page.touchscreen.tap(4, 4);
  await page.waitForSelector(".controls [aria-label=A]", { visible: true });
  await expectControls(page, kLandscape);
  assert.deepEqual(page.problems, []);
  await context.close();
});

test("the page installs: a manifest with its icons, and a service worker that opens it offline",
     { timeout: 60_000 }, async () => {
  const manifest = JSON.parse(readFileSync(path.join(pageDir, "zelvo.webmanifest"), "utf8"));
  assert.equal(manifest.name, "Zelvo");
  assert.ok(manifest.short_name && manifest.theme_color && ["standalone", "fullscreen"].includes(manifest.display));
  assert.deepEqual(manifest.icons.map(icon => icon.sizes).sort(), ["192x192", "512x512"]);
  for (const icon of manifest.icons) {
    const png = readFileSync(path.join(pageDir, icon.src));
    assert.equal(png.toString("latin1", 1, 4), "PNG", `${icon.src} is not a PNG`);
    assert.equal(`${png.readUInt32BE(16)}x${png.readUInt32BE(20)}`, icon.sizes, `${icon.src} is not as big as it says`);
  }

  const context = await browser.createBrowserContext();
  const page = await openGame(context, kPortrait);
  await expectScreen(page, "title");
  const kept = await page.evaluate(async () => {
    await navigator.serviceWorker.ready;
    const names = await caches.keys();
    const cache = await caches.open(names[0]);
    return { names, files: (await cache.keys()).map(request => new URL(request.url).pathname) };
  });
  assert.equal(kept.names.length, 1);
  assert.match(kept.names[0], /^zelvo-[0-9a-f]{16}$/);
  for (const file of ["zelvo.html", "zelvo.js", "zelvo.wasm", "zelvo-world.tar.gz"])
    assert.ok(kept.files.includes("/" + file), `the service worker does not keep ${file}`);

  await page.setOfflineMode(true);
  await page.reload();
  await expectScreen(page, "title");
  assert.deepEqual(page.problems, []);
  await context.close();
});
