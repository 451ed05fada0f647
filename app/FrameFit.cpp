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

int DisplayDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : BaseDpi;
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

PixelBox WindowOnDesktop(int frameWidth, int frameHeight) {
    RECT work = {0, 0, frameWidth, frameHeight};
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0) || work.right <= work.left ||
        work.bottom <= work.top) {
        work = {0, 0, frameWidth, frameHeight};
    }
    int dpi = DisplayDpi();
    int64_t scaledWidth = RoundedRatio(int64_t(frameWidth) * dpi, BaseDpi);
    int64_t scaledHeight = RoundedRatio(int64_t(frameHeight) * dpi, BaseDpi);
    PixelBox window =
        FitShape(static_cast<int>(std::min<int64_t>(scaledWidth, work.right - work.left)),
                 static_cast<int>(std::min<int64_t>(scaledHeight, work.bottom - work.top)),
                 frameWidth, frameHeight);
    window.x = work.left;
    window.y = work.top;
    return window;
}

PixelBox FrameInClient(int clientWidth, int clientHeight, int frameWidth, int frameHeight) {
    PixelBox box = FitShape(clientWidth, clientHeight, frameWidth, frameHeight);
    box.x = (clientWidth - box.width) / 2;
    box.y = (clientHeight - box.height) / 2;
    return box;
}
