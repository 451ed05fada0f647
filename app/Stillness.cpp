#include "app/Stillness.h"

namespace {

// The mouse button a button message speaks of, as a bit; 0 for any other message.
unsigned ButtonBit(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            return 1;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            return 2;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            return 4;
        default:
            return 0;
    }
}

bool ButtonGoesDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN;
}

}  // namespace

bool WindowView::PointerInside() const {
    LONG x = pointer.x - origin.x, y = pointer.y - origin.y;
    return 0 <= x && x < width && 0 <= y && y < height;
}

bool WindowView::operator==(const WindowView& other) const {
    return origin.x == other.origin.x && origin.y == other.origin.y && width == other.width &&
           height == other.height && pointer.x == other.pointer.x && pointer.y == other.pointer.y;
}

void Stillness::Heard(const MSG& message) {
    heardSinceFrame = true;
    if (message.message == WM_KEYDOWN || message.message == WM_KEYUP) {
        // Keys beyond the table (none a keyboard sends) are simply not followed.
        if (message.wParam < keysHeld.size()) {
            keysHeld[message.wParam] = message.message == WM_KEYDOWN;
        }
    } else if (unsigned bit = ButtonBit(message.message)) {
        buttonsHeld = ButtonGoesDown(message.message) ? buttonsHeld | bit : buttonsHeld & ~bit;
    }
}

void Stillness::FrameRan(bool presented, const WindowView& view) {
    bool caused = heardSinceFrame || Held() || !shownAny || view != shown;
    heardSinceFrame = false;
    // A frame that showed nothing (the start-up) is followed by one that does.
    lastFrameSettled = presented && !caused;
    if (presented) {
        shownAny = true;
        shown = view;
    }
}

DWORD Stillness::WaitBeforeFrame(const WindowView& now) {
    if (!lastFrameSettled || heardSinceFrame || Held() || now != shown) {
        pointerWatchMs = PointerWatchShortestMs;
        return 0;
    }
    // Over the window every move of the pointer comes as a message; off it none does, yet the
    // drawn cursor follows it to the edge and beyond, so the pointer is looked at now and then.
    if (now.PointerInside()) {
        pointerWatchMs = PointerWatchShortestMs;
        return INFINITE;
    }
    DWORD wait = pointerWatchMs;
    pointerWatchMs = wait * 2 > PointerWatchLongestMs ? PointerWatchLongestMs : wait * 2;
    return wait;
}
