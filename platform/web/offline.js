// Offline play: the service worker keeps this build's files, so the next visit starts with no
// network. It is registered once the game has shown its first frame, so its downloads never
// compete with the game's start; without service workers (an insecure address) the page
// simply plays online.
'use strict';

const PageOffline = {
    keepFiles: () => {
        if (!('serviceWorker' in navigator)) return;
        // The worker's script is always checked against the server, so a new build is seen on
        // the first visit after it is published.
        navigator.serviceWorker.register('service-worker.js', {updateViaCache: 'none'})
            .catch((error) => console.warn('Offline play is not available: ' + error));
    },
};
