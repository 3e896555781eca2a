// The calculator's page in headless Chromium, measured: the size of what a
// browser downloads (the script and the wasm, plain and gzipped), how soon
// after the page starts loading the first screen is drawn, and what a tap
// costs in the frame that handles it (the engine, the redraw, the turn and
// the canvas's new pixels), and apart from it the click that the tap starts.
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

// Each frame callback's time, and whether it drew; and the first drawing's time.
const PROBE = `
  window.tarnoBench = { frames: [], firstScreen: null, clickMs: 0 };
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
  window.requestAnimationFrame = (callback) => request((time) => {
    drew = false;
    putMs = 0;
    window.tarnoBench.clickMs = 0;
    const start = performance.now();
    callback(time);
    window.tarnoBench.frames.push({ ms: performance.now() - start, drew, putMs, clickMs: window.tarnoBench.clickMs });
  });
`;

const kb = (bytes) => (bytes / 1024).toFixed(1) + ' KB';

async function main() {
  let plain = 0, gzipped = 0;
  for (const name of ['tarno.js', 'tarno.wasm']) {
    const bytes = fs.readFileSync(path.join(web, name));
    plain += bytes.length;
    gzipped += zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${name.padEnd(12)} ${kb(bytes.length).padStart(10)}  gzipped ${kb(zlib.gzipSync(bytes, { level: 9 }).length)}`);
  }
  console.log(`${'together'.padEnd(12)} ${kb(plain).padStart(10)}  gzipped ${kb(gzipped)}   (at most 1536 KB, 600 KB)`);

  const server = await serve(web);
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
    console.log(`first screen ${firsts.map((ms) => ms.toFixed(0)).join(', ')} ms after the page began loading` +
                ` (median ${firsts[2].toFixed(0)} ms; at most 1000 ms)`);

    // The click is the page's sound, not the calculator's drawing: its time
    // in each frame is told apart.
    await browser.evaluate(`(() => { const play = Module.tarnoPlayClick;
      Module.tarnoPlayClick = (volume) => { const start = performance.now(); play(volume);
        window.tarnoBench.clickMs += performance.now() - start; }; })()`);
    // Taps on 7 and C in turn, each in its own frame: the middles of their
    // cells upright (7 at (24, 184), C at (212, 127)), three device pixels
    // each, on the canvas at (40, 20).
    await browser.evaluate('window.tarnoBench.frames = []');
    for (let i = 0; i < TAPS; ++i) {
      const [x, y] = i % 2 ? [40 + 212.5 * 3, 20 + 127.5 * 3] : [40 + 24.5 * 3, 20 + 184.5 * 3];
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
    console.log(`a tap's frame, its click apart: median ${at(taps, 0.5)} ms, 90th percentile ${at(taps, 0.9)} ms, ` +
                `longest ${at(taps, 1)} ms over ${taps.length} taps (at most 1 ms)`);
    console.log(`  of which the canvas's putImageData: median ${at(puts, 0.5)} ms`);
    console.log(`  the click it starts: median ${at(clicks, 0.5)} ms`);
    console.log(`an idle frame: median ${at(idle, 0.5)} ms over ${idle.length} frames`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().catch((error) => {
  console.error(error.message);
  process.exit(1);
});
