// A scripted stand-in for the Win32 calls the game makes. A test fills the message queue,
// places the pointer and sets the tick count; the fake records what the game asked of the
// window system (window, pointer visibility, sleeps, swaps, message boxes).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <windows.h>

#include "app/FrameFit.h"

namespace fakewin {

struct MessageBox {
    std::string text;
    std::string caption;
    UINT type;
    HWND owner;
};

struct Record {
    // Window class and window.
    WNDCLASSEXA windowClass{};
    std::string className;
    std::string title;
    DWORD style = 0;
    DWORD exStyle = 0;
    int x = -1, y = -1, width = 0, height = 0;
    HWND window = nullptr;
    bool shown = false;
    std::vector<BOOL> showCursor;
    // GL context.
    PIXELFORMATDESCRIPTOR pixelFormat{};
    int chosenFormat = 0;
    int setFormat = 0;
    HGLRC glContext = nullptr;
    int makeCurrent = 0;
    // The loop and the frame.
    std::vector<DWORD> sleeps;
    int swaps = 0;
    int translated = 0;
    std::vector<UINT> dispatched;
    std::vector<UINT> passedOn;  // messages handed to DefWindowProcA
    std::vector<int> quitCodes;
    std::vector<PixelBox> windowPlaces;  // every SetWindowPos, in order
    std::vector<MessageBox> messageBoxes;
    int waits = 0;                   // WaitMessage and MsgWaitForMultipleObjects calls
    std::vector<std::string> calls;  // every faked call by name, in order
};

// Back to a machine with no window, an empty queue, tick count 0 and the pointer at (0, 0).
void Reset();
Record& Get();

// Queues a message for the window (or for no window when there is none yet).
void Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
size_t Pending();

// The pointer on the desktop, in screen pixels. A move that ends over the window's client area
// posts WM_MOUSEMOVE, as Windows does; one off it posts nothing but the WM_MOUSELEAVE that
// TrackMouseEvent asked for.
void SetPointer(LONG x, LONG y);
// A monitor: its place on the desktop, its work area (less its panels and taskbar) and its
// pixels per logical inch.
struct Monitor {
    RECT area;
    RECT work;
    int dpi;
};
// The monitors, the primary first, with the screen's scale (the one Windows fixes at sign-in)
// the primary's. At first one 1280 x 1024 monitor at 96 with no panel.
void SetMonitors(std::vector<Monitor> monitors);
// The player sets another scale for a monitor, or the system changes a monitor's place and
// size; the screen's scale stays as it was at sign-in.
void ChangeMonitor(size_t index, Monitor now);
// Whether the system tells each monitor's own scale (GetDpiForMonitor in shcore.dll, which
// Windows 8.1 and later have). At first it does.
void SetPerMonitorDpi(bool told);
// Where the window really is, as a window manager may have made it: its top-left corner on the
// desktop and its client size. Until this is called, it is where and as large as it was asked at
// creation or by SetWindowPos.
void PlaceWindow(int x, int y, int width, int height);
void SetTicks(DWORD ticks);
DWORD Ticks();
// Sleep(ms) moves the tick count on by ms (the default), as real time would.
void SleepAdvancesTicks(bool on);

// Called each time PeekMessageA finds the queue empty, that is before each Frame the loop
// is about to run, and every WaitStepMs while the game waits for a message
// (MsgWaitForMultipleObjects); it may post messages, move the pointer or change the tick count.
// A wait ends as soon as a message is queued; otherwise time passes, WaitStepMs a step, to its
// timeout.
void OnIdle(std::function<void()> idle);
const DWORD WaitStepMs = 10;
// Called as the game calls Sleep or SwapBuffers, with that call's name, so a test can see where
// they fall among the GL calls of a frame.
void OnSleepOrSwap(std::function<void(const char* call)> watch);
// The result DefWindowProcA gives for messages it does not handle itself.
void SetDefaultResult(LRESULT result);
// Safety net: after this many idle passes PeekMessageA posts WM_QUIT itself, so a test
// whose loop never ends fails instead of hanging.
void SetIdleLimit(long passes);

}  // namespace fakewin
