// The calculator in headless Chromium, pressed as a person presses it: real
// mouse, touch and key events at the keys' middles, then the page's canvas
// against tarno-shot --upright's picture of the same keys, scaled as the
// page scales it.
//
//   node browser_test.js --web DIR --shot TARNO_SHOT --case NAME
//
// Run from the repository root (tarno-shot reads tarno/ there). Exits 0
// when the case passes, 1 when it fails, 77 when there is no page or no
// Chromium to test with.
'use strict';

const { execFileSync } = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');
const { serve, Browser, readBmp, scaled, differences } = require('./chromium.js');

const args = {};
for (let i = 2; i + 1 < process.argv.length; i += 2) args[process.argv[i].slice(2)] = process.argv[i + 1];

// The keypad's cells on the landscape screen, written down from its cell
// table: key column (tens digit 1..8) to screen x, key row (units digit
// 5..1) to screen y.
const CELL_COLUMNS = [[87, 109], [116, 138], [144, 166], [173, 195], [201, 223], [230, 252], [258, 280], [287, 309]];
const CELL_ROWS = [[8, 46], [55, 93], [102, 140], [149, 187], [196, 234]];

// A viewport of 800 x 1000 CSS pixels at one device pixel each: the page's
// largest whole scale is 3 (720 x 960), centred at (40, 20).
const VIEW = { width: 800, height: 1000 }, SCALE = 3;
const CANVAS = { x: 40, y: 20, width: 240 * SCALE, height: 320 * SCALE };

// The middle of key's cell, upright and scaled, in the page's CSS pixels.
function keyMiddle(key) {
  const [x0, x1] = CELL_COLUMNS[Math.floor(key / 10) - 1], [y0, y1] = CELL_ROWS[5 - (key % 10)];
  const x = (x0 + x1) >> 1, y = (y0 + y1) >> 1;
  return { x: CANVAS.x + (239 - y + 0.5) * SCALE, y: CANVAS.y + (x + 0.5) * SCALE };
}

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Inverts key's cell in an upright picture of widened 5-6-5 colours (the
// equals key's two cells and the gap between them).
function invertCell(picture, key) {
  const [x0, x1] = CELL_COLUMNS[Math.floor(key / 10) - 1];
  const [y0, y1] = key === 85 ? [8, 93] : CELL_ROWS[5 - (key % 10)];
  for (let x = x0; x <= x1; ++x) {
    for (let y = y0; y <= y1; ++y) {
      const at = (x * picture.width + (239 - y)) * 3;
      picture.rgb[at] = 248 - picture.rgb[at];
      picture.rgb[at + 1] = 252 - picture.rgb[at + 1];
      picture.rgb[at + 2] = 248 - picture.rgb[at + 2];
    }
  }
}

class Session {
  constructor(browser, url) {
    this.browser = browser;
    this.url = url;
    this.keys = [];
  }

  async tap(key) {
    const { x, y } = keyMiddle(key);
    await this.browser.mouse('mouseMoved', x, y, 0);
    await this.browser.mouse('mousePressed', x, y);
    await sleep(30);
    await this.browser.mouse('mouseReleased', x, y);
    this.keys.push(key);
    await sleep(250);  // past the calculator's 200 ms wait after a press
  }

  async hold(key, ms, repeats) {
    const { x, y } = keyMiddle(key);
    await this.browser.mouse('mousePressed', x, y);
    await sleep(ms);
    await this.expectScreen(5, key);  // shown pressed while held
    await this.browser.mouse('mouseReleased', x, y);
    for (let i = 0; i < repeats; ++i) this.keys.push(key);
    await sleep(250);
  }

  // A click of no length, and the next one 20 ms later.
  async quickClick(key) {
    const { x, y } = keyMiddle(key);
    await Promise.all([this.browser.mouse('mousePressed', x, y), this.browser.mouse('mouseReleased', x, y)]);
    this.keys.push(key);
    await sleep(20);
  }

  // A paste of text, as the browser hands it to the page.
  paste(text) {
    return this.browser.evaluate(`(() => {
      const data = new DataTransfer();
      data.setData('text/plain', ${JSON.stringify(text)});
      window.dispatchEvent(new ClipboardEvent('paste', { clipboardData: data }));
      return true;
    })()`);
  }

  // A finger's tap, lifted again at once: it may come and go between two frames.
  async touch(key) {
    const { x, y } = keyMiddle(key);
    await Promise.all([this.browser.touch('touchStart', [{ x, y }]), this.browser.touch('touchEnd', [])]);
    this.keys.push(key);
    await sleep(250);
  }

  async type(key, code, text, calculatorKey, modifiers = 0) {
    await this.browser.key(key, code, text, modifiers);
    if (calculatorKey) this.keys.push(calculatorKey);
  }

  // What the page says below the calculator (the calculator's own
  // messages), then closed, so that it hides no part of the canvas.
  async notes() {
    return this.browser.evaluate(`(() => { const text = [...document.querySelectorAll('#note-lines div')]
      .map((line) => line.textContent); document.getElementById('notes-seen').click(); return text; })()`);
  }

  // Opens url and waits for the calculator to run: until then the page
  // shows the same picture, and takes no presses.
  async open(url = this.url, seconds = 20) {
    await this.browser.open(url, seconds);
    if (!await this.until("() => calculator.classList.contains('running')", seconds))
      throw new Error('the calculator did not start');
  }

  // Waits up to seconds for what test (a function of the page, as text)
  // gives something true for; resolves to its last value.
  until(test, seconds = 10) {
    return this.browser.evaluate(`new Promise((resolve) => { const end = Date.now() + ${seconds * 1000};
      const wait = () => { const value = (${test})(); if (value || Date.now() > end) resolve(value); else setTimeout(wait, 50); };
      wait(); })`);
  }

  // Waits up to seconds for the canvas to show what tarno-shot draws for the
  // keys so far, with the key held (if any) drawn pressed: its cell's colours
  // inverted in the screen's 5-6-5 bits.
  async expectScreen(seconds, held = 0) {
    const shot = path.join(os.tmpdir(), `tarno-browser-${process.pid}.bmp`);
    execFileSync(args.shot, ['--upright', shot, ...this.keys.map(String)], { env: { ...process.env, SDL_VIDEODRIVER: 'dummy' } });
    const upright = readBmp(fs.readFileSync(shot));
    if (held) invertCell(upright, held);
    const expected = scaled(upright, SCALE);
    fs.unlinkSync(shot);
    const end = Date.now() + seconds * 1000;
    let found;
    do {
      found = differences(await this.browser.screenshot(CANVAS), expected);
      if (found.count === 0) return;
      await sleep(100);
    } while (Date.now() < end);
    throw new Error(`${found.count} pixels differ after the keys ${this.keys.join(' ')}; first at ${found.first}`);
  }
}

// The calculator's own messages when a data file is missing, on the console
// as the handheld writes them on standard error.
const MISSING = ['tarno/tarno9.bmp', 'tarno/tarno.wav'];
const COMPLAINTS = [
  "Unable to load WAV file: Couldn't open tarno/tarno.wav",
  "Unable to play WAV file: Tried to play a NULL chunk",
  "Couldn't load tarno/tarno9.bmp: Couldn't open tarno/tarno9.bmp",
];

// What the page says where the user looks: its sentence of failure and its notes.
const SAID = `() => ((document.getElementById('failure') || {}).textContent || '') + ' | ' +
  [...document.querySelectorAll('#note-lines div')].map((line) => line.textContent).join(' | ')`;

// Counts of what the page does while it sits still: animation frames, and
// the clicks started, with whether the sound was opened in a user activation.
const PROBE = `
  window.tarnoProbe = { frames: 0, clicks: 0, openedInActivation: [] };
  const request = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => request((time) => { window.tarnoProbe.frames++; callback(time); });
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function (...args) { window.tarnoProbe.clicks++; return start.apply(this, args); };
  const Context = window.AudioContext;
  window.AudioContext = function () {
    window.tarnoProbe.openedInActivation.push(navigator.userActivation.isActive);
    window.tarnoProbe.context = new Context();
    return window.tarnoProbe.context;
  };
`;

// Cases that open the page themselves.
const OWN_START = new Set(['first-picture', 'failures', 'small-window']);

const CASES = {
  // The power-on screen stands in the canvas's place while the wasm is on
  // its way, and the canvas then shows the same.
  'first-picture': async (s) => {
    s.server.held.add('tarno.wasm');
    await s.browser.send('Page.navigate', { url: s.url });
    await s.expectScreen(10);
    if (await s.browser.evaluate("calculator.classList.contains('running')")) throw new Error('the calculator ran before its wasm came');
    s.server.release();
    if (!await s.until("() => calculator.classList.contains('running')")) throw new Error('the calculator did not start');
    await s.tap(61);
    await s.expectScreen(5);
  },
  // Each way of failing, said on the page.
  'failures': async (s) => {
    const expect = async (setup, ...sentences) => {
      s.server.missing.clear();
      s.server.replaced.clear();
      s.server.cut.clear();
      setup();
      await s.browser.send('Page.navigate', { url: s.url });
      const test = `() => { const said = (${SAID})(); return ${JSON.stringify(sentences)}.every((text) => said.includes(text)) && said; }`;
      if (!await s.until(test)) throw new Error(`the page says "${await s.browser.evaluate(`(${SAID})()`)}", not "${sentences.join('" and "')}"`);
    };
    await expect(() => s.server.missing.add('tarno.wasm'), 'tarno.wasm could not be loaded');
    await expect(() => s.server.missing.add('tarno.js'), 'tarno.js could not be loaded');
    await expect(() => s.server.replaced.set('tarno.wasm', Buffer.from('\0asm, cut short')), 'tarno.wasm could not be compiled');
    await expect(() => s.server.cut.add('tarno.wasm'), 'tarno.wasm could not be loaded');
    await expect(() => s.server.cut.add('tarno.js'), 'tarno.js could not be loaded');
    const { identifier } = await s.browser.send('Page.addScriptToEvaluateOnNewDocument', { source: 'delete window.WebAssembly;' });
    await expect(() => {}, 'it has no WebAssembly');
    await s.browser.send('Page.removeScriptToEvaluateOnNewDocument', { identifier });
    // The calculator runs, with its own messages: an empty font, a keypad picture cut short.
    const keypad = fs.readFileSync(path.join(s.web, 'tarno', 'tarno.bmp'));
    await expect(() => {
      s.server.replaced.set('tarno/arial.ttf', Buffer.alloc(0));
      s.server.replaced.set('tarno/tarno.bmp', keypad.subarray(0, 1000));
      s.server.cut.add('tarno/tarno.wav');
    }, "Couldn't open font tarno/arial.ttf", "Couldn't load tarno/tarno.bmp", "Couldn't open tarno/tarno.wav");
    return 'complains';
  },
  // A window smaller than the calculator's pixels: all of it, smaller, and its keys work.
  'small-window': async (s) => {
    await s.browser.viewport(200, 260);
    await s.browser.open(s.url);
    await s.until("() => calculator.classList.contains('running')");
    const box = await s.browser.evaluate(`(() => { const r = canvas.getBoundingClientRect();
      return { left: r.left, top: r.top, right: r.right, bottom: r.bottom }; })()`);
    if (box.left < 0 || box.top < 0 || box.right > 200 || box.bottom > 260 || box.bottom - box.top < 259)
      throw new Error('the calculator is not whole in 200 x 260: ' + JSON.stringify(box));
    // 7 and = at their keys' middles, scaled down.
    const scale = (box.bottom - box.top) / 320;
    for (const [x, y] of [[24.5, 184.5], [200.5, 294.5]]) {
      await s.browser.mouse('mousePressed', box.left + x * scale, box.top + y * scale);
      await s.browser.mouse('mouseReleased', box.left + x * scale, box.top + y * scale);
      await sleep(250);
    }
    const shown = await s.browser.evaluate("document.getElementById('display').textContent");
    if (!shown.startsWith(' 7')) throw new Error('the keys did not work in a small window: ' + shown);
  },
  // Idle after a tap: no frames, the sound shut again; the first tap of a
  // finger clicked, with the sound opened as the finger lifted.
  'idle': async (s) => {
    await s.browser.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
    await s.touch(61);
    await s.expectScreen(5);
    await sleep(1000);
    const before = await s.browser.evaluate('window.tarnoProbe');
    await sleep(3000);
    const after = await s.browser.evaluate('({ frames: tarnoProbe.frames, state: tarnoProbe.context && tarnoProbe.context.state })');
    if (after.frames !== before.frames) throw new Error(`${after.frames - before.frames} frames in 3 s of idling`);
    if (before.clicks !== 1) throw new Error(`${before.clicks} clicks for the first tap`);
    if (before.openedInActivation.join() !== 'true') throw new Error('the sound was opened outside an activation: ' + before.openedInActivation);
    if (after.state !== 'suspended') throw new Error('the sound output is ' + after.state + ' while idle');
    await s.tap(62);  // and wakes up for the next
    await s.expectScreen(5);
  },
  // Memory, Ans, the angle unit and the format survive Off and a new start;
  // a kept text that cannot be read, or storage that cannot be, gives one
  // console line and the calculator as it starts without one.
  'kept': async (s) => {
    const setting = [62, 45, 15, 14, 15, 24, 63, 74, 62, 85];  // 2 STO, Deg, Sci, 3 + 2 =
    for (const key of setting) await s.tap(key);
    await s.tap(81);  // Off
    await s.until("() => getComputedStyle(document.getElementById('ended')).display === 'flex'");
    await s.browser.evaluate("document.getElementById('restart').click()");
    await sleep(500);
    await s.until("() => calculator.classList.contains('running')");
    s.keys = [...setting, 25];  // as after C: memory, Ans, angle and format as they were
    await s.expectScreen(5);
    await s.tap(35);
    await s.tap(55);
    await s.expectScreen(5);
    const restart = async (source) => {
      const { identifier } = await s.browser.send('Page.addScriptToEvaluateOnNewDocument', { source });
      s.browser.console.length = 0;
      await s.open();
      await s.browser.send('Page.removeScriptToEvaluateOnNewDocument', { identifier });
      s.keys = [];
      await s.expectScreen(5);
      const lines = s.browser.console.filter((line) => /kept values/.test(line));
      if (lines.length !== 1) throw new Error('the console says ' + (lines.join(' | ') || 'nothing'));
    };
    await restart("localStorage.setItem('tarno.kept', 'tarno-state 1\\nmemory 2\\nanswer oops\\n')");
    await restart("localStorage.setItem('tarno.kept', 'x'.repeat(1 << 20))");
    await restart("localStorage.setItem('tarno.kept', 'tarno-state 99\\n')");
    await restart("Object.defineProperty(window, 'localStorage', { get() { throw new DOMException('no', 'SecurityError'); } })");
    return 'complains';
  },
  // The keys for assistive technology: labelled, in the shift state's
  // meanings, reached by Tab and pressed by Enter; the display's text live.
  'accessible': async (s) => {
    const labels = () => s.browser.evaluate("[...document.querySelectorAll('#keys button')].map((b) => b.textContent)");
    const normal = await labels();
    if (normal.length !== 39 || normal[0] !== 'square' || normal[4] !== 'Shift' || normal[38] !== 'equals')
      throw new Error('the keys are ' + normal.join(', '));
    await s.browser.key('Tab', 'Tab');
    for (let i = 0; i < 4; ++i) await s.browser.key('Tab', 'Tab');  // to Shift
    await s.browser.key('Enter', 'Enter', '\r');
    s.keys.push(15);
    await s.browser.evaluate('document.activeElement.blur()');  // its ring lies over the canvas
    await s.expectScreen(5);
    const shifted = await labels();
    if (shifted[0] !== 'sine' || shifted[4] !== 'Shift off') throw new Error('the shifted keys are ' + shifted.join(', '));
    await s.browser.evaluate("document.querySelector('#keys button[data-key=\"15\"]').click()");
    s.keys.push(15);
    for (const key of [61, 74, 62, 85]) await s.tap(key);
    await s.expectScreen(5);
    const live = await s.browser.evaluate("[document.getElementById('display').getAttribute('aria-live'), document.getElementById('display').textContent]");
    if (live.join('|') !== 'polite| 3 Norm Rad') throw new Error('the live display says ' + live.join('|'));
  },
  // 1234567890123456 EXP −62: the longest entry, in a smaller size of the font.
  'long-entry': async (s) => {
    for (const key of [61, 62, 63, 51, 52, 53, 41, 42, 43, 71, 61, 62, 63, 51, 52, 53, 82, 73, 53, 62]) await s.tap(key);
    await s.expectScreen(5);
  },
  // Shift, Deg, 30, sin: the shifted keypad.
  'shifted-keypad': async (s) => {
    for (const key of [15, 14, 63, 71, 11]) await s.tap(key);
    await s.expectScreen(5);
  },
  // 0 ÷ 0 = and the logarithm of −2: not a number, shown as the handheld shows it.
  'nan-result': async (s) => {
    for (const key of [71, 44, 71, 85]) await s.tap(key);
    await s.expectScreen(5);
    for (const key of [62, 73, 24]) await s.tap(key);
    await s.expectScreen(5);
  },
  // A key held half a second: shown pressed meanwhile, then once, and not again.
  'held-key': async (s) => {
    await s.hold(61, 500, 1);
    await s.expectScreen(5);
  },
  // Clicks of no length 20 ms apart all count; sliding from a key onto Off,
  // the right button and the wheel do nothing; two fingers, the second down
  // before the first lifts, type both keys in the order they lift.
  'pointers': async (s) => {
    for (const key of [61, 62, 63, 51, 52]) await s.quickClick(key);
    await s.expectScreen(5);
    const seven = keyMiddle(41), off = keyMiddle(81), eight = keyMiddle(42);
    await s.browser.mouse('mousePressed', seven.x, seven.y);
    await s.browser.mouse('mouseMoved', off.x, off.y);
    await s.browser.mouse('mouseReleased', off.x, off.y);
    await s.browser.mouse('mousePressed', seven.x, seven.y, 2, 'right');
    await s.browser.mouse('mouseReleased', seven.x, seven.y, 0, 'right');
    await s.browser.wheel(seven.x, seven.y, 120);
    await sleep(250);
    await s.expectScreen(5);
    await s.browser.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
    const a = { x: seven.x, y: seven.y, id: 1 }, b = { x: eight.x, y: eight.y, id: 2 };
    await s.browser.touch('touchStart', [a]);
    await s.browser.touch('touchStart', [a, b]);
    await s.browser.touch('touchEnd', [b]);  // the second finger lifts first
    await s.browser.touch('touchEnd', []);
    s.keys.push(42, 41);
    await s.expectScreen(5);
    const ended = await s.browser.evaluate("getComputedStyle(document.getElementById('ended')).display");
    if (ended !== 'none') throw new Error('a slide onto Off switched the calculator off');
  },
  // Keys and shifted meanings from the keyboard, each as its taps: 30 d s
  // (Deg, sin 30), q (x² back in the normal meaning), i i, p, m, a, F9...
  'keyboard': async (s) => {
    const table = [
      ['3', 'Digit3', '3', [63]], ['0', 'Digit0', '0', [71]], ['d', 'KeyD', 'd', [15, 14]],
      ['s', 'KeyS', 's', [11]], ['q', 'KeyQ', 'q', [15, 11]], ['m', 'KeyM', 'm', [45]],
      ['Escape', 'Escape', '', [25]], ['p', 'KeyP', 'p', [34]], ['F9', 'F9', '', [73]],
      ['!', 'Digit1', '!', [31]], ['O', 'KeyO', 'O', [15, 22]], ['i', 'KeyI', 'i', [15]],
      ['R', 'KeyR', 'R', [35]], ['+', 'Equal', '+', [74]], ['a', 'KeyA', 'a', [55]], ['=', 'Equal', '=', [85]],
      ['1', 'Digit1', '1', [61]], ['e', 'KeyE', 'e', [82]], ['-', 'Minus', '-', [73]], ['3', 'Digit3', '3', [63]],
    ];
    for (const [key, code, text, taps] of table) {
      await s.browser.key(key, code, text, /^[A-Z!+]$/.test(key) ? 8 : 0);  // with Shift held
      s.keys.push(...taps);
    }
    await s.expectScreen(5);
  },
  // The key cursor: shown at the first arrow (5), moved up to 8, Space
  // presses 8; a click on 1 hides it.
  'cursor': async (s) => {
    await s.type('ArrowDown', 'ArrowDown', '', 0);
    await s.type('ArrowUp', 'ArrowUp', '', 0);
    await s.type(' ', 'Space', ' ', 42);
    await sleep(200);
    const ring = await s.expectScreen(0).then(() => false, () => true);
    if (!ring) throw new Error('no key cursor to be seen');
    await s.tap(61);
    await s.expectScreen(5);
  },
  // A paste of -1.5e-3 is typed as its taps; 12abc is refused whole; the
  // copy of an entry with an exponent is the number without blanks.
  'paste': async (s) => {
    await s.paste('-1.5e-3');
    s.keys.push(61, 72, 52, 73, 82, 73, 63);
    await s.expectScreen(5);
    await s.paste('12abc');
    await sleep(200);
    await s.expectScreen(5);
    await s.browser.evaluate('navigator.clipboard.writeText = (text) => { window.copied = text; return Promise.resolve(); }');
    await s.type('c', 'KeyC', '', 0, 2);
    const copied = await s.browser.evaluate('window.copied');
    if (copied !== '-1.5E-3') throw new Error('copied ' + JSON.stringify(copied) + ', not -1.5E-3');
  },
  // 1 + 2 = tapped with a finger.
  'touch': async (s) => {
    await s.browser.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
    for (const key of [61, 74, 62, 85]) await s.touch(key);
    await s.expectScreen(5);
  },
  // 12 × 3 = from the keyboard, Escape clears, then ( 4.5 with the keypad's keys.
  'typed': async (s) => {
    await s.type('1', 'Digit1', '1', 61);
    await s.type('2', 'Digit2', '2', 62);
    await s.type('*', 'Digit8', '*', 54, 8);
    await s.type('3', 'Digit3', '3', 63);
    await s.type('Enter', 'Enter', '\r', 85);
    await s.expectScreen(5);
    await s.type('Escape', 'Escape', '', 25);
    await s.type('(', 'Digit9', '(', 65, 8);
    await s.type('ArrowLeft', 'Numpad4', '', 51);  // the keypad's 4 without Num Lock
    await s.type('.', 'Period', '.', 72);
    await s.type('5', 'Digit5', '5', 52);
    await s.type('z', 'KeyZ', 'z', 0);  // no key of the calculator's
    await s.expectScreen(5);
  },
  // Kept by the service worker: with the server gone, the page opens again.
  'offline': async (s) => {
    await s.browser.evaluate('navigator.serviceWorker.ready.then(() => true)');
    s.server.close();
    s.server.closeAllConnections();
    await s.open();
    s.keys = [];
    await s.expectScreen(10);
    await s.tap(61);
    await s.expectScreen(5);
  },
  // Kept by the service worker: a server that takes the requests and never
  // answers does not hold the start back.
  'hanging-network': async (s) => {
    await s.browser.evaluate('navigator.serviceWorker.ready.then(() => true)');
    s.server.hanging = true;
    await s.open(s.url, 10);
    s.keys = [];
    await s.expectScreen(10);
    await s.tap(61);
    await s.expectScreen(5);
    s.server.closeAllConnections();
  },
  // A new version on the server: the start after it finds it and runs the
  // old one undisturbed; the start after that runs the new one.
  'new-version': async (s) => {
    const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'tarno-page-'));
    fs.cpSync(s.web, folder, { recursive: true });
    const server = await serve(folder);
    try {
      const url = `http://127.0.0.1:${server.address().port}/`;
      await s.open(url);
      await s.browser.evaluate('navigator.serviceWorker.ready.then(() => true)');
      fs.appendFileSync(path.join(folder, 'page.js'), '\nwindow.tarnoVersion = 2;\n');
      const worker = path.join(folder, 'sw.js');
      fs.writeFileSync(worker, fs.readFileSync(worker, 'utf8').replace(/const KEPT = '([^']*)'/, "const KEPT = '$1-next'"));
      const version = () => s.browser.evaluate('window.tarnoVersion || 1');
      await s.open(url);
      if (await version() !== 1) throw new Error('the new version ran at once, not at the next start');
      s.keys = [];
      await s.tap(61);
      await s.expectScreen(5);
      const kept = await s.until(`() => { caches.keys().then((names) => { window.tarnoCaches = names; }); 
        return (window.tarnoCaches || []).some((name) => name.endsWith('-next')) && window.tarnoCaches.length === 1; }`, 20);
      if (!kept) throw new Error('the new version was not kept');
      await s.open(url);
      if (await version() !== 2) throw new Error('the second start after the change still ran the old version');
      s.keys = [];
      await s.expectScreen(10);
    } finally {
      server.close();
      fs.rmSync(folder, { recursive: true, force: true });
    }
  },
  // Without the shifted keypad's picture and the click: the messages, on the
  // console and on the page, and the calculator goes on (Shift shows the
  // texts over the last picture; Shift again the keypad).
  'missing-data': async (s) => {
    await s.tap(15);
    await s.tap(15);
    await s.tap(61);
    const shown = s.firstNotes.concat(await s.notes());
    await s.expectScreen(5);
    const missing = COMPLAINTS.filter((text) => !s.browser.console.includes(text));
    if (missing.length) throw new Error('no message ' + missing.join(' | ') + '; the console: ' + s.browser.console.join(' | '));
    const unseen = COMPLAINTS.filter((text) => !shown.includes(text));
    if (unseen.length) throw new Error('the page does not say ' + unseen.join(' | ') + '; it says: ' + shown.join(' | '));
    return 'complains';
  },
  // Off: the last picture, and the page says how to switch it on again.
  'off': async (s) => {
    await s.tap(61);
    await s.tap(81);
    const shown = await s.browser.evaluate(`new Promise((resolve) => setTimeout(() =>
      resolve(getComputedStyle(document.getElementById('ended')).display), 500))`);
    if (shown !== 'flex') throw new Error('the page does not say that the calculator is off');
    // Light blue (128, 128, 255) in the screen's 5-6-5 bits: 16, 32, 31, widened to 128, 128, 248.
    const pixel = (await s.browser.screenshot({ x: CANVAS.x, y: CANVAS.y, width: 1, height: 1 })).rgb;
    if (pixel.toString('hex') !== '8080f8') throw new Error('the last picture is not light blue: ' + pixel.toString('hex'));
    // Its words readable: at least 4.5:1 against what lies behind them.
    const contrast = await s.browser.evaluate(`(() => {
      const luminance = (colour) => { const [r, g, b] = colour.match(/\\d+/g).slice(0, 3).map((c) => {
        c /= 255; return c <= 0.03928 ? c / 12.92 : Math.pow((c + 0.055) / 1.055, 2.4); });
        return 0.2126 * r + 0.7152 * g + 0.0722 * b; };
      const box = document.querySelector('#ended > div'), button = document.getElementById('restart');
      // Over the canvas, only a background of its own is what lies behind.
      if (!/^rgb\\(/.test(getComputedStyle(box).backgroundColor)) return 0;
      const ratio = (a, b) => (Math.max(a, b) + 0.05) / (Math.min(a, b) + 0.05);
      return Math.min(ratio(luminance(getComputedStyle(box).color), luminance(getComputedStyle(box).backgroundColor)),
                      ratio(luminance(getComputedStyle(button).color), luminance(getComputedStyle(button).backgroundColor)));
    })()`);
    if (!(contrast >= 4.5)) throw new Error('the words after Off have a contrast of ' + contrast);
  },
};

// Throws when the calculator complained on the console.
function checkQuiet(browser) {
  const errors = browser.console.filter((line) => /Unable|Couldn't|failed/.test(line));
  if (errors.length) throw new Error('the calculator complained: ' + errors.join(' | '));
  return true;
}

async function main() {
  const web = path.resolve(args.web || 'build/web');
  if (!fs.existsSync(path.join(web, 'tarno.wasm'))) {
    console.log(`no page in ${web}: ./setup web writes it`);
    return 77;
  }
  const run = CASES[args.case];
  if (!run) throw new Error('no case ' + args.case);
  const server = await serve(web);
  if (args.case === 'missing-data') MISSING.forEach((file) => server.missing.add(file));
  const browser = await Browser.start();
  try {
    await browser.viewport(VIEW.width, VIEW.height);
    await browser.send('Page.addScriptToEvaluateOnNewDocument', { source: PROBE });
    const session = new Session(browser, `http://127.0.0.1:${server.address().port}/`);
    session.server = server;
    session.web = web;
    if (OWN_START.has(args.case)) return await run(session) === 'complains' || checkQuiet(browser) ? 0 : 1;
    await session.open();
    if (args.case === 'missing-data') session.firstNotes = await session.notes();
    await session.expectScreen(10);  // the first screen
    if (await run(session) !== 'complains') checkQuiet(browser);
    return 0;
  } finally {
    await browser.close();
    server.close();
  }
}

main().then((status) => process.exit(status), (error) => {
  console.error(error.message);
  process.exit(1);
});
