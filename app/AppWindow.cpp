#include "app/AppWindow.h"

#include "app/FrameClock.h"
#include "app/GL.h"

void AppWindow::Create(const char* className, const char* title, DWORD style, int x, int y,
                       int width, int height, WNDPROC procedure, bool showCursor) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.lpszClassName = className;
    RegisterClassExA(&windowClass);

    // WM_CREATE reaches the window procedure before this returns.
    window = CreateWindowExA(0, className, title, style, x, y, width, height, nullptr, nullptr,
                             nullptr, nullptr);
    ShowWindow(window, SW_SHOW);
    ShowCursor(showCursor ? TRUE : FALSE);
}

void AppWindow::CreateGLContext() {
    deviceContext = GetDC(window);

    // Double-buffered RGBA; no depth or stencil, the colour depth is the driver's choice.
    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.iLayerType = PFD_MAIN_PLANE;
    SetPixelFormat(deviceContext, ChoosePixelFormat(deviceContext, &format), &format);

    glContext = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, glContext);
}

void AppWindow::MakeCurrent() {
    wglMakeCurrent(deviceContext, glContext);
}

void AppWindow::Run() {
    // All pending input is handled before the next frame starts, and the frame clock's sleep
    // paces the frames. When nothing has arrived, nothing is held and the window and the
    // pointer are where the last frame saw them, that frame's picture is still the right one:
    // instead of drawing it again the loop waits until something can change it.
    while (message.message != WM_QUIT) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            stillness.Heard(message);
            FollowPointer(message.message);
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        WindowView view = View();
        // A changed desktop is heard through messages Windows sends to the procedure rather
        // than posts, which no pass of this loop takes: the flags they set are due a frame.
        DWORD wait = displayChanged || dpiChanged ? 0 : stillness.WaitBeforeFrame(view);
        if (wait == 0) {
            presented = false;
            Frame();
            stillness.FrameRan(presented, view);
            continue;
        }
        // Unlike WaitMessage, this also returns for a message sent from elsewhere, which the
        // next PeekMessageA hands to the procedure.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        // The time spent waiting belongs to the next frame, as if frames had gone on.
        FrameClock::Resume();
    }
}

void AppWindow::FollowPointer(UINT messageTaken) {
    if (messageTaken == WM_MOUSELEAVE) {
        leaveTracked = false;
    } else if (messageTaken == WM_MOUSEMOVE && !leaveTracked) {
        TRACKMOUSEEVENT request = {};
        request.cbSize = sizeof(request);
        request.dwFlags = TME_LEAVE;
        request.hwndTrack = window;
        leaveTracked = TrackMouseEvent(&request) != FALSE;
    }
}

WindowView AppWindow::View() const {
    WindowView view = {};
    RECT client = {};
    if (GetClientRect(window, &client)) {
        view.width = client.right - client.left;
        view.height = client.bottom - client.top;
    }
    POINT corner = {0, 0};
    if (ScreenToClient(window, &corner)) {
        view.origin = {-corner.x, -corner.y};
    }
    GetCursorPos(&view.pointer);
    return view;
}

void AppWindow::Present() {
    presented = true;
    SwapBuffers(deviceContext);
}

void AppWindow::FollowDesktop(int frameWidth, int frameHeight) {
    if (!displayChanged && !dpiChanged) {
        return;
    }
    const UINT keepOrderAndFocus = SWP_NOZORDER | SWP_NOACTIVATE;
    if (dpiChanged) {
        // Windows' suggestion is what puts the window on its new monitor.
        const RECT& place = suggestedPlace;
        SetWindowPos(window, HWND_TOP, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, keepOrderAndFocus);
    }
    displayChanged = dpiChanged = false;
    PixelBox place = WindowOnDesktop(frameWidth, frameHeight, window);
    SetWindowPos(window, HWND_TOP, place.x, place.y, place.width, place.height, keepOrderAndFocus);
}

void AppWindow::FitFrame(int frameWidth, int frameHeight) {
    FollowDesktop(frameWidth, frameHeight);
    RECT client;
    // A minimised window has no client area; the frame keeps its last box until it is back.
    if (!GetClientRect(window, &client) || client.right <= client.left ||
        client.bottom <= client.top) {
        return;
    }
    int clientHeight = client.bottom - client.top;
    frame = FrameInClient(client.right - client.left, clientHeight, frameWidth, frameHeight);
    PixelBox wanted = {frame.x, clientHeight - frame.y - frame.height, frame.width, frame.height};
    // Only when it changes: on a window of the frame's own size that is once, at the first frame.
    if (wanted != viewport) {
        viewport = wanted;
        glViewport(wanted.x, wanted.y, wanted.width, wanted.height);
    }
}
