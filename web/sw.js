// Keeps the page's files, so that a page visited once loads without a network and can
// be installed. Each request goes to the network first, so that a page updated on the
// server is seen at once, and to the kept copy only when the network fails. The saves
// themselves never pass through here: the page reads them from the user's files.
// The network is asked past the browser's HTTP cache ("no-cache": the server is asked
// whether its copy changed): a server that sends no Cache-Control leaves the browser to
// guess how long a file stays fresh, and the guess for a file months old is weeks,
// in which a new index.html would run with the old app.js.
const kCache = 'quellhart-page';
const kFiles = ['./', 'index.html', 'library.js', 'library-worker.js', 'app.js', 'style.css',
  'quellhart.js', 'manifest.webmanifest', 'quellhart-editor.svg', 'quellhart-editor-256.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(kCache).then((cache) => cache.addAll(kFiles))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => event.waitUntil(self.clients.claim()));

self.addEventListener('fetch', (event) => {
  const { request } = event;
  if (request.method !== 'GET' || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(fetch(request, { cache: 'no-cache' }).then((response) => {
    if (response.ok) {
      const copy = response.clone();
      event.waitUntil(caches.open(kCache).then((cache) => cache.put(request, copy)));
    }
    return response;
  }).catch(async () => (await caches.match(request, { ignoreSearch: true })) ??
    Response.error()));
});
