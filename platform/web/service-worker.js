// The page's files, kept for offline play under the build that made them. A new build changes
// this script (its name below), so the browser installs it on the first visit after it is
// published: it fetches the new build's files into a cache of their own while the old build
// plays on, then takes over, and every later page load plays the new build. Each build serves
// only its own cache, so a page never mixes the files of two builds.
'use strict';

const Build = '@LUMENVALE_BUILD@';  // the game's version and a hash of the files
const Cache = 'lumenvale-' + Build;
const Files = [@LUMENVALE_FILES@];

self.addEventListener('install', (event) => {
    // Revalidated with the server, so a cache on the way can't hand over an older file.
    event.waitUntil(caches.open(Cache)
        .then((cache) => cache.addAll(Files.map((file) => new Request(file, {cache: 'no-cache'}))))
        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
    event.waitUntil(caches.keys().then((names) => Promise.all(names
        .filter((name) => name.startsWith('lumenvale-') && name !== Cache)
        .map((name) => caches.delete(name)))));
});

async function answer(request) {
    const cache = await caches.open(Cache);
    const kept = await cache.match(request, {ignoreSearch: true}) ||
                 (request.mode === 'navigate' ? await cache.match('index.html') : undefined);
    return kept || fetch(request);
}

self.addEventListener('fetch', (event) => {
    const request = event.request;
    if (request.method === 'GET' && new URL(request.url).origin === self.location.origin) {
        event.respondWith(answer(request));
    }
});
