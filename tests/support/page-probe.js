// Served before page.js to the browser tests and benches, never shipped: counts the frames the
// game presents, follows the buttons and keys the page holds down for it, and while a press is
// watched keeps every picture that differs from the one before, however briefly it was shown.
'use strict';

const Probe = (function () {
    const WM_KEYDOWN = 0x0100, WM_KEYUP = 0x0101;
    const ButtonDown = {0x0201: 0, 0x0207: 1, 0x0204: 2};
    const ButtonUp = {0x0202: 0, 0x0208: 1, 0x0205: 2};
    const Width = 1280, Height = 1024;
    const Kept = 16;  // pictures of one press; a press taken twice shows three
    // A browser without a driver reads the counters from the window's title instead.
    const titled = /[?&]probe-title\b/.test(location.search);
    const probe = {frames: 0, firstFrameAt: 0, buttons: new Set(), keys: new Set(), ups: 0,
                   inputFrame: 0, watchFrame: -1, changeFrame: 0, pictures: [], story: [],
                   downSince: {}, longest: 0, lastHold: 0, waiting: false};
    let gl = null;

    function noteInput(message) {
        const [kind, code] = message;
        if (kind in ButtonDown) probe.buttons.add(ButtonDown[kind]);
        else if (kind === WM_KEYDOWN) probe.keys.add(code);
        else if (kind in ButtonUp) probe.buttons.delete(ButtonUp[kind]);
        else if (kind === WM_KEYUP) probe.keys.delete(code);
        else return;
        if (kind in ButtonUp || kind === WM_KEYUP) probe.ups++;
        probe.inputFrame = probe.frames;
        tell((kind in ButtonDown || kind === WM_KEYDOWN ? 'down ' : 'up ') + code);
    }

    // What a watched press did, frame by frame, for the message of a test that fails.
    function tell(what) {
        if (probe.watchFrame >= 0) {
            probe.story.push(what + ' at ' + Math.round(performance.now()) + ' ms, frame ' + probe.frames);
        }
    }

    function same(a, b) {
        const x = new Uint32Array(a.buffer), y = new Uint32Array(b.buffer);
        for (let i = 0; i < x.length; i++) if (x[i] !== y[i]) return false;
        return true;
    }

    // After each present, while watched: the picture just drawn, kept when it is new.
    function look() {
        gl = gl || document.getElementById('canvas').getContext('webgl2');
        if (probe.watchFrame < 0 || !gl || gl.isContextLost()) return;
        const pixels = new Uint8Array(Width * Height * 4);
        gl.readPixels(0, 0, Width, Height, gl.RGBA, gl.UNSIGNED_BYTE, pixels);
        const last = probe.pictures[probe.pictures.length - 1];
        if (last && same(last.pixels, pixels)) return;
        if (probe.pictures.length === Kept) probe.pictures.splice(1, 1);
        probe.pictures.push({frame: probe.frames, pixels: pixels});
        probe.changeFrame = probe.frames;
        tell('new picture');
    }

    // Still: the game waits for its next message with none pending. It has then taken every
    // input and drawn what it makes of it, and draws nothing more until input comes.
    function still() {
        return probe.waiting && module.win32.messages.length === 0;
    }

    function join(module) {
        const win32 = module.win32, presented = win32.presented, queue = win32.messages;
        const nextInput = win32.nextInput;
        win32.nextInput = (milliseconds) => {
            probe.waiting = true;
            showInTitle();
            return nextInput(milliseconds).finally(() => { probe.waiting = false; });
        };
        win32.presented = () => {
            presented();
            if (probe.frames++ === 0) probe.firstFrameAt = performance.now();
            tell('presented');
            look();
            showInTitle();
        };
        queue.push = function (message) {
            noteInput(message);
            return Array.prototype.push.call(this, message);
        };
        module.probed = true;
    }

    function showInTitle() {
        if (titled) {
            document.title = ['probe', probe.frames, probe.ups, probe.buttons.size + probe.keys.size,
                              probe.inputFrame, Math.round(probe.lastHold), still() ? 1 : 0].join(' ');
        }
    }

    // How long the browser itself held each input, by its own event times: a release that
    // reached the browser late (a driver slow on a busy machine) is the input's doing, not the
    // page's or the game's.
    for (const [down, up] of [['pointerdown', 'pointerup'], ['keydown', 'keyup']]) {
        window.addEventListener(down, (event) => {
            probe.downSince[down] = probe.downSince[down] || event.timeStamp;
        }, true);
        window.addEventListener(up, (event) => {
            const since = probe.downSince[down];
            if (since) {
                probe.lastHold = event.timeStamp - since;
                probe.longest = Math.max(probe.longest, probe.lastHold);
            }
            probe.downSince[down] = 0;
        }, true);
    }

    // page.js's `var Module = …` lands here; so does the program's own assignment of the same.
    let module;
    Object.defineProperty(window, 'Module', {
        configurable: true,
        get: () => module,
        set: (value) => {
            module = value;
            if (value && value.win32 && !value.probed) join(value);
        },
    });

    function png(pixels) {
        const canvas = document.createElement('canvas');
        canvas.width = Width;
        canvas.height = Height;
        const image = new ImageData(new Uint8ClampedArray(pixels.buffer), Width, Height);
        canvas.getContext('2d').putImageData(image, 0, 0);
        return canvas.toDataURL('image/png');
    }

    return {
        get frames() { return probe.frames; },
        get firstFrameAt() { return probe.firstFrameAt; },
        get still() { return still(); },
        buttonsHeld: () => [...probe.buttons].sort(),
        // Keeps every new picture from the next present on, and the longest hold from now on.
        watch: () => {
            probe.pictures = [];
            probe.story = [];
            probe.longest = 0;
            probe.watchFrame = probe.frames;
        },
        // Where a watched press stands: the pictures are complete once nothing is held, the
        // release has been posted, and a few frames have passed since it and since the last
        // new picture.
        state: () => ({frames: probe.frames, held: probe.buttons.size + probe.keys.size,
                       ups: probe.ups, inputFrame: probe.inputFrame,
                       watchFrame: probe.watchFrame, changeFrame: probe.changeFrame,
                       longest: probe.longest, still: still()}),
        story: () => probe.story.join('\n'),
        // The pictures kept since watch(), as PNG data with GL's rows bottom-up; watching stops.
        take: () => {
            const pictures = probe.pictures.map((picture) => png(picture.pixels));
            probe.pictures = [];
            probe.watchFrame = -1;
            return pictures;
        },
    };
})();
