// The page around the game: it joins what the other page scripts do (layout, input, lifecycle,
// messages, offline play) into what the game's Win32 layer calls, fetches the game, and says on
// the page when it cannot start or has ended.
'use strict';

var Module = (function (input, lifecycle, messages, offline) {
    const body = document.body;
    let started = false;

    const stop = (text) => {
        input.stop();
        messages.show(text);
    };

    const module = {
        canvas: document.getElementById('canvas'),
        // What the game's Win32 layer calls.
        win32: {
            messages: input.messages,
            pointerX: input.pointerX,
            pointerY: input.pointerY,
            showPointer: (show) => body.classList.toggle('pointer-hidden', !show),
            showMessage: messages.showOnce,
            presented: () => {
                if (!started) {
                    started = true;
                    offline.keepFiles();
                }
                input.frameShown();
            },
            tickCount: lifecycle.tickCount,
            nextFrame: lifecycle.nextFrame,
            nextInput: lifecycle.nextInput,
            takeContextRestored: lifecycle.takeContextRestored,
            ended: (code) => {
                body.classList.add('ended');
                stop(code === 0 ? 'The game has ended.' : 'The game ended with an error.');
            },
        },
        print: (text) => console.log(text),
        printErr: (text) => console.error(text),
        onAbort: (what) => stop('The game could not start: ' + what + '. Reload the page to try again.'),
    };

    document.getElementById('again').addEventListener('click', () => location.reload());

    // The pictures come in lumenvale.data; without them the game would show a black screen.
    let failed = false;
    window.addEventListener('error', (event) => {
        const what = String(event.message || '');
        if (/lumenvale\.data|NetworkError/.test(what)) {
            failed = true;
            stop('The game\'s pictures could not be fetched (' + what.replace(/^Uncaught Error: /, '') +
                 '). Check the connection and reload the page.');
        } else if (!failed && !body.classList.contains('ended')) {
            failed = true;
            stop('The game stopped: ' + what);
        }
    });
    const script = document.createElement('script');
    script.src = 'lumenvale.js';
    script.onerror = () => stop('The game\'s program (lumenvale.js) could not be fetched. ' +
                                'Check the connection and reload the page.');
    document.body.appendChild(script);
    return module;
})(PageInput, PageLifecycle, PageMessages, PageOffline);
