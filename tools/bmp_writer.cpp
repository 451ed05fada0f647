#include "bmp_writer.h"

#include <fstream>

namespace lumenvale::assets {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Image8& image, BmpDepth depth) {
    const std::uint32_t bytesPerPixel = static_cast<std::uint32_t>(depth) / 8;
    const std::uint32_t width = static_cast<std::uint32_t>(image.width);
    const std::uint32_t height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t stride = (width * bytesPerPixel + 3) / 4 * 4;
    const std::uint32_t imageSize = stride * height;

    std::vector<std::uint8_t> out;
    out.reserve(kBmpHeaderSize + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, kBmpHeaderSize + imageSize);
    put16(out, 0);
    put16(out, 0);
    put32(out, kBmpHeaderSize);

    put32(out, kInfoHeaderSize);
    put32(out, width);
    put32(out, height);  // positive: rows stored bottom-up
    put16(out, 1);
    put16(out, static_cast<std::uint32_t>(depth));
    put32(out, 0);  // uncompressed
    put32(out, imageSize);
    put32(out, kPixelsPerMetre);
    put32(out, kPixelsPerMetre);
    put32(out, 0);
    put32(out, 0);
    static_assert(kFileHeaderSize + kInfoHeaderSize == kBmpHeaderSize);

    for (int y = image.height - 1; y >= 0; --y) {
        const std::size_t rowStart = out.size();
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            out.push_back(p[2]);
            out.push_back(p[1]);
            out.push_back(p[0]);
            if (depth == BmpDepth::Bgra32) {
                out.push_back(p[3]);
            }
        }
        while (out.size() - rowStart < stride) {
            out.push_back(0);
        }
    }
    return out;
}

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

}  // namespace lumenvale::assets
