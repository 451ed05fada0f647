#include "ui/Widget.h"

Widget::Widget()
    : x1(0),
      y1(0),
      x2(0),
      y2(0),
      red(0),
      green(0),
      blue(0),
      alpha(0),
      hovered(false),
      visible(false) {}

void Widget::SetText(String newText) {
    text.Assign(newText);
}

bool Widget::ToggleVisible() {
    visible = !visible;
    return visible;
}

void Widget::SetColour(double newRed, double newGreen, double newBlue) {
    red = static_cast<float>(newRed);
    green = static_cast<float>(newGreen);
    blue = static_cast<float>(newBlue);
}

void Widget::SetRect(double left, double bottom, double right, double top) {
    x1 = left;
    y1 = bottom;
    x2 = right;
    y2 = top;
}

void Widget::UpdateHover(float x, float y) {
    // Strict on every edge: stacked buttons that share an edge never both claim the pointer.
    double px = x;
    double py = y;
    hovered = visible && px > x1 && px < x2 && py > y1 && py < y2;
}

void Widget::DrawFrame(double topShift) {
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    alpha = static_cast<float>(hovered ? HoverAlpha : IdleAlpha);
    glColor4f(red, green, blue, alpha);

    const float corners[4][2] = {
        {static_cast<float>(x1), static_cast<float>(y1)},
        {static_cast<float>(x2), static_cast<float>(y1)},
        {static_cast<float>(x2 - topShift), static_cast<float>(y2)},
        {static_cast<float>(x1 - topShift), static_cast<float>(y2)},
    };
    glBegin(GL_QUADS);
    for (const auto& corner : corners) {
        glVertex2f(corner[0], corner[1]);
    }
    glEnd();
    glLineWidth(OutlineWidth);
    glBegin(GL_LINE_LOOP);
    for (const auto& corner : corners) {
        glVertex2f(corner[0], corner[1]);
    }
    glEnd();
}

void Widget::UseFramedTextColour() {
    style.SetColour(red, green, blue, alpha + TextAlphaBoost);
}

double Widget::CentredTextLeft(int32_t length) const {
    return (x1 + x2) / 2 - double{style.GlyphWidth()} * length / 2;
}
