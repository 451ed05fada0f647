// What the page says in words: why the game cannot start or has stopped, the game's own message
// boxes (each distinct one once: on the page a box does not wait for OK, so a message inside a
// loop would flood the page otherwise), and for as long as it lasts, what the game waits for.
'use strict';

const PageMessages = (function () {
    const body = document.body;
    const noticeText = document.getElementById('notice-text');
    const waitingText = document.getElementById('waiting-text');
    const shown = new Set();

    function show(text) {
        noticeText.textContent = text;
        body.classList.add('notice');
    }

    return {
        show: show,
        // A message box of the game's: the first of each caption and text is shown and logged.
        showOnce: (caption, text) => {
            const message = caption + ': ' + text;
            if (shown.has(message)) return;
            shown.add(message);
            console.error(message);
            show([...shown].join('\n'));
        },
        // A passing state, such as a lost picture; null when it has passed.
        waiting: (text) => {
            waitingText.textContent = text || '';
            body.classList.toggle('waiting', Boolean(text));
        },
    };
})();
