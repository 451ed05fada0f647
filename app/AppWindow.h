// The window, its OpenGL context and the message loop. The game derives from AppWindow and
// supplies Frame; it reaches the window system through nothing else.
#pragma once

#include <windows.h>

#include "app/FrameFit.h"
#include "app/Stillness.h"

class AppWindow {
public:
    void Create(const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, WNDPROC procedure, bool showCursor);
    void CreateGLContext();
    void MakeCurrent();
    // Handles one message per pass; whenever the queue is empty it calls Frame if the next
    // frame can differ from the last one shown, and otherwise waits for the next message.
    // Returns once the quit message has been taken.
    void Run();
    void Present();
    // Fits a frame of this size to the window's client area as it is now (the largest centred
    // box of its shape, black around it) and points GL's viewport there. Each drawn frame calls
    // it first, so the frame follows every move and resize of the window; where the desktop
    // changed since the last frame, the window is placed afresh first.
    void FitFrame(int frameWidth, int frameHeight);
    virtual void Frame() = 0;

    // Noted by the window procedure, acted on before the next frame: the desktop changed (a
    // monitor's resolution, a monitor added or taken away), or the scale of the window's monitor
    // did (the window moved to another monitor, or the player set another scale), with the place
    // Windows suggests for the window on that monitor.
    bool displayChanged = false;
    bool dpiChanged = false;
    RECT suggestedPlace = {};

protected:
    // The window the game would get at start-up, now on the monitor the window is on.
    void FollowDesktop(int frameWidth, int frameHeight);

    HDC deviceContext;
    HGLRC glContext;
    HWND window;
    MSG message;
    PixelBox frame;     // where the frame lies in the client area, from the latest FitFrame
    PixelBox viewport;  // GL's viewport as last set (rows counted from the bottom); none at first

private:
    // The window's place and size and the pointer, as a frame starting now would see them.
    WindowView View() const;
    // Off the window no move of the pointer is heard, yet the drawn cursor follows it there:
    // the window asks to hear when the pointer leaves, each time it has come back.
    void FollowPointer(UINT messageTaken);

    Stillness stillness;
    bool presented = false;     // whether the frame running now has presented its picture
    bool leaveTracked = false;  // whether WM_MOUSELEAVE will tell when the pointer leaves
};
