// The pointer, in screen pixels and in the GL coordinates the screens draw in.
#pragma once

#include <cstdint>
#include <windows.h>

#include "app/FrameFit.h"

struct GlPoint {
    float x;
    float y;
};

class Cursor {
public:
    Cursor() : glX(0), glY(0) {}
    // Reads the pointer afresh and maps it through the frame's box in the window's client area:
    // (-1, 1) at the box's top-left corner, (1, -1) at its bottom-right, beyond where the pointer
    // is outside the box.
    void Update(HWND window, const PixelBox& frame);
    GlPoint GlPosition() const { return {glX, glY}; }

    int32_t screenX;  // on the desktop, as the system gives it
    int32_t screenY;
    float glX;
    float glY;
};
