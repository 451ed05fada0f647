// The pointer, in screen pixels and in the GL coordinates the screens draw in.
#pragma once

#include <cstdint>

struct GlPoint {
    float x;
    float y;
};

class Cursor {
public:
    Cursor() : glX(0), glY(0) {}
    // Reads the pointer afresh, in the window's pixels: the window sits at the desktop's top-left
    // corner on Windows, and the other systems' layers count from the window's corner.
    void Update(int width, int height);
    GlPoint GlPosition() const { return {glX, glY}; }

    int32_t screenX;
    int32_t screenY;
    float glX;
    float glY;
};
