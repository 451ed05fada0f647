#include "tests/support/FakeWin32.h"

#include <algorithm>
#include <deque>
#include <gtest/gtest.h>

namespace fakewin {
namespace {

struct Machine {
    Record record;
    std::deque<MSG> queue;
    WNDPROC procedure = nullptr;
    POINT pointer{0, 0};
    std::vector<Monitor> monitors{{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, 96}};
    int screenDpi = 96;
    bool perMonitorDpi = true;
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
char windowObject, deviceObject, screenObject, contextObject, shcoreObject;

HMONITOR MonitorHandle(size_t index) {
    return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(index) + 1);
}

bool Contains(const RECT& area, POINT at) {
    return area.left <= at.x && at.x < area.right && area.top <= at.y && at.y < area.bottom;
}

// The index into the scripted monitors of a handle MonitorHandle gave, or past their end.
size_t MonitorIndex(HMONITOR monitor) {
    return static_cast<size_t>(reinterpret_cast<intptr_t>(monitor)) - 1;
}

LONG Overlap(const RECT& a, const RECT& b) {
    LONG width = std::min(a.right, b.right) - std::max(a.left, b.left);
    LONG height = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return width > 0 && height > 0 ? width * height : 0;
}

// shcore.dll's GetDpiForMonitor, answering from the scripted monitors.
HRESULT WINAPI DpiForMonitor(HMONITOR monitor, int type, UINT* dpiX, UINT* dpiY) {
    EXPECT_EQ(type, 0) << "the game asks for the scale the player set (MDT_EFFECTIVE_DPI)";
    size_t index = MonitorIndex(monitor);
    if (index >= M().monitors.size()) {
        return static_cast<HRESULT>(0x80070057);  // E_INVALIDARG
    }
    *dpiX = *dpiY = static_cast<UINT>(M().monitors[index].dpi);
    return S_OK;
}

void Note(const char* call) {
    M().record.calls.push_back(call);
}

// A pass of the loop that finds no message: the test's idle callback runs, unless the safety
// net's passes are spent and it posts the quit message instead.
void IdlePass(const char* failure) {
    Machine& m = M();
    if (++m.idlePasses > m.idleLimit) {
        ADD_FAILURE() << failure << m.idleLimit << " idle passes";
        Post(WM_QUIT);
    } else if (m.idle) {
        m.idle();
    }
}

}  // namespace

void Reset() {
    M() = Machine();
}
Record& Get() {
    return M().record;
}

void Post(UINT message, WPARAM wParam, LPARAM lParam) {
    M().queue.push_back({M().record.window, message, wParam, lParam, 0, {}});
}

size_t Pending() {
    return M().queue.size();
}
void SetPointer(LONG x, LONG y) {
    Machine& m = M();
    const RECT& client = m.windowRect;
    bool moved = m.pointer.x != x || m.pointer.y != y;
    bool wasInside = Contains(client, m.pointer);
    m.pointer = {x, y};
    if (!moved || m.record.window == nullptr) {
        return;
    }
    if (Contains(client, m.pointer)) {
        Post(WM_MOUSEMOVE, 0, MAKELPARAM(x - client.left, y - client.top));
    } else if (wasInside && m.leaveTracked) {
        m.leaveTracked = false;
        Post(WM_MOUSELEAVE);
    }
}
void SetMonitors(std::vector<Monitor> monitors) {
    M().monitors = std::move(monitors);
    M().screenDpi = M().monitors.empty() ? 96 : M().monitors[0].dpi;
}
void ChangeMonitor(size_t index, Monitor now) {
    M().monitors.at(index) = now;
}
void SetPerMonitorDpi(bool told) {
    M().perMonitorDpi = told;
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
        fakewin::IdlePass("the message loop ran ");
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
        fakewin::IdlePass("the game waited through ");
        if (m.queue.empty()) {
            m.ticks += fakewin::WaitStepMs;
        }
    }
    return WAIT_OBJECT_0;
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
    // WM_QUIT belongs to no window.
    M().queue.push_back({nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {}});
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

HMONITOR WINAPI MonitorFromPoint(POINT point, DWORD flags) {
    const std::vector<fakewin::Monitor>& monitors = M().monitors;
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (fakewin::Contains(monitors[i].area, point)) {
            return fakewin::MonitorHandle(i);
        }
    }
    return flags != 0 && !monitors.empty() ? fakewin::MonitorHandle(0) : nullptr;
}

// The monitor the window overlaps most; the primary one where it overlaps none.
HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags) {
    EXPECT_EQ(window, M().record.window);
    const std::vector<fakewin::Monitor>& monitors = M().monitors;
    size_t best = 0;
    for (size_t i = 1; i < monitors.size(); ++i) {
        if (fakewin::Overlap(monitors[i].area, M().windowRect) >
            fakewin::Overlap(monitors[best].area, M().windowRect)) {
            best = i;
        }
    }
    return flags != 0 && !monitors.empty() ? fakewin::MonitorHandle(best) : nullptr;
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    size_t index = fakewin::MonitorIndex(monitor);
    EXPECT_EQ(info->cbSize, sizeof(MONITORINFO));
    if (index >= M().monitors.size()) {
        return FALSE;
    }
    info->rcMonitor = M().monitors[index].area;
    info->rcWork = M().monitors[index].work;
    info->dwFlags = index == 0 ? 1 : 0;
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT) {
    Note("SetWindowPos");
    EXPECT_EQ(window, M().record.window);
    M().windowRect = {x, y, x + width, y + height};
    M().record.windowPlaces.push_back({x, y, width, height});
    return TRUE;
}

HMODULE WINAPI LoadLibraryA(LPCSTR name) {
    bool shcore = M().perMonitorDpi && std::string(name) == "shcore.dll";
    return shcore ? reinterpret_cast<HMODULE>(&fakewin::shcoreObject) : nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR name) {
    if (module != reinterpret_cast<HMODULE>(&fakewin::shcoreObject) ||
        std::string(name) != "GetDpiForMonitor") {
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)(void)>(&fakewin::DpiForMonitor));
}

int WINAPI GetDeviceCaps(HDC deviceContext, int index) {
    EXPECT_EQ(deviceContext, reinterpret_cast<HDC>(&fakewin::screenObject));
    EXPECT_TRUE(index == LOGPIXELSX || index == LOGPIXELSY);
    return M().screenDpi;
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
