// zelvo-sw.js -- the service worker: keeps the page, its code and the world, so Zelvo opens offline.
// The build names the cache after everything in it; a new build installs beside the old one, takes
// over, and deletes the old cache.
"use strict";
const cacheName = "zelvo-@VERSION@";
const files = [
@FILES@];

self.addEventListener("install", event => {
  // Each file is checked with the server, so that no copy the browser held from an older build
  // slips in; unchanged files cost a request and no download.
  const requests = files.map(file => new Request(file, { cache: "no-cache" }));
  event.waitUntil(caches.open(cacheName).then(cache => cache.addAll(requests)).then(() => self.skipWaiting()));
});

self.addEventListener("activate", event => {
  event.waitUntil(caches.keys()
    .then(names => Promise.all(names.filter(name => name.startsWith("zelvo-") && name !== cacheName)
                                    .map(name => caches.delete(name))))
    .then(() => self.clients.claim()));
});

// What the cache holds comes from it; the rest from the network. A page asked for by its folder's
// address (a host's index) is the game's page.
self.addEventListener("fetch", event => {
  const request = event.request;
  if (request.method !== "GET" || new URL(request.url).origin !== location.origin) return;
  event.respondWith(caches.open(cacheName).then(async cache => {
    const kept = await cache.match(request, { ignoreSearch: true }) ||
                 (request.mode === "navigate" && new URL(request.url).pathname.endsWith("/")
                    ? await cache.match("zelvo.html") : undefined);
    return kept || fetch(request);
  }));
});
