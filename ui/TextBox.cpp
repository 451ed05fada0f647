#include "ui/TextBox.h"

TextBox::~TextBox() {
    delete[] lines;
}

void TextBox::SetText(String newText) {
    text.Assign(newText);
    String* newLines = nullptr;
    uint32_t newCount = 0;
    text.Split(newLines, newCount, "\n");
    // Split hands out a fresh array and leaves the old one to us.
    delete[] lines;
    lines = newLines;
    lineCount = newCount;
}

void TextBox::Draw() {
    if (!visible) {
        return;
    }
    DrawFrame(0);
    double glyphHeight = style.GlyphHeight();
    // Line 0 is the highest; each line sits one glyph height below the one before.
    double top = (y1 + y2) / 2 + lineCount * glyphHeight / 2;
    for (uint32_t i = 0; i < lineCount; ++i) {
        UseFramedTextColour();
        // Through "%s", byte for byte, like a button's caption.
        DrawText(style, CentredTextLeft(lines[i].length), top - i * glyphHeight, "%s",
                 lines[i].CStr());
    }
    glDisable(GL_BLEND);
}
