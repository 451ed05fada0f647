// The Win32 subset of <windows.h> on SDL2: one borderless window with an OpenGL
// compatibility context (full screen where it covers a whole display), its messages, the
// displays as monitors, the pointer over the window, the tick count and sleeping.
#include <windows.h>

#include "platform/common/WindowMessages.h"

#include <SDL.h>
#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

struct Platform {
    SDL_Window* sdlWindow = nullptr;
    bool leaveTracked = false;  // WM_MOUSELEAVE is due when the pointer next leaves
#if defined(SDL_VIDEO_DRIVER_X11)
    ::Display* xDisplay = nullptr;  // the X server the window is on, when it is on one
    ::Window xWindow = 0;           // and the window there
    int randrEvents = 0;            // where RandR's events start, once asked for
#endif
};

Platform platform;

HWND WindowHandle() {
    return reinterpret_cast<HWND>(platform.sdlWindow);
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "lumenvale: %s: %s\n", what, SDL_GetError());
    std::exit(1);
}

// SDL quietly falls back to drivers that draw nowhere; a game that nobody can see is a
// failure, so say so instead.
void StartVideo() {
    if (SDL_WasInit(SDL_INIT_VIDEO)) {
        return;
    }
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        Fail("no display to open the game window on (set DISPLAY, or run under Xvfb)");
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver == nullptr || std::strcmp(driver, "offscreen") == 0 ||
        std::strcmp(driver, "dummy") == 0) {
        std::fprintf(stderr,
                     "lumenvale: no display to open the game window on (video driver '%s'); "
                     "set DISPLAY, or run under Xvfb with SDL_VIDEODRIVER=x11\n",
                     driver ? driver : "none");
        std::exit(1);
    }
}

WPARAM VirtualKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_ESCAPE:
            return VK_ESCAPE;
        case SDLK_SPACE:
            return VK_SPACE;
        case SDLK_RETURN:
            return VK_RETURN;
        default:
            // Letters and digits carry their upper-case ASCII code, as on Windows.
            if (key >= SDLK_a && key <= SDLK_z) {
                return static_cast<WPARAM>(key - SDLK_a + 'A');
            }
            return static_cast<WPARAM>(key & 0xFFFF);
    }
}

UINT ButtonMessage(Uint8 button, bool down) {
    switch (button) {
        case SDL_BUTTON_LEFT:
            return down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        case SDL_BUTTON_RIGHT:
            return down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        case SDL_BUTTON_MIDDLE:
            return down ? WM_MBUTTONDOWN : WM_MBUTTONUP;
        default:
            return 0;
    }
}

// What the window system did to the window, as Windows tells it: uncovered (to be drawn again),
// moved or resized; 0 for the rest.
MSG WindowChange(const SDL_WindowEvent& change, MSG msg) {
    switch (change.event) {
        case SDL_WINDOWEVENT_EXPOSED:
            msg.message = WM_PAINT;
            break;
        case SDL_WINDOWEVENT_MOVED:
            msg.message = WM_MOVE;
            msg.lParam = MAKELPARAM(change.data1, change.data2);
            break;
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            msg.message = WM_SIZE;
            msg.lParam = MAKELPARAM(change.data1, change.data2);
            break;
        case SDL_WINDOWEVENT_LEAVE:
            if (platform.leaveTracked) {
                platform.leaveTracked = false;
                msg.message = WM_MOUSELEAVE;
            }
            break;
        default:
            break;
    }
    return msg;
}

// Whether a system event tells that the screen changed: its size, or its monitors. SDL keeps
// the display sizes it found at start-up and tells only of monitors added or taken away.
bool ScreenChanged(const SDL_Event& event) {
    if (event.type == SDL_DISPLAYEVENT) {
        return true;
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    const SDL_SysWMmsg* system = event.type == SDL_SYSWMEVENT ? event.syswm.msg : nullptr;
    if (system != nullptr && system->subsystem == SDL_SYSWM_X11 && platform.randrEvents != 0) {
        // The screen's size, a monitor's mode or a monitor coming or going.
        XEvent change = system->msg.x11.event;
        if (change.type == platform.randrEvents + RRScreenChangeNotify ||
            change.type == platform.randrEvents + RRNotify) {
            XRRUpdateConfiguration(&change);  // so that Xlib knows the screen's new size
            return true;
        }
    }
#endif
    return false;
}

// The window message an SDL event stands for, or 0 for events the game has no use for.
MSG Translate(const SDL_Event& event) {
    MSG msg = {};
    msg.hwnd = WindowHandle();
    msg.time = GetTickCount();
    switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            msg.message = event.type == SDL_KEYDOWN ? WM_KEYDOWN : WM_KEYUP;
            msg.wParam = VirtualKey(event.key.keysym.sym);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            msg.message = ButtonMessage(event.button.button, event.type == SDL_MOUSEBUTTONDOWN);
            msg.lParam = MAKELPARAM(event.button.x, event.button.y);
            break;
        case SDL_MOUSEMOTION:
            msg.message = WM_MOUSEMOVE;
            msg.lParam = MAKELPARAM(event.motion.x, event.motion.y);
            break;
        case SDL_QUIT:  // the window manager's close request, or SIGTERM / SIGINT
            msg.message = WM_CLOSE;
            break;
        case SDL_WINDOWEVENT:
            msg = WindowChange(event.window, msg);
            break;
        case SDL_DISPLAYEVENT:  // a monitor added, taken away or turned
        case SDL_SYSWMEVENT:
            msg.message = ScreenChanged(event) ? WM_DISPLAYCHANGE : 0;
            break;
        default:
            break;
    }
    return msg;
}

// A monitor: its place on the desktop, and the part of it that panels leave to windows.
struct Monitor {
    SDL_Rect area;
    SDL_Rect work;
};

#if defined(SDL_VIDEO_DRIVER_X11)
// The work area the window manager publishes for the whole desktop, where it publishes one.
bool XWorkArea(::Display* display, SDL_Rect* work) {
    Atom type;
    int format;
    unsigned long count, remaining;
    unsigned char* data = nullptr;
    bool found =
        XGetWindowProperty(display, DefaultRootWindow(display),
                           XInternAtom(display, "_NET_WORKAREA", False), 0, 4, False, XA_CARDINAL,
                           &type, &format, &count, &remaining, &data) == Success &&
        data != nullptr && format == 32 && count >= 4;
    if (found) {
        const long* values = reinterpret_cast<const long*>(data);
        *work = {static_cast<int>(values[0]), static_cast<int>(values[1]),
                 static_cast<int>(values[2]), static_cast<int>(values[3])};
    }
    if (data != nullptr) {
        XFree(data);
    }
    return found;
}

// The monitors as the X server has them now, the primary one first.
std::vector<Monitor> XMonitors() {
    std::vector<Monitor> monitors;
    ::Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return monitors;
    }
    int count = 0;
    XRRMonitorInfo* found = XRRGetMonitors(display, DefaultRootWindow(display), True, &count);
    SDL_Rect work;
    bool workKnown = XWorkArea(display, &work);
    for (int i = 0; found != nullptr && i < count; ++i) {
        Monitor monitor;
        monitor.area = {found[i].x, found[i].y, found[i].width, found[i].height};
        if (!workKnown || !SDL_IntersectRect(&monitor.area, &work, &monitor.work)) {
            monitor.work = monitor.area;
        }
        monitors.insert(found[i].primary ? monitors.begin() : monitors.end(), monitor);
    }
    if (found != nullptr) {
        XRRFreeMonitors(found);
    }
    XCloseDisplay(display);
    return monitors;
}
#endif

// The monitors, the primary one first: on X as the server has them now (SDL would give the
// sizes it found at start-up), elsewhere SDL's displays.
std::vector<Monitor> Monitors() {
    StartVideo();
#if defined(SDL_VIDEO_DRIVER_X11)
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0) {
        std::vector<Monitor> monitors = XMonitors();
        if (!monitors.empty()) {
            return monitors;
        }
    }
#endif
    std::vector<Monitor> monitors;
    for (int display = 0; display < SDL_GetNumVideoDisplays(); ++display) {
        Monitor monitor;
        if (SDL_GetDisplayBounds(display, &monitor.area) == 0) {
            if (SDL_GetDisplayUsableBounds(display, &monitor.work) != 0) {
                monitor.work = monitor.area;
            }
            monitors.push_back(monitor);
        }
    }
    return monitors;
}

// Whether the rectangle is the whole area of a monitor.
bool CoversMonitor(const SDL_Rect& rect) {
    for (const Monitor& monitor : Monitors()) {
        if (SDL_RectEquals(&monitor.area, &rect)) {
            return true;
        }
    }
    return false;
}

bool FullScreen() {
    return (SDL_GetWindowFlags(platform.sdlWindow) & SDL_WINDOW_FULLSCREEN_DESKTOP) ==
           SDL_WINDOW_FULLSCREEN_DESKTOP;
}

// A monitor is its place in Monitors() plus one, so that no monitor is null.
HMONITOR MonitorHandle(size_t index) {
    return reinterpret_cast<HMONITOR>(static_cast<intptr_t>(index) + 1);
}

HMONITOR FallbackMonitor(DWORD flags) {
    return flags == MONITOR_DEFAULTTOPRIMARY || flags == MONITOR_DEFAULTTONEAREST ? MonitorHandle(0)
                                                                                  : nullptr;
}

}  // namespace

void windowmessages::TakeEvents() {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        return;
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        MSG msg = Translate(event);
        if (msg.message != 0) {
            Post(msg);
        }
    }
}

// Any event wakes the wait, even one the game has no use for (the pointer leaving the window,
// say): the loop then looks at the window and the pointer afresh.
void windowmessages::AwaitEvents(DWORD milliseconds) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        return;
    }
    if (milliseconds == INFINITE) {
        SDL_WaitEvent(nullptr);
    } else {
        SDL_WaitEventTimeout(nullptr,
                             milliseconds > INT32_MAX ? INT32_MAX : static_cast<int>(milliseconds));
    }
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR className, LPCSTR windowName, DWORD, int x, int y,
                            int width, int height, HWND, HMENU, HINSTANCE, LPVOID) {
    if (!windowmessages::IsRegistered(className) || platform.sdlWindow != nullptr) {
        return nullptr;
    }
    StartVideo();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    // A popup over a whole display is what Windows takes for a full-screen window; window
    // managers know one only by its full-screen state, and only then put it above their panels.
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
    if (CoversMonitor({x, y, width, height})) {
        flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    }
    platform.sdlWindow = SDL_CreateWindow(windowName, x, y, width, height, flags);
    if (platform.sdlWindow == nullptr) {
        Fail("cannot open the game window");
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(platform.sdlWindow, &info) && info.subsystem == SDL_SYSWM_X11) {
        platform.xDisplay = info.info.x11.display;
        platform.xWindow = info.info.x11.window;
        // A screen that changes comes as RandR events, which SDL passes on as system events
        // once asked to; SDL's own interest in monitors coming and going is kept.
        int errorBase = 0;
        if (XRRQueryExtension(platform.xDisplay, &platform.randrEvents, &errorBase)) {
            XRRSelectInput(
                platform.xDisplay, DefaultRootWindow(platform.xDisplay),
                RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
            SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
        }
    }
#endif
    windowmessages::Created(WindowHandle());
    return WindowHandle();
}

BOOL WINAPI ShowWindow(HWND window, int) {
    if (window == nullptr || window != WindowHandle()) {
        return FALSE;
    }
    SDL_ShowWindow(platform.sdlWindow);
    return FALSE;
}

int WINAPI ShowCursor(BOOL show) {
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    return show ? 0 : -1;
}

BOOL WINAPI TrackMouseEvent(TRACKMOUSEEVENT* request) {
    if (request == nullptr || request->hwndTrack != WindowHandle() ||
        (request->dwFlags & TME_LEAVE) == 0) {
        return FALSE;
    }
    platform.leaveTracked = true;
    return TRUE;
}

// The pointer on the desktop, and the window's client area there. On X they come from the X
// server itself: SDL's cached global position stops following the pointer after a few clicks
// under some X servers. Elsewhere SDL knows the pointer on the desktop and the window's place on
// it (or, where it knows neither, gives the pointer within the window and the window at (0, 0)).
BOOL WINAPI GetCursorPos(POINT* point) {
#if defined(SDL_VIDEO_DRIVER_X11)
    if (::Display* display = platform.xDisplay) {
        ::Window root, child;
        int rootX, rootY, windowX, windowY;
        unsigned int buttons;
        if (XQueryPointer(display, platform.xWindow, &root, &child, &rootX, &rootY, &windowX,
                          &windowY, &buttons)) {
            point->x = rootX;
            point->y = rootY;
            return TRUE;
        }
    }
#endif
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    point->x = x;
    point->y = y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND window, POINT* point) {
    if (window == nullptr || window != WindowHandle()) {
        return FALSE;
    }
#if defined(SDL_VIDEO_DRIVER_X11)
    if (::Display* display = platform.xDisplay) {
        ::Window child;
        int x, y;
        if (XTranslateCoordinates(display, DefaultRootWindow(display), platform.xWindow, point->x,
                                  point->y, &x, &y, &child)) {
            point->x = x;
            point->y = y;
            return TRUE;
        }
    }
#endif
    int windowX = 0, windowY = 0;
    SDL_GetWindowPosition(platform.sdlWindow, &windowX, &windowY);
    point->x -= windowX;
    point->y -= windowY;
    return TRUE;
}

// The size the window has now, whatever was asked: a window manager may have moved, resized,
// tiled or maximised it since, and SDL hears of it as events are taken.
BOOL WINAPI GetClientRect(HWND window, RECT* rect) {
    if (window == nullptr || window != WindowHandle()) {
        return FALSE;
    }
    int width = 0, height = 0;
    SDL_GetWindowSize(platform.sdlWindow, &width, &height);
    *rect = {0, 0, width, height};
    return TRUE;
}

// Moved and resized as asked, and made the full-screen window of a monitor whose whole area it
// is asked to cover, as at creation; asked anywhere else, it is an ordinary window again.
BOOL WINAPI SetWindowPos(HWND window, HWND, int x, int y, int width, int height, UINT) {
    if (window == nullptr || window != WindowHandle()) {
        return FALSE;
    }
    const SDL_Rect asked = {x, y, width, height};
    bool covers = CoversMonitor(asked);
    if (FullScreen()) {
        SDL_Rect now;
        SDL_GetWindowPosition(platform.sdlWindow, &now.x, &now.y);
        SDL_GetWindowSize(platform.sdlWindow, &now.w, &now.h);
        if (covers && SDL_RectEquals(&now, &asked)) {
            return TRUE;
        }
        SDL_SetWindowFullscreen(platform.sdlWindow, 0);
    }
    SDL_SetWindowPosition(platform.sdlWindow, x, y);
    SDL_SetWindowSize(platform.sdlWindow, width, height);
    if (covers) {
        SDL_SetWindowFullscreen(platform.sdlWindow, SDL_WINDOW_FULLSCREEN_DESKTOP);
    }
    return TRUE;
}

HMONITOR WINAPI MonitorFromPoint(POINT point, DWORD flags) {
    const std::vector<Monitor> monitors = Monitors();
    const SDL_Point at = {point.x, point.y};
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (SDL_PointInRect(&at, &monitors[i].area)) {
            return MonitorHandle(i);
        }
    }
    return FallbackMonitor(flags);
}

// The monitor the window overlaps most.
HMONITOR WINAPI MonitorFromWindow(HWND window, DWORD flags) {
    if (window == nullptr || window != WindowHandle()) {
        return FallbackMonitor(flags);
    }
    SDL_Rect place, overlap;
    SDL_GetWindowPosition(platform.sdlWindow, &place.x, &place.y);
    SDL_GetWindowSize(platform.sdlWindow, &place.w, &place.h);
    const std::vector<Monitor> monitors = Monitors();
    int64_t most = 0;
    HMONITOR found = FallbackMonitor(flags);
    for (size_t i = 0; i < monitors.size(); ++i) {
        if (SDL_IntersectRect(&place, &monitors[i].area, &overlap) &&
            int64_t(overlap.w) * overlap.h > most) {
            most = int64_t(overlap.w) * overlap.h;
            found = MonitorHandle(i);
        }
    }
    return found;
}

BOOL WINAPI GetMonitorInfoA(HMONITOR monitor, MONITORINFO* info) {
    const std::vector<Monitor> monitors = Monitors();
    size_t index = static_cast<size_t>(reinterpret_cast<intptr_t>(monitor)) - 1;
    if (info == nullptr || index >= monitors.size()) {
        return FALSE;
    }
    const SDL_Rect &area = monitors[index].area, &work = monitors[index].work;
    info->rcMonitor = {area.x, area.y, area.x + area.w, area.y + area.h};
    info->rcWork = {work.x, work.y, work.x + work.w, work.y + work.h};
    info->dwFlags = index == 0 ? 1 : 0;  // MONITORINFOF_PRIMARY
    return TRUE;
}

// 96 pixels per logical inch, unless the desktop sets a scale for X programs: the Xft.dpi that
// desktops publish in the X server's resources (192 at 200 %).
int WINAPI GetDeviceCaps(HDC, int index) {
    if (index != LOGPIXELSX && index != LOGPIXELSY) {
        return 0;
    }
    int dpi = 96;
#if defined(SDL_VIDEO_DRIVER_X11)
    StartVideo();
    if (std::strcmp(SDL_GetCurrentVideoDriver(), "x11") == 0) {
        if (::Display* display = XOpenDisplay(nullptr)) {
            const char* resources = XResourceManagerString(display);
            const char* setting = resources ? std::strstr(resources, "Xft.dpi:") : nullptr;
            if (setting != nullptr && (setting == resources || setting[-1] == '\n')) {
                double value = std::strtod(setting + std::strlen("Xft.dpi:"), nullptr);
                if (value >= 48 && value <= 960) {
                    dpi = static_cast<int>(value + 0.5);
                }
            }
            XCloseDisplay(display);
        }
    }
#endif
    return dpi;
}

int WINAPI MessageBoxA(HWND, LPCSTR text, LPCSTR caption, UINT) {
    // Always on stderr; a box too where the system can show one. Where it cannot (no
    // display, no fonts) it is as if OK had been pressed.
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    if (!SDL_WasInit(SDL_INIT_VIDEO) || std::getenv("LUMENVALE_NO_MESSAGE_BOX") != nullptr) {
        return IDOK;
    }
    SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, platform.sdlWindow);
    return IDOK;
}

BOOL WINAPI SwapBuffers(HDC deviceContext) {
    if (deviceContext == nullptr) {
        return FALSE;
    }
    SDL_GL_SwapWindow(reinterpret_cast<SDL_Window*>(deviceContext));
    return TRUE;
}

HGLRC WINAPI wglCreateContext(HDC deviceContext) {
    if (deviceContext == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<HGLRC>(
        SDL_GL_CreateContext(reinterpret_cast<SDL_Window*>(deviceContext)));
}

BOOL WINAPI wglMakeCurrent(HDC deviceContext, HGLRC glContext) {
    if (deviceContext == nullptr || glContext == nullptr) {
        return FALSE;
    }
    if (SDL_GL_MakeCurrent(reinterpret_cast<SDL_Window*>(deviceContext),
                           reinterpret_cast<SDL_GLContext>(glContext)) != 0) {
        return FALSE;
    }
    SDL_GL_SetSwapInterval(1);  // refused under Xvfb; the frame clock paces the game anyway
    return TRUE;
}

DWORD WINAPI GetTickCount(void) {
    // Milliseconds since the system started, wrapping at 2^32 as on Windows.
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + now.tv_nsec / 1000000;
    return static_cast<DWORD>(ms);
}

void WINAPI Sleep(DWORD milliseconds) {
    timespec pause;
    pause.tv_sec = milliseconds / 1000;
    pause.tv_nsec = static_cast<long>(milliseconds % 1000) * 1000000L;
    while (nanosleep(&pause, &pause) != 0) {
    }
}
