// Reads the game's screen back from a capture: where the menu's widgets and pictures lie on the
// 1280 × 1024 window, which lamps of a board are lit, which block the hover frame outlines.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/FrameFit.h"
#include "game/MenuLayout.h"
#include "tests/support/XSession.h"

namespace e2e {

using xsession::Screenshot;

// The game draws in GL coordinates over the whole window: x and y from −1 to 1, y upwards.
inline double PixelX(double glX) {
    return (glX + 1.0) * 640.0;
}
inline double PixelY(double glY) {
    return (1.0 - glY) * 512.0;
}

struct GlRect {
    double x1, y1, x2, y2;  // left, bottom, right, top

    constexpr GlRect(double left, double bottom, double right, double top)
        : x1(left), y1(bottom), x2(right), y2(top) {}
    // The game's own rectangles, exactly as its widgets store them.
    constexpr GlRect(const MenuLayout::Rect& rect)  // NOLINT(google-explicit-constructor)
        : GlRect(rect.x1, rect.y1, rect.x2, rect.y2) {}
};

// Where the menu's widgets and pictures lie, in GL coordinates: where the game draws them.
namespace menu = ::MenuLayout;

// The levels the readers judge by, 0 … 255 a channel; the browser tests read the same values.
namespace levels {
// Lit lamps show a bright, saturated bulb at their centre (a channel near 255); dark ones keep
// only a dim hint of their hue (around a third of that). Readings between the two bands are
// reported as unclear rather than guessed.
constexpr double Lit = 165;
constexpr double ClearlyLit = 195;
constexpr double ClearlyDark = 135;
// A pixel with a channel above Ink shows something; above TitleInk, the title picture.
constexpr int Ink = 3;
constexpr int TitleInk = 40;
// A rectangle with no more than this share of inked pixels has nothing drawn in it.
constexpr double BlankShare = 0.002;
}  // namespace levels

// A button's fill (0, 0.85, 0.2) at alpha 0.25 or 0.55 over black: no red, green about four
// times blue; looked for in square patches just inside both ends of the button.
struct ButtonFillRule {
    int maxRed, minGreen, maxGreen, greenOverBlue;
    double share;  // of a patch's pixels
    int leftInset, rightInset, patch;
};
constexpr ButtonFillRule ButtonFill{12, 35, 150, 3, 0.9, 9, 16, 8};

struct Point {
    int x, y;
};

// The pixels a GL rectangle covers, shrunk by `inset` pixels on every side (the game's PixelBox:
// from the top-left corner).
PixelBox ToPixels(const GlRect& rect, int inset = 0);
// A box of the given size centred on a pixel.
PixelBox Around(double x, double y, int width, int height);

struct Colour {
    double red = 0, green = 0, blue = 0;
    double Max() const { return std::max({red, green, blue}); }
};

Colour MeanColour(const Screenshot& shot, const PixelBox& box);
// Share of the box's pixels that `test` accepts (the part of the box off the screen counts as
// not accepted).
double Share(const Screenshot& shot, const PixelBox& box,
             const std::function<bool(const uint8_t*)>& test);
// Share of the box's pixels with some channel above `level`.
double LitShare(const Screenshot& shot, const PixelBox& box, int level = levels::Ink);

// Where the frame shows on the screen: the game shows it in the box of its window's client area
// that FrameFit gives, scaled.
struct FrameOnScreen {
    double left = 0, top = 0;       // the frame's top-left corner on the screen
    double scaleX = 1, scaleY = 1;  // screen pixels per frame pixel

    static FrameOnScreen Of(const xsession::WindowInfo& window);
    Point ToScreen(Point inFrame) const;
    // The frame cut out of a capture of the screen and brought to 1280 × 1024, each frame pixel
    // taking the screen pixel it falls on, so the readers here judge it at any scale.
    Screenshot View(const Screenshot& screen) const;
    // Room on the screen beside the centred frame, and nothing lit there.
    bool BlackBeside(const Screenshot& screen) const;
};

// The pixel at a point given in GL coordinates.
Point PixelAt(double glX, double glY);
// The pointer's pixel in the middle of a widget.
Point Centre(const GlRect& rect);
// A spot on the window where no widget, picture or lamp is ever drawn.
constexpr Point Nowhere{1260, 300};

// Where the cursor picture is drawn: the middle of the bright pixels within `radius` of `near`
// on an otherwise black stretch of the screen.
bool FindCursorPicture(const Screenshot& shot, Point near, int radius, double* x, double* y);

// A button's translucent green fill shows at both ends of its rectangle (inside the slanted
// frame, clear of the caption).
bool ButtonFillSeen(const Screenshot& shot, const GlRect& rect);
// Nothing at all is drawn in the rectangle.
bool Blank(const Screenshot& shot, const GlRect& rect);

// One lamp of the board as the screen shows it.
struct LampReading {
    bool lit = false;
    int colour = 0;      // the strongest channel at its centre: 0 green, 1 red, 2 blue
    double level = 0;    // the brightest channel's mean at its centre, 0…255
    bool clear = false;  // far enough from the threshold between lit and dark
};

struct BoardReading {
    int columns = 0, rows = 0;
    std::vector<LampReading> lamps;  // row-major, row 0 at the bottom
    std::vector<LampReading> left;   // one indicator per pair of rows, bottom pair first
    std::vector<LampReading> right;

    const LampReading& Lamp(int column, int row) const { return lamps[row * columns + column]; }
    bool Clear() const;
    bool AllLit() const;
    // Every row and every column holds an even number of dark lamps: the board can be solved.
    bool Solvable() const;
    // The indicators of a pair of rows are lit exactly when both rows are, on both sides.
    bool IndicatorsFollowRows() const;
    // Same lit lamps and same colours.
    bool SameLamps(const BoardReading& other) const;
    bool SameColours(const BoardReading& other) const;
    // The board as rows of letters, the top row first: G R B lit, g r b dark, ? unclear; the
    // indicators as 'I' lit and 'i' dark on both sides.
    std::string Describe() const;
};

BoardReading ReadBoard(const Screenshot& shot, int columns, int rows);

// The pixel at the inner lamp corner of the block with lower-left lamp (column, row): the
// point that picks that block.
Point BlockCorner(int column, int row, int columns, int rows);

// The block the game outlines for a pointer at this pixel: false when the pointer is off the
// board or on its border. The block is named by its lower-left lamp.
bool PickBlock(Point pointer, int columns, int rows, Point* block);

// The blocks whose outline is drawn.
std::vector<Point> FramedBlocks(const Screenshot& shot, int columns, int rows);
// Pixels in the hover frame's greens anywhere on or around the board.
int FrameGreenPixels(const Screenshot& shot);

// Which screen shows, told apart by what no glyph or picture detail changes: the title picture,
// the buttons' green fills, the about box, a board that reads clearly.
bool MainGroupShown(const Screenshot& shot);
bool SizeGroupShown(const Screenshot& shot);
bool AboutBoxShown(const Screenshot& shot);
bool BoardShown(const Screenshot& shot, int size, BoardReading* reading = nullptr);

// The reading after one flip of the block with lower-left lamp `block`.
BoardReading Flipped(BoardReading board, Point block);

}  // namespace e2e
