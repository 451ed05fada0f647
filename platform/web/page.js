// The page around the game: it scales the canvas, turns the browser's input into the window
// messages the game's window procedure knows, keeps the pointer in the canvas's own
// 1280 x 1024 pixels, and says on the page when the game cannot start or has ended.
'use strict';

var Module = (function () {
    const Width = 1280;
    const Height = 1024;
    const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_MOUSEMOVE = 0x0200;
    const ButtonDown = [0x0201, 0x0207, 0x0204];  // left, middle, right, by DOM button number
    const ButtonUp = [0x0202, 0x0208, 0x0205];
    const VK_ESCAPE = 0x1B;
    // A tap on the Escape control is held at least this long, so a frame surely sees it.
    const EscapeHoldMs = 150;
    const ControlRoom = 80;  // pixels the Escape control needs beside or below the canvas

    const body = document.body;
    const canvas = document.getElementById('canvas');
    const escapeControl = document.getElementById('escape');
    const noticeText = document.getElementById('notice-text');

    const messages = [];  // [message, wParam, x, y], taken by the game between frames
    let pointerX = Width / 2;  // where a fresh display puts the pointer: the centre
    let pointerY = Height / 2;
    const keysDown = new Set();
    const buttonsDown = new Set();
    let ended = false;

    function post(message, wParam) {
        if (ended) return;
        const last = messages[messages.length - 1];
        // Moves pile up while the game is loading or busy; the latest one says it all.
        if (message === WM_MOUSEMOVE && last && last[0] === WM_MOUSEMOVE) messages.pop();
        messages.push([message, wParam, pointerX, pointerY]);
    }

    function showNotice(text) {
        noticeText.textContent = text;
        body.classList.add('notice');
    }

    // Scaling: the largest 5:4 box that fits, centred. Where the Escape control is shown and
    // finds no room beside or below that box, the box shrinks to make room below.
    function fit() {
        const w = window.innerWidth, h = window.innerHeight;
        const touch = body.classList.contains('touch');
        let scale = Math.min(w / Width, h / Height);
        let side = (w - Width * scale) / 2, below = (h - Height * scale) / 2;
        if (touch && side < ControlRoom && below < ControlRoom) {
            scale = Math.min(w / Width, (h - 2 * ControlRoom) / Height);
            side = (w - Width * scale) / 2;
            below = (h - Height * scale) / 2;
        }
        const cw = Width * scale, ch = Height * scale;
        Object.assign(canvas.style, {left: side + 'px', top: below + 'px',
                                     width: cw + 'px', height: ch + 'px'});
        if (side >= ControlRoom) {
            Object.assign(escapeControl.style, {left: (side + cw + 8) + 'px', top: (below + 8) + 'px'});
        } else {
            Object.assign(escapeControl.style, {left: (w / 2 - 32) + 'px',
                                                top: (below + ch + (below - 48) / 2) + 'px'});
        }
    }

    // The pointer as the game sees it: canvas pixels, whatever the CSS scale, and beyond the
    // edges when the pointer is off the canvas, as a pointer off a window would be.
    function track(event) {
        const box = canvas.getBoundingClientRect();
        if (box.width > 0 && box.height > 0) {
            pointerX = Math.floor((event.clientX - box.left) * Width / box.width);
            pointerY = Math.floor((event.clientY - box.top) * Height / box.height);
        }
    }

    function noteTouch(event) {
        if (event.pointerType === 'touch' && !body.classList.contains('touch')) {
            body.classList.add('touch');
            fit();
        }
    }

    // Windows' virtual-key codes for the keys a player may press; the game listens to Escape
    // and Space. Browser shortcuts pass through untouched.
    function virtualKey(event) {
        if (event.code === 'Escape') return VK_ESCAPE;
        if (event.code === 'Space') return 0x20;
        if (event.code === 'Enter') return 0x0D;
        const letter = /^Key([A-Z])$/.exec(event.code) || /^Digit([0-9])$/.exec(event.code);
        return letter ? letter[1].charCodeAt(0) : 0;
    }

    function key(event, down) {
        const code = virtualKey(event);
        // A key let go always counts, so none stays down behind a shortcut.
        if (code === 0 || (down && (event.ctrlKey || event.altKey || event.metaKey))) return;
        event.preventDefault();
        if (down) keysDown.add(code); else keysDown.delete(code);
        post(down ? WM_KEYDOWN : WM_KEYUP, code);
    }

    function release(button) {
        if (buttonsDown.delete(button)) post(ButtonUp[button], 0);
    }

    // A tap is a press: a finger lifted before any frame has seen it down is let go only
    // after the next frame. (A mouse click between two frames does nothing, as on the
    // desktop; a tap is shorter, and Chromium holds the page back for a moment after a touch.)
    // Input arrives while a frame sleeps, before that frame is presented: the frame that sees
    // a press is the one presented after the next.
    let framesShown = 0;
    let firstFrameAt = 0;
    let tapSeenAt = -1;  // the present after which a touch has been seen down
    let tapToFinish = false;
    function lift(event) {
        if (event.pointerType === 'touch' && event.button === 0 && framesShown < tapSeenAt) {
            tapToFinish = true;
        } else {
            release(event.button);
        }
    }
    function frameShown() {
        if (framesShown++ === 0) firstFrameAt = performance.now();
        if (tapToFinish && framesShown >= tapSeenAt) {
            tapToFinish = false;
            release(0);
        }
    }

    // Keys and buttons are heard by the whole page, so they work without a first click.
    window.addEventListener('keydown', (event) => key(event, true));
    window.addEventListener('keyup', (event) => key(event, false));
    // One pointer is the mouse: a second finger on the screen is ignored.
    canvas.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        if (!event.isPrimary) return;
        noteTouch(event);
        track(event);
        if (event.button < 0 || event.button > 2) return;
        try { canvas.setPointerCapture(event.pointerId); } catch (e) { /* released already */ }
        post(WM_MOUSEMOVE, 0);
        buttonsDown.add(event.button);
        tapSeenAt = event.pointerType === 'touch' ? framesShown + 2 : -1;
        post(ButtonDown[event.button], 0);
    });
    window.addEventListener('pointermove', (event) => {
        if (!event.isPrimary) return;
        track(event);
        post(WM_MOUSEMOVE, 0);
    });
    window.addEventListener('pointerup', (event) => {
        if (!event.isPrimary) return;
        track(event);
        lift(event);
    });
    window.addEventListener('pointercancel', () => release(0));
    // Leaving the page lets go of everything, so nothing stays held while the player is away.
    window.addEventListener('blur', () => {
        for (const code of keysDown) post(WM_KEYUP, code);
        keysDown.clear();
        for (const button of [...buttonsDown]) release(button);
    });
    for (const name of ['contextmenu', 'selectstart', 'dragstart']) {
        document.addEventListener(name, (event) => event.preventDefault());
    }
    for (const name of ['touchmove', 'wheel']) {
        document.addEventListener(name, (event) => event.preventDefault(), {passive: false});
    }
    window.addEventListener('resize', fit);

    // The Escape control: held while the finger stays on it, and at least EscapeHoldMs.
    let escapeSince = 0;
    escapeControl.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        noteTouch(event);
        escapeControl.setPointerCapture(event.pointerId);
        escapeSince = performance.now();
        post(WM_KEYDOWN, VK_ESCAPE);
    });
    const escapeUp = () => {
        if (escapeSince === 0) return;
        const wait = Math.max(0, escapeSince + EscapeHoldMs - performance.now());
        escapeSince = 0;
        setTimeout(() => post(WM_KEYUP, VK_ESCAPE), wait);
    };
    escapeControl.addEventListener('pointerup', escapeUp);
    escapeControl.addEventListener('pointercancel', escapeUp);

    document.getElementById('again').addEventListener('click', () => location.reload());

    if (navigator.maxTouchPoints > 0 || window.matchMedia('(any-pointer: coarse)').matches) {
        body.classList.add('touch');
    }
    fit();
    window.focus();

    const failed = (text) => {
        ended = true;
        showNotice(text);
    };

    const module = {
        canvas: canvas,
        // What the game's Win32 layer calls.
        win32: {
            messages: messages,
            // Frames presented so far, and when the first one was (for the tests and the
            // measurements).
            get frames() { return framesShown; },
            get firstFrameAt() { return firstFrameAt; },
            // Whether the page still holds the left button down (for the browser tests).
            buttonHeld: () => buttonsDown.has(0),
            pointerX: () => pointerX,
            pointerY: () => pointerY,
            showPointer: (show) => body.classList.toggle('pointer-hidden', !show),
            showMessage: (caption, text) => {
                console.error(caption + ': ' + text);
                showNotice(caption + ': ' + text);
            },
            presented: frameShown,
            ended: (code) => {
                ended = true;
                body.classList.add('ended');
                showNotice(code === 0 ? 'The game has ended.' : 'The game ended with an error.');
            },
        },
        print: (text) => console.log(text),
        printErr: (text) => console.error(text),
        onAbort: (what) => failed('The game could not start: ' + what + '. Reload the page to try again.'),
    };

    // The pictures come in lumenvale.data; without them the game would show a black screen.
    window.addEventListener('error', (event) => {
        const what = String(event.message || '');
        if (/lumenvale\.data|NetworkError/.test(what)) {
            failed('The game\'s pictures could not be fetched (' + what.replace(/^Uncaught Error: /, '') +
                   '). Check the connection and reload the page.');
        } else if (!ended) {
            failed('The game stopped: ' + what);
        }
    });
    const script = document.createElement('script');
    script.src = 'lumenvale.js';
    script.onerror = () => failed('The game\'s program (lumenvale.js) could not be fetched. ' +
                                  'Check the connection and reload the page.');
    document.body.appendChild(script);
    return module;
})();
