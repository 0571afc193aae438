// A returning visitor and a new build, in Debian's headless Chromium: the page is visited, then
// the server is given a second build that differs from the first in every file the page loads,
// and the page is reloaded (and, with its service worker, reloaded with the network off). Each
// time the page must run one build whole. Served by web/serve.py telling the browser not to
// cache and letting it keep every file ten minutes, and by a stock nginx (Debian's defaults,
// which leave the browser to guess how long it may keep a file, and with "expires 1h"); under
// nginx also at an address that is no secure context, as a machine on the LAN is, where there
// is no service worker and only the files' names keep the builds apart.
//
//   node update_e2e.mjs --site build/web [--nginx /usr/sbin/nginx]
import { spawn } from 'node:child_process';
import { createHash } from 'node:crypto';
import {
  cpSync, existsSync, mkdtempSync, readdirSync, readFileSync, renameSync, rmSync, symlinkSync,
  utimesSync, writeFileSync,
} from 'node:fs';
import { createServer, connect } from 'node:net';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { Browser, delay, serve } from './browser.mjs';

const here = dirname(fileURLToPath(import.meta.url));
const server = join(here, '..', '..', 'web', 'serve.py');
const usage = 'usage: node update_e2e.mjs --site DIR [--nginx NGINX]';
const options = { nginx: '/usr/sbin/nginx' };
for (let i = 2; i < process.argv.length; i += 2) {
  const name = process.argv[i].replace(/^--/, '');
  if (!['site', 'nginx'].includes(name) || process.argv[i + 1] === undefined) {
    console.error(usage);
    process.exit(2);
  }
  options[name] = resolve(process.argv[i + 1]);
}
if (!options.site) {
  console.error(usage);
  process.exit(2);
}
const site = options.site;
if (!existsSync(options.nginx)) {
  console.error(`update_e2e: no nginx at ${options.nginx}: install nginx-light (scripts/install-deps --test)`);
  process.exit(2);
}
// A name Chromium resolves to this machine but, not being localhost, holds to be no secure
// context, as it does a LAN address over plain HTTP.
const LAN_HOST = 'tarvel.lan';

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

// The files a build's service worker lists, each with its SHA-256; './' is the document.
function listed(folder) {
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  return Object.fromEntries([...worker.matchAll(/'([^']+)': '([0-9a-f]{64})'/g)].map((m) => [m[1], m[2]]));
}

// The second build: a copy of the first with every file changed in a way that changes nothing
// else, each change one the page can be asked about, every file but the document and the worker
// named after its new contents as the build names them, and its worker listing them all under a
// new version.
function secondBuild(first, folder) {
  cpSync(first, folder, { recursive: true });
  const append = (text) => (bytes) => Buffer.concat([bytes, Buffer.from(text)]);
  const name = Buffer.from('tarvel-build');
  const payload = Buffer.concat([leb128(name.length), name, Buffer.from('second')]);
  // The manifest last of the named files: it names the icons.
  const changes = [
    [/^tarvel\..*\.css$/, append('\n:root { --tarvel-build: second; }\n')],
    [/^tarvel-page\..*\.js$/, append('\nTarvelPage.build = \'second\';\n')],
    [/^tarvel-replay\..*\.js$/, append('\nTarvelReplay.build = \'second\';\n')],
    [/^tarvel\.[0-9a-f]+\.js$/, append('\nvar tarvelBuild = \'second\';\n')],
    // A custom section, which the engine passes over.
    [/\.wasm$/, (bytes) => Buffer.concat([bytes, Buffer.from([0]), leb128(payload.length), payload])],
    // Bytes after a PNG's last chunk are not read.
    [/\.png$/, append('second build')],
    [/\.webmanifest$/, (bytes) => Buffer.from(bytes.toString().replace('{', '{\n  "tarvel_build": "second",'))],
    [/^index\.html$/, (bytes) => Buffer.from(bytes.toString().replace('<head>', '<head>\n<meta name="tarvel-build" content="second">'))],
  ];
  const files = Object.keys(listed(folder)).map((file) => (file === './' ? 'index.html' : file));
  const renamed = new Map();
  for (const [pattern, change] of changes) {
    const matching = files.filter((file) => pattern.test(file));
    if (matching.length === 0) throw new Error(`the first build has no file like ${pattern}`);
    for (const file of matching) {
      let bytes = change(readFileSync(join(folder, file)));
      if (/\.(html|webmanifest)$/.test(file)) {
        let text = bytes.toString();
        for (const [old, now] of renamed) text = text.replaceAll(`"${old}"`, `"${now}"`);
        bytes = Buffer.from(text);
      }
      const now = file.replace(/\.[0-9a-f]{16}\./, `.${sha256(bytes).slice(0, 16)}.`);
      if (now === file && file !== 'index.html') throw new Error(`${file} is not named after its contents`);
      rmSync(join(folder, file));
      writeFileSync(join(folder, now), bytes);
      renamed.set(file, now);
    }
  }
  const fresh = {};
  for (const file of renamed.values()) fresh[file === 'index.html' ? './' : file] = sha256(readFileSync(join(folder, file)));
  const cache = `tarvel-${sha256(JSON.stringify(fresh)).slice(0, 16)}`;
  const list = Object.entries(fresh).map(([file, digest]) => `'${file}': '${digest}'`).join(',\n  ');
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8')
    .replace(/const FILES = \{[^}]*\};/, `const FILES = {${list}};`)
    .replace(/const CACHE = 'tarvel-[0-9a-f]+';/, `const CACHE = '${cache}';`);
  writeFileSync(join(folder, 'sw.js'), worker);
  const check = listed(folder);
  if (JSON.stringify(check) !== JSON.stringify(fresh) || !worker.includes(cache)) throw new Error('sw.js was not rewritten');
  return { files: fresh, cache };
}

function firstBuild(folder) {
  const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
  return { files: listed(folder), cache: `tarvel-${/const CACHE = 'tarvel-([0-9a-f]+)';/.exec(worker)[1]}` };
}

const BASE64 = `const base64 = (buffer) => {
  const bytes = new Uint8Array(buffer);
  let text = '';
  for (let i = 0; i < bytes.length; i += 0x8000) text += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(text);
};`;

// Which build the open page runs: the marks in its document, style sheet and scripts, and what
// every file its document names is when fetched as the page fetches it, each named 'first' or
// 'second' (or 'neither'); one build's name, or 'mixed' with the details.
async function runningBuild(page, builds) {
  // The bytes cross as base64, to be digested here: a page that is no secure context has no
  // crypto.subtle.
  const seen = await page.evaluate(`(async () => {
    ${BASE64}
    const files = {};
    const named = [...document.querySelectorAll('link[href], script[src]')].map((e) => e.getAttribute('href') || e.getAttribute('src'));
    for (const file of named) {
      const response = await fetch(file);
      files[file] = response.ok ? base64(await response.arrayBuffer()) : 'HTTP ' + response.status;
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
  for (const [file, bytes] of Object.entries(seen.files)) {
    if (!bytes.startsWith('HTTP ')) seen.files[file] = sha256(Buffer.from(bytes, 'base64'));
  }
  const names = new Set([...seen.marks, ...Object.entries(seen.files).map(([f, d]) => of(f, d))]);
  if (Object.keys(seen.files).length < 6) return `one whose document names only ${Object.keys(seen.files)}`;
  return names.size === 1 ? [...names][0] : `mixed (${seen.marks}; ${Object.entries(seen.files).map(([f, d]) => `${f} ${of(f, d)}`).join(', ')})`;
}

const playing = (page) => page.waitFor('the game', "document.body.dataset.state === 'playing'", 20000);
const firstFrame = async (page) => sha256(Buffer.from(await page.evaluate(`(() => { ${BASE64} return base64(TarvelPage.firstFrameBytes); })()`), 'base64'));

async function expectBuild(page, builds, wanted, when) {
  await playing(page);
  const running = await runningBuild(page, builds);
  if (running !== wanted) throw new StepFailed(`${when}: the page runs the ${running} build, not the ${wanted}`);
}

// A port no one listens on now.
function freePort() {
  return new Promise((done, fail) => {
    const probe = createServer().listen(0, '127.0.0.1', () => {
      const { port } = probe.address();
      probe.close(() => done(port));
    }).on('error', fail);
  });
}

// web/serve.py serving `folder`; a release restarts it on the same port with the new one.
async function pageServer(folder, serverOptions) {
  let web = await serve(server, folder, { options: [...serverOptions, '--log'] });
  const port = web.port;
  return {
    port,
    sentWhole: web.sentWhole,
    release: async (next) => {
      await web.stop();
      web = await serve(server, next, { port, options: serverOptions });
    },
    stop: () => web.stop(),
  };
}

// Debian's nginx with its stock settings (nginx.conf and the default site, but for the paths
// and the port: it runs as this user, in one process, from a folder of its own) serving
// `folder`, with "expires" when given. A release points its root at the new build, as a release
// that swaps a link does.
async function nginxServer(folder, expires) {
  const prefix = mkdtempSync(join(tmpdir(), 'tarvel-nginx-'));
  const root = join(prefix, 'site');
  symlinkSync(folder, root);
  const port = await freePort();
  const temp = ['client_body', 'proxy', 'fastcgi', 'uwsgi', 'scgi']
    .map((kind) => `${kind}_temp_path ${join(prefix, kind)};`).join('\n  ');
  writeFileSync(join(prefix, 'nginx.conf'), `daemon off;
master_process off;
pid ${join(prefix, 'nginx.pid')};
error_log ${join(prefix, 'error.log')};
events { worker_connections 768; }
http {
  sendfile on;
  tcp_nopush on;
  types_hash_max_size 2048;
  include /etc/nginx/mime.types;
  default_type application/octet-stream;
  access_log off;
  gzip on;
  ${temp}
  server {
    listen 127.0.0.1:${port};
    root ${root};
    index index.html index.htm index.nginx-debian.html;
    ${expires ? `expires ${expires};` : ''}
    location / {
      try_files $uri $uri/ =404;
    }
  }
}
`);
  const child = spawn(options.nginx, ['-p', prefix, '-e', join(prefix, 'error.log'), '-c', join(prefix, 'nginx.conf')],
    { stdio: ['ignore', 'ignore', 'pipe'] });
  let errors = '';
  child.stderr.on('data', (chunk) => { errors += chunk; });
  const exited = new Promise((done) => child.on('exit', done));
  const stop = async () => {
    child.kill();
    await exited;
    rmSync(prefix, { recursive: true, force: true });
  };
  for (let tries = 0; ; ++tries) {
    const listening = await new Promise((done) => {
      const socket = connect(port, '127.0.0.1', () => {
        socket.end();
        done(true);
      }).on('error', () => done(false));
    });
    if (listening) break;
    if (tries === 100 || child.exitCode !== null) {
      await stop();
      throw new Error(`${options.nginx} did not start: ${errors.trim()}`);
    }
    await delay(50);
  }
  return {
    port,
    release: async (next) => {
      symlinkSync(next, `${root}.next`);
      renameSync(`${root}.next`, root);
    },
    stop,
  };
}

// With the service worker: the first visit keeps the build; after a release, the first reload
// still runs it, whole, while the new worker fetches the new build; the second runs the new
// build, and so does a reload with the network off.
async function withTheWorker(page, web, url, builds) {
  await page.navigate(url);
  await expectBuild(page, builds, 'first', 'the first visit');
  const frame = await firstFrame(page);
  await page.waitFor('the first build kept', `navigator.serviceWorker.ready.then(async () =>
    Boolean(navigator.serviceWorker.controller) && await caches.has('${builds.first.cache}'))`, 15000);
  // A first visit sends each file once: the worker keeps what the page has just fetched.
  if (web.sentWhole) {
    const twice = [...web.sentWhole].filter(([, times]) => times > 1).map(([path]) => path);
    if (twice.length > 0) throw new StepFailed(`the first visit sent ${twice.join(', ')} twice`);
    if (web.sentWhole.size < 5) throw new StepFailed(`the server's log names ${web.sentWhole.size} files`);
  }

  await web.release(builds.second.folder);
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
}

// Without one, at a LAN address: whatever the browser keeps, the reload after a release asks for
// the document again and runs the new build whole, and the address opened again runs one build
// whole (the new one, or the old one where the server let the browser keep the document).
async function withoutAWorker(page, web, url, builds) {
  await page.navigate(url);
  await expectBuild(page, builds, 'first', 'the first visit');
  if (await page.evaluate("window.isSecureContext || 'serviceWorker' in navigator")) {
    throw new StepFailed(`${url} is a secure context: it was meant to have no service worker`);
  }
  await web.release(builds.second.folder);
  await page.reload();
  await expectBuild(page, builds, 'second', 'the reload after the release');
  await page.navigate(url);
  const running = await runningBuild(page, builds);
  if (!['first', 'second'].includes(running)) throw new StepFailed(`the address opened again runs the ${running} build`);
}

const SETUPS = [
  { name: 'web/serve.py, no caching', start: (folder) => pageServer(folder, []), worker: true },
  { name: 'web/serve.py, max-age=600', start: (folder) => pageServer(folder, ['--max-age', '600']), worker: true },
  { name: "nginx's defaults", start: (folder) => nginxServer(folder, null), worker: true },
  { name: "nginx's defaults, at a LAN address", start: (folder) => nginxServer(folder, null), worker: false },
  { name: 'nginx, expires 1h', start: (folder) => nginxServer(folder, '1h'), worker: true },
  { name: 'nginx, expires 1h, at a LAN address', start: (folder) => nginxServer(folder, '1h'), worker: false },
];

async function main() {
  const begun = Date.now();
  const work = mkdtempSync(join(tmpdir(), 'tarvel-update-'));
  let failed = 0;
  try {
    const folders = { first: join(work, 'first'), second: join(work, 'second') };
    cpSync(site, folders.first, { recursive: true });
    // The first build an hour older, as a release before would be: the server's dates are
    // whole seconds, and a browser asking whether a file changed since gets "no" within one;
    // and a browser left to guess keeps a file a tenth of its age.
    const hourAgo = new Date(Date.now() - 3600 * 1000);
    for (const file of readdirSync(folders.first)) utimesSync(join(folders.first, file), hourAgo, hourAgo);
    const builds = {
      first: { ...firstBuild(folders.first), folder: folders.first },
      second: { ...secondBuild(folders.first, folders.second), folder: folders.second },
    };
    for (const setup of SETUPS) {
      const started = Date.now();
      const browser = Browser.launch({ extraArguments: [`--host-resolver-rules=MAP ${LAN_HOST} 127.0.0.1`] });
      let web = null;
      const page = await browser.newPage({ width: 480, height: 640 });
      try {
        web = await setup.start(folders.first);
        const url = `http://${setup.worker ? '127.0.0.1' : LAN_HOST}:${web.port}/`;
        await (setup.worker ? withTheWorker : withoutAWorker)(page, web, url, builds);
        console.log(`ok   ${`a new build, whole: ${setup.name}`.padEnd(60)} ${((Date.now() - started) / 1000).toFixed(1)} s`);
      } catch (failure) {
        ++failed;
        console.log(`FAIL a new build: ${setup.name}: ${failure.message}`);
      } finally {
        await page.close().catch(() => {});
        await web?.stop();
        await browser.close();
      }
    }
  } finally {
    rmSync(work, { recursive: true, force: true });
  }
  console.log(`${SETUPS.length - failed} passed, ${failed} failed in ${((Date.now() - begun) / 1000).toFixed(1)} s`);
  process.exit(failed ? 1 : 0);
}

main();
