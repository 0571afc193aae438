// A returning visitor and a new build, in Debian's headless Chromium: the page is visited (its
// service worker keeps the build), then the server is given a second build that differs from the
// first in every file the page loads, and the page is reloaded, then reloaded with the network
// off. Run against a server that tells the browser not to cache, and against one that lets it
// keep every file for ten minutes, as static hosts commonly do.
//
//   node update_e2e.mjs --site build/web
import { createHash } from 'node:crypto';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, utimesSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { Browser, serve } from './browser.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const server = join(here, '..', '..', 'web', 'serve.py');
if (process.argv.length !== 4 || process.argv[2] !== '--site') {
  console.error('usage: node update_e2e.mjs --site DIR');
  process.exit(2);
}
const site = resolve(process.argv[3]);

class StepFailed extends Error {}

const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');

// An unsigned LEB128 number, as WebAssembly writes sizes.
function leb128(value) {
  const bytes = [];
  do {
    let byte = value & 0x7f;
    value >>>= 7;
    if (value) byte |= 0x80;
    bytes.push(byte);
  } while (value);
  return Buffer.from(bytes);
}

// The second build: a copy of the first with every file changed in a way that changes nothing
// else, each change one the page can be asked about, and its service worker listing the new
// files under a new version.
function secondBuild(first, folder) {
  cpSync(first, folder, { recursive: true });
  const edit = (name, change) => writeFileSync(join(folder, name), change(readFileSync(join(folder, name))));
  const append = (text) => (bytes) => Buffer.concat([bytes, Buffer.from(text)]);
  edit('index.html', (bytes) => Buffer.from(bytes.toString().replace('<head>', '<head>\n<meta name="tarvel-build" content="second">')));
  edit('tarvel.css', append('\n:root { --tarvel-build: second; }\n'));
  edit('tarvel-page.js', append('\nTarvelPage.build = \'second\';\n'));
  edit('tarvel-replay.js', append('\nTarvelReplay.build = \'second\';\n'));
  edit('tarvel.js', append('\nvar tarvelBuild = \'second\';\n'));
  edit('manifest.webmanifest', (bytes) => Buffer.from(bytes.toString().replace('{', '{\n  "tarvel_build": "second",')));
  // A custom section, which the engine passes over.
  const name = Buffer.from('tarvel-build');
  const payload = Buffer.concat([leb128(name.length), name, Buffer.from('second')]);
  edit('tarvel.wasm', (bytes) => Buffer.concat([bytes, Buffer.from([0]), leb128(payload.length), payload]));
  // Bytes after a PNG's last chunk are not read.
  for (const icon of readdirSync(folder).filter((f) => f.endsWith('.png'))) edit(icon, append('second build'));

  let worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  const files = {};
  for (const [, file, digest] of worker.matchAll(/'([^']+)': '([0-9a-f]{64})'/g)) {
    const fresh = sha256(readFileSync(join(folder, file === './' ? 'index.html' : file)));
    if (fresh === digest) throw new Error(`the second build's ${file} is the first's`);
    worker = worker.replace(`'${file}': '${digest}'`, `'${file}': '${fresh}'`);
    files[file] = fresh;
  }
  const version = /const CACHE = 'tarvel-([0-9a-f]+)';/.exec(worker);
  if (!version || Object.keys(files).length < 8) throw new Error('sw.js has no version or too few files');
  const cache = `tarvel-${sha256(JSON.stringify(files)).slice(0, 16)}`;
  writeFileSync(join(folder, 'sw.js'), worker.replace(version[0], `const CACHE = '${cache}';`));
  return { files, cache };
}

function firstBuild(folder) {
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  const files = Object.fromEntries([...worker.matchAll(/'([^']+)': '([0-9a-f]{64})'/g)].map((m) => [m[1], m[2]]));
  return { files, cache: `tarvel-${/const CACHE = 'tarvel-([0-9a-f]+)';/.exec(worker)[1]}` };
}

// Which build the open page runs: the marks in its document, style sheet and scripts, and what
// its service worker hands it for every file, each named 'first' or 'second' or 'mixed'.
async function runningBuild(page, builds) {
  const seen = await page.evaluate(`(async () => {
    const hex = (b) => Array.from(new Uint8Array(b), (x) => x.toString(16).padStart(2, '0')).join('');
    const files = {};
    for (const file of ${JSON.stringify(Object.keys(builds.first.files))}) {
      const response = await fetch(file);
      files[file] = hex(await crypto.subtle.digest('SHA-256', await response.arrayBuffer()));
    }
    return {
      marks: [
        document.querySelector('meta[name=tarvel-build]')?.content || 'first',
        getComputedStyle(document.documentElement).getPropertyValue('--tarvel-build').trim() || 'first',
        TarvelPage.build || 'first',
        TarvelReplay.build || 'first',
        window.tarvelBuild || 'first',
      ],
      files,
    };
  })()`);
  const of = (file, digest) => Object.keys(builds).find((b) => builds[b].files[file] === digest) || 'neither';
  const names = new Set([...seen.marks, ...Object.entries(seen.files).map(([f, d]) => of(f, d))]);
  return names.size === 1 ? [...names][0] : `mixed (${seen.marks}; ${Object.entries(seen.files).map(([f, d]) => `${f} ${of(f, d)}`).join(', ')})`;
}

const playing = (page) => page.waitFor('the game', "document.body.dataset.state === 'playing'", 20000);
const firstFrame = (page) => page.evaluate(
  "crypto.subtle.digest('SHA-256', TarvelPage.firstFrameBytes).then((d) => Array.from(new Uint8Array(d)).join())");

async function expectBuild(page, builds, wanted, when) {
  await playing(page);
  const running = await runningBuild(page, builds);
  if (running !== wanted) throw new StepFailed(`${when}: the page runs the ${running} build, not the ${wanted}`);
}

async function visitThenUpdate(browser, folders, builds, serverOptions) {
  let web = await serve(server, folders.first, { options: [...serverOptions, '--log'] });
  const page = await browser.newPage({ width: 480, height: 640 });
  try {
    await page.navigate(web.url);
    await expectBuild(page, builds, 'first', 'the first visit');
    const frame = await firstFrame(page);
    await page.waitFor('the first build kept', `navigator.serviceWorker.ready.then(async () =>
      Boolean(navigator.serviceWorker.controller) && await caches.has('${builds.first.cache}'))`, 15000);
    // A first visit sends each file once: the worker keeps what the page has just fetched.
    const twice = [...web.sentWhole].filter(([, times]) => times > 1).map(([path]) => path);
    if (twice.length > 0) throw new StepFailed(`the first visit sent ${twice.join(', ')} twice`);
    if (web.sentWhole.size < 5) throw new StepFailed(`the server's log names ${web.sentWhole.size} files`);

    // The second build, from the same address.
    const port = web.port;
    await web.stop();
    web = await serve(server, folders.second, { port, options: serverOptions });

    // The first reload is answered from what the worker keeps, whole, while the browser finds
    // the new worker; once that has the second build, the page still gets the first's files.
    await page.reload();
    await expectBuild(page, builds, 'first', 'the first reload');
    await page.waitFor('the second build kept and its worker in charge', `navigator.serviceWorker.getRegistration()
      .then(async (r) => r && !r.installing && !r.waiting && r.active.state === 'activated' &&
        await caches.has('${builds.second.cache}'))`, 20000);
    await expectBuild(page, builds, 'first', 'the first reload, under the new worker');

    await page.reload();
    await expectBuild(page, builds, 'second', 'the second reload');
    if (await firstFrame(page) !== frame) throw new StepFailed('the second build shows another first frame');
    await page.waitFor('the first build dropped', `caches.keys().then((keys) =>
      keys.filter((k) => k.startsWith('tarvel-')).join() === '${builds.second.cache}')`, 10000);

    await page.send('Network.enable');
    await page.send('Network.emulateNetworkConditions',
      { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    await page.reload();
    await expectBuild(page, builds, 'second', 'a reload with the network off');
  } finally {
    await page.close().catch(() => {});
    await web.stop();
  }
}

async function main() {
  const begun = Date.now();
  const work = mkdtempSync(join(tmpdir(), 'tarvel-update-'));
  let failed = 0;
  try {
    const folders = { first: join(work, 'first'), second: join(work, 'second') };
    cpSync(site, folders.first, { recursive: true });
    // The first build an hour older, as a release before would be: the server's dates are
    // whole seconds, and a browser asking whether a file changed since gets "no" within one.
    const hourAgo = new Date(Date.now() - 3600 * 1000);
    for (const file of readdirSync(folders.first)) utimesSync(join(folders.first, file), hourAgo, hourAgo);
    const builds = { first: firstBuild(folders.first), second: secondBuild(folders.first, folders.second) };
    for (const [name, options] of [['no caching', []], ['max-age=600', ['--max-age', '600']]]) {
      const started = Date.now();
      const browser = Browser.launch();
      try {
        await visitThenUpdate(browser, folders, builds, options);
        console.log(`ok   ${`a new build, whole, served with ${name}`.padEnd(50)} ${((Date.now() - started) / 1000).toFixed(1)} s`);
      } catch (failure) {
        ++failed;
        console.log(`FAIL a new build served with ${name}: ${failure.message}`);
      } finally {
        await browser.close();
      }
    }
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
  console.log(`${2 - failed} passed, ${failed} failed in ${((Date.now() - begun) / 1000).toFixed(1)} s`);
  process.exit(failed ? 1 : 0);
}

main();
