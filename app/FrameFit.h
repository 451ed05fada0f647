// How the game's fixed frame meets the screen it is given: the window it asks for on the
// desktop, the box the frame fills in whatever client area the window ends up with, and so the
// place of the pointer in the frame. The screens draw and pick in GL coordinates over the frame
// and never see the window's real size.
#pragma once

// A rectangle in pixels, counted from the top-left corner.
struct PixelBox {
    int x;
    int y;
    int width;
    int height;

    bool operator==(const PixelBox& other) const {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
    bool operator!=(const PixelBox& other) const { return !(*this == other); }
};

// The largest box of the shape shapeWidth : shapeHeight within maxWidth × maxHeight, at (0, 0).
// Its free side is rounded to the nearest pixel, never past the maximum.
PixelBox FitShape(int maxWidth, int maxHeight, int shapeWidth, int shapeHeight);

// The window for a frame of this size on the desktop the system gives: the frame's size times
// the display's scale, or the largest box of the frame's shape that fits the work area (the
// desktop less its panels and taskbar) where that is too big, at the work area's top-left corner.
PixelBox WindowOnDesktop(int frameWidth, int frameHeight);

// The frame's box in a client area: the largest box of the frame's shape, centred.
PixelBox FrameInClient(int clientWidth, int clientHeight, int frameWidth, int frameHeight);
