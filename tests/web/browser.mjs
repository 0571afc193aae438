// A small client of Chromium's DevTools protocol, for the page's tests and benchmark: starts
// Debian's headless Chromium with the protocol on a pipe (no port, no npm package), opens pages
// and drives them. Messages are JSON, each ended by a NUL byte; fd 3 carries commands to the
// browser, fd 4 its answers and events.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

export const CHROMIUM = process.env.TARVEL_CHROMIUM || '/usr/bin/chromium';

export class Browser {
  static launch({ extraArguments = [] } = {}) {
    const profile = mkdtempSync(join(tmpdir(), 'tarvel-chromium-'));
    const child = spawn(CHROMIUM, [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-default-apps', '--mute-audio', '--hide-scrollbars',
      '--disable-background-timer-throttling', '--disable-renderer-backgrounding',
      '--disable-backgrounding-occluded-windows',
      `--user-data-dir=${profile}`, '--remote-debugging-pipe', ...extraArguments, 'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'] });
    return new Browser(child, profile);
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.nextId = 1;
    this.waiting = new Map();
    this.listeners = new Set();
    this.errors = '';
    this.closed = false;
    let pending = Buffer.alloc(0);
    child.stdio[4].on('data', (chunk) => {
      pending = Buffer.concat([pending, chunk]);
      for (let end = pending.indexOf(0); end >= 0; end = pending.indexOf(0)) {
        const message = JSON.parse(pending.subarray(0, end).toString('utf8'));
        pending = pending.subarray(end + 1);
        this.dispatch(message);
      }
    });
    child.stderr.on('data', (chunk) => {
      this.errors = (this.errors + chunk.toString()).slice(-4000);
    });
    child.on('exit', (code) => {
      this.closed = true;
      for (const { reject } of this.waiting.values()) {
        reject(new Error(`chromium exited (${code}): ${this.errors.trim().split('\n').pop()}`));
      }
      this.waiting.clear();
    });
  }

  dispatch(message) {
    if (message.id !== undefined) {
      const call = this.waiting.get(message.id);
      this.waiting.delete(message.id);
      if (!call) return;
      if (message.error) call.reject(new Error(`${call.method}: ${message.error.message}`));
      else call.resolve(message.result);
      return;
    }
    for (const listener of this.listeners) listener(message);
  }

  send(method, params = {}, sessionId = undefined) {
    if (this.closed) return Promise.reject(new Error(`${method}: chromium has exited`));
    const id = this.nextId++;
    const message = { id, method, params };
    if (sessionId) message.sessionId = sessionId;
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject, method });
      this.child.stdio[3].write(JSON.stringify(message) + '\0');
    });
  }

  // Calls `listener(message)` for every event; returns a function that stops it.
  listen(listener) {
    this.listeners.add(listener);
    return () => this.listeners.delete(listener);
  }

  async newPage({ width = 480, height = 640, scale = 1, mobile = false, touch = false } = {}) {
    const { targetId } = await this.send('Target.createTarget', { url: 'about:blank' });
    const { sessionId } = await this.send('Target.attachToTarget', { targetId, flatten: true });
    const page = new Page(this, targetId, sessionId);
    await page.send('Page.enable');
    await page.send('Runtime.enable');
    await page.send('Emulation.setDeviceMetricsOverride',
      { width, height, deviceScaleFactor: scale, mobile });
    if (touch) await page.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
    return page;
  }

  async close() {
    if (!this.closed) {
      const exited = new Promise((resolve) => this.child.on('exit', resolve));
      this.send('Browser.close').catch(() => {});
      await Promise.race([exited, delay(5000)]);
      if (!this.closed) {
        this.child.kill('SIGKILL');
        await exited;
      }
    }
    // Its helper processes may still be writing their last files.
    rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
  }
}

export class Page {
  constructor(browser, targetId, sessionId) {
    this.browser = browser;
    this.targetId = targetId;
    this.sessionId = sessionId;
    this.consoleLines = [];
    browser.listen((message) => {
      if (message.sessionId !== sessionId) return;
      if (message.method === 'Runtime.consoleAPICalled') {
        this.consoleLines.push(message.params.args.map((a) => a.value ?? a.description).join(' '));
      } else if (message.method === 'Runtime.exceptionThrown') {
        this.consoleLines.push('exception: ' + message.params.exceptionDetails.exception?.description);
      }
    });
  }

  send(method, params = {}) {
    return this.browser.send(method, params, this.sessionId);
  }

  async navigate(url) {
    const loaded = this.once('Page.loadEventFired');
    const result = await this.send('Page.navigate', { url });
    if (result.errorText) throw new Error(`navigating to ${url}: ${result.errorText}`);
    await loaded;
  }

  async reload() {
    const loaded = this.once('Page.loadEventFired');
    await this.send('Page.reload', { ignoreCache: false });
    await loaded;
  }

  once(method, timeout = 20000) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => {
        stop();
        reject(new Error(`no ${method} within ${timeout} ms`));
      }, timeout);
      const stop = this.browser.listen((message) => {
        if (message.sessionId === this.sessionId && message.method === method) {
          clearTimeout(timer);
          stop();
          resolve(message.params);
        }
      });
    });
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) {
      throw new Error(`${expression}: ${exceptionDetails.exception?.description || exceptionDetails.text}`);
    }
    return result.value;
  }

  // Polls `expression` until it is true-ish; its last value, or an error after `timeout`.
  // A page in the middle of loading may not answer; that counts as not yet.
  async waitFor(what, expression, timeout = 10000) {
    const deadline = Date.now() + timeout;
    let failure = null;
    for (;;) {
      let value = null;
      try {
        value = await this.evaluate(expression);
      } catch (error) {
        failure = error;
      }
      if (value) return value;
      if (Date.now() > deadline) {
        throw new Error(`timed out waiting for ${what}${failure ? ` (last: ${failure.message})` : ''}`);
      }
      await delay(50);
    }
  }

  async screenshot(path) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png' });
    writeFileSync(path, Buffer.from(data, 'base64'));
  }

  mouse(type, x, y, button = 'none') {
    return this.send('Input.dispatchMouseEvent',
      { type, x, y, button, buttons: button === 'left' && type !== 'mouseReleased' ? 1 : 0, clickCount: button === 'none' ? 0 : 1 });
  }

  async click(x, y) {
    await this.mouse('mouseMoved', x, y);
    await this.mouse('mousePressed', x, y, 'left');
    await this.mouse('mouseReleased', x, y, 'left');
  }

  touch(type, points) {
    return this.send('Input.dispatchTouchEvent',
      { type, touchPoints: points.map(([x, y], id) => ({ x, y, id })) });
  }

  async tap(x, y) {
    await this.touch('touchStart', [[x, y]]);
    await this.touch('touchEnd', []);
  }

  // A key by its DOM code, with the modifiers given (2 is Control).
  async key(code, { key = code, keyCode = 0, modifiers = 0 } = {}) {
    const base = { code, key, windowsVirtualKeyCode: keyCode, nativeVirtualKeyCode: keyCode, modifiers };
    await this.send('Input.dispatchKeyEvent', { type: 'rawKeyDown', ...base });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...base });
  }

  close() {
    return this.browser.send('Target.closeTarget', { targetId: this.targetId });
  }
}

export function delay(milliseconds) {
  return new Promise((resolve) => setTimeout(resolve, milliseconds));
}

// Starts web/serve.py for `folder` on `port` (a free one by default), with its further
// `options` ('--max-age', '600'; '--log' fills `sentWhole`); resolves to
// { url, port, stop, sentWhole }, the last counting the responses sent whole (status 200) by path.
export function serve(serverScript, folder, { port = 0, options = [] } = {}) {
  const child = spawn('python3', [serverScript, '--port', String(port), ...options, folder],
    { stdio: ['ignore', 'pipe', 'inherit'] });
  const sentWhole = new Map();
  return new Promise((resolve, reject) => {
    let text = '';
    let served = false;
    child.stdout.on('data', (chunk) => {
      text += chunk;
      let end;
      while ((end = text.indexOf('\n')) >= 0) {
        const line = text.slice(0, end);
        text = text.slice(end + 1);
        const sent = /^sent (\S+) 200 /.exec(line);
        if (sent) sentWhole.set(sent[1], (sentWhole.get(sent[1]) || 0) + 1);
        const found = /serving (http:\/\/\S+)/.exec(line);
        if (found && !served) {
          served = true;
          resolve({
            url: found[1],
            port: Number(new URL(found[1]).port),
            sentWhole,
            stop: () => new Promise((done) => {
              child.on('exit', done);
              child.kill();
            }),
          });
        }
      }
    });
    child.on('exit', (code) => reject(new Error(`web/serve.py exited (${code}) before serving`)));
  });
}
