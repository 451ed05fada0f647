// The game's time on the page: its clock, one frame for each frame the browser shows, no frame
// at all while the game is still, a pause while the page is hidden, and a WebGL context the
// browser took away kept until it is back.
'use strict';

const PageLifecycle = (function (input, messages) {
    const canvas = document.getElementById('canvas');
    // Without an animation frame for this long a visible page still runs, slowly: a browser
    // may hold frames back from a page it thinks unseen.
    const NoFrameMs = 100;
    const TickWrap = 4294967296;

    // GetTickCount: milliseconds like a machine's clock, from a start that no two visits share
    // (the wall clock at load), counted on by the browser's monotonic clock.
    const clockStart = Date.now() - performance.now();
    function tickCount() {
        return Math.floor(clockStart + performance.now()) % TickWrap;
    }

    // A fence after each frame drawn: the next frame is drawn only once the GPU has done the
    // last, so drawn frames never queue up behind the ones shown.
    let gl = null;
    let fence = null;
    function fenceFrame() {
        gl = gl || canvas.getContext('webgl2');
        if (fence === null && gl && !gl.isContextLost()) {
            fence = gl.fenceSync(gl.SYNC_GPU_COMMANDS_COMPLETE, 0);
        }
    }
    function frameDone() {
        if (fence === null) return true;
        if (!gl.isContextLost() && gl.getSyncParameter(fence, gl.SYNC_STATUS) !== gl.SIGNALED) {
            return false;
        }
        gl.deleteSync(fence);
        fence = null;
        return true;
    }

    const whenVisible = [];

    // The game's Sleep: back to the browser until at least `milliseconds` have passed, the last
    // frame is done and an animation frame comes; the game draws its next frame inside that
    // animation frame, to be shown when it ends. Whichever of the animation frame and the
    // fallback timer wakes first cancels the other. A hidden page sleeps until it is shown.
    function nextFrame(milliseconds) {
        fenceFrame();
        const since = performance.now();
        return new Promise((resolve) => {
            let frame = 0, timer = 0;
            const wait = () => {
                if (document.hidden) {
                    whenVisible.push(wait);
                    return;
                }
                frame = requestAnimationFrame(() => {
                    clearTimeout(timer);
                    wake();
                });
                timer = setTimeout(() => {
                    cancelAnimationFrame(frame);
                    wake();
                }, Math.max(milliseconds, NoFrameMs));
            };
            const wake = () => {
                if (!document.hidden && performance.now() - since >= milliseconds && frameDone()) {
                    resolve();
                } else {
                    wait();
                }
            };
            wait();
        });
    }

    // The game's wait for its next message while nothing it shows can change: no animation
    // frame is asked for, only the page's input (the page posts a repaint when it is shown
    // again, resized or given its picture back) or the time limit ends it; -1 is no limit.
    function nextInput(milliseconds) {
        return new Promise((resolve) => {
            if (input.messages.length > 0) {
                resolve();
                return;
            }
            let timer = 0;
            const wake = () => {
                clearTimeout(timer);
                input.onPost(null);
                resolve();
            };
            input.onPost(wake);
            if (milliseconds >= 0) timer = setTimeout(wake, milliseconds);
        });
    }
    window.addEventListener('resize', input.repaint);

    // Hidden: nothing stays held while the player is away, and the game waits.
    document.addEventListener('visibilitychange', () => {
        if (document.hidden) {
            input.releaseAll();
        } else {
            for (const wait of whenVisible.splice(0)) wait();
            input.repaint();
        }
    });

    // A lost context: the browser gives it back only to a page that cancels the loss. Until
    // then the game plays on unseen, and the page says why the picture is gone.
    let restored = false;
    canvas.addEventListener('webglcontextlost', (event) => {
        event.preventDefault();
        fence = null;
        messages.waiting('The picture was lost. The game waits for the browser to give it back.');
    });
    canvas.addEventListener('webglcontextrestored', () => {
        restored = true;
        messages.waiting(null);
        input.repaint();
    });

    return {
        tickCount: tickCount,
        nextFrame: nextFrame,
        nextInput: nextInput,
        // Whether the context came back since the last asking: the GL layer then builds anew.
        takeContextRestored: () => {
            const was = restored;
            restored = false;
            return was;
        },
    };
})(PageInput, PageMessages);
