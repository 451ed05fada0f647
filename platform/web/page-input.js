// Input: the browser's keys, mouse and fingers turned into the window messages the game's
// window procedure knows, with the pointer in the canvas's own 1280 x 1024 pixels, whatever
// the CSS scale, and beyond its edges when the pointer is off the canvas, as a pointer off a
// window would be.
'use strict';

const PageInput = (function (layout) {
    const Width = 1280;
    const Height = 1024;
    const WM_PAINT = 0x000F, WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101, WM_MOUSEMOVE = 0x0200;
    // By DOM button number (left, middle, right): the messages, and the bit in event.buttons.
    const ButtonDown = [0x0201, 0x0207, 0x0204];
    const ButtonUp = [0x0202, 0x0208, 0x0205];
    const ButtonBit = [1, 4, 2];
    const VK_ESCAPE = 0x1B;
    // A tap on the Escape control is held at least this long, so a frame surely sees it.
    const EscapeHoldMs = 150;

    const canvas = document.getElementById('canvas');
    const escapeControl = document.getElementById('escape');

    const messages = [];  // [message, wParam, x, y], taken by the game between frames
    let pointerX = Width / 2;  // where a fresh display puts the pointer: the centre
    let pointerY = Height / 2;
    const keysDown = new Set();
    const buttonsDown = new Set();
    let holder = null;  // the pointer whose buttons the page holds down
    let stopped = false;
    let whenPosted = null;  // wakes a game that waits for its next message

    function post(message, wParam) {
        if (stopped) return;
        const last = messages[messages.length - 1];
        // Moves pile up while the game is loading or busy; the latest one says it all.
        if (message === WM_MOUSEMOVE && last && last[0] === WM_MOUSEMOVE) messages.pop();
        messages.push([message, wParam, pointerX, pointerY]);
        if (whenPosted) whenPosted();
    }

    function track(event) {
        const box = canvas.getBoundingClientRect();
        if (box.width > 0 && box.height > 0) {
            pointerX = Math.floor((event.clientX - box.left) * Width / box.width);
            pointerY = Math.floor((event.clientY - box.top) * Height / box.height);
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

    // Every press is seen: a button let go before any frame has seen it down is let go only
    // after the next frame. Frames come as the display and the GPU allow, a few a second on a
    // busy machine, and a finger's tap is short: a click or a tap would otherwise fall between
    // two frames and do nothing. Input arrives while a frame sleeps, before that frame is
    // presented: the frame that sees a press is the one presented after the next.
    let framesShown = 0;
    const seenAfter = [0, 0, 0];  // by button: the present after which it has been seen down
    const toLetGo = new Set();    // buttons let go too soon, let go after that present

    function press(button) {
        buttonsDown.add(button);
        seenAfter[button] = framesShown + 2;
        post(ButtonDown[button], 0);
    }

    function release(button) {
        toLetGo.delete(button);
        if (buttonsDown.delete(button)) post(ButtonUp[button], 0);
    }

    function frameShown() {
        framesShown++;
        for (const button of toLetGo) {
            if (framesShown >= seenAfter[button]) release(button);
        }
    }

    // Pointer events name only the first button down and the last one up: a button pressed or
    // let go while another is held comes as a move. So every event's `buttons` is compared with
    // what the page holds. A press starts on the canvas; later buttons of a chord may come on
    // any event of the pointer that holds the first.
    function follow(event, mayPress) {
        for (let button = 0; button < 3; button++) {
            const held = (event.buttons & ButtonBit[button]) !== 0;
            if (held && toLetGo.has(button)) {
                toLetGo.delete(button);  // down again before it was let go: held on
            } else if (held && !buttonsDown.has(button) && mayPress) {
                press(button);
            } else if (!held && buttonsDown.has(button) && !toLetGo.has(button)) {
                if (framesShown < seenAfter[button]) toLetGo.add(button); else release(button);
            }
        }
        holder = buttonsDown.size > 0 ? event.pointerId : null;
    }

    function releaseAll() {
        for (const code of keysDown) post(WM_KEYUP, code);
        keysDown.clear();
        for (const button of [...buttonsDown]) release(button);
        holder = null;
    }

    // Keys and buttons are heard by the whole page, so they work without a first click.
    window.addEventListener('keydown', (event) => key(event, true));
    window.addEventListener('keyup', (event) => key(event, false));
    // One pointer is the mouse: a second finger on the screen is ignored.
    canvas.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        if (!event.isPrimary) return;
        layout.noteTouch(event);
        track(event);
        try { canvas.setPointerCapture(event.pointerId); } catch (e) { /* released already */ }
        post(WM_MOUSEMOVE, 0);
        follow(event, true);
    });
    window.addEventListener('pointermove', (event) => {
        if (!event.isPrimary) return;
        track(event);
        post(WM_MOUSEMOVE, 0);
        follow(event, event.pointerId === holder);
    });
    window.addEventListener('pointerup', (event) => {
        if (!event.isPrimary) return;
        track(event);
        follow(event, false);
    });
    // A cancelled pointer lets go of what it held, and only that.
    window.addEventListener('pointercancel', (event) => {
        if (event.pointerId !== holder) return;
        releaseAll();
    });
    // Leaving the page lets go of everything, so nothing stays held while the player is away.
    window.addEventListener('blur', releaseAll);
    for (const name of ['contextmenu', 'selectstart', 'dragstart', 'gesturestart']) {
        document.addEventListener(name, (event) => event.preventDefault());
    }
    for (const name of ['touchmove', 'wheel']) {
        document.addEventListener(name, (event) => event.preventDefault(), {passive: false});
    }

    // The Escape control: held while the finger stays on it, and at least EscapeHoldMs.
    let escapeSince = 0;
    escapeControl.addEventListener('pointerdown', (event) => {
        event.preventDefault();
        layout.noteTouch(event);
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
    window.focus();

    return {
        messages: messages,
        pointerX: () => pointerX,
        pointerY: () => pointerY,
        frameShown: frameShown,
        releaseAll: releaseAll,
        // The picture is to be drawn again (the page was shown again, resized, or its context
        // given back): a message like any other, so a waiting game wakes and draws.
        repaint: () => post(WM_PAINT, 0),
        // Called once for each message posted from now on; null stops it.
        onPost: (callback) => { whenPosted = callback; },
        // No more input once the game has ended or cannot start.
        stop: () => { stopped = true; },
    };
})(PageLayout);
