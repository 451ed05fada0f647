// Writes pictures as uncompressed BMP bitmaps: 14-byte file header, 40-byte info
// header, pixel rows bottom-up in BGR or BGRA order, each row padded to 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace lumenvale::assets {

enum class BmpDepth { Bgr24 = 24, Bgra32 = 32 };

constexpr std::uint32_t kBmpHeaderSize = 54;

std::vector<std::uint8_t> encodeBmp(const Image8& image, BmpDepth depth);
bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace lumenvale::assets
