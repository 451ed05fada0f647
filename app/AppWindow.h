// The window, its OpenGL context and the message loop. The game derives from AppWindow and
// supplies Frame; it reaches the window system through nothing else.
#pragma once

#include <windows.h>

class AppWindow {
public:
    void Create(const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, WNDPROC procedure, bool showCursor);
    void CreateGLContext();
    void MakeCurrent();
    // Handles one message per pass and calls Frame whenever the queue is empty; returns once
    // the quit message has been taken.
    void Run();
    void Present();
    virtual void Frame() = 0;

protected:
    HDC deviceContext;
    HGLRC glContext;
    HWND window;
    MSG message;
};
