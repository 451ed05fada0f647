#include "glyph_rasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>

namespace lumenvale::assets {

struct GlyphRasterizer::Handles {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

bool GlyphBitmap::hasInk() const {
    for (std::uint8_t c : coverage) {
        if (c != 0) {
            return true;
        }
    }
    return false;
}

GlyphRasterizer::GlyphRasterizer() : handles_(new Handles) {}

GlyphRasterizer::~GlyphRasterizer() {
    if (handles_->face != nullptr) {
        FT_Done_Face(handles_->face);
    }
    if (handles_->library != nullptr) {
        FT_Done_FreeType(handles_->library);
    }
    delete handles_;
}

bool GlyphRasterizer::open(const std::string& path, std::string* error) {
    if (handles_->library == nullptr && FT_Init_FreeType(&handles_->library) != 0) {
        *error = "cannot start the font rasteriser";
        return false;
    }
    if (handles_->face != nullptr) {
        FT_Done_Face(handles_->face);
        handles_->face = nullptr;
    }
    if (FT_New_Face(handles_->library, path.c_str(), 0, &handles_->face) != 0) {
        *error = "cannot open font file " + path;
        return false;
    }
    if (FT_Select_Charmap(handles_->face, FT_ENCODING_UNICODE) != 0) {
        *error = "font has no Unicode character map: " + path;
        return false;
    }
    return true;
}

void GlyphRasterizer::setPixelSize(int pixels) {
    FT_Set_Pixel_Sizes(handles_->face, 0, static_cast<FT_UInt>(pixels));
}

bool GlyphRasterizer::hasGlyph(char32_t character) const {
    return FT_Get_Char_Index(handles_->face, character) != 0;
}

GlyphBitmap GlyphRasterizer::render(char32_t character, float scaleX, float scaleY) const {
    GlyphBitmap glyph;
    const FT_UInt index = FT_Get_Char_Index(handles_->face, character);
    if (index == 0) {
        return glyph;
    }
    FT_Matrix matrix;
    matrix.xx = static_cast<FT_Fixed>(std::lround(scaleX * 65536.0f));
    matrix.xy = 0;
    matrix.yx = 0;
    matrix.yy = static_cast<FT_Fixed>(std::lround(scaleY * 65536.0f));
    FT_Set_Transform(handles_->face, &matrix, nullptr);
    // Light hinting snaps heights to whole pixels (crisp baselines and x-heights) while
    // leaving horizontal shapes alone.
    const bool loaded = FT_Load_Glyph(handles_->face, index, FT_LOAD_TARGET_LIGHT) == 0 &&
                        FT_Render_Glyph(handles_->face->glyph, FT_RENDER_MODE_NORMAL) == 0;
    FT_Set_Transform(handles_->face, nullptr, nullptr);
    if (!loaded) {
        return glyph;
    }
    const FT_GlyphSlot slot = handles_->face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.rows = static_cast<int>(bitmap.rows);
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.advance = static_cast<float>(slot->advance.x) / 64.0f;
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.rows);
    for (int y = 0; y < glyph.rows; ++y) {
        const unsigned char* row = bitmap.buffer + static_cast<std::ptrdiff_t>(y) * bitmap.pitch;
        for (int x = 0; x < glyph.width; ++x) {
            glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] = row[x];
        }
    }
    return glyph;
}

}  // namespace lumenvale::assets
