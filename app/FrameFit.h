// How the game's fixed frame meets the screen it is given: the window it asks for on the
// desktop, the box the frame fills in whatever client area the window ends up with, and so the
// place of the pointer in the frame. The screens draw and pick in GL coordinates over the frame
// and never see the window's real size.
#pragma once

#include <windows.h>

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

// The window for a frame of this size on a monitor at this many pixels per logical inch: the
// frame's size times the monitor's scale, at the top-left corner of the work area (the monitor
// less its panels and taskbar) where it fits there; else the whole monitor, panels and taskbar
// included, which the system takes for a full-screen window. A monitor or work area of no size
// counts as one of the frame's size.
PixelBox WindowOnMonitor(const PixelBox& monitor, const PixelBox& work, int dpi, int frameWidth,
                         int frameHeight);

// The same on the monitor the system names: the primary one for a window not yet made, else the
// one the window is on, at that monitor's own scale where the system tells it.
PixelBox WindowOnDesktop(int frameWidth, int frameHeight, HWND window = nullptr);

// The frame's box in a client area: the largest box of the frame's shape, centred.
PixelBox FrameInClient(int clientWidth, int clientHeight, int frameWidth, int frameHeight);
