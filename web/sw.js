// Keeps the site for use without a network: everything is cached on the first visit and
// served from the cache afterwards. A new build (another version) replaces the cache.
const VERSION = '__VERSION__';
const FILES = __FILES__;

self.addEventListener('install', (event) => {
  event.waitUntil(
    caches
      .open(VERSION)
      .then((cache) => cache.addAll(FILES))
      .then(() => self.skipWaiting()),
  );
});

self.addEventListener('activate', (event) => {
  event.waitUntil(
    caches
      .keys()
      .then((keys) => Promise.all(keys.filter((k) => k !== VERSION).map((k) => caches.delete(k))))
      .then(() => self.clients.claim()),
  );
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  const url = new URL(event.request.url);
  if (url.origin !== location.origin) return;
  // The page itself is looked up without its query (?seed=...).
  const key = url.pathname.endsWith('/') ? new Request(url.origin + url.pathname) : event.request;
  event.respondWith(
    caches.open(VERSION).then((cache) =>
      cache.match(key, { ignoreSearch: true }).then((hit) => hit || fetch(event.request)),
    ),
  );
});
