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
    // Reads the pointer afresh; the window sits at (0, 0), so screen pixels are window pixels.
    void Update(int width, int height);
    GlPoint GlPosition() const { return {glX, glY}; }

    int32_t screenX;
    int32_t screenY;
    float glX;
    float glY;
};
