// A framed box of several lines of text, cut at the newlines, centred and stacked downwards.
#pragma once

#include <cstdint>

#include "ui/Widget.h"

class TextBox : public Widget {
public:
    TextBox() = default;
    // Releases the lines; the game's boxes live until the process ends.
    ~TextBox();
    // The lines are owned: a copy would release them twice.
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    // Takes the text, then cuts it at each newline into `lines`, releasing the lines of an
    // earlier text. A text with k newlines gives k + 1 lines.
    void SetText(String newText) override;
    // Nothing when hidden. Leaves the same GL state as a Button.
    void Draw() override;

    String* lines = nullptr;  // owned, lineCount Strings
    uint32_t lineCount = 0;
};
