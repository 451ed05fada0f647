#include "ico_writer.h"

#include "png_writer.h"

namespace lumenvale::assets {

namespace {

constexpr std::uint32_t kDirectorySize = 6;
constexpr std::uint32_t kEntrySize = 16;
constexpr std::uint32_t kInfoHeaderSize = 40;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xff));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xff));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xffff);
    put16(out, v >> 16);
}

// A bitmap as icons store it: the info header with twice the height (colour and mask),
// BGRA rows bottom-up, then the 1-bit mask, set where the picture is fully transparent.
std::vector<std::uint8_t> encodeIconBitmap(const Image8& image) {
    const std::uint32_t width = static_cast<std::uint32_t>(image.width);
    const std::uint32_t height = static_cast<std::uint32_t>(image.height);
    const std::uint32_t maskStride = (width + 31) / 32 * 4;
    std::vector<std::uint8_t> out;
    put32(out, kInfoHeaderSize);
    put32(out, width);
    put32(out, 2 * height);
    put16(out, 1);   // planes
    put16(out, 32);  // bits per pixel
    put32(out, 0);   // uncompressed
    put32(out, width * height * 4 + maskStride * height);
    for (int i = 0; i < 4; ++i) {
        put32(out, 0);  // resolution and palette: unused
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint8_t* p = image.pixel(x, y);
            out.insert(out.end(), {p[2], p[1], p[0], p[3]});
        }
    }
    for (int y = image.height - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(maskStride, 0);
        for (int x = 0; x < image.width; ++x) {
            if (image.pixel(x, y)[3] == 0) {
                row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodeIco(const std::vector<Image8>& pictures) {
    std::vector<std::vector<std::uint8_t>> images;
    for (const Image8& picture : pictures) {
        images.push_back(picture.width >= kIcoPngFromSize ? encodePng(picture)
                                                          : encodeIconBitmap(picture));
    }
    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // an icon, not a cursor
    put16(out, static_cast<std::uint32_t>(pictures.size()));
    std::uint32_t offset = kDirectorySize + kEntrySize * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        // 256 does not fit the byte: 0 stands for it.
        const std::uint8_t side = static_cast<std::uint8_t>(pictures[i].width & 0xff);
        out.insert(out.end(), {side, side, 0, 0});  // width, height, no palette, reserved
        put16(out, 1);                              // planes
        put16(out, 32);                             // bits per pixel
        put32(out, static_cast<std::uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::vector<std::uint8_t>& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

}  // namespace lumenvale::assets
