// Replays on the page. Every match is recorded in memory as the program writes it (see
// app/page_replay.cpp); the player keeps it from the end screen or with Ctrl+S: as a file, through
// the system's share sheet, or as a link that plays it. The link carries the replay in its
// fragment, compressed, so it never reaches a server: #replay=BASE64URL of its deflate-raw bytes.
// `?replay=URL` plays a replay file served elsewhere. A replay is a stranger's input: its link, the
// file and what they unpack to are bounded here, and the program reads the text as strictly as
// tarvel-sim does; anything wrong ends in a notice, never in a game.
'use strict';

const TarvelReplay = {
  // The longest replay text the page takes (the program's reader has the same bound).
  MAX_TEXT: 16 * 1024 * 1024,
  // The longest fragment: an hour's match in base64url is well under a megabyte.
  MAX_LINK: 2 * 1024 * 1024,
  // A replay packs to a fifth of its size or so (its check digests do not pack at all): text
  // more than RATIO times its packed bytes (past the first SLACK bytes) is a decompression bomb.
  RATIO: 64,
  SLACK: 64 * 1024,

  // What the program has recorded of this page's match, piece by piece; whether it records (the
  // web benchmark sets window.tarvelRecording to false before the page loads, to weigh the cost).
  pieces: [],
  recorded: 0,
  recording: window.tarvelRecording !== false,
  // A match that outgrows a replay keeps its beginning: what is kept stays a replay to its end.
  full: false,
  // The replay this page plays, when it was opened with one.
  played: null,
  panel: null,
  // The link of what the panel keeps, once packed (for sharing).
  link: null,

  // --- The packed form of a link ---

  // Base64url without padding, the bytes of `bytes`.
  toBase64url(bytes) {
    let binary = '';
    for (let i = 0; i < bytes.length; i += 0x8000) {
      binary += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    }
    return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
  },

  fromBase64url(text) {
    if (!/^[A-Za-z0-9_-]*$/.test(text) || text.length % 4 === 1) {
      throw new Error('it holds characters or a length no replay link has');
    }
    const binary = atob(text.replace(/-/g, '+').replace(/_/g, '/'));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    return bytes;
  },

  async pack(text) {
    const stream = new Blob([text]).stream().pipeThrough(new CompressionStream('deflate-raw'));
    return this.toBase64url(new Uint8Array(await new Response(stream).arrayBuffer()));
  },

  // Reads `stream` (of bytes) to text, stopping as soon as it passes `limit` bytes (a function of
  // the bytes read so far, so that a bound can follow the input) with the reason `tooLong` gives.
  async readBounded(stream, limit, tooLong) {
    const reader = stream.getReader();
    const parts = [];
    let total = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      total += value.length;
      if (total > limit()) {
        reader.cancel().catch(() => {});
        throw new Error(tooLong(total));
      }
      parts.push(value);
    }
    const bytes = new Uint8Array(total);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    try {
      return new TextDecoder('utf-8', { fatal: true }).decode(bytes);
    } catch {
      throw new Error('it is not text');
    }
  },

  async unpack(link) {
    if (link.length > this.MAX_LINK) {
      throw new Error(`it is ${link.length} characters long, more than any replay link (${this.MAX_LINK})`);
    }
    const packed = this.fromBase64url(link);
    if (!packed.length) throw new Error('it holds no replay');
    const bound = Math.min(this.MAX_TEXT, this.SLACK + this.RATIO * packed.length);
    const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
    try {
      return await this.readBounded(stream, () => bound,
        () => `it unpacks to more than ${bound} bytes, far more than a replay of its size`);
    } catch (error) {
      // The stream's own errors (a cut or altered link) are the browser's words: say it plainly.
      if (error instanceof TypeError) throw new Error('its replay is damaged or cut short');
      throw error;
    }
  },

  // --- Where a replay comes from ---

  // The page's address without a replay: the address of a game of one's own.
  ownGameAddress() {
    const url = new URL(location.href);
    url.hash = '';
    url.searchParams.delete('replay');
    return url.href;
  },

  linkTo(packed) {
    const url = new URL(this.ownGameAddress());
    url.search = '';
    url.hash = 'replay=' + packed;
    return url.href;
  },

  async fetchReplay(address) {
    let url;
    try {
      url = new URL(address, location.href);
    } catch {
      throw new Error('its address is not one');
    }
    if (url.protocol !== 'https:' && url.protocol !== 'http:') {
      throw new Error(`its address is not a web address (${url.protocol})`);
    }
    let response;
    try {
      response = await fetch(url, { credentials: 'omit' });
    } catch {
      throw new Error(`${url.href} could not be fetched (the network, or the server does not let other sites read it)`);
    }
    if (!response.ok) throw new Error(`${url.href} answered HTTP ${response.status}`);
    return this.readBounded(response.body, () => this.MAX_TEXT,
      () => `${url.href} is larger than any replay (${this.MAX_TEXT} bytes)`);
  },

  // The replay this page was opened to play: its text, null when the address names none, or
  // a rejection with the reason when it cannot be had.
  async wanted() {
    const fragment = location.hash.startsWith('#replay=') ? location.hash.slice(8) : null;
    const address = new URLSearchParams(location.search).get('replay');
    if (fragment !== null) return this.unpack(fragment);
    if (address !== null) return this.fetchReplay(address);
    return null;
  },

  // Called by the program before it starts: the length in UTF-8 of the replay to play (which it
  // then copies from `played`), -1 when there is none, -2 when the page showed why the one asked
  // for cannot be played.
  async start() {
    let text;
    try {
      text = await this.wanted();
    } catch (error) {
      this.refuse(error.message);
      return -2;
    }
    if (text === null) return -1;
    this.played = text;
    this.recording = false;
    document.body.dataset.replay = 'playing';
    return new TextEncoder().encode(text).length;
  },

  refuse(reason) {
    TarvelPage.notice('refused', `This replay cannot be played: ${reason}.`, 'Play a game of your own',
      () => location.assign(this.ownGameAddress()));
  },

  // --- What the program says ---

  // Each piece ends with a check, so the pieces kept are always a whole replay.
  append(text) {
    if (this.full || this.recorded + text.length > this.MAX_TEXT) {
      this.full = true;
      return;
    }
    this.pieces.push(text);
    this.recorded += text.length;
  },

  // Where the replay stands ("replay x2, tick 40", "replay paused at tick 7"), in the title as
  // the desktop's window shows it. At its end, or at a check that fails, the last frame stays
  // with a game of one's own on offer.
  report(status, final, failed) {
    document.title = `${TITLE}: ${status}`;
    if (!final) return;
    document.body.dataset.replay = failed ? 'failed' : 'ended';
    this.showPanel(failed ? `The replay stopped: ${status}.` : 'The replay has ended.', true);
  },

  // --- Keeping a match ---

  text() {
    return this.played !== null ? this.played : this.pieces.join('');
  },

  fileName() {
    const now = new Date();
    const two = (n) => String(n).padStart(2, '0');
    return `tarvel-${now.getFullYear()}${two(now.getMonth() + 1)}${two(now.getDate())}-` +
      `${two(now.getHours())}${two(now.getMinutes())}${two(now.getSeconds())}.tarvel`;
  },

  download() {
    const url = URL.createObjectURL(new Blob([this.text()], { type: 'text/plain' }));
    const anchor = document.createElement('a');
    anchor.href = url;
    anchor.download = this.fileName();
    document.body.append(anchor);
    anchor.click();
    anchor.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  },

  shareFile() {
    return new File([this.text()], this.fileName(), { type: 'text/plain' });
  },

  canShare() {
    try {
      return typeof navigator.share === 'function' && typeof navigator.canShare === 'function' &&
        navigator.canShare({ files: [this.shareFile()] });
    } catch {
      return false;
    }
  },

  // Called at once from the tap: a browser shares only while the tap is fresh, so the link is
  // the one packed when the panel opened, if it is ready.
  async share() {
    const shared = { files: [this.shareFile()], title: 'Tarvel' };
    if (this.link) shared.url = this.link;
    try {
      await navigator.share(shared);
    } catch (error) {
      if (error.name !== 'AbortError') this.say(`Could not share it: ${error.message}`);
    }
  },

  async copyLink() {
    const link = this.linkTo(await this.pack(this.text()));
    const field = this.panel.querySelector('input');
    field.value = link;
    field.hidden = false;
    field.select();
    try {
      await navigator.clipboard.writeText(link);
      this.say(`The link is copied (${link.length} characters).`);
    } catch {
      this.say('Copy the link from the field.');
    }
  },

  say(text) {
    this.panel.querySelector('.keep-said').textContent = text;
  },

  // The panel that keeps the match: on the end screen, over the game from Ctrl+S, and at the
  // end of a replay (with a game of one's own first).
  makePanel() {
    const panel = document.createElement('div');
    panel.id = 'keep';
    panel.setAttribute('role', 'dialog');
    panel.hidden = true;
    const button = (label, action, name) => {
      const element = document.createElement('button');
      element.type = 'button';
      element.textContent = label;
      element.className = name;
      element.onclick = action;
      return element;
    };
    const title = document.createElement('p');
    title.className = 'keep-title';
    const said = document.createElement('p');
    said.className = 'keep-said';
    said.setAttribute('aria-live', 'polite');
    const field = document.createElement('input');
    field.readOnly = true;
    field.hidden = true;
    field.setAttribute('aria-label', 'The link that plays it');
    const row = document.createElement('div');
    row.className = 'keep-buttons';
    row.append(
      button('Play a game of your own', () => location.assign(this.ownGameAddress()), 'keep-own'),
      button('Download', () => this.download(), 'keep-download'),
      button('Share', () => this.share(), 'keep-share'),
      button('Copy a link', () => this.copyLink(), 'keep-link'),
      button('Close', () => this.hidePanel(), 'keep-close'));
    panel.append(title, row, field, said);
    document.body.append(panel);
    this.panel = panel;
  },

  showPanel(title, ownGame) {
    const panel = this.panel;
    panel.querySelector('.keep-title').textContent = title;
    panel.querySelector('.keep-said').textContent = this.full && this.played === null ?
      `The match outgrew a replay (${this.MAX_TEXT} bytes): its beginning is kept.` : '';
    panel.querySelector('input').hidden = true;
    panel.querySelector('.keep-own').hidden = !ownGame;
    panel.querySelector('.keep-share').hidden = !this.canShare();
    // The end screen has its own button; over the game, the panel closes.
    panel.querySelector('.keep-close').hidden = document.body.dataset.state !== 'playing';
    panel.hidden = false;
    this.link = null;
    if (!panel.querySelector('.keep-share').hidden) {
      this.pack(this.text()).then((packed) => { this.link = this.linkTo(packed); });
    }
    // Over the game, the panel has the keyboard; the end screen keeps it on its own button.
    if (document.body.dataset.state === 'playing') panel.querySelector('button:not([hidden])').focus();
  },

  hidePanel() {
    this.panel.hidden = true;
    if (TarvelPage.shown && document.body.dataset.state === 'playing') {
      TarvelPage.canvas.focus({ preventScroll: true });
    }
  },

  // Ctrl+S: keep the match so far.
  keep() {
    if (!this.text()) {
      return;
    }
    const what = this.played !== null ? 'Keep this replay:' : 'Keep this match so far:';
    this.showPanel(what, this.played !== null && document.body.dataset.replay === 'ended');
  },
};

(() => {
  const replay = TarvelReplay;
  replay.makePanel();
  // The end screen offers to keep the match beside its own button.
  const ended = TarvelPage.ended.bind(TarvelPage);
  TarvelPage.ended = (status, shown) => {
    ended(status, shown);
    if (shown && replay.text()) {
      replay.showPanel(replay.played !== null ? 'Keep this replay:' : 'Keep this match:', false);
    }
  };
  // Ctrl+S (and Cmd+S) keeps the match instead of saving the page; while the panel is open, keys
  // and the pointer over it are the panel's, not the game's. Listened for on the way down, before
  // the page hands them to the game.
  let keptWithS = false;
  addEventListener('keydown', (event) => {
    if ((event.ctrlKey || event.metaKey) && event.code === 'KeyS') {
      event.preventDefault();
      event.stopImmediatePropagation();
      keptWithS = true;
      if (!event.repeat) replay.keep();
      return;
    }
    if (!replay.panel.hidden && document.body.dataset.state === 'playing') {
      event.stopImmediatePropagation();
      if (event.code === 'Escape') replay.hidePanel();
    }
  }, true);
  addEventListener('keyup', (event) => {
    const ownS = keptWithS && event.code === 'KeyS';
    if (ownS) keptWithS = false;
    if (ownS || (!replay.panel.hidden && document.body.dataset.state === 'playing')) {
      event.stopImmediatePropagation();
    }
  }, true);
  for (const type of ['pointerdown', 'pointermove', 'pointerup']) {
    addEventListener(type, (event) => {
      if (replay.panel.contains(event.target)) event.stopImmediatePropagation();
    }, true);
  }
  // A replay link pasted over this one changes only the fragment, which loads no page by itself.
  addEventListener('hashchange', () => {
    if (location.hash.startsWith('#replay=') || replay.played !== null) location.reload();
  });
})();
