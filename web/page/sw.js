// Keeps the calculator's few files, so that it opens without a network. The
// network comes first while there is one, so that a new version reaches the
// page at once; the kept copy answers when there is none.
'use strict';

const KEPT = 'tarno-@TARNO_VERSION@';
const FILES = ['./', 'index.html', 'page.js', 'tarno.js', 'tarno.wasm', 'manifest.webmanifest', 'icon-192.png',
               'icon-512.png', 'tarno/tarno.bmp', 'tarno/tarno9.bmp', 'tarno/arial.ttf', 'tarno/tarno.wav'];

self.addEventListener('install', (event) => {
  // Each file on its own: one that is missing does not keep the rest out.
  event.waitUntil(caches.open(KEPT).then((cache) =>
    Promise.all(FILES.map((file) => cache.add(file).catch(() => {})))).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => name !== KEPT).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(fetch(event.request).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      caches.open(KEPT).then((cache) => cache.put(event.request, copy));
    }
    return response;
  }).catch(() => caches.match(event.request, {ignoreSearch: true}).then((kept) => kept || Response.error())));
});
