// The Win32 subset of <windows.h> in a browser: the page's canvas is the window and WebGL 2
// its OpenGL context. The page (page.js) gathers input into a queue of window messages and
// keeps the pointer in the canvas's own pixels; this side takes them, tells time and sleeps
// by handing control back to the browser, so the game's own loop runs unchanged.
#include <windows.h>

#include <emscripten.h>
#include <emscripten/html5.h>

#include "platform/common/WindowMessages.h"
#include "platform/web/GlOnWebGl.h"

namespace {

const int CanvasWidth = 1280;
const int CanvasHeight = 1024;

struct Platform {
    bool windowMade = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
};

Platform platform;

// The one window is the page's canvas; its handle only has to be distinct from null.
HWND WindowHandle() {
    return reinterpret_cast<HWND>(&platform);
}

// The page's next message as {message, wParam, x, y}; false when there is none.
EM_JS(int, TakePageMessage, (int* out), {
    const next = Module.win32.messages.shift();
    if (!next)
        return 0;
    for (let i = 0; i < 4; i++)
        HEAP32[(out >> 2) + i] = next[i];
    return 1;
});
EM_JS(int, PointerX, (), { return Module.win32.pointerX(); });
EM_JS(int, PointerY, (), { return Module.win32.pointerY(); });
EM_JS(void, FramePresented, (), { Module.win32.presented(); });
EM_JS(void, ShowPagePointer, (int show), { Module.win32.showPointer(show != 0); });
EM_JS(void, ShowPageMessage, (const char* caption, const char* text),
      { Module.win32.showMessage(UTF8ToString(caption), UTF8ToString(text)); });

EM_JS(int, PageTickCount, (), { return Module.win32.tickCount(); });
EM_JS(int, TakeContextRestored, (), { return Module.win32.takeContextRestored() ? 1 : 0; });

// Back to the browser until the page has input for the game, the window changed (resized, shown
// again, its picture given back) or the time has passed; no animation frame is asked for
// meanwhile (page-lifecycle.js).
EM_ASYNC_JS(void, AwaitPageInput, (int milliseconds),
            { await Module.win32.nextInput(milliseconds); });

// Back to the browser until the time has passed and the browser is ready for the next frame
// (page-lifecycle.js): the game then draws inside an animation frame, once per frame shown.
EM_ASYNC_JS(void, YieldToBrowser, (int milliseconds),
            { await Module.win32.nextFrame(milliseconds); });

const char* const ShadersFailed = "This browser cannot draw the game: its shaders failed.";

// Says on the page why the game cannot be drawn here, and ends it.
void CannotDraw(const char* why) {
    ShowPageMessage("Lumenvale", why);
    emscripten_force_exit(1);
}

// A context the browser lost and gave back while the game was away from it is made whole again
// before the next frame is drawn.
void RestoreLostPicture() {
    if (TakeContextRestored() && !RestoreGlOnWebGl()) {
        CannotDraw(ShadersFailed);
    }
}

}  // namespace

void windowmessages::AwaitEvents(DWORD milliseconds) {
    AwaitPageInput(
        milliseconds == INFINITE || milliseconds > INT32_MAX ? -1 : static_cast<int>(milliseconds));
    RestoreLostPicture();
}

void windowmessages::TakeEvents() {
    int next[4];
    while (TakePageMessage(next)) {
        MSG msg = {};
        msg.hwnd = WindowHandle();
        msg.message = static_cast<UINT>(next[0]);
        msg.wParam = static_cast<WPARAM>(next[1]);
        msg.lParam = MAKELPARAM(next[2], next[3]);
        msg.time = GetTickCount();
        Post(msg);
    }
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR, DWORD, int, int, int, int, HWND, HMENU,
                            HINSTANCE, LPVOID) {
    if (!windowmessages::IsRegistered(className) || platform.windowMade) {
        return nullptr;
    }
    platform.windowMade = true;
    windowmessages::Created(WindowHandle());
    return WindowHandle();
}

BOOL WINAPI ShowWindow(HWND, int) {
    return FALSE;  // the canvas is on the page from the start
}

int WINAPI ShowCursor(BOOL show) {
    ShowPagePointer(show);
    return show ? 0 : -1;
}

// The page hears of the pointer only while it is over the page, and then as moves: leaving the
// canvas is a move like any other, and no other notice is due.
BOOL WINAPI TrackMouseEvent(TRACKMOUSEEVENT* request) {
    return request != nullptr && request->hwndTrack == WindowHandle();
}

// The canvas stands for a 1280 x 1024 window at (0, 0) of a desktop of its own size, at any CSS
// size: the page scales it and keeps the pointer in its pixels.
BOOL WINAPI GetCursorPos(POINT* point) {
    point->x = PointerX();
    point->y = PointerY();
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, POINT*) {
    return window == WindowHandle();
}

BOOL WINAPI GetClientRect(HWND window, RECT* rect) {
    if (window != WindowHandle()) {
        return FALSE;
    }
    *rect = {0, 0, CanvasWidth, CanvasHeight};
    return TRUE;
}

// The canvas is the one monitor, with no panels: the game's window always fits it, and stays
// where it is.
HMONITOR WINAPI MonitorFromPoint(POINT, DWORD) {
    return reinterpret_cast<HMONITOR>(WindowHandle());
}

HMONITOR WINAPI MonitorFromWindow(HWND, DWORD) {
    return reinterpret_cast<HMONITOR>(WindowHandle());
}

BOOL WINAPI GetMonitorInfoA(HMONITOR, MONITORINFO* info) {
    if (info == nullptr) {
        return FALSE;
    }
    info->rcMonitor = info->rcWork = {0, 0, CanvasWidth, CanvasHeight};
    info->dwFlags = 1;  // MONITORINFOF_PRIMARY
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int, int, int, int, UINT) {
    return window == WindowHandle();
}

int WINAPI GetDeviceCaps(HDC, int index) {
    // The canvas's pixels are the game's own; the page's scale is the browser's business.
    return index == LOGPIXELSX || index == LOGPIXELSY ? 96 : 0;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    // On the page, never a blocking dialog: the game goes on as if OK had been pressed.
    ShowPageMessage(caption ? caption : "", text ? text : "");
    return IDOK;
}

BOOL WINAPI SwapBuffers(HDC deviceContext) {
    // The browser shows the canvas after the animation frame in which the game drew it; there
    // is nothing to swap, only to count.
    if (deviceContext == nullptr) {
        return FALSE;
    }
    FramePresented();
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC deviceContext) {
    if (deviceContext == nullptr) {
        return nullptr;
    }
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;  // an opaque window, as on the desktop
    attributes.depth = false;
    attributes.stencil = false;
    attributes.antialias = false;
    // The last frame stays readable between frames, for screenshots of the canvas.
    attributes.preserveDrawingBuffer = true;
    platform.context = emscripten_webgl_create_context("#canvas", &attributes);
    if (platform.context <= 0) {
        CannotDraw("This browser cannot draw the game: WebGL 2 is not available.");
    }
    return reinterpret_cast<HGLRC>(static_cast<intptr_t>(platform.context));
}

BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC glContext) {
    if (deviceContext == nullptr || glContext == nullptr) {
        return FALSE;
    }
    static bool started = false;
    if (emscripten_webgl_make_context_current(platform.context) != EMSCRIPTEN_RESULT_SUCCESS) {
        return FALSE;
    }
    if (!started) {
        started = true;
        if (!StartGlOnWebGl(CanvasWidth, CanvasHeight)) {
            CannotDraw(ShadersFailed);
        }
    }
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    // Milliseconds like a machine's clock: from the wall clock at load on, monotonic while the
    // page runs, so no two visits start their count alike.
    return static_cast<DWORD>(PageTickCount());
}

void WINAPI Sleep(DWORD milliseconds) {
    // The browser shows the canvas and delivers input meanwhile; a context it lost and gave back
    // meanwhile is made whole again before the next frame is drawn.
    YieldToBrowser(static_cast<int>(milliseconds));
    RestoreLostPicture();
}
