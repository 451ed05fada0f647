// Writes pictures as PNG files: 8-bit RGBA, each row filtered the way that suits it best,
// compressed by our own small deflate so that the same picture always gives the same bytes,
// whatever compression library a machine has.
#pragma once

#include <cstdint>
#include <vector>

#include "canvas.h"

namespace lumenvale::assets {

std::vector<std::uint8_t> encodePng(const Image8& image);

// The parts of the encoder, for its tests.
std::vector<std::uint8_t> deflateFixed(const std::vector<std::uint8_t>& data);
std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t adler32(const std::vector<std::uint8_t>& data);

}  // namespace lumenvale::assets
