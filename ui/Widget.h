// The common part of the menu's rectangular elements: a rectangle in GL coordinates, a colour,
// a text drawn with the game font, and the visible and hovered flags. Widgets know nothing of
// clicks; the menu combines IsHovered with the mouse button.
#pragma once

#include "resources/String.h"
#include "ui/BitmapFont.h"

// How far the top edge of a button's frame leans to the left.
const double ButtonSlant = 0.01;
// Fill opacity of a framed widget under the pointer and elsewhere.
const double HoverAlpha = 0.55;
const double IdleAlpha = 0.25;
// The text of a framed widget is this much more opaque than its fill.
const double TextAlphaBoost = 0.2;
// Line width of a frame's outline, in pixels.
const float OutlineWidth = 3;

class Widget {
public:
    // No font, black, fully transparent, empty text; also an empty rectangle at the origin,
    // hidden and not hovered until the creator places and shows it.
    Widget();

    virtual void SetText(String newText);
    virtual void Draw() = 0;

    void Show() { visible = true; }
    void Hide() { visible = false; }
    // Returns the new value.
    bool ToggleVisible();
    // Colour of the fill, the outline and the text; the fill's alpha is left alone.
    void SetColour(double newRed, double newGreen, double newBlue);
    void SetRect(double left, double bottom, double right, double top);
    // Hovered exactly when visible and the point lies strictly inside the rectangle.
    void UpdateHover(float x, float y);
    bool IsHovered() const { return hovered; }
    void SetFont(BitmapFont* font) { style.SetFont(font); }

    TextStyle style;  // its colour is rewritten by every Draw
    double x1;        // left
    double y1;        // bottom
    double x2;        // right
    double y2;        // top (y grows upwards)
    float red;
    float green;
    float blue;
    float alpha;  // fill opacity, rewritten by every Draw of a framed widget
    bool hovered;
    bool visible;
    String text;

protected:
    // Widgets live as long as the game and are never destroyed through a Widget pointer.
    ~Widget() = default;

    // The frame of a Button or TextBox: texturing off, blending on, the fill alpha chosen by
    // the hover state, then a translucent fill and a solid-width outline through the corners
    // (x1, y1), (x2, y1), (x2 - topShift, y2), (x1 - topShift, y2).
    void DrawFrame(double topShift);
    // Sets the text colour of a framed widget: its colour, a little more opaque than the fill.
    void UseFramedTextColour();
    // Where a text of `length` bytes starts so that it is centred across the rectangle.
    double CentredTextLeft(int32_t length) const;
};
