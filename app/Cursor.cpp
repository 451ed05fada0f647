#include "app/Cursor.h"

void Cursor::Update(HWND window, const PixelBox& frame) {
    POINT point;
    GetCursorPos(&point);
    screenX = point.x;
    screenY = point.y;
    ScreenToClient(window, &point);
    // A frame that has never been fitted (no client area yet) counts as one at the corner.
    double width = frame.width > 0 ? frame.width : 1;
    double height = frame.height > 0 ? frame.height : 1;
    glX = static_cast<float>(2.0 * (point.x - frame.x) / width - 1.0);
    glY = static_cast<float>(1.0 - 2.0 * (point.y - frame.y) / height);
}
