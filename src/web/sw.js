// The page's service worker: keeps one version's files in a cache named for it and serves them
// first, so that the page runs offline; a new version waits until the page hands over to it,
// then drops the older caches.
'use strict';
const CACHE = '@CACHE@';
const FILES = [@FILES@];

self.addEventListener('install', (event) => {
  // Past the browser's own cache: a new version's files come whole from the server.
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES.map((f) => new Request(f, {cache: 'reload'})))));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((names) => Promise.all(names.filter((n) => n.startsWith('needlecast-') && n !== CACHE).map((n) => caches.delete(n))))
    .then(() => self.clients.claim()));
});

// The page hands over once it has loaded all it needs, so that no page runs a mix of versions.
self.addEventListener('message', (event) => {
  if (event.data === 'take-over') self.skipWaiting();
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET' || new URL(request.url).origin !== location.origin) return;
  // A visit with options (?seed=7) is the one page.
  const key = request.mode === 'navigate' ? new URL('index.html', self.registration.scope).href : request;
  event.respondWith(caches.open(CACHE).then((cache) => cache.match(key))
    .then((response) => response || fetch(request)));
});
