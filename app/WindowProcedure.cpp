#include "app/WindowProcedure.h"

#include "game/PuzzleGame.h"

namespace {

void SetKey(WPARAM key, bool down) {
    if (key == VK_ESCAPE) {
        game.escapeDown = down;
    } else if (key == VK_SPACE) {
        game.spaceDown = down;
    }
}

}  // namespace

// Runs between frames, never during one: a frame sees the flags as they stood when it began.
LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            game.state = StateStartup;
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_KEYDOWN:
            SetKey(wParam, true);
            return 0;
        case WM_KEYUP:
            SetKey(wParam, false);
            return 0;
        case WM_LBUTTONDOWN:
            game.mouseDown = true;
            return 0;
        case WM_LBUTTONUP:
            game.mouseDown = false;
            return 0;
        case WM_DISPLAYCHANGE:
            game.displayChanged = true;
            return 0;
        case WM_DPICHANGED:
            // lParam points to the place Windows suggests on the monitor of the new scale.
            if (lParam != 0) {
                game.suggestedPlace = *reinterpret_cast<const RECT*>(lParam);
                game.dpiChanged = true;
            } else {
                game.displayChanged = true;
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}
