// Layout of the game's glyph atlas: 17 x 14 equal cells, cell n showing the glyph for
// text byte (n + 33) mod 256, cell 0 at the top-left of the picture as displayed.
#pragma once

#include <cstdint>

#include "canvas.h"
#include "glyph_rasterizer.h"

namespace lumenvale::assets {

namespace atlas {

constexpr int kColumns = 17;
constexpr int kRows = 14;
constexpr int kCellCount = kColumns * kRows;  // 238
constexpr int kCellSize = 32;
constexpr int kMargin = 1;  // pixels kept clear on every side of a cell
constexpr int kWidth = kColumns * kCellSize;
constexpr int kHeight = kRows * kCellSize;

constexpr int cellColumn(int cell) {
    return cell % kColumns;
}
constexpr int cellRow(int cell) {
    return cell / kColumns;
}
constexpr std::uint8_t codeOfCell(int cell) {
    return static_cast<std::uint8_t>((cell + 33) % 256);
}
constexpr int cellOfCode(std::uint8_t code) {
    return (code + 256 - 33) % 256;
}

// The character a cell shows, or 0 for cells that must stay blank (control codes, the
// unassigned byte, and the no-break space the game uses to draw spaces).
char32_t characterOfCell(int cell);

}  // namespace atlas

// Renders every cell with the given font: white glyphs, coverage in alpha.
Image8 makeFontAtlas(GlyphRasterizer& font);

}  // namespace lumenvale::assets
