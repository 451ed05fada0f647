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
// Text quads are narrower than tall on screen (a 32 x 32 cell becomes 22.4 x 25.6 pixels
// on buttons), so glyphs are drawn wider than the font's natural shape to compensate.
constexpr float kWidening = 1.15f;

struct VerticalFit {
    int pixelSize = 0;
    int ascent = 0;  // rows above the baseline used by the tallest glyph
};

// Largest font size at which every glyph, from accented capitals to descenders,
// fits between the cell's top and bottom margins on one shared baseline.
VerticalFit fitFontSize(GlyphRasterizer& font) {
    for (int size = atlas::kCellSize; size > 4; --size) {
        font.setPixelSize(size);
        int ascent = 0;
        int descent = 0;
        for (int cell = 0; cell < atlas::kCellCount; ++cell) {
            const char32_t character = atlas::characterOfCell(cell);
            if (character == 0) {
                continue;
            }
            const GlyphBitmap glyph = font.render(character);
            if (!glyph.hasInk()) {
                continue;
            }
            ascent = std::max(ascent, glyph.top);
            descent = std::max(descent, glyph.rows - glyph.top);
        }
        if (ascent + descent <= kInner) {
            return {size, ascent};
        }
    }
    return {4, 4};
}

// Renders a glyph, narrowing it if needed so it fits inside the cell's margins.
GlyphBitmap renderFitted(const GlyphRasterizer& font, char32_t character) {
    float widthScale = kWidening;
    GlyphBitmap glyph = font.render(character, widthScale, 1.0f);
    while (glyph.width > kInner && widthScale > 0.3f) {
        widthScale *= static_cast<float>(kInner) / static_cast<float>(glyph.width) * 0.995f;
        glyph = font.render(character, widthScale, 1.0f);
    }
    return glyph;
}

void drawCell(Image8& image, int cell, const GlyphBitmap& glyph, int baseline) {
    const int cellX = atlas::cellColumn(cell) * atlas::kCellSize;
    const int cellY = atlas::cellRow(cell) * atlas::kCellSize;
    const int left = cellX + (atlas::kCellSize - glyph.width) / 2;
    const int top = cellY + baseline - glyph.top;
    for (int y = 0; y < glyph.rows; ++y) {
        for (int x = 0; x < glyph.width; ++x) {
            const int px = left + x;
            const int py = top + y;
            // Clip to the cell interior so nothing can ever bleed into a neighbour.
            if (px < cellX + atlas::kMargin || px >= cellX + atlas::kCellSize - atlas::kMargin ||
                py < cellY + atlas::kMargin || py >= cellY + atlas::kCellSize - atlas::kMargin) {
                continue;
            }
            image.pixel(px, py)[3] = glyph.at(x, y);
        }
    }
}

}  // namespace

Image8 makeFontAtlas(GlyphRasterizer& font) {
    Image8 image(atlas::kWidth, atlas::kHeight);
    // White everywhere, so filtering at glyph edges never darkens them.
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = image.rgba[i + 1] = image.rgba[i + 2] = 255;
    }
    const VerticalFit fit = fitFontSize(font);
    font.setPixelSize(fit.pixelSize);
    const int baseline = atlas::kMargin + fit.ascent;
    for (int cell = 0; cell < atlas::kCellCount; ++cell) {
        const char32_t character = atlas::characterOfCell(cell);
        if (character != 0) {
            drawCell(image, cell, renderFitted(font, character), baseline);
        }
    }
    return image;
}

}  // namespace lumenvale::assets
