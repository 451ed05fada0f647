// The game font on a real display: a line of Latin and Cyrillic text, photographed, must show
// ink in every character cell and none in the spaces.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "tests/support/RealGame.h"
#include "tests/x11/TextProbe.h"

namespace {

const int WindowWidth = 1280;
const int WindowHeight = 1024;
// The text is white on black: ink is bright, blank is dark, whatever the filtering in between.
const int InkLevel = 128;
const int BlankLevel = 48;

// A glyph's place on the screen in pixels, rows top-down; right and bottom are exclusive.
struct Cell {
    int left, top, right, bottom;
};

Cell GlyphCell(int index) {
    const double left = textprobe::Left + index * textprobe::GlyphWidth;
    const e2e::Point topLeft = e2e::PixelAt(left, textprobe::Bottom + textprobe::GlyphHeight);
    const e2e::Point bottomRight = e2e::PixelAt(left + textprobe::GlyphWidth, textprobe::Bottom);
    return {topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

// Pixels of the cell brighter than the level.
int CountAbove(const xsession::Screenshot& shot, Cell cell, int level) {
    const int width = cell.right - cell.left, height = cell.bottom - cell.top;
    const double share = e2e::LitShare(shot, {cell.left, cell.top, width, height}, level);
    return static_cast<int>(std::lround(share * width * height));
}

bool TextShown(const xsession::Screenshot& shot) {
    return shot.width == WindowWidth && shot.height == WindowHeight &&
           CountAbove(shot, GlyphCell(0), InkLevel) > 0;
}

using FontOnScreen = e2e::RealGame;

TEST_F(FontOnScreen, EveryCharacterOfALatinAndCyrillicLineIsInkedAndSpacesStayBlank) {
    StartDisplay();
    if (Started()) {
        StartGame(LUMENVALE_TEXT_PROBE, textprobe::Title);
    }
    if (!Started()) {
        return;
    }

    xsession::Screenshot shot;
    session.WaitForScreen(TextShown, 10000, &shot);
    std::string saved = shot.Save(std::string(LUMENVALE_BUILD_DIR) + "/font_screen");
    ASSERT_EQ(shot.width, WindowWidth);
    ASSERT_EQ(shot.height, WindowHeight);
    SCOPED_TRACE("screenshot: " + saved);

    const int length = static_cast<int>(std::strlen(textprobe::Text));
    for (int k = 0; k < length; ++k) {
        Cell cell = GlyphCell(k);
        unsigned char byte = static_cast<unsigned char>(textprobe::Text[k]);
        SCOPED_TRACE("character " + std::to_string(k) + ", byte " + std::to_string(byte));
        if (byte == ' ') {
            const Cell inside{cell.left + 1, cell.top + 1, cell.right - 1, cell.bottom - 1};
            EXPECT_EQ(CountAbove(shot, inside, BlankLevel), 0);
        } else {
            // A glyph, not a solid block: blending must cut the quad to the glyph's shape.
            int inked = CountAbove(shot, cell, InkLevel);
            EXPECT_GT(inked, 0);
            EXPECT_LT(inked, (cell.right - cell.left) * (cell.bottom - cell.top) * 6 / 10);
        }
    }

    // Right way up: the "L" has its foot at the bottom right, not at the top right.
    Cell l = GlyphCell(0);
    int middleX = (l.left + l.right) / 2;
    int middleY = (l.top + l.bottom) / 2;
    int footInk = CountAbove(shot, {middleX, middleY, l.right, l.bottom}, InkLevel);
    int headInk = CountAbove(shot, {middleX, l.top, l.right, middleY}, InkLevel);
    EXPECT_GT(footInk, 4 * std::max(headInk, 1));

    // Nothing above or below the line.
    const int right = GlyphCell(length - 1).right;
    EXPECT_EQ(CountAbove(shot, {l.left, l.top - 40, right, l.top - 2}, BlankLevel), 0);
    EXPECT_EQ(CountAbove(shot, {l.left, l.bottom + 2, right, l.bottom + 40}, BlankLevel), 0);
    ExpectEndsOnClose();
}

}  // namespace
