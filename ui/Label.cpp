#include "ui/Label.h"

void Label::Draw() {
    if (!visible) {
        return;
    }
    style.SetColour(red, green, blue, 1);
    // Through "%s" so that the text is drawn byte for byte, percent signs included.
    DrawText(style, (x1 + x2) / 2, (y1 + y2) / 2, "%s", text.CStr());
}
