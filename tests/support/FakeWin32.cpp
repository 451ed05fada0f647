#include "tests/support/FakeWin32.h"

#include <deque>
#include <gtest/gtest.h>

namespace fakewin {
namespace {

struct Machine {
    Record record;
    std::deque<MSG> queue;
    WNDPROC procedure = nullptr;
    POINT pointer{0, 0};
    RECT workArea{0, 0, 1280, 1024};
    int dpi = 96;
    bool placed = false;  // by PlaceWindow; otherwise the window is as it was asked
    RECT windowRect{};    // left, top, and right and bottom of the client area on the desktop
    DWORD ticks = 0;
    bool sleepAdvances = true;
    bool leaveTracked = false;
    std::function<void()> idle;
    std::function<void(const char*)> sleepOrSwap;
    LRESULT defaultResult = 0;
    long idleLimit = 1000000;
    long idlePasses = 0;
};

Machine& M() {
    static Machine machine;
    return machine;
}

// Distinct, non-null handles that nothing dereferences.
char windowObject, deviceObject, screenObject, contextObject;

void Note(const char* call) {
    M().record.calls.push_back(call);
}

}  // namespace

void Reset() {
    M() = Machine();
}
Record& Get() {
    return M().record;
}

void Post(UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = M().record.window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    M().queue.push_back(msg);
}

size_t Pending() {
    return M().queue.size();
}
void SetPointer(LONG x, LONG y) {
    Machine& m = M();
    const RECT& client = m.windowRect;
    auto inside = [&](POINT at) {
        return client.left <= at.x && at.x < client.right && client.top <= at.y &&
               at.y < client.bottom;
    };
    bool moved = m.pointer.x != x || m.pointer.y != y;
    bool wasInside = inside(m.pointer);
    m.pointer = {x, y};
    if (!moved || m.record.window == nullptr) {
        return;
    }
    if (inside(m.pointer)) {
        Post(WM_MOUSEMOVE, 0, MAKELPARAM(x - client.left, y - client.top));
    } else if (wasInside && m.leaveTracked) {
        m.leaveTracked = false;
        Post(WM_MOUSELEAVE);
    }
}
void SetDesktop(RECT workArea, int dpi) {
    M().workArea = workArea;
    M().dpi = dpi;
}
void PlaceWindow(int x, int y, int width, int height) {
    M().placed = true;
    M().windowRect = {x, y, x + width, y + height};
}
void SetTicks(DWORD ticks) {
    M().ticks = ticks;
}
DWORD Ticks() {
    return M().ticks;
}
void SleepAdvancesTicks(bool on) {
    M().sleepAdvances = on;
}
void OnIdle(std::function<void()> idle) {
    M().idle = std::move(idle);
}
void OnSleepOrSwap(std::function<void(const char* call)> watch) {
    M().sleepOrSwap = std::move(watch);
}
void SetDefaultResult(LRESULT result) {
    M().defaultResult = result;
}
void SetIdleLimit(long passes) {
    M().idleLimit = passes;
}
long IdlePasses() {
    return M().idlePasses;
}

}  // namespace fakewin

using fakewin::M;
using fakewin::Note;

WORD WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    Note("RegisterClassExA");
    M().record.windowClass = *windowClass;
    M().record.className = windowClass->lpszClassName ? windowClass->lpszClassName : "";
    M().procedure = windowClass->lpfnWndProc;
    return 1;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x,
                            int y, int width, int height, HWND parent, HMENU menu,
                            HINSTANCE instance, LPVOID param) {
    Note("CreateWindowExA");
    fakewin::Record& r = M().record;
    if (M().procedure == nullptr || r.className != className || parent || menu || instance ||
        param) {
        ADD_FAILURE() << "CreateWindowExA with an unregistered class or unexpected arguments";
        return nullptr;
    }
    r.exStyle = exStyle;
    r.title = windowName;
    r.style = style;
    r.x = x, r.y = y, r.width = width, r.height = height;
    if (!M().placed) {
        M().windowRect = {x, y, x + width, y + height};
    }
    r.window = reinterpret_cast<HWND>(&fakewin::windowObject);
    M().procedure(r.window, WM_CREATE, 0, 0);
    return r.window;
}

BOOL WINAPI ShowWindow(HWND window, int command) {
    Note("ShowWindow");
    EXPECT_EQ(window, M().record.window);
    EXPECT_EQ(command, SW_SHOW);
    M().record.shown = true;
    return FALSE;
}

int WINAPI ShowCursor(BOOL show) {
    Note("ShowCursor");
    M().record.showCursor.push_back(show);
    return show ? 0 : -1;
}

BOOL WINAPI PeekMessageA(MSG* message, HWND window, UINT filterMin, UINT filterMax, UINT remove) {
    EXPECT_EQ(window, nullptr);
    EXPECT_EQ(filterMin, 0u);
    EXPECT_EQ(filterMax, 0u);
    EXPECT_EQ(remove, static_cast<UINT>(PM_REMOVE));
    fakewin::Machine& m = M();
    if (m.queue.empty()) {
        if (++m.idlePasses > m.idleLimit) {
            ADD_FAILURE() << "the message loop ran " << m.idleLimit << " idle passes";
            fakewin::Post(WM_QUIT);
        } else if (m.idle) {
            m.idle();
        }
    }
    if (m.queue.empty()) {
        return FALSE;
    }
    *message = m.queue.front();
    m.queue.pop_front();
    return TRUE;
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD count, const HANDLE*, BOOL, DWORD milliseconds,
                                       DWORD wakeMask) {
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(wakeMask, static_cast<DWORD>(QS_ALLINPUT));
    fakewin::Machine& m = M();
    m.record.waits++;
    for (DWORD waited = 0; m.queue.empty(); waited += fakewin::WaitStepMs) {
        if (milliseconds != INFINITE && waited >= milliseconds) {
            return WAIT_TIMEOUT;
        }
        if (++m.idlePasses > m.idleLimit) {
            ADD_FAILURE() << "the game waited through " << m.idleLimit << " idle passes";
            fakewin::Post(WM_QUIT);
        } else if (m.idle) {
            m.idle();
        }
        if (m.queue.empty()) {
            m.ticks += fakewin::WaitStepMs;
        }
    }
    return WAIT_OBJECT_0;
}

BOOL WINAPI WaitMessage(void) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, INFINITE, QS_ALLINPUT);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    M().record.translated++;
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    M().record.dispatched.push_back(message->message);
    if (message->message == WM_QUIT || M().procedure == nullptr) {
        return 0;  // WM_QUIT has no window, so Windows hands it to no procedure
    }
    return M().procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    M().record.passedOn.push_back(message);
    if (message == WM_CLOSE && M().procedure != nullptr) {
        // As Windows does: closing destroys the window.
        M().procedure(window, WM_DESTROY, 0, 0);
        return 0;
    }
    return M().defaultResult;
}

void WINAPI PostQuitMessage(int exitCode) {
    Note("PostQuitMessage");
    M().record.quitCodes.push_back(exitCode);
    MSG msg{};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(exitCode);
    M().queue.push_back(msg);
}

BOOL WINAPI TrackMouseEvent(TRACKMOUSEEVENT* request) {
    EXPECT_EQ(request->cbSize, sizeof(TRACKMOUSEEVENT));
    EXPECT_EQ(request->dwFlags, static_cast<DWORD>(TME_LEAVE));
    EXPECT_EQ(request->hwndTrack, M().record.window);
    M().leaveTracked = true;
    return TRUE;
}

BOOL WINAPI GetCursorPos(POINT* point) {
    *point = M().pointer;
    return TRUE;
}

// The desktop queries: answered from the scripted desktop and window, and not logged as calls.
// The two that every frame makes check nothing, so that the benchmarks count the game's work.
BOOL WINAPI ScreenToClient(HWND, POINT* point) {
    point->x -= M().windowRect.left;
    point->y -= M().windowRect.top;
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND, RECT* rect) {
    const RECT& placed = M().windowRect;
    *rect = {0, 0, placed.right - placed.left, placed.bottom - placed.top};
    return TRUE;
}

BOOL WINAPI SystemParametersInfoA(UINT action, UINT, PVOID value, UINT) {
    EXPECT_EQ(action, static_cast<UINT>(SPI_GETWORKAREA));
    *static_cast<RECT*>(value) = M().workArea;
    return TRUE;
}

int WINAPI GetDeviceCaps(HDC deviceContext, int index) {
    EXPECT_EQ(deviceContext, reinterpret_cast<HDC>(&fakewin::screenObject));
    EXPECT_TRUE(index == LOGPIXELSX || index == LOGPIXELSY);
    return M().dpi;
}

int WINAPI ReleaseDC(HWND, HDC deviceContext) {
    EXPECT_EQ(deviceContext, reinterpret_cast<HDC>(&fakewin::screenObject));
    return 1;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Note("MessageBoxA");
    M().record.messageBoxes.push_back({text, caption, type, owner});
    return IDOK;
}

HDC WINAPI GetDC(HWND window) {
    if (window == nullptr) {
        return reinterpret_cast<HDC>(&fakewin::screenObject);
    }
    Note("GetDC");
    EXPECT_EQ(window, M().record.window);
    return reinterpret_cast<HDC>(&fakewin::deviceObject);
}

int WINAPI ChoosePixelFormat(HDC, const PIXELFORMATDESCRIPTOR* descriptor) {
    Note("ChoosePixelFormat");
    M().record.pixelFormat = *descriptor;
    M().record.chosenFormat = 7;
    return 7;
}

BOOL WINAPI SetPixelFormat(HDC, int format, const PIXELFORMATDESCRIPTOR*) {
    Note("SetPixelFormat");
    M().record.setFormat = format;
    return TRUE;
}

BOOL WINAPI SwapBuffers(HDC deviceContext) {
    EXPECT_EQ(deviceContext, reinterpret_cast<HDC>(&fakewin::deviceObject));
    M().record.swaps++;
    if (M().sleepOrSwap) {
        M().sleepOrSwap("SwapBuffers");
    }
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC) {
    Note("wglCreateContext");
    M().record.glContext = reinterpret_cast<HGLRC>(&fakewin::contextObject);
    return M().record.glContext;
}

BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC glContext) {
    Note("wglMakeCurrent");
    EXPECT_EQ(deviceContext, reinterpret_cast<HDC>(&fakewin::deviceObject));
    EXPECT_EQ(glContext, M().record.glContext);
    M().record.makeCurrent++;
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    return M().ticks;
}

void WINAPI Sleep(DWORD milliseconds) {
    M().record.sleeps.push_back(milliseconds);
    if (M().sleepOrSwap) {
        M().sleepOrSwap("Sleep");
    }
    if (M().sleepAdvances) {
        M().ticks += milliseconds;
    }
}
