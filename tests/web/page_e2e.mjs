// Plays the web page in Debian's headless Chromium, as a person would: the page served from
// this machine by web/serve.py, driven through the DevTools protocol (tests/web/browser.mjs).
// Each step waits for what it expects to see, with a time limit, and the main moments are kept
// as screenshots in --artifacts.
//
//   node page_e2e.mjs --site build/web --sim build/release/tools/tarvel-sim [--artifacts DIR]
import { spawnSync } from 'node:child_process';
import { createServer } from 'node:http';
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { deflateRawSync } from 'node:zlib';
import { Browser, delay, serve } from './browser.mjs';
import { readPng } from './png.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const options = { artifacts: null };
for (let i = 2; i < process.argv.length; i += 2) {
  const name = process.argv[i].replace(/^--/, '');
  if (!['site', 'sim', 'artifacts'].includes(name) || process.argv[i + 1] === undefined) {
    console.error('usage: node page_e2e.mjs --site DIR --sim TARVEL_SIM [--artifacts DIR]');
    process.exit(2);
  }
  options[name] = resolve(process.argv[i + 1]);
}
if (!options.site || !options.sim) {
  console.error('usage: node page_e2e.mjs --site DIR --sim TARVEL_SIM [--artifacts DIR]');
  process.exit(2);
}
if (options.artifacts) mkdirSync(options.artifacts, { recursive: true });

// The device screen of the desktop-sized page: 480 x 640 at one display pixel each, so that the
// protocol's positions are the screen's pixels.
const W = 480;
const H = 640;
const BAR_H = 52;
const PITCH_H = H - BAR_H;
const PITCH_GREEN = [0, 100, 50];
const USER_DISC = [150, 0, 150];
const BALL = [200, 50, 100];
const LEFT_SOFT_KEY = [120, H - BAR_H / 2];
const RIGHT_SOFT_KEY = [360, H - BAR_H / 2];
const AIM_LIFT = 32;
const SCORE_AREAS = [[12, 150, 58, 205], [12, 443, 58, 498]];

class StepFailed extends Error {}

const probe = readFileSync(join(here, 'probe.js'), 'utf8');
const state = {};

async function open(browser, url, metrics) {
  const page = await browser.newPage(metrics);
  await page.send('Page.addScriptToEvaluateOnNewDocument', { source: probe });
  await page.navigate(url);
  return page;
}

async function shot(page, name) {
  if (options.artifacts) await page.screenshot(join(options.artifacts, `${name}.png`));
}

const playing = (page) => page.waitFor('the game', "document.body.dataset.state === 'playing'", 20000);
const call = (page, expression) => page.evaluate(`TarvelProbe.${expression}`);
const scores = (page) => Promise.all(SCORE_AREAS.map((a) => call(page, `digits(${JSON.stringify(a)})`)));

async function steer(page, x, y, moves = 12) {
  for (let i = 0; i < moves; ++i) {
    await page.mouse('mouseMoved', x + (i % 2), y);
    await delay(30);
  }
}

async function waitUntil(what, test, timeout = 5000) {
  const deadline = Date.now() + timeout;
  for (;;) {
    const value = await test();
    if (value) return value;
    if (Date.now() > deadline) throw new StepFailed(`timed out waiting for ${what}`);
    await delay(50);
  }
}

// The steps on the desktop-sized page, in the order a person meets them.

async function firstFrameIsTheSimulatorsFrame(page) {
  await playing(page);
  const note = "Tarvel passes over the address's 'utm_source', 'fbclid': not options of the page.";
  if (!page.consoleLines.includes(note)) throw new StepFailed(`the console does not say "${note}": ${page.consoleLines}`);
  const bytes = await page.evaluate('Array.from(TarvelPage.firstFrameBytes || [])');
  const folder = mkdtempSync(join(tmpdir(), 'tarvel-frame-'));
  try {
    const sim = spawnSync(options.sim, [], {
      cwd: folder, input: `start ${W} ${PITCH_H}\nframe first.png\n`, timeout: 20000,
    });
    if (sim.status !== 0) throw new StepFailed(`tarvel-sim failed: ${sim.stderr}`);
    if (bytes.length !== W * H * 4) throw new StepFailed(`the first frame has ${bytes.length} bytes`);
    expectSimulatorsPicture(bytes, W, readPng(join(folder, 'first.png')), 'the first frame');
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// The page's picture `bytes` (RGBA, `width` wide) holds tarvel-sim's `expected` (its pitch, above
// the soft keys) pixel for pixel.
function expectSimulatorsPicture(bytes, width, expected, what) {
  let differing = 0;
  let first = null;
  for (let y = 0; y < expected.height; ++y) {
    for (let x = 0; x < expected.width; ++x) {
      const i = (y * width + x) * 4;
      const j = (y * expected.width + x) * 4;
      if (bytes[i] !== expected.rgba[j] || bytes[i + 1] !== expected.rgba[j + 1] || bytes[i + 2] !== expected.rgba[j + 2]) {
        ++differing;
        if (!first) first = [x, y, bytes.slice(i, i + 3), [...expected.rgba.subarray(j, j + 3)]];
      }
    }
  }
  if (differing) {
    throw new StepFailed(`${differing} pixels of ${what} differ from tarvel-sim's; the first at ` +
      `(${first[0]}, ${first[1]}): ${first[2]} on the page, ${first[3]} in the simulator`);
  }
}

async function pitchAndSoftKeys(page) {
  await shot(page, 'pitch');
  const green = await call(page, `count([0, 0, ${W}, ${PITCH_H}], 'exact', ${JSON.stringify(PITCH_GREEN)})`);
  if (green < W * PITCH_H / 2) throw new StepFailed(`only ${green} pitch-green pixels above the soft keys`);
  const bar = [0, PITCH_H, W, H];
  if (await call(page, `count(${JSON.stringify(bar)}, 'darkGrey')`) < W * BAR_H / 2) {
    throw new StepFailed(`no soft-key bar across the bottom ${BAR_H} pixels`);
  }
  for (const [name, half] of [['Aceptar', [0, PITCH_H, 240, H]], ['AYUDA', [240, PITCH_H, W, H]]]) {
    if (await call(page, `count(${JSON.stringify(half)}, 'light')`) < 100) {
      throw new StepFailed(`no "${name}" label on its soft key`);
    }
  }
  state.kickoffDisc = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
  state.kickoffBall = await call(page, `centroid(${JSON.stringify(BALL)})`);
  state.startScores = await scores(page);
  if (!state.kickoffDisc || !state.kickoffBall) throw new StepFailed('no disc or no ball at the kick-off');
}

async function discFollowsTheMouse(page) {
  const gestures = await page.evaluate('[document.body, TarvelPage.canvas].map((e) => getComputedStyle(e).touchAction)');
  if (gestures.join() !== 'none,none') throw new StepFailed(`touch-action while playing: ${gestures}, not none on the page and the game`);
  // Each move wakes the program as it comes: moves left waiting would reach the game as one (the
  // window manager collapses waiting moves), and the disc takes its path move by move. And a
  // tick wakes it once, not again when the browser's timer fires a little early.
  const counts = '[TarvelPage.waits, TarvelPage.timer.ticks]';
  const before = await page.evaluate(counts);
  await steer(page, 130, 480);
  const [waits, ticks] = (await page.evaluate(counts)).map((n, i) => n - before[i]);
  const moves = 12;
  if (waits < moves - 2 || waits > moves + ticks + 3) {
    throw new StepFailed(`${moves} moves over ${ticks} ticks: the program waited ${waits} times`);
  }
  for (const [x, y] of [[130, 480], [350, 480]]) {
    await steer(page, x, y);
    await waitUntil(`the disc under the pointer at (${x}, ${y})`, async () => {
      const centre = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
      return centre && Math.abs(centre[0] - x) <= 4 && Math.abs(centre[1] - (y - AIM_LIFT)) <= 4;
    }, 3000);
  }
}

async function openMenu(page, how) {
  await how();
  state.menu = await waitUntil('the menu', () => call(page, `menuBox(${PITCH_H})`));
  return state.menu;
}

async function closeMenu(page) {
  await page.key('Escape', { keyCode: 27 });
  await waitUntil('the menu to close', async () => !(await call(page, `menuBox(${PITCH_H})`)));
}

function itemBox(index, count = 3) {
  const [left, top, right, bottom] = state.menu;
  const height = (bottom - top) / count;
  return [left + 2, Math.floor(top + index * height) + 2, right - 2, Math.floor(top + (index + 1) * height) - 2];
}

async function choose(page, index, how = (x, y) => page.click(x, y)) {
  const [left, top, right, bottom] = itemBox(index);
  await how(Math.floor((left + right) / 2), Math.floor((top + bottom) / 2));
  await waitUntil('the menu to close', async () => !(await call(page, `menuBox(${PITCH_H})`)));
}

async function aGoalChangesTheScore(page) {
  for (const offset of [-15, 15, -25]) {
    const ball = await waitUntil('the ball', () => call(page, `centroid(${JSON.stringify(BALL)})`));
    const [bx, by] = ball.map(Math.trunc);
    await steer(page, bx + offset, PITCH_H - 16);
    for (const dy of [10, 11, 10]) {
      await page.mouse('mouseMoved', bx + offset, by + dy);
      await delay(20);
    }
    await steer(page, 440, 400, 4);
    try {
      // A goal stays on the scores; a disc or the ball passing over them does not.
      const changed = async () => JSON.stringify(await scores(page)) !== JSON.stringify(state.startScores);
      await waitUntil('a goal', async () => await changed() && await delay(500).then(changed));
      await shot(page, 'goal');
      return;
    } catch (failure) {
      if (!(failure instanceof StepFailed)) throw failure;
    }
    await openMenu(page, () => page.key('F2', { keyCode: 113 }));
    await choose(page, 1);
  }
  throw new StepFailed('three strokes and no goal');
}

async function menuFromAyudaAndF2(page) {
  await openMenu(page, () => page.click(...RIGHT_SOFT_KEY));
  await shot(page, 'menu');
  const [left, , right, bottom] = state.menu;
  if (!(right >= W - 4 && bottom >= PITCH_H - 4 && left > W / 3)) {
    throw new StepFailed(`the menu ${state.menu} is not above the right soft key`);
  }
  for (let index = 0; index < 3; ++index) {
    if (await call(page, `count(${JSON.stringify(itemBox(index))}, 'dark100')`) < 30) {
      throw new StepFailed(`menu item ${index} has no text`);
    }
  }
  await closeMenu(page);
  await openMenu(page, () => page.key('F2', { keyCode: 113 }));
  await closeMenu(page);
}

async function hardShowsItsCheckMark(page) {
  const checkArea = () => {
    const [left, top, , bottom] = itemBox(2);
    return call(page, `count([${left}, ${top}, ${left + 36}, ${bottom}], 'dark150')`);
  };
  await openMenu(page, () => page.key('F2', { keyCode: 113 }));
  const plain = await checkArea();
  await choose(page, 2);
  await openMenu(page, () => page.key('F2', { keyCode: 113 }));
  await shot(page, 'menu-hard');
  const checked = await checkArea();
  if (checked < plain + 20) throw new StepFailed(`no check mark by "Dificil" (${checked} dark pixels, ${plain} before)`);
  await choose(page, 2);
  await openMenu(page, () => page.key('F2', { keyCode: 113 }));
  const again = await checkArea();
  if (again !== plain) throw new StepFailed(`a second "Dificil" leaves ${again} dark pixels by it, not ${plain}`);
  await closeMenu(page);
}

async function nuevoResetsTheMatch(page) {
  await steer(page, 130, 480);
  await openMenu(page, () => page.click(...RIGHT_SOFT_KEY));
  await choose(page, 1);
  await waitUntil('the kick-off with the scores at 0', async () => {
    const disc = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
    const ball = await call(page, `centroid(${JSON.stringify(BALL)})`);
    return disc && ball && Math.abs(disc[0] - state.kickoffDisc[0]) <= 2 &&
      state.kickoffDisc[1] - disc[1] >= 0 && state.kickoffDisc[1] - disc[1] <= 20 &&
      Math.abs(ball[0] - state.kickoffBall[0]) <= 2 && Math.abs(ball[1] - state.kickoffBall[1]) <= 2 &&
      JSON.stringify(await scores(page)) === JSON.stringify(state.startScores);
  }, 3000);
  await shot(page, 'new-game');
}

async function openAbout(page) {
  const caption = async () => (await call(page, `count([0, 0, ${W}, 40], 'caption')`)) > W * 30;
  await page.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', code: 'ControlLeft', key: 'Control', windowsVirtualKeyCode: 17, modifiers: 2 });
  await page.key('KeyA', { key: 'a', keyCode: 65, modifiers: 2 });
  await page.send('Input.dispatchKeyEvent', { type: 'keyUp', code: 'ControlLeft', key: 'Control', windowsVirtualKeyCode: 17 });
  await waitUntil('the About box', caption);
  return caption;
}

async function aboutBoxOpensAndCloses(page) {
  const caption = await openAbout(page);
  await shot(page, 'about');
  if (await call(page, `count([0, 60, ${W}, ${PITCH_H}], 'exact', ${JSON.stringify(PITCH_GREEN)})`) !== 0) {
    throw new StepFailed('the About box does not cover the pitch');
  }
  await page.click(W - 44, 26);
  await waitUntil('the pitch again', async () => !(await caption()) &&
    JSON.stringify(await call(page, 'pixel(60, 100)')) === JSON.stringify(PITCH_GREEN));
}

async function aceptarEndsAndTheButtonStartsAgain(page) {
  await page.evaluate(shareSheet);
  await page.click(...LEFT_SOFT_KEY);
  await page.waitFor('the end screen', "document.body.dataset.state === 'ended'", 5000);
  await shot(page, 'ended');
  await theEndScreenDownloadsTheMatch(page);
  // The end screen zooms, as the game did not.
  const zoom = await page.evaluate(`[document.querySelector('meta[name=viewport]').content,
    getComputedStyle(document.documentElement).touchAction, getComputedStyle(document.body).touchAction]`);
  if (/user-scalable=no|maximum-scale/.test(zoom[0]) || zoom[1] === 'none' || zoom[2] === 'none') {
    throw new StepFailed(`the end screen cannot be zoomed: viewport "${zoom[0]}", touch-action ${zoom[1]} and ${zoom[2]}`);
  }
  const loaded = page.once('Page.loadEventFired');
  await page.evaluate("document.getElementById('notice-button').click()");
  await loaded;
  await playing(page);
}

async function startsWithTheNetworkOff(page) {
  await page.waitFor('the service worker', 'navigator.serviceWorker.ready.then(() => Boolean(navigator.serviceWorker.controller))', 10000)
    .catch(async () => {
      // The first visit installs the worker; the page it controls is the next one.
      await page.reload();
      await page.waitFor('the service worker', 'Boolean(navigator.serviceWorker.controller)', 10000);
    });
  await state.server.stop();
  state.server = null;
  await page.reload();
  await playing(page);
  await shot(page, 'offline');
}

// The first tab's About box open: taking over closes it and the game, with one click that the
// first tab hears.
async function aSecondTabEndsAndCanTakeOver(page, browser) {
  await openAbout(page);
  const second = await open(browser, state.url, { width: W, height: H });
  await second.waitFor('the notice in the second tab', "document.body.dataset.state === 'elsewhere'", 10000);
  await shot(second, 'second-tab');
  if (!(await page.evaluate('TarvelPage.raises')) ) throw new StepFailed('the first tab was not asked to come forward');
  if (await page.evaluate('document.body.dataset.state') !== 'playing') throw new StepFailed('the first tab stopped playing');
  // A first tab that does not answer (as one a browser has put to sleep does not) is named as
  // the reason; the button then tries again.
  const click = "document.getElementById('notice-button').click()";
  const channel = 'TarvelPage.endpoints.channel';
  await page.evaluate(`${channel}.onmessage = null`);
  await second.evaluate(click);
  await second.waitFor('the reason the first tab did not close', "/did not close/.test(document.getElementById('notice-text').textContent) && " +
    "!document.getElementById('notice-button').disabled", 8000);
  await page.evaluate(`${channel}.onmessage = (m) => TarvelPage.endpoints.receive(m.data)`);
  await second.evaluate(click);
  await page.waitFor('the first tab to end', "document.body.dataset.state === 'ended'", 5000);
  await playing(second);
  // Ctrl+Q ends the game there too, as on the desktop.
  await second.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', code: 'ControlLeft', key: 'Control', windowsVirtualKeyCode: 17, modifiers: 2 });
  await second.key('KeyQ', { key: 'q', keyCode: 81, modifiers: 2 });
  await second.waitFor('Ctrl+Q to end the game', "document.body.dataset.state === 'ended'", 5000);
  await second.close();
}

// The phone-sized page: the screen is the viewport, and a finger plays.

async function phoneFillsTheScreenAndATouchSteers(browser) {
  const page = await open(browser, state.url, { width: 360, height: 740, scale: 3, mobile: true, touch: true });
  try {
    await playing(page);
    const size = await page.evaluate('[TarvelPage.canvas.width, TarvelPage.canvas.height]');
    if (size[0] !== 360 || size[1] !== 740) throw new StepFailed(`the screen is ${size}, not the viewport 360 x 740`);
    const box = await page.evaluate("(({left, top, width, height}) => [left, top, width, height])(TarvelPage.canvas.getBoundingClientRect())");
    if (box.join() !== '0,0,360,740') throw new StepFailed(`the canvas lies at ${box}, not over the whole viewport`);
    // Bar height follows the width: 52 at 480.
    const bar = Math.round(52 * 360 / 480);
    const lift = Math.round(AIM_LIFT * 360 / 480);
    const disc = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
    await page.touch('touchStart', [[100, 500]]);
    for (let i = 0; i < 10; ++i) {
      await page.touch('touchMove', [[100 + (i % 2), 520]]);
      await delay(30);
    }
    await waitUntil('the disc under the finger', async () => {
      const centre = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
      return centre && Math.abs(centre[0] - 100) <= 4 && Math.abs(centre[1] - (520 - lift)) <= 4;
    }, 3000).catch(async (failure) => {
      throw new StepFailed(`${failure.message}: the disc is at ${await call(page, `centroid(${JSON.stringify(USER_DISC)})`)} (was ${disc})`);
    });
    await page.touch('touchEnd', []);
    await shot(page, 'phone');
    // Turned on its side, the phone keeps the screen it started with, laid out between bars,
    // but that would be a strip too small to play: the page asks, in the game's language, for
    // the phone to be turned back, and the match waits until it is.
    await page.send('Emulation.setDeviceMetricsOverride', { width: 740, height: 360, deviceScaleFactor: 3, mobile: true });
    await waitUntil('the screen letterboxed in the turned viewport, and the request to turn back', async () => {
      const [w, h, left, top, cssWidth, cssHeight] = await canvasBox(page);
      return w === 360 && h === 740 && Math.abs(cssHeight - 360) <= 1 && Math.abs(cssWidth / cssHeight - 360 / 740) < 0.01 &&
        Math.abs(left - (740 - cssWidth) / 2) <= 1 && top >= 0 && top <= 1 &&
        await page.evaluate("!document.getElementById('turn').hidden");
    }, 3000);
    await shot(page, 'phone-turned');
    const request = await page.evaluate("[document.getElementById('turn').lang, document.getElementById('turn').innerText]");
    if (request[0] !== 'es' || !/vertical/.test(request[1])) throw new StepFailed(`the turned phone is told "${request[1]}" (lang ${request[0]})`);
    const ticks = () => page.evaluate('TarvelPage.timer.ticks');
    const turnedAt = await ticks();
    await delay(600);
    if (await ticks() !== turnedAt) throw new StepFailed(`the match went on ${await ticks() - turnedAt} ticks with the phone turned`);
    await page.send('Emulation.setDeviceMetricsOverride', { width: 360, height: 740, deviceScaleFactor: 3, mobile: true });
    // The page zooms (its text screens may be zoomed): the turn back settles before a tap.
    await waitUntil('the screen over the whole viewport again, and the match going on', async () =>
      (await canvasBox(page)).slice(2).join() === '0,0,360,740' && await page.evaluate('visualViewport.scale === 1') &&
      await page.evaluate("document.getElementById('turn').hidden") && await ticks() > turnedAt + 2, 3000);
    // A tap on AYUDA opens the menu, a tap on "Nuevo" starts again.
    await page.tap(270, 740 - bar / 2);
    state.menu = await waitUntil('the menu from a tap', () => call(page, `menuBox(${740 - bar})`));
    await shot(page, 'phone-menu');
    const [left, top, right, bottom] = state.menu;
    const itemHeight = (bottom - top) / 3;
    await page.tap(Math.floor((left + right) / 2), Math.floor(top + 1.5 * itemHeight));
    await waitUntil('the menu to close', async () => !(await call(page, `menuBox(${740 - bar})`)));
  } finally {
    await page.close();
  }
}

// Without ?screen= a laptop's and a sideways phone's viewports get a portrait screen of the
// device's shape, shown whole and as large as fits between bars, and played as on a phone.

const canvasBox = (page) => page.evaluate('(({left, top, width, height}) => [TarvelPage.canvas.width, ' +
  'TarvelPage.canvas.height, left, top, width, height])(TarvelPage.canvas.getBoundingClientRect())');

async function deviceShapedScreen(browser, { name, width, height, scale = 1, touch = false, screen }) {
  const page = await open(browser, state.url, { width, height, scale, mobile: touch, touch });
  try {
    await playing(page);
    const [w, h, left, top, cssWidth, cssHeight] = await canvasBox(page);
    if (w !== screen[0] || h !== screen[1]) throw new StepFailed(`${name}: the screen is ${w} x ${h}, not ${screen.join(' x ')}`);
    if (left < 0 || top < 0 || left + cssWidth > width + 0.5 || top + cssHeight > height + 0.5) {
      throw new StepFailed(`${name}: the canvas at ${[left, top, cssWidth, cssHeight]} is not all in the viewport`);
    }
    if (Math.abs(cssHeight - height) > 1 || Math.abs(left - (width - cssWidth) / 2) > 1) {
      throw new StepFailed(`${name}: the canvas at ${[left, top, cssWidth, cssHeight]} is not as tall as the viewport, centred`);
    }
    await shot(page, name);
    // The whole pitch, and the soft keys below it; the bar's height follows the width.
    const bar = Math.round(BAR_H * w / 480);
    const pitchHeight = h - bar;
    const green = await call(page, `count([0, 0, ${w}, ${pitchHeight}], 'exact', ${JSON.stringify(PITCH_GREEN)})`);
    if (green < w * pitchHeight / 2) throw new StepFailed(`${name}: only ${green} pitch-green pixels`);
    if (await call(page, `count(${JSON.stringify([0, pitchHeight, w, h])}, 'darkGrey')`) < w * bar / 2) {
      throw new StepFailed(`${name}: no soft-key bar across the bottom ${bar} pixels`);
    }
    for (const half of [[0, pitchHeight, w / 2, h], [w / 2, pitchHeight, w, h]]) {
      if (await call(page, `count(${JSON.stringify(half)}, 'light')`) < 30) {
        throw new StepFailed(`${name}: no label on the soft key at ${half}`);
      }
    }
    // Steered to two points in turn, by the mouse or by a finger held down.
    const toViewport = (x, y) => [left + (x + 0.5) * cssWidth / w, top + (y + 0.5) * cssHeight / h];
    const lift = AIM_LIFT * w / 480;
    for (const [x, y] of [[Math.round(w * 0.27), Math.round(pitchHeight * 0.82)], [Math.round(w * 0.73), Math.round(pitchHeight * 0.82)]]) {
      const [vx, vy] = toViewport(x, y);
      if (touch) await page.touch('touchStart', [[vx, vy]]);
      for (let i = 0; i < 10; ++i) {
        if (touch) await page.touch('touchMove', [[vx + (i % 2), vy]]);
        else await page.mouse('mouseMoved', vx + (i % 2), vy);
        await delay(30);
      }
      await waitUntil(`${name}: the disc under the ${touch ? 'finger' : 'mouse'} at (${x}, ${y})`, async () => {
        const centre = await call(page, `centroid(${JSON.stringify(USER_DISC)})`);
        return centre && Math.abs(centre[0] - x) <= 4 && Math.abs(centre[1] - (y - lift)) <= 4;
      }, 3000);
      if (touch) await page.touch('touchEnd', []);
    }
  } finally {
    await page.close();
  }
}

async function aLaptopGetsThePortraitScreen(browser) {
  await deviceShapedScreen(browser, { name: 'laptop', width: 1366, height: 768, screen: [480, 640] });
}

async function aSidewaysPhoneGetsThePortraitScreen(browser) {
  await deviceShapedScreen(browser,
    { name: 'phone-sideways', width: 844, height: 390, scale: 2, touch: true, screen: [293, 390] });
}

// Away and back: the game stands still while the tab is frozen (the browser runs nothing of
// it) or hidden (no one can see the match: the page sets no timer), and goes on at its pace when
// it is back: no run of ticks to catch up with the time it was away.
async function awayAndBack(page, what, leave, comeBack) {
  await page.evaluate(`(() => {
    const ticks = TarvelProbe.ticks = [];
    const taken = TarvelPage.timerTaken.bind(TarvelPage);
    TarvelPage.timerTaken = (due, at) => { ticks.push(performance.now()); taken(due, at); };
  })()`);
  await delay(500);
  await leave();
  const leftAt = await page.evaluate('TarvelProbe.ticks.length');
  await delay(2000);
  await comeBack();
  await delay(1000);
  const ticks = await page.evaluate('TarvelProbe.ticks');
  // The ticks after the time away, and the longest gap among them: the time away itself.
  let gap = 0;
  let resumed = -1;
  for (let i = 1; i < ticks.length; ++i) {
    if (ticks[i] - ticks[i - 1] > gap) [gap, resumed] = [ticks[i] - ticks[i - 1], i];
  }
  if (leftAt < 5 || gap < 1500) throw new StepFailed(`the game did not stand still while ${what} (${leftAt} ticks before, longest gap ${gap.toFixed(0)} ms)`);
  const after = ticks.slice(resumed);
  const span = after[after.length - 1] - after[0];
  if (after.length < 10) throw new StepFailed(`the game did not go on after being ${what}: ${after.length} ticks in ${span.toFixed(0)} ms`);
  // At 50 ms a tick, with a tick's slack either side; a burst packs many into a few ms.
  if (after.length > span / 50 + 2) {
    throw new StepFailed(`a burst after being ${what}: ${after.length} ticks in ${span.toFixed(0)} ms`);
  }
  // The first tick after the time away may be late, and the next is due at the next slot of the
  // timer's 50 ms grid, however soon; from then on the ticks keep to the grid.
  const closest = Math.min(...after.slice(2).map((t, i) => t - after[i + 1]));
  if (closest < 25) {
    throw new StepFailed(`ticks ${closest.toFixed(1)} ms apart after being ${what}: ${after.slice(0, 8).map((t) => (t - after[0]).toFixed(0))}`);
  }
  if (await page.evaluate('document.body.dataset.state') !== 'playing') throw new StepFailed('the game stopped');
}

// The page hidden and shown as a person does by minimising the browser's window and bringing it
// back (a tab in the background is hidden likewise).
async function windowState(page, state) {
  const { windowId } = await page.browser.send('Browser.getWindowForTarget', { targetId: page.targetId });
  await page.browser.send('Browser.setWindowBounds', { windowId, bounds: { windowState: state } });
  const visibility = state === 'minimized' ? 'hidden' : 'visible';
  await page.waitFor(`the page ${visibility}`, `document.visibilityState === '${visibility}'`, 3000);
}

// The browser freezes only hidden pages, and Chromium hides the page it is told to freeze; woken,
// the page stays hidden until it is brought forward.
async function aFrozenTabComesBackWithoutABurst(page) {
  await awayAndBack(page, 'frozen', () => page.send('Page.setWebLifecycleState', { state: 'frozen' }), async () => {
    await page.send('Page.setWebLifecycleState', { state: 'active' });
    await windowState(page, 'minimized');
    await windowState(page, 'normal');
  });
}

async function aHiddenTabStandsStillAndComesBack(page) {
  await awayAndBack(page, 'hidden', () => windowState(page, 'minimized'), () => windowState(page, 'normal'));
}

async function badAddressesAreRefused(browser) {
  const page = await open(browser, 'about:blank', { width: W, height: H });
  try {
    const cases = [
      ['?screen=10x10', "Bad screen size '10x10': each side must be 32 to 4096 pixels."],
      ['?screen=tall', "Bad screen size 'tall': expected WIDTHxHEIGHT, e.g. 240x320."],
      ['?screen=', "Bad screen size '': expected WIDTHxHEIGHT, e.g. 240x320."],
      ['?screen=240x320&screen=480x640', "The address gives 'screen' more than once."],
    ];
    for (const [query, message] of cases) {
      await page.navigate(state.url + query);
      await page.waitFor(`the refusal of ${query}`, "document.body.dataset.state === 'refused'", 10000);
      const text = await page.evaluate("document.getElementById('notice-text').textContent");
      if (text !== message) throw new StepFailed(`${query}: the page says "${text}", not "${message}"`);
    }
    await shot(page, 'refused');
  } finally {
    await page.close();
  }
}

// Replays. A match is recorded as it is played; the player keeps it with Ctrl+S or from the end
// screen, as a file or as a link that carries it in its fragment.

const replayLink = (text) => `${state.url}#replay=${deflateRawSync(Buffer.from(text)).toString('base64url')}`;

// tarvel-sim's picture of the frame a window leaves up at the end of `text` (the recording, every
// check holding, then one more paint, as the window's own), saved in `folder`; and the match.
function simulatorsLastFrame(text, folder) {
  const sim = spawnSync(options.sim, [], { cwd: folder, input: `${text}frame last.png\ndump\n`, timeout: 60000 });
  if (sim.status !== 0) throw new StepFailed(`tarvel-sim refused the recording (${sim.status}): ${sim.stderr}`);
  return { picture: readPng(join(folder, 'last.png')), match: JSON.parse(sim.stdout) };
}

// Plays `url` in a browser of its own (this one's game holds the one game of its browser) to the
// end, and expects the last frame to be tarvel-sim's `picture`; or, without one, a check to fail.
// Either way the last frame stays with a game of one's own on offer. The page's title at the end.
async function replayToTheEnd(url, { picture }, name) {
  const browser = Browser.launch();
  try {
    const page = await open(browser, url, { width: W, height: H });
    await page.waitFor(`the end of ${name}`, "['ended', 'failed'].includes(document.body.dataset.replay)", 120000);
    await shot(page, name);
    const [how, title, width] = await page.evaluate('[document.body.dataset.replay, document.title, TarvelPage.canvas.width]');
    if (how !== (picture ? 'ended' : 'failed')) throw new StepFailed(`${name}: ${title}`);
    if (picture) {
      const bytes = await page.evaluate('Array.from(TarvelProbe.image().data)');
      expectSimulatorsPicture(bytes, width, picture, `the last frame of ${name}`);
    }
    const offered = await page.evaluate("!document.querySelector('#keep .keep-own').hidden && !TarvelPage.canvas.hidden");
    if (!offered) throw new StepFailed(`the end of ${name} offers no game of one's own over its last frame`);
    return title;
  } finally {
    await browser.close();
  }
}

async function theMatchSoFarIsKeptAndReplays(page) {
  // What is kept ends at its last check, one every 20 ticks: the goal is in it two checks on.
  const checks = () => page.evaluate("(TarvelReplay.text().match(/^check /gm) || []).length");
  const before = await checks();
  await waitUntil('two more checks', async () => (await checks()) >= before + 2, 5000);
  await page.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', code: 'ControlLeft', key: 'Control', windowsVirtualKeyCode: 17, modifiers: 2 });
  await page.key('KeyS', { key: 's', keyCode: 83, modifiers: 2 });
  await page.send('Input.dispatchKeyEvent', { type: 'keyUp', code: 'ControlLeft', key: 'Control', windowsVirtualKeyCode: 17 });
  await page.waitFor('the keep panel', "!document.getElementById('keep').hidden", 3000);
  await page.evaluate("document.querySelector('#keep .keep-link').click()");
  const link = await page.waitFor('the link', "document.querySelector('#keep input').value", 5000);
  await shot(page, 'keep');
  // The link carries the recording as it was when asked for, every byte: the recording only
  // grows after it.
  const text = await page.evaluate(`TarvelReplay.unpack(${JSON.stringify(new URL(link).hash.slice(8))})`);
  const now = await page.evaluate('TarvelReplay.text()');
  if (!now.startsWith(text) || !/^# tarvel-replay 1 tarvel \S+ web\n[^]*\ncheck \d+ [0-9a-f]{16}\n$/.test(text)) {
    throw new StepFailed(`the link carries ${JSON.stringify(text.slice(0, 100))}..., not the recording`);
  }
  await page.key('Escape', { keyCode: 27 });
  await page.waitFor('the panel to close', "document.getElementById('keep').hidden", 3000);
  state.recording = text;
  const folder = mkdtempSync(join(tmpdir(), 'tarvel-replay-'));
  try {
    const simulated = simulatorsLastFrame(text, folder);
    if (simulated.match.players.every((player) => player.score === 0)) throw new StepFailed('the recording has no goal');
    await replayToTheEnd(link, simulated, 'the replay of the page');
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
  if (await page.evaluate('document.body.dataset.state') !== 'playing') throw new StepFailed('the game stopped');
}

// A phone's share sheet, which takes what it is given.
const shareSheet = `navigator.canShare = (data) => Array.isArray(data.files);
  navigator.share = async (data) => { TarvelProbe.shared = { name: data.files[0].name, text: await data.files[0].text(), url: data.url }; };`;

// The end screen keeps the whole match as a file, downloaded or shared with its link: the
// recording, every byte.
async function theEndScreenDownloadsTheMatch(page) {
  const folder = mkdtempSync(join(tmpdir(), 'tarvel-download-'));
  try {
    await page.waitFor('the link to share', 'TarvelReplay.link', 5000);
    await page.evaluate("document.querySelector('#keep .keep-share').click()");
    const shared = await page.waitFor('the share sheet', 'TarvelProbe.shared', 5000);
    const unpacked = await page.evaluate(`TarvelReplay.unpack(${JSON.stringify(new URL(shared.url).hash.slice(8))})`);
    const recording = await page.evaluate('TarvelReplay.text()');
    if (shared.text !== recording || unpacked !== recording || !shared.name.endsWith('.tarvel')) {
      throw new StepFailed(`the share sheet got ${shared.name} and a link, not the recording`);
    }
    await page.send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: folder });
    await page.evaluate("document.querySelector('#keep .keep-download').click()");
    const file = await waitUntil('the download', () => readdirSync(folder).find((f) => f.endsWith('.tarvel')), 10000);
    const text = await page.evaluate('TarvelReplay.text()');
    if (readFileSync(join(folder, file), 'utf8') !== text) throw new StepFailed(`${file} is not the recording`);
    if (!/\ncheck \d+ [0-9a-f]{16}\n$/.test(text)) throw new StepFailed('the ended match does not end with a check');
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// A link from a stranger: whatever is wrong with it, the page says so and starts no game.
async function badReplaysShowANotice(browser) {
  const page = await open(browser, 'about:blank', { width: W, height: H });
  const cut = replayLink(state.recording);
  // Within the page's 16 MiB but a thousand times its packed size.
  const bomb = deflateRawSync(Buffer.alloc(8 << 20, 'move 1 1\n'));
  const bound = 64 * 1024 + 64 * bomb.length;
  const refused = 'This replay cannot be played: ';
  try {
    const cases = [
      ['#replay=not*base64', `${refused}it holds characters or a length no replay link has.`],
      [`#replay=${Buffer.alloc(40, 0xff).toString('base64url')}`, `${refused}its replay is damaged or cut short.`],
      [cut.slice(cut.indexOf('#'), cut.length - 40), `${refused}its replay is damaged or cut short.`],
      [`#replay=${bomb.toString('base64url')}`, `${refused}it unpacks to more than ${bound} bytes, far more than a replay of its size.`],
      [`#replay=${deflateRawSync(Buffer.from([0xc3, 0x28])).toString('base64url')}`, `${refused}it is not text.`],
      [replayLink(state.recording.replace('# tarvel-replay 1 ', '# tarvel-replay 2 ')).replace(/^[^#]*/, ''),
        /^This replay cannot be played: line 1: .*version 2/],
      ['?replay=missing.tarvel', `${refused}${state.url}missing.tarvel answered HTTP 404.`],
      [`?replay=${state.elsewhere}huge.tarvel`, `${refused}${state.elsewhere}huge.tarvel is larger than any replay (16777216 bytes).`],
      [`?replay=${state.elsewhere}private.tarvel`, `${refused}${state.elsewhere}private.tarvel could not be fetched ` +
        '(the network, or the server does not let other sites read it).'],
    ];
    for (const [address, message] of cases) {
      await page.navigate('about:blank');
      await page.navigate(state.url + address);
      await page.waitFor(`the notice for ${address.slice(0, 40)}`, "document.body.dataset.state === 'refused'", 20000);
      const [text, shown] = await page.evaluate("[document.getElementById('notice-text').textContent, TarvelPage.shown]");
      if (typeof message === 'string' ? text !== message : !message.test(text)) {
        throw new StepFailed(`${address.slice(0, 40)}: the page says "${text}", not "${message}"`);
      }
      if (shown) throw new StepFailed(`${address.slice(0, 40)}: a game started behind the notice`);
    }
    await shot(page, 'replay-refused');
    // A match that outgrows a replay keeps its beginning, whole to its last check.
    const kept = await page.evaluate(`(() => {
      const r = TarvelReplay;
      Object.assign(r, { pieces: [], recorded: 0, full: false });
      const piece = 'x'.repeat((1 << 20) - 1) + '\\n';
      for (let i = 0; i < 17; ++i) r.append(piece);
      return [r.text().length, r.full];
    })()`);
    if (kept.join() !== `${16 << 20},true`) throw new StepFailed(`a match past 16 MiB keeps ${kept}`);
  } finally {
    await page.close();
  }
}

// A match recorded by each target, a goal in each, on a 240 x 320 screen.
const RECORDED_ON = ['linux', 'windows', 'web'];
const recordedOn = (target) => join(here, '..', 'replays', `${target}-240x320.tarvel`);

// A server elsewhere: each target's recording and a file larger than any replay, which other
// sites may read, and a recording they may not.
function serveElsewhere() {
  const server = createServer((request, response) => {
    const open = { 'Content-Type': 'text/plain', 'Access-Control-Allow-Origin': '*' };
    if (RECORDED_ON.some((target) => request.url === `/${target}.tarvel`)) {
      response.writeHead(200, open);
      response.end(readFileSync(recordedOn(request.url.slice(1, -7))));
    } else if (request.url === '/huge.tarvel') {
      response.writeHead(200, open);
      response.end(Buffer.alloc(17 << 20, 'tick\n'));
    } else {
      response.writeHead(200, { 'Content-Type': 'text/plain' });
      response.end(state.recording);
    }
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => {
    state.elsewhere = `http://127.0.0.1:${server.address().port}/`;
    resolve(server);
  }));
}

// A match recorded by each target plays in the page from its file served elsewhere, on the
// screen it was played on, with every check holding, to tarvel-sim's last frame.
async function eachTargetsReplayPlays() {
  const folder = mkdtempSync(join(tmpdir(), 'tarvel-replay-'));
  try {
    for (const target of RECORDED_ON) {
      await replayToTheEnd(`${state.url}?replay=${encodeURIComponent(`${state.elsewhere}${target}.tarvel`)}`,
        simulatorsLastFrame(readFileSync(recordedOn(target), 'utf8'), folder), `the ${target} replay`);
    }
    // Its first move one pixel off, it stops at the first check after it, which the title names.
    const lines = readFileSync(recordedOn('linux'), 'utf8').split('\n');
    const at = lines.findIndex((line) => line.startsWith('move '));
    const [, x, y] = lines[at].split(' ');
    lines[at] = `move ${Number(x) + 1} ${y}`;
    const tick = lines.slice(at).find((line) => line.startsWith('check ')).split(' ')[1];
    const title = await replayToTheEnd(replayLink(lines.join('\n')), {}, 'an altered replay');
    if (!new RegExp(`the match differs from the recording at tick ${tick}\\b`).test(title)) {
      throw new StepFailed(`the altered replay ends with "${title}"`);
    }
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

// A replay is the browser's one game too: opened beside a game, it offers to play here instead.
async function aReplayTakesTheOneGame(page, browser) {
  await page.reload();
  await playing(page);
  const replay = await open(browser, replayLink(state.recording), { width: W, height: H });
  try {
    await replay.waitFor('the notice in the replay tab', "document.body.dataset.state === 'elsewhere'", 10000);
    await replay.evaluate("document.getElementById('notice-button').click()");
    await page.waitFor('the game to end', "document.body.dataset.state === 'ended'", 5000);
    await replay.waitFor('the replay to play', "document.body.dataset.state === 'playing' && document.body.dataset.replay === 'playing'", 20000);
  } finally {
    await replay.close();
  }
}

const DESKTOP_STEPS = [
  firstFrameIsTheSimulatorsFrame, pitchAndSoftKeys, discFollowsTheMouse, aGoalChangesTheScore,
  theMatchSoFarIsKeptAndReplays,
  menuFromAyudaAndF2, hardShowsItsCheckMark, nuevoResetsTheMatch, aboutBoxOpensAndCloses,
  aFrozenTabComesBackWithoutABurst, aHiddenTabStandsStillAndComesBack,
  aceptarEndsAndTheButtonStartsAgain,
];

async function main() {
  const begun = Date.now();
  let browser = null;
  let page = null;
  let step = 'start';
  let passed = 0;
  try {
    state.server = await serve(join(here, '..', '..', 'web', 'serve.py'), options.site);
    state.url = state.server.url;
    browser = Browser.launch();
    const run = async (fn, ...args) => {
      step = fn.name;
      const started = Date.now();
      await fn(...args);
      ++passed;
      console.log(`ok   ${step.padEnd(40)} ${((Date.now() - started) / 1000).toFixed(1)} s`);
    };
    await run(badAddressesAreRefused, browser);
    await run(phoneFillsTheScreenAndATouchSteers, browser);
    await run(aLaptopGetsThePortraitScreen, browser);
    await run(aSidewaysPhoneGetsThePortraitScreen, browser);
    // As a link shared on the web comes: with other sites' parameters around ours.
    page = await open(browser, state.url + `?utm_source=share&screen=${W}x${H}&fbclid=IwAR0x`, { width: W, height: H });
    for (const fn of DESKTOP_STEPS) await run(fn, page);
    const elsewhere = await serveElsewhere();
    try {
      await run(badReplaysShowANotice, browser);
      await run(eachTargetsReplayPlays);
    } finally {
      elsewhere.close();
    }
    await run(startsWithTheNetworkOff, page);
    await run(aSecondTabEndsAndCanTakeOver, page, browser);
    await run(aReplayTakesTheOneGame, page, browser);
  } catch (failure) {
    console.log(`FAIL ${step}: ${failure.message}`);
    if (page) {
      if (page.consoleLines.length) console.log('     the page said:\n       ' + page.consoleLines.slice(-10).join('\n       '));
      if (options.artifacts) {
        await page.screenshot(join(options.artifacts, `failed-${step}.png`)).catch(() => {});
        console.log(`     the last screenshot: ${join(options.artifacts, `failed-${step}.png`)}`);
      }
    }
    await browser?.close();
    await state.server?.stop();
    console.log(`${passed} passed, 1 failed`);
    process.exit(1);
  }
  await browser.close();
  await state.server?.stop();
  console.log(`${passed} passed, 0 failed in ${((Date.now() - begun) / 1000).toFixed(1)} s`);
}

main();
