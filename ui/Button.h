// A menu button: a slanted translucent frame with its caption centred on the rectangle.
#pragma once

#include "ui/Widget.h"

class Button : public Widget {
public:
    // Nothing when hidden. Leaves texturing and blending off, the line width at the outline's
    // and the blend function at (GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA).
    void Draw() override;
};
