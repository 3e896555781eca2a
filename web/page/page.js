// The page around the calculator. It only moves things between the browser
// and the calculator compiled to WebAssembly (tarno.js, tarno.wasm): the
// data files into its file system, presses and keys in, pixels and the
// click out. Everything the calculator does happens in there.
'use strict';

const WIDTH = 240, HEIGHT = 320;  // the upright calculator, in its pixels
const DATA_FILES = ['tarno.bmp', 'tarno9.bmp', 'arial.ttf', 'tarno.wav'];

const canvas = document.getElementById('screen');
const context = canvas.getContext('2d');
const picture = context.createImageData(WIDTH, HEIGHT);
let running = false;

// The largest whole number of device pixels per calculator pixel that fits
// the window, centred on whole device pixels, so that no pixel is smeared.
function fit() {
  const ratio = window.devicePixelRatio || 1;
  const width = document.documentElement.clientWidth * ratio;
  const height = document.documentElement.clientHeight * ratio;
  const scale = Math.max(1, Math.floor(Math.min(width / WIDTH, height / HEIGHT)));
  canvas.style.width = (WIDTH * scale / ratio) + 'px';
  canvas.style.height = (HEIGHT * scale / ratio) + 'px';
  canvas.style.left = (Math.max(0, Math.floor((width - WIDTH * scale) / 2)) / ratio) + 'px';
  canvas.style.top = (Math.max(0, Math.floor((height - HEIGHT * scale) / 2)) / ratio) + 'px';
}
window.addEventListener('resize', fit);
fit();

// --- Sound: the click, once the browser lets the page make one ---

// Made at the first press or key, when the browser lets a page sound
// (opening the output before costs half a second of the start, in vain).
let audio = null, loudness = null, clickBytes = null, click = null, early = 0;

function wakeAudio() {
  if (!clickBytes) return;
  if (!audio) {
    audio = new (window.AudioContext || window.webkitAudioContext)();
    loudness = audio.createGain();
    loudness.connect(audio.destination);
    audio.decodeAudioData(clickBytes.buffer).then((decoded) => {
      click = decoded;
      if (early) playClick(early);  // the first tap's click, a moment late
    }, () => console.error('Unable to load WAV file: tarno/tarno.wav: this browser cannot decode it'));
  }
  if (audio.state === 'suspended') audio.resume();
}

function playClick(volume) {
  const source = audio.createBufferSource();
  loudness.gain.value = volume / 128;
  source.buffer = click;
  source.connect(loudness);
  source.start();
}

// --- Presses: every finger and pen its own, the mouse's main button ---

// What a pointer did, as the calculator numbers it.
const DOWN = 0, MOVE = 1, UP = 2, CANCEL = 3, ALL_POINTERS = -1;
const held = new Set();  // the pointers that went down on the canvas and are not up yet

function pointer(event, what) {
  const box = canvas.getBoundingClientRect();
  const x = Math.floor((event.clientX - box.left) * WIDTH / box.width);
  const y = Math.floor((event.clientY - box.top) * HEIGHT / box.height);
  if (running) Module._tarno_pointer(event.pointerId, x, y, what);
}

canvas.addEventListener('pointerdown', (event) => {
  wakeAudio();
  event.preventDefault();
  // The mouse's other buttons press nothing; a finger or a pen always counts.
  if (event.pointerType === 'mouse' && event.button !== 0) return;
  held.add(event.pointerId);
  canvas.setPointerCapture(event.pointerId);
  pointer(event, DOWN);
});
canvas.addEventListener('pointermove', (event) => {
  if (held.has(event.pointerId)) pointer(event, MOVE);
});
canvas.addEventListener('pointerup', (event) => {
  if (!held.delete(event.pointerId)) return;
  pointer(event, event.pointerType === 'mouse' && event.button !== 0 ? CANCEL : UP);
});
canvas.addEventListener('pointercancel', (event) => {
  if (held.delete(event.pointerId)) pointer(event, CANCEL);
});
canvas.addEventListener('contextmenu', (event) => event.preventDefault());
// Gone to another window or tab: a key held down un-presses, and acts not.
window.addEventListener('blur', () => {
  held.clear();
  if (running) Module._tarno_pointer(ALL_POINTERS, 0, 0, CANCEL);
});

// --- Keys: the calculator says which it takes ---

window.addEventListener('keydown', (event) => {
  wakeAudio();
  if (!running || event.altKey || event.metaKey) return;
  if (Module.ccall('tarno_key', 'number', ['string', 'string', 'number', 'number'],
                   [event.key, event.code, event.ctrlKey ? 1 : 0, event.shiftKey ? 1 : 0])) {
    event.preventDefault();
  }
});

// Ctrl+V and Shift+Insert, left to the browser, come back as its paste.
window.addEventListener('paste', (event) => {
  if (!running || !event.clipboardData) return;
  // Cut short, still too long to be taken, so that a huge paste stays off
  // the calculator's stack; a NUL, which would end the text early, goes in
  // as another byte that no paste may hold.
  const text = event.clipboardData.getData('text/plain').slice(0, 1024).replace(/\0/g, '\x01');
  Module.ccall('tarno_paste', null, ['string'], [text]);
  event.preventDefault();
});

// --- The calculator's side ---

// The data files, fetched at once, while the calculator itself loads.
const data = DATA_FILES.map((name) => fetch('tarno/' + name)
  .then((response) => (response.ok ? response.arrayBuffer() : null))
  .catch(() => null));

var Module = {
  preRun: [() => {
    // The data files as the calculator reads them, below its working
    // directory; one that could not be fetched is left out, and the
    // calculator says so as it does on the handheld.
    Module.FS.mkdir('tarno');
    Module.addRunDependency('tarno');
    Promise.all(data).then((files) => {
      files.forEach((bytes, i) => {
        if (bytes) Module.FS.writeFile('tarno/' + DATA_FILES[i], new Uint8Array(bytes));
      });
      Module.removeRunDependency('tarno');
    });
  }],
  onRuntimeInitialized: () => {
    running = true;
    keepForOffline();
  },
  print: (text) => console.log(text),
  printErr: (text) => console.error(text),

  tarnoShow: (pixels, width, height) => {
    picture.data.set(pixels);
    context.putImageData(picture, 0, 0);
  },
  tarnoLoadClick: (bytes) => {
    if (!window.AudioContext && !window.webkitAudioContext) return false;
    clickBytes = bytes;
    return true;
  },
  tarnoPlayClick: (volume) => {
    if (click) playClick(volume);
    else if (audio) early = volume;
  },
  tarnoCopy: (text) => {
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
  },
  // The calculator's exit, after Off: no more frames, and the page says so.
  quit: (status, thrown) => {
    running = false;
    Module.pauseMainLoop();
    document.getElementById('ended').style.display = 'flex';
    throw thrown;
  },
};

document.getElementById('restart').addEventListener('click', () => location.reload());

// Kept for use without a network once loaded: registered once the
// calculator runs, so that keeping the files does not slow its start.
function keepForOffline() {
  if ('serviceWorker' in navigator && location.protocol !== 'file:') {
    navigator.serviceWorker.register('sw.js').catch(() => {});
  }
}
