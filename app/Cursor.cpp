#include "app/Cursor.h"

#include <windows.h>

void Cursor::Update(int width, int height) {
    POINT point;
    GetCursorPos(&point);
    screenX = point.x;
    screenY = point.y;
    glX = static_cast<float>(screenX / static_cast<double>(width >> 1) - 1.0);
    glY = static_cast<float>(1.0 - screenY / static_cast<double>(height >> 1));
}
