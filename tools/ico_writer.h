// Writes a Windows icon file holding one picture per size: the small ones as 32-bit bitmaps
// with their transparency mask, which every version of Windows reads, the large ones as PNG,
// which Windows reads from Vista on and which keeps the file small.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace lumenvale::assets {

// Pictures this wide and wider are stored as PNG.
constexpr int kIcoPngFromSize = 128;

// Square pictures of 1 to 256 pixels, each size once, in the order given.
std::vector<std::uint8_t> encodeIco(const std::vector<Image8>& pictures);

}  // namespace lumenvale::assets
