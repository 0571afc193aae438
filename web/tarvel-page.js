// The page around the program: the canvas that shows the device screen, the events that feed it,
// the end and notice screens, the door between tabs, and the offline cache. The program's side
// of each call is in platform/web/web_backend.cpp, platform/window/window_endpoint_web.cpp and
// app/web_main.cpp.
'use strict';

// The virtual keys the program knows, by the DOM's key codes (the key's place on the keyboard,
// whatever its layout prints on it).
const VIRTUAL_KEYS = (() => {
  const keys = {
    F1: 0x70, F2: 0x71, Escape: 0x1b, Enter: 0x0d, NumpadEnter: 0x0d, Space: 0x20, Tab: 0x09,
    Backspace: 0x08, ArrowLeft: 0x25, ArrowUp: 0x26, ArrowRight: 0x27, ArrowDown: 0x28,
    ControlLeft: 0x11, ControlRight: 0x11, ShiftLeft: 0x10, ShiftRight: 0x10,
    AltLeft: 0x12, AltRight: 0x12,
    // A replay's speed and step keys: '+' (or '='), '-', '.', and the keypad's.
    Equal: 0xbb, Minus: 0xbd, Period: 0xbe, NumpadAdd: 0x6b, NumpadSubtract: 0x6d, NumpadDecimal: 0x6e,
  };
  for (let c = 65; c <= 90; ++c) keys['Key' + String.fromCharCode(c)] = c;
  for (let d = 0; d <= 9; ++d) keys['Digit' + d] = 0x30 + d;
  return keys;
})();

// The page's own events, numbered as DomEventKind in platform/web/dom_input.h
// (tests/platform/web/dom_input_test.cpp compares the two).
const EVENT = {
  pointerDown: 1, pointerMove: 2, pointerUp: 3, pointerCancel: 4,
  keyDown: 5, keyUp: 6, blur: 7, closeRequest: 8,
};
const INTS_PER_EVENT = 6;

const TITLE = 'Tarvel';

const TarvelPage = {
  canvas: document.getElementById('screen'),
  context: null,
  picture: null,
  // Where the canvas is in the viewport, once asked after each layout (see devicePoint).
  canvasRect: null,
  queue: [],
  wake: null,
  due: -1,
  dueTimer: 0,
  shown: false,
  firstFrame: false,
  flashing: 0,
  // Requests from other tabs to come forward, and the first frame as shown (for the tests).
  raises: 0,
  firstFrameBytes: null,
  timer: { ticks: 0, first: 0, last: 0, worstLateness: 0 },
  // How often the program has waited for an event or its timer (for the tests).
  waits: 0,
  // Why the match stands still: 'hidden' (no one can see the page), 'turned' (see turn). The
  // program's timer is not set meanwhile: the game, which moves a step a tick, stays where it
  // was, and when the page is back the timer is due at once and goes on at its pace, as the
  // window system's timers do after any wait (no ticks owed for the time away).
  pauses: new Set(),
  // Close requests still to send while another tab takes the game over (see closeAll).
  closesLeft: 0,

  pause(reason, on) {
    if (on) this.pauses.add(reason);
    else this.pauses.delete(reason);
    this.setTimer();
  },

  // The viewport in CSS pixels: the device screen when the address names none.
  viewport() {
    const root = document.documentElement;
    return [Math.round(root.clientWidth || innerWidth), Math.round(root.clientHeight || innerHeight)];
  },

  // Places the canvas in the viewport: as large as fits, its shape kept, centred between bars.
  // A fit just above a whole number of display pixels per device pixel is taken down to it when
  // that gives up no more than a fifteenth of the fit, so every device pixel stays a crisp square:
  // a desktop window's rule (tests/web/page_layout.mjs holds the two to one table of sizes).
  layout() {
    const canvas = this.canvas;
    if (!canvas.width || !canvas.height) return;
    const [width, height] = this.viewport();
    const ratio = window.devicePixelRatio || 1;
    let scale = Math.min(width / canvas.width, height / canvas.height);
    const physical = scale * ratio;
    const whole = Math.floor(physical);
    if (whole >= 1 && physical - whole <= physical / 15) scale = whole / ratio;
    const cssWidth = canvas.width * scale;
    const cssHeight = canvas.height * scale;
    canvas.style.width = cssWidth + 'px';
    canvas.style.height = cssHeight + 'px';
    canvas.style.left = Math.floor((width - cssWidth) / 2) + 'px';
    canvas.style.top = Math.floor((height - cssHeight) / 2) + 'px';
    this.canvasRect = null;
  },

  // The device screen's size, fixed for the run.
  open(width, height) {
    const [viewportWidth, viewportHeight] = this.viewport();
    this.startedUpright = viewportHeight > viewportWidth;
    this.canvas.width = width;
    this.canvas.height = height;
    this.context = this.canvas.getContext('2d', { alpha: false });
    this.layout();
  },

  push(kind, id, x, y, repeat, mainButton) {
    this.queue.push(kind, id, x, y, repeat ? 1 : 0, mainButton ? 1 : 0);
    if (this.wake) this.wake();
  },

  // Hands queued events to the program: writes at most `capacity` of them into `heap` from
  // `index` on and says how many.
  takeInput(heap, index, capacity) {
    const count = Math.min(capacity, this.queue.length / INTS_PER_EVENT);
    const ints = count * INTS_PER_EVENT;
    for (let i = 0; i < ints; ++i) heap[index + i] = this.queue[i];
    this.queue.splice(0, ints);
    return count;
  },

  // The program's wait: over when an event arrives or at `due` on performance.now()'s clock
  // (never, when negative). The timer stays set when an event ends the wait first: the loop
  // usually waits for the same tick again, and a pointer moving over the game would otherwise
  // set and clear a timer for every move.
  wait(due) {
    if (!this.queue.length && this.closesLeft > 0) {
      --this.closesLeft;
      this.push(EVENT.closeRequest, 0, 0, 0, false, false);
    }
    if (this.queue.length) return Promise.resolve();
    ++this.waits;
    return new Promise((resolve) => {
      this.wake = () => {
        this.wake = null;
        resolve();
      };
      if (due < 0 || due === this.due) return;
      this.due = due;
      this.setTimer();
    });
  },

  // Sets the browser's timer for `due`, unless the match stands still.
  setTimer() {
    clearTimeout(this.dueTimer);
    if (this.due < 0 || this.pauses.size) return;
    // A browser's timer can fire a fraction of a millisecond early: woken then, the program
    // would find its timer not yet due and wait once more, a second wake for every tick.
    const fire = () => {
      const left = this.due - performance.now();
      if (left > 0) {
        this.dueTimer = setTimeout(fire, left);
        return;
      }
      this.due = -1;
      if (this.wake) this.wake();
    };
    this.dueTimer = setTimeout(fire, this.due - performance.now());
  },

  // A phone turned on its side during a match that began upright. The screen keeps its size for
  // the match (the game's speeds and sizes follow it), and at the turned viewport's height it
  // would be a strip smaller than the screen it was picked as, its soft keys too small to hit:
  // the player is asked, in the game's language, to turn it back, and the match waits meanwhile.
  // A tablet's screen, shown larger than that either way, plays on; so does a computer's, whose
  // window made wider only shows it smaller.
  turn() {
    const [width, height] = this.viewport();
    const shrunk = Math.min(width / this.canvas.width, height / this.canvas.height) < 1;
    const turned = this.shown && !this.canvas.hidden && this.startedUpright && width > height &&
      shrunk && matchMedia('(pointer: coarse)').matches;
    document.getElementById('turn').hidden = !turned;
    this.pause('turned', turned);
  },

  // `parts`: x, y, width, height of each part of the picture that changed.
  present(bytes, width, height, parts) {
    if (!this.context) return;
    // The program hands over the same bytes every frame: one picture over them serves until
    // the program's memory grows, which moves them.
    let picture = this.picture;
    if (!picture || picture.data.buffer !== bytes.buffer ||
        picture.data.byteOffset !== bytes.byteOffset || picture.width !== width ||
        picture.height !== height) {
      const pixels = new Uint8ClampedArray(bytes.buffer, bytes.byteOffset, bytes.length);
      picture = this.picture = new ImageData(pixels, width, height);
    }
    for (let i = 0; i < parts.length; i += 4) {
      this.context.putImageData(picture, 0, 0, parts[i], parts[i + 1], parts[i + 2], parts[i + 3]);
    }
    if (!this.firstFrame) {
      this.firstFrame = true;
      this.firstFrameBytes = bytes.slice();
      performance.mark('tarvel-first-frame');
      document.body.dataset.state = 'playing';
    }
  },

  show() {
    this.shown = true;
    this.canvas.hidden = false;
    this.canvasRect = null;
    this.canvas.focus({ preventScroll: true });
    this.turn();
  },

  // Another tab asked for the game: a page cannot bring its tab to the front, so its title
  // flashes until the tab is looked at.
  raise() {
    ++this.raises;
    clearInterval(this.flashing);
    if (document.visibilityState === 'visible') {
      this.canvas.focus({ preventScroll: true });
      return;
    }
    let count = 0;
    this.flashing = setInterval(() => {
      ++count;
      const done = document.visibilityState === 'visible' || count >= 40;
      document.title = done || count % 2 === 0 ? TITLE : '\u25cf ' + TITLE;
      if (done) clearInterval(this.flashing);
    }, 500);
  },

  timerTaken(due, taken) {
    const t = this.timer;
    const now = performance.now();
    if (t.ticks === 0) t.first = now;
    t.last = now;
    ++t.ticks;
    t.worstLateness = Math.max(t.worstLateness, taken - due);
  },

  // A screen of text with one button in place of the game.
  notice(state, text, buttonText, action) {
    this.canvas.hidden = true;
    this.canvasRect = null;
    document.body.dataset.state = state;
    document.getElementById('notice-text').textContent = text;
    const button = document.getElementById('notice-button');
    button.textContent = buttonText;
    button.onclick = action;
    document.getElementById('notice').hidden = false;
    button.focus();
    this.turn();
  },

  refuse(message) {
    this.notice('refused', message, 'Play at the size of this window', () => {
      location.search = '';
    });
  },

  ended(status, shown) {
    clearInterval(this.flashing);
    this.closesLeft = 0;
    document.title = TITLE;
    if (shown) {
      this.notice('ended', 'The game has ended.', 'Play again', () => location.reload());
    } else {
      this.notice('elsewhere', 'Tarvel is already open in another tab of this browser; its title flashes there.', 'Play here instead', () => this.endpoints.takeOver());
    }
  },

  // Another tab takes the game over: whatever the program has open is closed, the active window
  // first (the About box, say), then the game. A close request goes to the active window; each
  // time the program is done with one and waits again, it gets the next, until it has ended.
  closeAll() {
    this.closesLeft = 10;
    this.push(EVENT.closeRequest, 0, 0, 0, false, false);
  },

  failed(what) {
    this.notice('failed', 'Tarvel stopped: ' + what, 'Start again',
      () => location.reload());
  },
};

// The door between tabs of this origin: a published window holds a Web Lock of its name; asks
// and answers go over a BroadcastChannel that every tab of the game listens to.
TarvelPage.endpoints = {
  channel: typeof BroadcastChannel === 'function' ? new BroadcastChannel('tarvel-windows') : null,
  listeners: new Map(),
  nextListener: 1,
  open: new Map(),
  nextOpen: 1,
  asked: new Map(),
  found: null,

  // A listener's number, 0 when the name is held already, -1 where there are no Web Locks.
  listen(name) {
    if (!navigator.locks || !this.channel) return Promise.resolve(-1);
    return new Promise((resolve) => {
      navigator.locks.request(name, { ifAvailable: true }, (lock) => {
        if (!lock) {
          resolve(0);
          return undefined;
        }
        const id = this.nextListener++;
        return new Promise((release) => {
          this.listeners.set(id, { name, release, requests: [] });
          resolve(id);
        });
      }).catch(() => resolve(-1));
    });
  },

  close(id) {
    const listener = this.listeners.get(id);
    if (!listener) return;
    this.listeners.delete(id);
    listener.release();
  },

  // The next request for listener `id` as a number to answer, 0 when none waits.
  nextRequest(id) {
    const listener = this.listeners.get(id);
    const request = listener && listener.requests.shift();
    if (!request) return 0;
    const handle = this.nextOpen++;
    this.open.set(handle, request);
    return handle;
  },

  answer(handle, done) {
    const request = this.open.get(handle);
    this.open.delete(handle);
    if (request) this.channel.postMessage({ reply: request.id, done });
  },

  async listening(name) {
    if (!navigator.locks) return false;
    const state = await navigator.locks.query();
    const held = state.held.some((lock) => lock.name === name);
    if (held) this.found = name;
    return held;
  },

  requestFront(name, timeout) {
    if (!this.channel) return Promise.resolve(false);
    return new Promise((resolve) => {
      const id = Math.random().toString(36).slice(2) + Date.now().toString(36);
      const timer = setTimeout(() => {
        this.asked.delete(id);
        resolve(false);
      }, timeout);
      this.asked.set(id, (done) => {
        clearTimeout(timer);
        this.asked.delete(id);
        resolve(done);
      });
      this.channel.postMessage({ ask: 'front', to: name, id });
    });
  },

  // "Play here": the other tab's game is asked to close, and once it has let go of its window
  // this page starts again and takes its place. A tab that does not answer (one the browser has
  // put to sleep) is said to, rather than left to be waited for.
  async takeOver() {
    const name = this.found;
    if (!name || !this.channel) {
      location.reload();
      return;
    }
    const button = document.getElementById('notice-button');
    button.disabled = true;
    document.getElementById('notice-text').textContent = 'Closing the game in the other tab\u2026';
    this.channel.postMessage({ ask: 'close', to: name });
    const giveUp = new AbortController();
    const timer = setTimeout(() => giveUp.abort(), 5000);
    try {
      await navigator.locks.request(name, { signal: giveUp.signal }, () => undefined);
    } catch (error) {
      button.disabled = false;
      TarvelPage.notice('elsewhere', 'The game in the other tab did not close: the browser may have ' +
        'put that tab to sleep. Close it, or bring it forward, then try again.', 'Play here instead',
        () => this.takeOver());
      return;
    }
    clearTimeout(timer);
    location.reload();
  },

  receive(message) {
    if (!message || typeof message !== 'object') return;
    if (message.reply !== undefined) {
      const answer = this.asked.get(message.reply);
      if (answer) answer(Boolean(message.done));
      return;
    }
    for (const listener of this.listeners.values()) {
      if (listener.name !== message.to) continue;
      if (message.ask === 'front') {
        // The program takes requests when it wakes; a paused page's does not wake by itself.
        listener.requests.push({ id: message.id });
        if (TarvelPage.wake) TarvelPage.wake();
      } else if (message.ask === 'close') {
        TarvelPage.closeAll();
      }
    }
  },
};

// Input. Positions are taken to device pixels here; what they mean is decided by the program's
// side (platform/web/dom_input.cpp).
(() => {
  const page = TarvelPage;
  const canvas = page.canvas;

  // The canvas moves only when laid out again: asking the browser where it is for every pointer
  // move would make it work out its layout every time.
  const devicePoint = (event) => {
    const rect = page.canvasRect || canvas.getBoundingClientRect();
    if (!rect.width || !rect.height) return null;
    page.canvasRect = rect;
    return [
      Math.floor((event.clientX - rect.left) * canvas.width / rect.width),
      Math.floor((event.clientY - rect.top) * canvas.height / rect.height),
    ];
  };
  // Input is the game's while it is on view; a finger or key that goes up meanwhile is passed
  // on, or the game would hold it down.
  const withheld = (kind) => page.pauses.has('turned') && [EVENT.pointerDown, EVENT.pointerMove, EVENT.keyDown].includes(kind);
  const pointer = (kind) => (event) => {
    if (!page.shown || withheld(kind)) return;
    const at = devicePoint(event);
    if (!at) return;
    if (kind === EVENT.pointerDown && event.pointerType !== 'mouse' && event.target === canvas) {
      // A finger keeps reporting to the canvas when it slides over the bars.
      canvas.setPointerCapture(event.pointerId);
    }
    if (event.target === canvas) event.preventDefault();
    page.push(kind, event.pointerId, at[0], at[1], false, event.button <= 0);
  };
  addEventListener('pointerdown', pointer(EVENT.pointerDown));
  addEventListener('pointermove', pointer(EVENT.pointerMove));
  addEventListener('pointerup', pointer(EVENT.pointerUp));
  addEventListener('pointercancel', pointer(EVENT.pointerCancel));
  canvas.addEventListener('contextmenu', (event) => event.preventDefault());

  // Control as the event says it is: its own press may have gone to another window or tab.
  let control = false;
  const controlAsHeld = (event) => {
    if (event.code === 'ControlLeft' || event.code === 'ControlRight') {
      control = event.type === 'keydown';
    } else if (event.ctrlKey !== control) {
      control = event.ctrlKey;
      page.push(control ? EVENT.keyDown : EVENT.keyUp, VIRTUAL_KEYS.ControlLeft, 0, 0, false, true);
    }
  };
  const key = (kind) => (event) => {
    if (!page.shown || withheld(kind)) return;
    controlAsHeld(event);
    const virtualKey = VIRTUAL_KEYS[event.code] || 0;
    const letter = event.code === 'KeyA' || event.code === 'KeyQ';
    // The game's own keys: help (F1), search (F2), select all (Ctrl+A) and the rest would
    // otherwise reach the browser too.
    if (['F1', 'F2', 'Escape'].includes(event.code) || (event.ctrlKey && letter)) {
      event.preventDefault();
    }
    page.push(kind, virtualKey, 0, 0, event.repeat, true);
  };
  addEventListener('keydown', key(EVENT.keyDown));
  addEventListener('keyup', key(EVENT.keyUp));
  addEventListener('blur', () => {
    control = false;
    page.push(EVENT.blur, 0, 0, 0, false, false);
  });

  // A fault in the program ends it: say so rather than leave a frozen picture.
  const fault = (what) => {
    if (['loading', 'playing'].includes(document.body.dataset.state)) page.failed(String(what));
  };
  addEventListener('error', (event) => fault(event.message));
  addEventListener('unhandledrejection', (event) => fault(event.reason));

  const resized = () => {
    page.layout();
    page.turn();
  };
  addEventListener('resize', resized);
  if (window.visualViewport) visualViewport.addEventListener('resize', resized);
  const visibility = () => page.pause('hidden', document.visibilityState === 'hidden');
  document.addEventListener('visibilitychange', visibility);
  visibility();
  if (page.endpoints.channel) page.endpoints.channel.onmessage = (m) => page.endpoints.receive(m.data);
})();

// The program. Its size is known once main has read the address: the canvas gets it then.
var Module = {
  canvas: TarvelPage.canvas,
  // The program's file as the document names it (by its contents; see web/assemble_site.cmake).
  locateFile: (path) => (path.endsWith('.wasm') ? document.getElementById('program').getAttribute('href') : path),
  print: (text) => console.log(text),
  printErr: (text) => console.warn(text),
  onAbort: (what) => TarvelPage.failed(String(what)),
};

// Every file of the page is kept for playing offline (sw.js); only where the page is served
// over HTTPS or from this machine. Registered once the page has loaded: a first visit then
// downloads the page once, not twice side by side.
if ('serviceWorker' in navigator && window.isSecureContext) {
  addEventListener('load', () => {
    navigator.serviceWorker.register('sw.js').catch((error) => console.warn('sw.js:', error));
  });
}
