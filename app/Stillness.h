// Whether the next frame can differ from the last one shown. The loop tells it every message it
// takes and every frame it runs, and shows it the window and the pointer as they stand; from
// that alone it decides whether to draw or to wait for the next message. A still game (nothing
// arriving, nothing held, the window and the pointer where they were) then costs nothing.
#pragma once

#include <bitset>
#include <cstdint>
#include <windows.h>

// What a frame takes from outside the game besides its input flags: where the window's client
// area lies on the desktop, its size, and the pointer.
struct WindowView {
    POINT origin;  // the client area's top-left corner, in screen pixels
    LONG width;
    LONG height;
    POINT pointer;  // in screen pixels, as GetCursorPos gives it

    bool PointerInside() const;
    bool operator==(const WindowView& other) const;
    bool operator!=(const WindowView& other) const { return !(*this == other); }
};

// How long to wait, in milliseconds, when the pointer is off the window and no message tells
// of its moves: every frame while it moves, slowing down to the longest while it rests.
const DWORD PointerWatchShortestMs = 10;
const DWORD PointerWatchLongestMs = 160;

class Stillness {
public:
    // A message the loop takes: any message may change the next frame (a press, a move, a
    // repaint), and keys and buttons stay held until their release comes.
    void Heard(const MSG& message);
    // A frame has run; `presented` tells whether it showed a picture, `view` what it saw.
    void FrameRan(bool presented, const WindowView& view);
    // 0 when the next frame may differ and is to be drawn now; otherwise how long to wait for a
    // message before asking again (INFINITE: until one comes).
    DWORD WaitBeforeFrame(const WindowView& now);

private:
    bool Held() const { return buttonsHeld != 0 || keysHeld.any(); }

    std::bitset<256> keysHeld;
    unsigned buttonsHeld = 0;  // one bit per mouse button
    bool heardSinceFrame = false;
    // Whether the last frame showed a picture with nothing arriving or held before it: the
    // frame after anything happened is always drawn, so a change a frame made to the game's
    // state (shown from the next frame on) is never left undrawn.
    bool lastFrameSettled = false;
    bool shownAny = false;
    WindowView shown = {};  // what the last frame that showed a picture saw
    DWORD pointerWatchMs = PointerWatchShortestMs;
};
