// The full set of pictures the game loads at start-up, encoded and ready to write.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyph_rasterizer.h"

namespace lumenvale::assets {

struct EncodedPicture {
    std::string fileName;
    std::vector<std::uint8_t> bytes;
};

std::vector<EncodedPicture> makeAllPictures(GlyphRasterizer& font);

}  // namespace lumenvale::assets
