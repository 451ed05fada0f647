// Where things go on the page: the canvas scaled to the largest 5:4 box that fits, centred; on
// a touch screen the Escape and full-screen controls beside or below it, and on a phone held
// upright a word that turning it gives a bigger board.
'use strict';

const PageLayout = (function () {
    const Width = 1280;
    const Height = 1024;
    const ControlRoom = 80;  // pixels the controls need beside or below the canvas
    const ControlStep = 56;  // from one control to the next: 48 pixels high, and a gap

    const body = document.body;
    const canvas = document.getElementById('canvas');
    const escapeControl = document.getElementById('escape');
    const fullScreenControl = document.getElementById('full-screen');
    const turnHint = document.getElementById('turn');
    const touchFirst = window.matchMedia('(pointer: coarse)');

    function place(element, left, top) {
        Object.assign(element.style, {left: left + 'px', top: top + 'px'});
    }

    // Where the controls are shown and find no room beside or below the largest box, the box
    // shrinks to make room below.
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
            place(escapeControl, side + cw + 8, below + 8);
            place(fullScreenControl, side + cw + 8, below + 8 + ControlStep);
        } else {
            const top = below + ch + (below - 48) / 2;
            place(escapeControl, w / 2 - ControlStep, top);
            place(fullScreenControl, w / 2 + 8, top);
        }
        // Upright on a phone the board is a strip across the top half; the word goes above it.
        const upright = touchFirst.matches && h > w;
        body.classList.toggle('upright', upright);
        turnHint.style.top = Math.max(4, (below - turnHint.offsetHeight) / 2) + 'px';
        const fullScreen = Boolean(document.fullscreenElement || document.webkitFullscreenElement);
        body.classList.toggle('full-screen', fullScreen);
    }

    function enterFullScreen(event) {
        event.preventDefault();
        const page = document.documentElement;
        const request = page.requestFullscreen || page.webkitRequestFullscreen;
        if (!request) return;
        // Full screen, then sideways where the browser allows it: the board at its biggest.
        Promise.resolve(request.call(page, {navigationUI: 'hide'}))
            .then(() => screen.orientation && screen.orientation.lock('landscape'))
            .catch(() => {});
    }

    // A finger on the page makes it a touch page, with its controls, even without a coarse
    // pointer reported up front.
    function noteTouch(event) {
        if (event.pointerType === 'touch' && !body.classList.contains('touch')) {
            body.classList.add('touch');
            fit();
        }
    }

    if (navigator.maxTouchPoints > 0 || window.matchMedia('(any-pointer: coarse)').matches) {
        body.classList.add('touch');
    }
    if (document.fullscreenEnabled || document.webkitFullscreenEnabled) {
        body.classList.add('can-full-screen');
    }
    fullScreenControl.addEventListener('click', enterFullScreen);
    window.addEventListener('resize', fit);
    document.addEventListener('fullscreenchange', fit);
    document.addEventListener('webkitfullscreenchange', fit);
    fit();

    return {fit: fit, noteTouch: noteTouch};
})();
