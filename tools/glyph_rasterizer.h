// Anti-aliased glyph rendering from outline font files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumenvale::assets {

// Grey coverage of one glyph. (left, top) place the bitmap relative to the pen position
// on the baseline; top grows upwards.
struct GlyphBitmap {
    int width = 0;
    int rows = 0;
    int left = 0;
    int top = 0;
    float advance = 0.0f;  // horizontal pen advance in pixels
    std::vector<std::uint8_t> coverage;

    bool hasInk() const;
    std::uint8_t at(int x, int y) const {
        return coverage[static_cast<std::size_t>(y) * width + x];
    }
};

class GlyphRasterizer {
public:
    GlyphRasterizer();
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    // Opens a font file; on failure returns false and describes why in *error.
    bool open(const std::string& path, std::string* error);
    void setPixelSize(int pixels);
    bool hasGlyph(char32_t character) const;
    // Renders a character, optionally stretched (scale < 1 narrows or flattens it).
    // Characters the font lacks come back empty.
    GlyphBitmap render(char32_t character, float scaleX = 1.0f, float scaleY = 1.0f) const;

private:
    struct Handles;
    Handles* handles_;
};

}  // namespace lumenvale::assets
