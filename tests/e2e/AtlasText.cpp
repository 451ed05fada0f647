#include "tests/e2e/AtlasText.h"

#include <algorithm>
#include <cmath>

#include "resources/BmpImage.h"

namespace e2e {
namespace {

constexpr int AtlasColumns = 17, AtlasRows = 14;
constexpr int SpaceCell = 127;

}  // namespace

bool GlyphAtlas::Load(const std::string& path) {
    // The atlas as the game reads it: rows bottom-up, blue-green-red, padded to four bytes.
    BmpImage bmp;
    if (!bmp.Load(path.c_str()) || bmp.width <= 0 || bmp.height <= 0 || bmp.bytesPerPixel < 3) {
        return false;
    }
    const size_t stride = (size_t(bmp.width) * bmp.bytesPerPixel + 3) & ~size_t(3);
    if (size_t(bmp.pixelDataSize) < stride * bmp.height) {
        return false;
    }
    width = bmp.width;
    height = bmp.height;
    ink.assign(size_t(width) * height, 0.0f);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bmp.pixels + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint8_t* p = row + x * bmp.bytesPerPixel;
            double luma = (p[0] * 0.114 + p[1] * 0.587 + p[2] * 0.299) / 255.0;
            double alpha = bmp.bytesPerPixel == 4 ? p[3] / 255.0 : 1.0;
            ink[size_t(y) * width + x] = static_cast<float>(luma * alpha);
        }
    }
    return true;
}

double GlyphAtlas::Texel(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return ink[size_t(y) * width + x];
}

double GlyphAtlas::Ink(uint8_t byte, double u, double v) const {
    if (!Loaded()) {
        return 0;
    }
    const int cell = byte == ' ' ? SpaceCell : (byte - 33) & 0xFF;
    const int column = cell % AtlasColumns, row = cell / AtlasColumns;
    // Bilinear, as the atlas texture is filtered: texel centres lie at half pixels.
    double ax = (column + u) / AtlasColumns * width - 0.5;
    double ay = (row + 1 - v) / AtlasRows * height - 0.5;  // rows counted from the top
    int x0 = static_cast<int>(std::floor(ax)), y0 = static_cast<int>(std::floor(ay));
    double fx = ax - x0, fy = ay - y0;
    return (Texel(x0, y0) * (1 - fx) + Texel(x0 + 1, y0) * fx) * (1 - fy) +
           (Texel(x0, y0 + 1) * (1 - fx) + Texel(x0 + 1, y0 + 1) * fx) * fy;
}

double TextMatch(const Screenshot& shot, const GlyphAtlas& atlas, const std::string& text, double x,
                 double y, double glyphWidth, double glyphHeight) {
    if (text.empty() || !atlas.Loaded()) {
        return 0;
    }
    PixelBox box = ToPixels({x, y, x + glyphWidth * text.size(), y + glyphHeight});
    double sumInk = 0, sumScreen = 0, sumInk2 = 0, sumScreen2 = 0, sumBoth = 0;
    int count = 0;
    for (int py = box.y; py < box.y + box.height; ++py) {
        for (int px = box.x; px < box.x + box.width; ++px) {
            if (!shot.Contains(px, py)) {
                continue;
            }
            double gx = (px + 0.5) / 640.0 - 1.0, gy = 1.0 - (py + 0.5) / 512.0;
            double along = (gx - x) / glyphWidth;
            size_t index = std::min(text.size() - 1, static_cast<size_t>(std::max(0.0, along)));
            double u = along - index, v = (gy - y) / glyphHeight;
            double expected = atlas.Ink(static_cast<uint8_t>(text[index]), u, v);
            const uint8_t* p = shot.At(px, py);
            double seen = std::max({p[0], p[1], p[2]});
            sumInk += expected;
            sumScreen += seen;
            sumInk2 += expected * expected;
            sumScreen2 += seen * seen;
            sumBoth += expected * seen;
            ++count;
        }
    }
    if (count < 2) {
        return 0;
    }
    double covariance = sumBoth - sumInk * sumScreen / count;
    double inkSpread = sumInk2 - sumInk * sumInk / count;
    double screenSpread = sumScreen2 - sumScreen * sumScreen / count;
    if (inkSpread <= 0 || screenSpread <= 0) {
        return 0;
    }
    return covariance / std::sqrt(inkSpread * screenSpread);
}

double ButtonCaptionMatch(const Screenshot& shot, const GlyphAtlas& atlas, const GlRect& rect,
                          const std::string& text) {
    const float w = static_cast<float>(menu::ButtonGlyph.width);
    const float h = static_cast<float>(menu::ButtonGlyph.height);
    double x = (rect.x1 + rect.x2) / 2 - w * text.size() / 2.0;
    double y = (rect.y1 + rect.y2) / 2 - h / 2.0;
    return TextMatch(shot, atlas, text, x, y, w, h);
}

double AboutLineMatch(const Screenshot& shot, const GlyphAtlas& atlas, int index,
                      const std::string& text) {
    const GlRect& box = menu::AboutBox;
    const double w = menu::AboutGlyph.width, h = menu::AboutGlyph.height;
    double top = (box.y1 + box.y2) / 2 + menu::AboutLines * h / 2;
    double x = (box.x1 + box.x2) / 2 - w * text.size() / 2;
    return TextMatch(shot, atlas, text, x, top - index * h, w, h);
}

}  // namespace e2e
