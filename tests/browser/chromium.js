// Headless Chromium driven over its DevTools pipe, with nothing but node:
// a static server for the page's folder, the browser, and what the browser
// tests and the page's benchmark ask of it (presses, keys, touches, reading
// the canvas back as PNG pixels).
//
// Sections: the server; the browser; PNG pictures; BMP pictures.
'use strict';

const { spawn } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

// --- The server ---

const TYPES = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
                '.webmanifest': 'application/manifest+json', '.png': 'image/png' };

// Serves folder on a free port of 127.0.0.1; resolves to the server, whose
// `missing` set names files to answer with 404 as if they were not there,
// `replaced` map gives other bytes for a file, `held` set names files whose
// answer waits until release() is called, `cut` set names files whose
// connection breaks halfway through them; with `hanging` set it takes every
// request and never answers; with `compressed` set it sends a file's .br or
// .gz copy where the browser accepts it, as a web server configured for
// them does.
function serve(folder) {
  const waiting = [];
  const server = http.createServer((request, response) => {
    if (server.hanging) return;
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname).replace(/\/$/, '/index.html');
    const file = path.join(folder, path.normalize(name));
    const answer = () => {
      const replaced = server.replaced.get(name.slice(1));
      if (!replaced && (!file.startsWith(folder) || server.missing.has(name.slice(1)) || !fs.existsSync(file) ||
          fs.statSync(file).isDirectory())) {
        response.writeHead(404);
        response.end();
        return;
      }
      const headers = { 'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream' };
      const accepted = request.headers['accept-encoding'] || '';
      let sent = file;
      for (const [encoding, extension] of [['br', '.br'], ['gzip', '.gz']]) {
        if (!replaced && server.compressed && sent === file && accepted.includes(encoding) && fs.existsSync(file + extension)) {
          sent = file + extension;
          headers['Content-Encoding'] = encoding;
        }
      }
      const body = replaced || fs.readFileSync(sent);
      if (server.cut.has(name.slice(1))) {
        response.writeHead(200, { ...headers, 'Content-Length': body.length });
        response.write(body.subarray(0, body.length >> 1), () => response.destroy());
        return;
      }
      response.writeHead(200, headers);
      response.end(body);
    };
    if (server.held.has(name.slice(1))) waiting.push(answer);
    else answer();
  });
  server.missing = new Set();
  server.replaced = new Map();
  server.held = new Set();
  server.cut = new Set();
  server.release = () => {
    server.held.clear();
    waiting.splice(0).forEach((answer) => answer());
  };
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

// --- The browser ---

class Browser {
  // Starts Chromium headless with a fresh profile; its DevTools protocol on
  // descriptors 3 (to it) and 4 (from it), messages ended by a zero byte.
  static async start() {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tarno-chromium-'));
    const child = spawn('chromium', [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--disable-features=Translate,MediaRouter', '--autoplay-policy=no-user-gesture-required',
      '--remote-debugging-pipe', '--user-data-dir=' + profile, 'about:blank',
    ], { stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe'], detached: true });
    const browser = new Browser(child, profile);
    await browser.attach();
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
    this.next = 1;
    this.waiting = new Map();
    this.listeners = [];
    this.console = [];
    let pending = '';
    child.stdio[4].on('data', (chunk) => {
      pending += chunk.toString();
      let end;
      while ((end = pending.indexOf('\0')) >= 0) {
        this.receive(JSON.parse(pending.slice(0, end)));
        pending = pending.slice(end + 1);
      }
    });
    child.stderr.on('data', () => {});
  }

  receive(message) {
    if (message.id && this.waiting.has(message.id)) {
      const { resolve, reject } = this.waiting.get(message.id);
      this.waiting.delete(message.id);
      if (message.error) reject(new Error(JSON.stringify(message.error)));
      else resolve(message.result);
      return;
    }
    if (message.method === 'Runtime.consoleAPICalled') {
      this.console.push(message.params.args.map((a) => a.value).join(' '));
    }
    for (const listener of this.listeners) listener(message);
  }

  // Sends a protocol command (to the page once attached); resolves to its result.
  send(method, params = {}, toBrowser = false) {
    const id = this.next++;
    const message = { id, method, params };
    if (this.session && !toBrowser) message.sessionId = this.session;
    this.child.stdio[3].write(JSON.stringify(message) + '\0');
    return new Promise((resolve, reject) => this.waiting.set(id, { resolve, reject }));
  }

  // The first event of method for which test says yes, within seconds.
  event(method, seconds = 10, test = () => true) {
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error('no ' + method)), seconds * 1000);
      const listener = (message) => {
        if (message.method !== method || !test(message.params)) return;
        clearTimeout(timer);
        this.listeners.splice(this.listeners.indexOf(listener), 1);
        resolve(message.params);
      };
      this.listeners.push(listener);
    });
  }

  async attach() {
    const { targetInfos } = await this.send('Target.getTargets', {}, true);
    const page = targetInfos.find((t) => t.type === 'page');
    const { sessionId } = await this.send('Target.attachToTarget', { targetId: page.targetId, flatten: true }, true);
    this.session = sessionId;
    await this.send('Page.enable');
    await this.send('Runtime.enable');
  }

  // A viewport of width x height CSS pixels at ratio device pixels each.
  viewport(width, height, ratio = 1, mobile = false) {
    return this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: ratio, mobile });
  }

  async open(url, seconds = 20) {
    const loaded = this.event('Page.loadEventFired', seconds);
    await this.send('Page.navigate', { url });
    await loaded;
  }

  async evaluate(expression) {
    const { result, exceptionDetails } = await this.send('Runtime.evaluate',
      { expression, awaitPromise: true, returnByValue: true });
    if (exceptionDetails) throw new Error(exceptionDetails.text);
    return result.value;
  }

  // A mouse event; button 'left', 'middle' or 'right' (buttons: those held after it).
  mouse(type, x, y, buttons = 1, button = 'left') {
    return this.send('Input.dispatchMouseEvent',
      { type, x, y, button, buttons: type === 'mouseReleased' ? 0 : buttons, clickCount: 1 });
  }

  wheel(x, y, deltaY) {
    return this.send('Input.dispatchMouseEvent', { type: 'mouseWheel', x, y, deltaX: 0, deltaY });
  }

  touch(type, points) {
    return this.send('Input.dispatchTouchEvent', { type, touchPoints: points });
  }

  // A key as the keyboard gives it: its DOM key and code, its text when it types one.
  async key(key, code, text = '', modifiers = 0) {
    const base = { key, code, modifiers, windowsVirtualKeyCode: KEY_CODES[code] || 0 };
    await this.send('Input.dispatchKeyEvent', { type: text ? 'keyDown' : 'rawKeyDown', text, ...base });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', ...base });
  }

  // The page's pixels in clip (CSS pixels at the viewport's ratio) as RGB.
  async screenshot(clip) {
    const { data } = await this.send('Page.captureScreenshot', { format: 'png', clip: { ...clip, scale: 1 } });
    return readPng(Buffer.from(data, 'base64'));
  }

  // Closes the browser, its helper processes with it, and removes its profile.
  async close() {
    const exited = new Promise((resolve) => this.child.on('exit', resolve));
    const asked = this.send('Browser.close', {}, true).catch(() => {});
    const timer = setTimeout(() => this.child.kill('SIGKILL'), 5000);
    await Promise.race([asked, exited]);
    await exited;
    clearTimeout(timer);
    try {
      process.kill(-this.child.pid, 'SIGKILL');
    } catch (gone) {
      // every process of the group has ended
    }
    fs.rmSync(this.profile, { recursive: true, force: true, maxRetries: 20, retryDelay: 100 });
  }
}

// Windows' virtual key codes, which Chromium wants beside the DOM's names.
const KEY_CODES = { Enter: 13, NumpadEnter: 13, Backspace: 8, Escape: 27, Delete: 46, KeyC: 67, KeyQ: 81,
                    KeyE: 69, Digit0: 48, Digit1: 49, Digit2: 50, Digit3: 51, Digit4: 52, Digit5: 53,
                    Digit6: 54, Digit7: 55, Digit8: 56, Digit9: 57, Numpad4: 100, Period: 190,
                    ArrowLeft: 37, ArrowUp: 38, ArrowRight: 39, ArrowDown: 40, Space: 32, F9: 120,
                    Minus: 189, Semicolon: 186, Backslash: 220, Slash: 191 };
for (const letter of 'ABCDEFGHIJKLMNOPQRSTUVWXYZ') KEY_CODES['Key' + letter] = letter.charCodeAt(0);

// --- PNG pictures ---

// The pixels of an 8-bit RGB or RGBA PNG without interlace: { width, height, rgb }.
function readPng(file) {
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < file.length) {
    const length = file.readUInt32BE(at), type = file.toString('latin1', at + 4, at + 8);
    const body = file.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      channels = { 2: 3, 6: 4 }[body[9]];
      if (body[8] !== 8 || !channels || body[12] !== 0) throw new Error('not an 8-bit RGB(A) PNG');
    }
    if (type === 'IDAT') data.push(body);
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels, rgb = Buffer.alloc(width * height * 3);
  let previous = Buffer.alloc(stride);
  for (let y = 0; y < height; ++y) {
    const filter = raw[y * (stride + 1)];
    const line = Buffer.from(raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1)));
    for (let i = 0; i < stride; ++i) {
      const a = i >= channels ? line[i - channels] : 0, b = previous[i], c = i >= channels ? previous[i - channels] : 0;
      const p = a + b - c, pa = Math.abs(p - a), pb = Math.abs(p - b), pc = Math.abs(p - c);
      const predicted = [0, a, b, (a + b) >> 1, pa <= pb && pa <= pc ? a : (pb <= pc ? b : c)][filter];
      line[i] = (line[i] + predicted) & 0xff;
    }
    for (let x = 0; x < width; ++x) line.copy(rgb, (y * width + x) * 3, x * channels, x * channels + 3);
    previous = line;
  }
  return { width, height, rgb };
}

// --- BMP pictures ---

// The pixels of a 24- or 32-bit BMP, as SDL saves it: { width, height, rgb }.
function readBmp(file) {
  const offset = file.readUInt32LE(10), width = file.readInt32LE(18), height = file.readInt32LE(22);
  const size = file.readUInt16LE(28) / 8, stride = Math.ceil(width * size / 4) * 4;
  const rows = Math.abs(height), rgb = Buffer.alloc(width * rows * 3);
  for (let y = 0; y < rows; ++y) {
    const row = offset + (height > 0 ? rows - 1 - y : y) * stride;
    for (let x = 0; x < width; ++x) {
      const at = row + x * size, to = (y * width + x) * 3;
      rgb[to] = file[at + 2];
      rgb[to + 1] = file[at + 1];
      rgb[to + 2] = file[at];
    }
  }
  return { width, height: rows, rgb };
}

// picture with every pixel repeated as a scale x scale block.
function scaled(picture, scale) {
  const width = picture.width * scale, height = picture.height * scale, rgb = Buffer.alloc(width * height * 3);
  for (let y = 0; y < height; ++y)
    for (let x = 0; x < width; ++x)
      picture.rgb.copy(rgb, (y * width + x) * 3, (((y / scale) | 0) * picture.width + ((x / scale) | 0)) * 3,
                       (((y / scale) | 0) * picture.width + ((x / scale) | 0)) * 3 + 3);
  return { width, height, rgb };
}

// How many pixels differ, and where the first one is.
function differences(seen, expected) {
  if (seen.width !== expected.width || seen.height !== expected.height)
    return { count: expected.width * expected.height, first: `${seen.width}x${seen.height}, not ${expected.width}x${expected.height}` };
  let count = 0, first = '';
  for (let i = 0; i < expected.rgb.length; i += 3) {
    if (seen.rgb.compare(expected.rgb, i, i + 3, i, i + 3) === 0) continue;
    if (count++ === 0) {
      const p = i / 3;
      first = `(${p % seen.width}, ${(p / seen.width) | 0}): ${seen.rgb.subarray(i, i + 3).toString('hex')} ` +
              `instead of ${expected.rgb.subarray(i, i + 3).toString('hex')}`;
    }
  }
  return { count, first };
}

module.exports = { serve, Browser, readPng, readBmp, scaled, differences };
