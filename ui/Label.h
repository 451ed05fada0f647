// A line of text without a frame, starting at the centre of its rectangle.
#pragma once

#include "ui/Widget.h"

class Label : public Widget {
public:
    // Nothing when hidden, like every widget. Draws the text fully opaque in the widget's
    // colour and sets no GL state of its own, so the text is blended with the function the
    // framed widgets drawn before it left.
    void Draw() override;
};
