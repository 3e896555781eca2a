// The page around the calculator. It only moves things between the browser
// and the calculator compiled to WebAssembly (tarno.js, tarno.wasm): the
// data files into its file system, presses and keys in, pixels and the
// click out. Everything the calculator does happens in there. Until it
// runs, the page shows its first picture; if it cannot run, the page says
// why.
//
// Sections: sound; presses; keys; failing; the accessible keys
// and display; the calculator's side.
'use strict';

const WIDTH = 240, HEIGHT = 320;  // the upright calculator, in its pixels
const DATA_FILES = [@TARNO_DATA_FILES@];  // below tarno/, as web/page.cmake lists them

const calculator = document.getElementById('calculator');
const canvas = document.getElementById('screen');
const context = canvas.getContext('2d');
const picture = context.createImageData(WIDTH, HEIGHT);
let running = false;

// --- Placing: index.html places the calculator before anything else loads ---

// --- Sound: the click, once the browser lets the page make one ---

// Made at the first press or key that the browser counts as the user's
// own (a finger's counts when it lifts), when the browser lets a page
// sound: opening the output before costs half a second of the start, in
// vain, and earns a warning. Shut again (suspended) once the click has
// played, so that an idle page keeps no sound output running.
let audio = null, loudness = null, clickBytes = null, click = null, sounding = 0;
let early = null;  // a click asked for before there was sound: its volume and time

function wakeAudio() {
  if (!clickBytes) return;
  if (navigator.userActivation && !navigator.userActivation.isActive) return;
  if (!audio) {
    audio = new (window.AudioContext || window.webkitAudioContext)();
    loudness = audio.createGain();
    loudness.connect(audio.destination);
    audio.decodeAudioData(clickBytes.buffer).then((decoded) => {
      click = decoded;
      // The first tap's click, a moment late: the tap's own, not an old one.
      if (early && performance.now() - early.at < 1000) playClick(early.volume);
      early = null;
    }, () => console.error('Unable to load WAV file: tarno/tarno.wav: this browser cannot decode it'));
  }
}
for (const type of ['pointerup', 'touchend']) window.addEventListener(type, wakeAudio, true);

function playClick(volume) {
  if (audio.state !== 'running') audio.resume();
  const source = audio.createBufferSource();
  loudness.gain.value = volume / 128;
  source.buffer = click;
  source.connect(loudness);
  sounding += 1;
  source.onended = () => {
    if (--sounding === 0) audio.suspend();
  };
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

// --- Frames: they rest while the calculator is idle; input wakes them ---

// Before the input's own handler hands it in, so that the next frame sees it.
for (const type of ['pointerdown', 'pointermove', 'pointerup', 'pointercancel', 'touchstart', 'touchend',
                    'keydown', 'keyup', 'paste', 'click', 'blur']) {
  window.addEventListener(type, () => {
    if (running) Module._tarno_wake();
  }, true);
}

// --- Failing: whatever keeps the calculator from running is said on the page ---

let failed = false, ended = false, listening = false;
const SLOW_MS = 20000;

function fail(sentence) {
  if (failed || ended) return;
  failed = true;
  document.getElementById('failure').textContent = sentence;
  document.getElementById('failed').style.display = 'flex';
}

// The calculator's own messages (a data file missing or refused), as the
// handheld prints them, each once, where the user looks.
function note(text) {
  const lines = document.getElementById('note-lines');
  if ([...lines.children].some((line) => line.textContent === text)) return;
  const line = document.createElement('div');
  line.textContent = text;
  lines.appendChild(line);
  document.getElementById('notes').hidden = false;
}
document.getElementById('notes-seen').addEventListener('click', () => {
  document.getElementById('notes').hidden = true;
});

window.addEventListener('error', (event) => {
  if (!running) fail('The calculator could not start: ' + (event.message || 'a script failed') + '. Reload the page to try again.');
});
window.addEventListener('unhandledrejection', (event) => {
  if (!running) fail('The calculator could not start: ' + event.reason + '. Reload the page to try again.');
});

// Loads the calculator, unless the browser cannot run it.
function load() {
  if (typeof WebAssembly !== 'object' || typeof WebAssembly.instantiate !== 'function') {
    fail('This browser cannot run the calculator: it has no WebAssembly. ' +
         'A current Firefox, Chrome, Edge or Safari has it.');
    return;
  }
  const script = document.createElement('script');
  script.src = 'tarno.js';
  script.onerror = () => fail('The calculator did not arrive: tarno.js could not be loaded. ' +
                              'Check the connection, then reload the page.');
  document.body.appendChild(script);
  setTimeout(() => {
    if (!running && !failed) note('The calculator is still loading: the network is slow, or gone.');
  }, SLOW_MS);
}

// --- The accessible keys and display ---

// Each key's meaning, and its shifted one where that differs.
const KEY_MEANINGS = {
  11: ['square', 'sine'], 12: ['square root', 'cosine'], 13: ['power', 'tangent'],
  14: ['root', 'degrees or radians'], 15: ['Shift', 'Shift off'],
  21: ['e to the power', 'arc sine'], 22: ['natural logarithm', 'arc cosine'],
  23: ['ten to the power', 'arc tangent'], 24: ['logarithm', 'next number format'], 25: ['clear'],
  31: ['factorial', 'integer part'], 32: ['reciprocal', 'fractional part'], 33: ['percent', 'modulo'],
  34: ['pi'], 35: ['memory recall'],
  41: ['7'], 42: ['8'], 43: ['9'], 44: ['divide'], 45: ['memory store'],
  51: ['4'], 52: ['5'], 53: ['6'], 54: ['multiply'], 55: ['answer'],
  61: ['1'], 62: ['2'], 63: ['3'], 64: ['subtract'], 65: ['open parenthesis'],
  71: ['0'], 72: ['point'], 73: ['change sign'], 74: ['add'], 75: ['close parenthesis'],
  81: ['off'], 82: ['exponent'], 83: ['backspace'], 85: ['equals'],
};
let shownShift = -1, shownText = null;

// A button for each key, over its place on the picture: its cells as the
// calculator's own hit-test finds them, in the order the keys are read.
function makeKeys() {
  const boxes = new Map();
  for (let y = 0; y < HEIGHT; ++y) {
    for (let x = 0; x < WIDTH; ++x) {
      const key = Module._tarno_key_at(x, y);
      if (!KEY_MEANINGS[key]) continue;
      const box = boxes.get(key) || { key, left: x, top: y, right: x, bottom: y };
      box.left = Math.min(box.left, x);
      box.top = Math.min(box.top, y);
      box.right = Math.max(box.right, x);
      box.bottom = Math.max(box.bottom, y);
      boxes.set(key, box);
    }
  }
  const keys = document.getElementById('keys');
  for (const box of [...boxes.values()].sort((a, b) => a.top - b.top || a.left - b.left)) {
    const button = document.createElement('button');
    button.dataset.key = box.key;
    button.style.left = (box.left * 100 / WIDTH) + '%';
    button.style.top = (box.top * 100 / HEIGHT) + '%';
    button.style.width = ((box.right - box.left + 1) * 100 / WIDTH) + '%';
    button.style.height = ((box.bottom - box.top + 1) * 100 / HEIGHT) + '%';
    button.addEventListener('click', () => {
      wakeAudio();
      if (running) Module._tarno_press(box.key);
    });
    // Enter and Space press the button, not the calculator's keys of the keyboard.
    button.addEventListener('keydown', (event) => {
      if (event.key === 'Enter' || event.key === ' ') event.stopPropagation();
    });
    keys.appendChild(button);
  }
}

// After each redraw: the keys' labels in the shift state's meanings, and
// the display's text (number line and marks) for the live region.
function tell() {
  const shift = Module._tarno_shift_active();
  if (shift !== shownShift) {
    shownShift = shift;
    for (const button of document.querySelectorAll('#keys button')) {
      const meanings = KEY_MEANINGS[button.dataset.key];
      button.textContent = meanings[Math.min(shift, meanings.length - 1)];
    }
  }
  const text = Module.UTF8ToString(Module._tarno_display_text());
  if (text !== shownText) {
    shownText = text;
    document.getElementById('display').textContent = text;
  }
}

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
    listening = true;
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
    makeKeys();
    keepForOffline();
  },
  print: (text) => console.log(text),
  printErr: (text) => {
    console.error(text);
    if (listening) note(text);
  },
  // The calculator could not be made ready: its wasm did not arrive, or not whole.
  onAbort: (what) => {
    if (running) return;
    fail(/CompileError|magic|expected|section/.test(String(what))
      ? 'The calculator arrived damaged: tarno.wasm could not be compiled. Reload the page to fetch it again.'
      : 'The calculator did not arrive: tarno.wasm could not be loaded. Check the connection, then reload the page.');
  },

  tarnoShow: (pixels, width, height) => {
    picture.data.set(pixels);
    context.putImageData(picture, 0, 0);
    calculator.classList.add('running');
    tell();
  },
  tarnoLoadClick: (bytes) => {
    if (!window.AudioContext && !window.webkitAudioContext) return false;
    clickBytes = bytes;
    return true;
  },
  tarnoPlayClick: (volume) => {
    if (click) playClick(volume);
    else early = { volume, at: performance.now() };
  },
  tarnoCopy: (text) => {
    if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
  },
  // The calculator's exit, after Off: no more frames, and the page says so.
  quit: (status, thrown) => {
    running = false;
    ended = true;
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

load();
