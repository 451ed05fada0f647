#include "app/FrameFit.h"

#include <algorithm>
#include <cstdint>
#include <windows.h>

namespace {

// The display's scale as Windows counts it: 96 pixels per logical inch at 100 %.
const int BaseDpi = 96;

int64_t RoundedRatio(int64_t numerator, int64_t denominator) {
    return (2 * numerator + denominator) / (2 * denominator);
}

// The screen's pixels per logical inch: on Windows the scale at sign-in, the same for every
// monitor.
int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The monitor's own pixels per logical inch as it is set now, where the system tells it
// (shcore.dll, from Windows 8.1 on, loaded at run time so the game still starts without it);
// else the screen's.
int MonitorDpi(HMONITOR monitor) {
    typedef HRESULT(WINAPI * DpiForMonitorCall)(HMONITOR, int, UINT*, UINT*);
    const int EffectiveDpi = 0;  // MDT_EFFECTIVE_DPI: the scale the player chose for it
    // Loaded again on each call (at start-up and when the display changes): for a library the
    // program already holds that only counts it once more.
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        // Through void (*)(void), the one function type that may stand for any other.
        auto dpiForMonitor = reinterpret_cast<DpiForMonitorCall>(
            reinterpret_cast<void (*)(void)>(GetProcAddress(shcore, "GetDpiForMonitor")));
        UINT dpiX = 0, dpiY = 0;
        if (dpiForMonitor != nullptr &&
            dpiForMonitor(monitor, EffectiveDpi, &dpiX, &dpiY) == S_OK && dpiX > 0) {
            return static_cast<int>(dpiX);
        }
    }
    return ScreenDpi();
}

PixelBox ToBox(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace

PixelBox FitShape(int maxWidth, int maxHeight, int shapeWidth, int shapeHeight) {
    maxWidth = std::max(maxWidth, 0);
    maxHeight = std::max(maxHeight, 0);
    if (int64_t(maxWidth) * shapeHeight <= int64_t(maxHeight) * shapeWidth) {
        int64_t height = RoundedRatio(int64_t(maxWidth) * shapeHeight, shapeWidth);
        return {0, 0, maxWidth, static_cast<int>(std::min<int64_t>(height, maxHeight))};
    }
    int64_t width = RoundedRatio(int64_t(maxHeight) * shapeWidth, shapeHeight);
    return {0, 0, static_cast<int>(std::min<int64_t>(width, maxWidth)), maxHeight};
}

PixelBox WindowOnMonitor(const PixelBox& monitor, const PixelBox& work, int dpi, int frameWidth,
                         int frameHeight) {
    const PixelBox frameSized = {0, 0, frameWidth, frameHeight};
    const PixelBox screen = monitor.width > 0 && monitor.height > 0 ? monitor : frameSized;
    const PixelBox area = work.width > 0 && work.height > 0 ? work : screen;
    if (dpi <= 0) {
        dpi = BaseDpi;
    }
    int64_t width = RoundedRatio(int64_t(frameWidth) * dpi, BaseDpi);
    int64_t height = RoundedRatio(int64_t(frameHeight) * dpi, BaseDpi);
    if (width <= area.width && height <= area.height) {
        return {area.x, area.y, static_cast<int>(width), static_cast<int>(height)};
    }
    return screen;
}

PixelBox WindowOnDesktop(int frameWidth, int frameHeight, HWND window) {
    HMONITOR monitor = window != nullptr ? MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)
                                         : MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    if (monitor == nullptr || !GetMonitorInfoA(monitor, &info)) {
        info.rcMonitor = info.rcWork = {0, 0, 0, 0};
    }
    return WindowOnMonitor(ToBox(info.rcMonitor), ToBox(info.rcWork), MonitorDpi(monitor),
                           frameWidth, frameHeight);
}

PixelBox FrameInClient(int clientWidth, int clientHeight, int frameWidth, int frameHeight) {
    PixelBox box = FitShape(clientWidth, clientHeight, frameWidth, frameHeight);
    box.x = (clientWidth - box.width) / 2;
    box.y = (clientHeight - box.height) / 2;
    return box;
}
