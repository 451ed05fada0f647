#include "ui/Button.h"

void Button::Draw() {
    if (!visible) {
        return;
    }
    DrawFrame(ButtonSlant);
    // Centred on the rectangle, not on the slanted frame.
    UseFramedTextColour();
    double textBottom = (y1 + y2) / 2 - double{style.GlyphHeight()} / 2;
    // The caption goes through "%s": every byte of it is drawn as it is, so a percent sign in
    // a caption can neither read a missing argument nor make the line shorter than its
    // centring assumed.
    DrawText(style, CentredTextLeft(text.length), textBottom, "%s", text.CStr());
    glDisable(GL_BLEND);
}
