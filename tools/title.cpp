// The title banner: the game's name in bevelled gold with a dark outline and warm glow.
#include <algorithm>
#include <cmath>
#include <vector>

#include "pictures.h"

namespace lumenvale::assets {

namespace {

const char32_t kTitleText[] = U"LUMENVALE";
// The banner is shown 1024 x 102 on screen, so letters are drawn 1.25 times taller
// here to come out with their natural proportions.
constexpr float kTallness = 1.25f;
constexpr int kTextHeight = 86;
constexpr int kTextWidth = 940;
constexpr float kTracking = 0.14f;  // extra letter spacing, in ems

struct TextBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct PlacedGlyph {
    GlyphBitmap bitmap;
    float penX = 0.0f;
};

struct TitleLine {
    std::vector<PlacedGlyph> glyphs;
    TextBox box;  // ink extent relative to pen start on the baseline (y down)
};

TitleLine layoutLine(const GlyphRasterizer& font, int pixelSize) {
    TitleLine line;
    line.box = {1 << 20, 1 << 20, -(1 << 20), -(1 << 20)};
    float pen = 0.0f;
    for (const char32_t* c = kTitleText; *c != 0; ++c) {
        PlacedGlyph placed{font.render(*c, 1.0f, kTallness), pen};
        const GlyphBitmap& g = placed.bitmap;
        const int x0 = static_cast<int>(std::lround(pen)) + g.left;
        line.box.left = std::min(line.box.left, x0);
        line.box.right = std::max(line.box.right, x0 + g.width);
        line.box.top = std::min(line.box.top, -g.top);
        line.box.bottom = std::max(line.box.bottom, g.rows - g.top);
        pen += g.advance + kTracking * static_cast<float>(pixelSize);
        line.glyphs.push_back(std::move(placed));
    }
    return line;
}

// Largest type that fits the banner, drawn as a coverage mask centred in the picture.
Coverage titleMask(GlyphRasterizer& font, TextBox* placedBox) {
    TitleLine line;
    for (int size = kTextHeight * 2; size > 8; --size) {
        font.setPixelSize(size);
        line = layoutLine(font, size);
        if (line.box.height() <= kTextHeight && line.box.width() <= kTextWidth) {
            break;
        }
    }
    const int offsetX = (kTitleWidth - line.box.width()) / 2 - line.box.left;
    const int offsetY = (kTitleHeight - line.box.height()) / 2 - line.box.top;
    Coverage mask(kTitleWidth, kTitleHeight);
    for (const PlacedGlyph& placed : line.glyphs) {
        const GlyphBitmap& g = placed.bitmap;
        const int left = offsetX + static_cast<int>(std::lround(placed.penX)) + g.left;
        const int top = offsetY - g.top;
        for (int y = 0; y < g.rows; ++y) {
            for (int x = 0; x < g.width; ++x) {
                float& m = mask.at(left + x, top + y);
                m = std::max(m, static_cast<float>(g.at(x, y)) / 255.0f);
            }
        }
    }
    *placedBox = {line.box.left + offsetX, line.box.top + offsetY, line.box.right + offsetX,
                  line.box.bottom + offsetY};
    return mask;
}

// Polished gold: light above a sharp horizon in the middle of the letters, dark below
// it brightening again towards the foot.
Colour goldAt(float t) {
    const Colour highlight{1.0f, 0.98f, 0.88f};
    const Colour gold{1.0f, 0.80f, 0.34f};
    const Colour shadow{0.74f, 0.38f, 0.06f};
    const Colour foot{1.0f, 0.74f, 0.28f};
    if (t < 0.52f) {
        return mix(highlight, gold, smoothstep(0.0f, 0.52f, t));
    }
    return mix(shadow, foot, smoothstep(0.52f, 1.0f, t));
}

float borderFade(int x, int y) {
    const int edge = std::min(std::min(x, kTitleWidth - 1 - x), std::min(y, kTitleHeight - 1 - y));
    return smoothstep(0.0f, 8.0f, static_cast<float>(edge));
}

}  // namespace

Canvas makeTitle(GlyphRasterizer& font) {
    TextBox box;
    const Coverage letters = titleMask(font, &box);
    const Coverage outline = dilate(letters, 2.5f);
    const Coverage glow = gaussianBlur(dilate(letters, 3.0f), 7.0f);
    const Coverage relief = gaussianBlur(letters, 1.5f);
    const Colour glowColour{1.0f, 0.55f, 0.12f};
    const Colour outlineColour{0.16f, 0.07f, 0.02f};

    Canvas canvas(kTitleWidth, kTitleHeight);
    for (int y = 0; y < kTitleHeight; ++y) {
        for (int x = 0; x < kTitleWidth; ++x) {
            canvas.blend(x, y, glowColour, 0.8f * glow.at(x, y) * borderFade(x, y));
            canvas.blend(x, y, outlineColour, 0.95f * outline.at(x, y));
            if (letters.at(x, y) <= 0.0f) {
                continue;
            }
            const float t = (static_cast<float>(y) + 0.5f - static_cast<float>(box.top)) /
                            static_cast<float>(box.height());
            // Bevel: edges facing up and left catch the light, the others fall into shade.
            const float slopeY = relief.sample(x, y + 1) - relief.sample(x, y - 1);
            const float slopeX = relief.sample(x + 1, y) - relief.sample(x - 1, y);
            const float bevel = 0.9f * slopeY + 0.4f * slopeX;
            Colour fill = goldAt(clamp01(t));
            fill = bevel > 0.0f ? mix(fill, kWhite, clamp01(bevel))
                                : scale(fill, 1.0f + std::max(-0.6f, bevel));
            canvas.blend(x, y, fill, letters.at(x, y));
        }
    }
    return canvas;
}

}  // namespace lumenvale::assets
