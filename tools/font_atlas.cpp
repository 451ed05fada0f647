#include "font_atlas.h"

#include <algorithm>

#include "cp1251.h"

namespace lumenvale::assets {

namespace atlas {

char32_t characterOfCell(int cell) {
    const std::uint8_t code = codeOfCell(cell);
    if (code <= 32 || code == 127) {
        return 0;
    }
    const char32_t character = cp1251ToUnicode(code);
    return character == 0x00A0 ? 0 : character;
}

}  // namespace atlas

namespace {

constexpr int kInner = atlas::kCellSize - 2 * atlas::kMargin;
// Every character advances a whole cell, so glyphs must fill their cells for words to read as
// words: capitals stand from the top margin down to the baseline, 27 of the cell's 32 rows,
// which leaves three rows for descenders.
constexpr int kRoomAbove = 27;
constexpr int kBaseline = atlas::kMargin + kRoomAbove;  // first row below the baseline
constexpr int kRoomBelow = atlas::kCellSize - atlas::kMargin - kBaseline;
// Text quads are narrower than tall on screen (a 32 x 32 cell becomes 22.4 x 25.6 pixels
// on buttons), so glyphs are drawn wider than the font's natural shape to compensate.
constexpr float kWidening = 1.15f;

// Largest font size whose capitals fit the rows above the baseline.
int fitFontSize(GlyphRasterizer& font) {
    for (int size = 4 * atlas::kCellSize; size > 4; --size) {
        font.setPixelSize(size);
        const GlyphBitmap capital = font.render(U'H');
        if (capital.top <= kRoomAbove) {
            return size;
        }
    }
    return 4;
}

// A glyph as drawn into its cell: the part above the baseline from `upper`, the part below from
// `lower`. Both share the pen position, so their columns line up.
struct CellGlyph {
    GlyphBitmap upper;
    GlyphBitmap lower;
};

float squeezeToFit(int extent, int room) {
    return extent > room ? static_cast<float>(room) / static_cast<float>(extent) : 1.0f;
}

// Renders a glyph at the atlas size, narrowed if needed to fit between the side margins. What
// rises above the capitals (accents over capitals, tall ascenders) is squeezed down to their
// height, and descenders are squeezed into the rows below the baseline, so every glyph keeps
// the shared baseline and its body keeps the size of its neighbours.
CellGlyph renderForCell(const GlyphRasterizer& font, char32_t character) {
    float widthScale = kWidening;
    GlyphBitmap glyph = font.render(character, widthScale, 1.0f);
    while (glyph.width > kInner && widthScale > 0.3f) {
        widthScale *= static_cast<float>(kInner) / static_cast<float>(glyph.width) * 0.995f;
        glyph = font.render(character, widthScale, 1.0f);
    }
    const float up = squeezeToFit(glyph.top, kRoomAbove);
    const float down = squeezeToFit(glyph.rows - glyph.top, kRoomBelow);
    CellGlyph cellGlyph{glyph, glyph};
    if (up < 1.0f) {
        cellGlyph.upper = font.render(character, widthScale, up);
    }
    if (down < 1.0f) {
        cellGlyph.lower = font.render(character, widthScale, down);
    }
    return cellGlyph;
}

// Copies the rows of `glyph` that lie above the baseline (or below it) into the cell.
void drawRows(Image8& image, int cell, const GlyphBitmap& glyph, int penX, bool aboveBaseline) {
    const int cellX = atlas::cellColumn(cell) * atlas::kCellSize;
    const int cellY = atlas::cellRow(cell) * atlas::kCellSize;
    for (int y = 0; y < glyph.rows; ++y) {
        if ((y < glyph.top) != aboveBaseline) {
            continue;
        }
        for (int x = 0; x < glyph.width; ++x) {
            const int px = penX + glyph.left + x;
            const int py = kBaseline - glyph.top + y;
            // Clip to the cell interior so nothing can ever bleed into a neighbour.
            if (px < atlas::kMargin || px >= atlas::kCellSize - atlas::kMargin ||
                py < atlas::kMargin || py >= atlas::kCellSize - atlas::kMargin) {
                continue;
            }
            image.pixel(cellX + px, cellY + py)[3] = glyph.at(x, y);
        }
    }
}

void drawCell(Image8& image, int cell, const CellGlyph& glyph) {
    // Centred on the cell as a whole glyph.
    const GlyphBitmap& whole = glyph.upper.width >= glyph.lower.width ? glyph.upper : glyph.lower;
    const int penX = (atlas::kCellSize - whole.width) / 2 - whole.left;
    drawRows(image, cell, glyph.upper, penX, true);
    drawRows(image, cell, glyph.lower, penX, false);
}

}  // namespace

Image8 makeFontAtlas(GlyphRasterizer& font) {
    Image8 image(atlas::kWidth, atlas::kHeight);
    // White everywhere, so filtering at glyph edges never darkens them.
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = image.rgba[i + 1] = image.rgba[i + 2] = 255;
    }
    font.setPixelSize(fitFontSize(font));
    for (int cell = 0; cell < atlas::kCellCount; ++cell) {
        const char32_t character = atlas::characterOfCell(cell);
        if (character != 0) {
            drawCell(image, cell, renderForCell(font, character));
        }
    }
    return image;
}

}  // namespace lumenvale::assets
