// Reads the game's screen back from a capture: where the menu's widgets and pictures lie on the
// 1280 × 1024 window, which lamps of a board are lit, which block the hover frame outlines.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/x11/XSession.h"

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
};

// Pixels from left to right and top to bottom, right and bottom excluded.
struct PixelBox {
    int left, top, right, bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

struct Point {
    int x, y;
};

// The pixels a GL rectangle covers, shrunk by `inset` pixels on every side.
PixelBox ToPixels(const GlRect& rect, int inset = 0);
// A box of the given size centred on a pixel.
PixelBox Around(double x, double y, int width, int height);

struct Colour {
    double red = 0, green = 0, blue = 0;
    double Max() const;
};

Colour MeanColour(const Screenshot& shot, const PixelBox& box);
// Share of the box's pixels that `test` accepts (the part of the box off the screen counts as
// not accepted).
double Share(const Screenshot& shot, const PixelBox& box,
             const std::function<bool(const uint8_t*)>& test);
// Share of the box's pixels with some channel above `level`.
double LitShare(const Screenshot& shot, const PixelBox& box, int level = 3);

// Where the menu's widgets and pictures lie, in GL coordinates.
namespace menu {
constexpr GlRect Exit{0.425, -0.7, 0.8, -0.61};
constexpr GlRect Authors{0.4, -0.6, 0.7, -0.51};
constexpr GlRect Play{0.425, -0.5, 0.8, -0.41};
constexpr GlRect Size8{0.4, -0.8, 0.7, -0.71};
constexpr GlRect Size6{0.4, -0.7, 0.7, -0.61};
constexpr GlRect Size4{0.4, -0.6, 0.7, -0.51};
constexpr GlRect Back = Play;
constexpr GlRect AboutBox{0.3, -0.3, 0.9, 0.2};
constexpr GlRect Planet{-0.75, -0.5, 0.0, 0.25};
constexpr GlRect Title{-0.8, 0.6, 0.8, 0.8};
constexpr double ButtonGlyphWidth = 0.035, ButtonGlyphHeight = 0.05;
constexpr double AboutGlyphWidth = 0.02, AboutGlyphHeight = 0.04;
constexpr int AboutLineCount = 7;
}  // namespace menu

// Where the frame shows on the screen: a window of any size shows it in the largest centred
// 5:4 box of its client area, scaled.
struct FrameOnScreen {
    double left = 0, top = 0;       // the frame's top-left corner on the screen
    double scaleX = 1, scaleY = 1;  // screen pixels per frame pixel

    static FrameOnScreen Of(const xsession::WindowInfo& window);
    Point ToScreen(Point inFrame) const;
    // The frame cut out of a capture of the screen and brought to 1280 × 1024, each frame pixel
    // taking the screen pixel it falls on, so the readers here judge it at any scale.
    Screenshot View(const Screenshot& screen) const;
};

// The pointer's pixel in the middle of a widget.
Point Centre(const GlRect& rect);
// A spot on the window where no widget, picture or lamp is ever drawn.
constexpr Point Nowhere{1260, 300};
// Where the credit line is written, at the foot of the menu.
constexpr GlRect CreditLine{0.4, -0.99, 0.7, -0.91};

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
// The pixel at the centre of a lamp.
Point LampCentre(int column, int row, int columns, int rows);

// The block the game outlines for a pointer at this pixel: false when the pointer is off the
// board or on its border. The block is named by its lower-left lamp.
bool PickBlock(Point pointer, int columns, int rows, Point* block);

// Share of the outline of a block drawn in the hover frame's two greens, the worst of its four
// sides (0 … 1).
double HoverFrameScore(const Screenshot& shot, Point block, int columns, int rows);
// The blocks whose outline is drawn.
std::vector<Point> FramedBlocks(const Screenshot& shot, int columns, int rows);
// Pixels in the hover frame's greens anywhere on or around the board.
int FrameGreenPixels(const Screenshot& shot);

// Which screen shows, told apart by what no glyph or picture detail changes: the title picture,
// the buttons' green fills, the about box, a board that reads clearly.
bool MenuShown(const Screenshot& shot);
bool MainGroupShown(const Screenshot& shot);
bool SizeGroupShown(const Screenshot& shot);
bool AboutBoxShown(const Screenshot& shot);
bool BoardShown(const Screenshot& shot, int size, BoardReading* reading = nullptr);

// The reading after one flip of the block with lower-left lamp `block`.
BoardReading Flipped(BoardReading board, Point block);

// Waits until the game has taken every input sent so far and drawn what it did: the drawn
// cursor, moved to an empty place, is drawn there only by a frame that took the earlier input,
// and moved back to Nowhere, by a frame after that one. Only then may an input that seems not
// taken be sent again, however busy the machine. False when the cursor did not show within
// timeoutMs at either place.
bool Settle(xsession::Session& session, int timeoutMs = 10000);

}  // namespace e2e
