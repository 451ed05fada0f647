// Offline play: once the page has loaded, the service worker keeps this build's files, so the
// next visit starts with no network. Registered after the load, so its downloads never hold
// up the game's first start; without service workers (an insecure address) the page simply
// plays online.
'use strict';

if ('serviceWorker' in navigator) {
    window.addEventListener('load', () => {
        // The worker's script is always checked against the server, so a new build is seen on
        // the first visit after it is published.
        navigator.serviceWorker.register('service-worker.js', {updateViaCache: 'none'})
            .catch((error) => console.warn('Offline play is not available: ' + error));
    });
}
