// Where the main menu's widgets and pictures lie on the frame, in GL coordinates over the whole
// frame (x and y from -1 to 1, y upwards). The menu is drawn from these, and the tests that read
// the screen look for it here.
#pragma once

namespace MenuLayout {

// Single-precision edges, widened to double when a widget stores them: the hover test compares
// against exactly these values.
struct Rect {
    float x1, y1, x2, y2;  // left, bottom, right, top
};

struct GlyphSize {
    double width, height;
};

// The buttons stand in a column on the right, 0.09 high and 0.1 apart; each size button shares
// its place with one of the main group.
constexpr Rect Exit{0.425f, -0.7f, 0.8f, -0.61f};
constexpr Rect Authors{0.4f, -0.6f, 0.7f, -0.51f};
constexpr Rect Play{0.425f, -0.5f, 0.8f, -0.41f};
constexpr Rect Size8{0.4f, -0.8f, 0.7f, -0.71f};
constexpr Rect Size6{0.4f, -0.7f, 0.7f, -0.61f};
constexpr Rect Size4{0.4f, -0.6f, 0.7f, -0.51f};
constexpr Rect Back = Play;
constexpr GlyphSize ButtonGlyph{0.035, 0.05};

constexpr Rect AboutBox{0.3f, -0.3f, 0.9f, 0.2f};
constexpr GlyphSize AboutGlyph{0.02, 0.04};
constexpr int AboutLines = 7;

constexpr Rect Planet{-0.75f, -0.5f, 0.0f, 0.25f};
constexpr Rect Title{-0.8f, 0.6f, 0.8f, 0.8f};

// The credit line starts at a single point, so it is never hovered; its glyphs fall within
// CreditLine.
constexpr float CreditX = 0.4f, CreditY = -0.95f;
constexpr GlyphSize CreditGlyph{0.02, 0.03};
constexpr Rect CreditLine{CreditX, CreditY - 0.04f, CreditX + 0.3f, CreditY + 0.04f};

}  // namespace MenuLayout
