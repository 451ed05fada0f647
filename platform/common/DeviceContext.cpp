// Device contexts, the same on every system other than Windows: the one window's is the window
// itself, made with the one pixel format the game asks for; the screen's only tells the
// display's scale, which each system's layer answers in GetDeviceCaps.
#include <windows.h>

namespace {
// The screen's device context: distinct from every window's, and never drawn on.
char screenObject;
}  // namespace

HDC WINAPI GetDC(HWND window) {
    return window != nullptr ? reinterpret_cast<HDC>(window) : reinterpret_cast<HDC>(&screenObject);
}

int WINAPI ReleaseDC(HWND, HDC deviceContext) {
    return deviceContext != nullptr ? 1 : 0;
}

int WINAPI ChoosePixelFormat(HDC deviceContext, const PIXELFORMATDESCRIPTOR*) {
    // The window was made with the one format the game asks for.
    return deviceContext != nullptr ? 1 : 0;
}

BOOL WINAPI SetPixelFormat(HDC deviceContext, int format, const PIXELFORMATDESCRIPTOR*) {
    return deviceContext != nullptr && format == 1;
}
