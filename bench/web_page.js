// The calculator's page in headless Chromium, measured: the size of what a
// browser downloads (every file of the page, plain and gzipped), how soon
// the first picture and the working calculator come over a slow network
// (400 ms round trip, 1.6 Mbit/s, nothing cached) and over none, what a
// tap costs in the frame that handles it (the engine, the redraw, the turn
// and the canvas's new pixels), and apart from it the click that the tap
// starts, and what the page costs while it sits idle (animation frames and
// the renderer's CPU time over 20 s).
//
//   node bench/web_page.js [build/web]
//
// Run from the repository root after ./setup web.
'use strict';

const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { serve, Browser } = require('../tests/browser/chromium.js');

const web = path.resolve(process.argv[2] || 'build/web');
const TAPS = 40;
const SLOW_LOADS = 3;
const IDLE_SECONDS = 20;

// Each frame callback's time and each press handed in, and whether it drew;
// and the first drawing's time.
const PROBE = `
  window.tarnoBench = { frames: [], firstScreen: null, firstPaint: null, clickMs: 0, frameCount: 0 };
  new PerformanceObserver((list) => {
    for (const entry of list.getEntries())
      if (entry.name === 'first-contentful-paint') window.tarnoBench.firstPaint = entry.startTime;
  }).observe({ type: 'paint', buffered: true });
  const put = CanvasRenderingContext2D.prototype.putImageData;
  let drew = false;
  let putMs = 0;
  CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    drew = true;
    if (window.tarnoBench.firstScreen === null) window.tarnoBench.firstScreen = performance.now();
    const start = performance.now();
    const result = put.apply(this, args);
    putMs = performance.now() - start;
    return result;
  };
  const request = window.requestAnimationFrame.bind(window);
  window.tarnoBench.measure = (run) => {
    drew = false;
    putMs = 0;
    window.tarnoBench.clickMs = 0;
    const start = performance.now();
    const result = run();
    window.tarnoBench.frames.push({ ms: performance.now() - start, drew, putMs, clickMs: window.tarnoBench.clickMs });
    return result;
  };
  window.requestAnimationFrame = (callback) => request((time) => {
    window.tarnoBench.frameCount++;
    window.tarnoBench.measure(() => callback(time));
  });
`;

const kb = (bytes) => (bytes / 1024).toFixed(1) + ' KB';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (list) => [...list].sort((a, b) => a - b)[list.length >> 1];

// Every file that the page and its service worker fetch: the folder's, but
// the compressed copies and the font's licence.
function pageFiles(folder, prefix = '') {
  return fs.readdirSync(path.join(folder, prefix), { withFileTypes: true }).flatMap((entry) =>
    entry.isDirectory() ? pageFiles(folder, path.join(prefix, entry.name))
      : /\.(gz|br|LICENSE)$/.test(entry.name) ? [] : [path.join(prefix, entry.name)]);
}

function sizes() {
  let plain = 0, gzipped = 0;
  for (const name of pageFiles(web)) {
    const bytes = fs.readFileSync(path.join(web, name));
    const packed = zlib.gzipSync(bytes, { level: 9 }).length;
    plain += bytes.length;
    gzipped += packed;
    console.log(`${name.padEnd(22)} ${kb(bytes.length).padStart(10)}  gzipped ${kb(packed).padStart(9)}`);
  }
  console.log(`${'together'.padEnd(22)} ${kb(plain).padStart(10)}  gzipped ${kb(gzipped).padStart(9)}   (gzipped at most 300 KB)`);
}

// Over a slow network, from a cold start (a new browser each time): when
// the first picture is painted and when the calculator draws, after the
// navigation began.
async function slowStarts(server) {
  const pictures = [], calculators = [];
  for (let load = 0; load < SLOW_LOADS; ++load) {
    const browser = await Browser.start();
    try {
      await browser.viewport(412, 915, 2.625, true);
      await browser.send('Page.addScriptToEvaluateOnNewDocument', { source: PROBE });
      await browser.send('Network.enable');
      await browser.send('Network.emulateNetworkConditions',
        { offline: false, latency: 400, downloadThroughput: 1.6e6 / 8, uploadThroughput: 0.75e6 / 8 });
      await browser.send('Page.navigate', { url: `http://127.0.0.1:${server.address().port}/` });
      await sleep(500);
      const times = await browser.evaluate(`new Promise((resolve) => { const wait = () =>
        window.tarnoBench && tarnoBench.firstScreen !== null && tarnoBench.firstPaint !== null
          ? resolve([tarnoBench.firstPaint, tarnoBench.firstScreen]) : setTimeout(wait, 10); wait(); })`);
      pictures.push(times[0]);
      calculators.push(times[1]);
    } finally {
      await browser.close();
    }
  }
  const list = (values) => values.map((ms) => ms.toFixed(0)).join(', ');
  console.log(`at 400 ms RTT, 1.6 Mbit/s, cold: first picture ${list(pictures)} ms (median ${median(pictures).toFixed(0)} ms;` +
              ` at most 1000 ms)`);
  console.log(`  working calculator ${list(calculators)} ms (median ${median(calculators).toFixed(0)} ms; at most 3000 ms)`);
}

// The renderer processes' CPU time so far, in seconds.
async function rendererSeconds(browser) {
  const { processInfo } = await browser.send('SystemInfo.getProcessInfo', {}, true);
  return processInfo.filter((p) => p.type === 'renderer').reduce((sum, p) => sum + p.cpuTime, 0);
}

// The page's own main-thread time so far (its tasks, and its scripts of
// them), in seconds, as DevTools counts them.
async function pageSeconds(browser) {
  const { metrics } = await browser.send('Performance.getMetrics');
  const value = (name) => metrics.find((m) => m.name === name).value;
  return { tasks: value('TaskDuration'), scripts: value('ScriptDuration') };
}

// Idle after the last of a few taps, in a browser of its own (so that no
// earlier page's or service worker's work is counted): no frames, hardly any
// CPU.
async function idleAfterTaps(server) {
  const browser = await Browser.start();
  try {
    await browser.viewport(800, 1000);
    await browser.send('Page.addScriptToEvaluateOnNewDocument', { source: PROBE });
    await browser.open(`http://127.0.0.1:${server.address().port}/`);
    await sleep(2000);
    for (let i = 0; i < 10; ++i) {
      const [x, y] = i % 2 ? [40 + 212.5 * 3, 20 + 127.5 * 3] : [40 + 24.5 * 3, 20 + 184.5 * 3];
      await browser.mouse('mouseMoved', x, y, 0);
      await browser.mouse('mousePressed', x, y);
      await browser.mouse('mouseReleased', x, y);
      await sleep(230);
    }
    await sleep(2000);
    await browser.send('Performance.enable');
    const frames0 = await browser.evaluate('window.tarnoBench.frameCount'), cpu0 = await rendererSeconds(browser);
    const page0 = await pageSeconds(browser);
    await sleep(IDLE_SECONDS * 1000);
    const frames1 = await browser.evaluate('window.tarnoBench.frameCount'), cpu1 = await rendererSeconds(browser);
    const page1 = await pageSeconds(browser);
    const sound = await browser.evaluate('typeof audio === "object" && audio ? audio.state : "none"');
    console.log(`idle ${IDLE_SECONDS} s after the last tap: ${frames1 - frames0} animation frames (at most 0), ` +
                `renderer CPU ${(cpu1 - cpu0).toFixed(3)} s (under 0.05 s); sound output ${sound}`);
    console.log(`  the page's main thread in that time: tasks ${(page1.tasks - page0.tasks).toFixed(3)} s, ` +
                `scripts ${(page1.scripts - page0.scripts).toFixed(3)} s`);
  } finally {
    await browser.close();
  }
}

async function main() {
  sizes();
  const server = await serve(web);
  server.compressed = true;
  await slowStarts(server);
  const browser = await Browser.start();
  try {
    await browser.viewport(800, 1000);
    await browser.send('Page.addScriptToEvaluateOnNewDocument', { source: PROBE });
    const firsts = [];
    for (let load = 0; load < 5; ++load) {
      await browser.open(`http://127.0.0.1:${server.address().port}/?load=${load}`);
      firsts.push(await browser.evaluate(`new Promise((resolve) => { const wait = () =>
        window.tarnoBench.firstScreen !== null ? resolve(window.tarnoBench.firstScreen) : setTimeout(wait, 10); wait(); })`));
    }
    firsts.sort((a, b) => a - b);
    console.log(`without a network's delays: first screen ${firsts.map((ms) => ms.toFixed(0)).join(', ')} ms` +
                ` after the page began loading (median ${firsts[2].toFixed(0)} ms)`);

    // The click is the page's sound, not the calculator's drawing: its time
    // in each frame is told apart.
    await browser.evaluate(`(() => { const play = Module.tarnoPlayClick;
      Module.tarnoPlayClick = (volume) => { const start = performance.now(); play(volume);
        window.tarnoBench.clickMs += performance.now() - start; }; })()`);
    // The calculator acts on a press where the page hands it in, or in the
    // next frame: both are measured.
    // (Called once first, with nothing held to cancel: emscripten's first
    // call of an export puts the export itself in its place.)
    await browser.evaluate(`(() => { Module._tarno_pointer(-1, 0, 0, 3); const pointer = Module._tarno_pointer;
      Module._tarno_pointer = (...args) => window.tarnoBench.measure(() => pointer(...args)); })()`);
    // Taps on 7 and C in turn, each in its own frame: the middles of their
    // cells upright (7 at (24, 184), C at (212, 127)), three device pixels
    // each, on the canvas at (40, 20).
    await browser.evaluate('window.tarnoBench.frames = []');
    for (let i = 0; i < TAPS; ++i) {
      const [x, y] = i % 2 ? [40 + 212.5 * 3, 20 + 127.5 * 3] : [40 + 24.5 * 3, 20 + 184.5 * 3];
      await browser.mouse('mouseMoved', x, y, 0);
      await browser.mouse('mousePressed', x, y);
      await browser.mouse('mouseReleased', x, y);
      await new Promise((resolve) => setTimeout(resolve, 230));
    }
    const frames = await browser.evaluate('window.tarnoBench.frames');
    const taps = frames.filter((f) => f.drew).map((f) => f.ms - f.clickMs).sort((a, b) => a - b);
    const clicks = frames.filter((f) => f.drew).map((f) => f.clickMs).sort((a, b) => a - b);
    const idle = frames.filter((f) => !f.drew).map((f) => f.ms).sort((a, b) => a - b);
    const puts = frames.filter((f) => f.drew).map((f) => f.putMs).sort((a, b) => a - b);
    const at = (list, q) => list[Math.min(list.length - 1, Math.floor(q * list.length))].toFixed(3);
    console.log(`a tap's work, its click apart: median ${at(taps, 0.5)} ms, 90th percentile ${at(taps, 0.9)} ms, ` +
                `longest ${at(taps, 1)} ms over ${taps.length} drawings (a tap draws as it goes down and as it comes up; ` +
                `at most 1 ms)`);
    console.log(`  of which the canvas's putImageData: median ${at(puts, 0.5)} ms`);
    console.log(`  the click it starts: median ${at(clicks, 0.5)} ms`);
    if (idle.length) console.log(`a frame or hand-over that drew nothing: median ${at(idle, 0.5)} ms over ${idle.length}`);

  } finally {
    await browser.close();
  }
  await idleAfterTaps(server);
  server.close();
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
