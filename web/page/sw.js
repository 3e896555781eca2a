// Keeps the page's files, so that it opens at once, and without a network.
//
// The kept copy always answers first: a slow or hanging network never holds
// the start back. This version's files change only together, with a new
// version: the browser looks at this script afresh at every start, and a
// changed one (a new cache name) fetches every file past the HTTP cache
// into a cache of its own and takes over once it has them, so that the next
// start runs the new files; the running calculator has already loaded all
// it needs and goes on undisturbed. Anything else of the page's asked for
// is answered from the cache as well and fetched again behind it.
'use strict';

const KEPT = 'tarno-@TARNO_VERSION@';
const FILES = ['./', @TARNO_KEPT_FILES@];

self.addEventListener('install', (event) => {
  // Each file on its own: one that is missing or cut short does not keep the
  // rest out; it is fetched from the network when asked for.
  event.waitUntil(caches.open(KEPT).then((cache) => Promise.all(FILES.map((file) =>
    fetch(file, { cache: 'no-store' })
      .then((response) => (response.ok ? cache.put(file, response) : null))
      .catch(() => null))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) =>
    Promise.all(names.filter((name) => name.startsWith('tarno-') && name !== KEPT).map((name) => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// Whether url is one of this version's files, which only a new version replaces.
function versioned(url) {
  const path = new URL(url).pathname;
  const base = new URL('./', self.location).pathname;
  return FILES.some((file) => new URL(file, self.location).pathname === path) || path === base;
}

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(caches.open(KEPT).then((cache) => cache.match(request, { ignoreSearch: true }).then((kept) => {
    const fresh = versioned(request.url) && kept ? null : fetch(request.url, { cache: 'no-store' }).then((response) => {
      if (response.ok && !versioned(request.url)) {
        const copy = response.clone();
        return cache.put(request, copy).then(() => response, () => response);
      }
      return response;
    });
    if (!kept) return fresh;
    if (fresh) event.waitUntil(fresh.catch(() => null));
    return kept;
  })));
});
