// Checks for the icon writer: the PNG and icon files read back, through the system's libpng
// and zlib, to the very pixels drawn, and the icon shows the four lit lamps it is meant to.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ico_writer.h"
#include "icons.h"
#include "png_writer.h"

using namespace lumenvale::assets;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t little32(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint32_t little16(const Bytes& b, std::size_t at) {
    return b[at] | b[at + 1] << 8;
}

bool inflateZlib(const Bytes& compressed, std::size_t expectedSize, Bytes* out) {
    out->assign(expectedSize + 1, 0);
    uLongf size = static_cast<uLongf>(out->size());
    if (uncompress(out->data(), &size, compressed.data(), compressed.size()) != Z_OK) {
        return false;
    }
    out->resize(size);
    return size == expectedSize;
}

// Reads an 8-bit RGBA PNG with libpng, which checks every chunk; an empty image on any fault.
Image8 decodePng(const Bytes& png) {
    png_image header{};
    header.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&header, png.data(), png.size())) {
        return {};
    }
    if (header.format != PNG_FORMAT_RGBA) {
        png_image_free(&header);
        return {};
    }
    Image8 image(static_cast<int>(header.width), static_cast<int>(header.height));
    if (!png_image_finish_read(&header, nullptr, image.rgba.data(), 0, nullptr)) {
        return {};
    }
    return image;
}

// Reads an icon bitmap back: BGRA bottom-up, then the mask.
Image8 decodeIconBitmap(const Bytes& ico, std::size_t at, bool* maskMatchesAlpha) {
    const int width = static_cast<int>(little32(ico, at + 4));
    const int height = static_cast<int>(little32(ico, at + 8)) / 2;
    Image8 image(width, height);
    const std::size_t pixels = at + 40;
    const std::size_t mask = pixels + static_cast<std::size_t>(width) * height * 4;
    const std::size_t maskStride = (width + 31) / 32 * 4;
    *maskMatchesAlpha = true;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* p = &ico[pixels + (static_cast<std::size_t>(row) * width + x) * 4];
            std::uint8_t* out = image.pixel(x, height - 1 - row);
            out[0] = p[2];
            out[1] = p[1];
            out[2] = p[0];
            out[3] = p[3];
            const bool masked = ico[mask + row * maskStride + x / 8] & (0x80 >> (x % 8));
            *maskMatchesAlpha = *maskMatchesAlpha && masked == (p[3] == 0);
        }
    }
    return image;
}

bool samePixels(const Image8& a, const Image8& b) {
    return a.width == b.width && a.height == b.height && a.rgba == b.rgba;
}

// A picture with every kind of row: flat, noisy, gradients, transparent, long repeats.
Image8 testPattern() {
    Image8 image(37, 23);
    std::uint32_t seed = 12345;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            seed = seed * 1103515245u + 12345u;
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(y < 8 ? 200 : (y < 16 ? x * 7 : seed >> 24));
            p[1] = static_cast<std::uint8_t>(y * 11);
            p[2] = static_cast<std::uint8_t>(x * y);
            p[3] = static_cast<std::uint8_t>(y % 5 == 0 ? 0 : 255 - x);
        }
    }
    return image;
}

void testDeflateReadsBack() {
    // Empty input, no repeats, a run longer than one match, repeats far back in the window.
    std::vector<Bytes> inputs = {{}, {1, 2, 3, 4, 5}, Bytes(1000, 7)};
    Bytes far;
    for (int i = 0; i < 40000; ++i) {
        far.push_back(static_cast<std::uint8_t>((i % 30011) * 31 % 251));
    }
    inputs.push_back(far);
    for (const Bytes& input : inputs) {
        Bytes stream = {0x78, 0x01};
        const Bytes body = deflateFixed(input);
        stream.insert(stream.end(), body.begin(), body.end());
        for (int shift = 24; shift >= 0; shift -= 8) {
            stream.push_back(static_cast<std::uint8_t>(adler32(input) >> shift));
        }
        Bytes back;
        EXPECT_TRUE(inflateZlib(stream, input.size(), &back) && back == input);
    }
    EXPECT_TRUE(deflateFixed(Bytes(1000, 7)).size() < 30);
}

void testPngReadsBack() {
    const Image8 pattern = testPattern();
    EXPECT_TRUE(samePixels(decodePng(encodePng(pattern)), pattern));
    const Image8 icon = makeIcon(64);
    EXPECT_TRUE(samePixels(decodePng(encodePng(icon)), icon));
}

void testIcoHoldsEverySize() {
    std::vector<Image8> pictures;
    for (int size : kWindowsIconSizes) {
        pictures.push_back(makeIcon(size));
    }
    const Bytes ico = encodeIco(pictures);
    EXPECT_TRUE(little16(ico, 0) == 0 && little16(ico, 2) == 1);
    EXPECT_TRUE(little16(ico, 4) == pictures.size());
    std::size_t expectedOffset = 6 + 16 * pictures.size();
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int size = pictures[i].width;
        EXPECT_TRUE(ico[entry] == (size & 0xff) && ico[entry + 1] == (size & 0xff));
        EXPECT_TRUE(little16(ico, entry + 6) == 32);
        const std::size_t length = little32(ico, entry + 8);
        const std::size_t offset = little32(ico, entry + 12);
        EXPECT_TRUE(offset == expectedOffset);
        expectedOffset += length;
        if (offset + length > ico.size()) {
            EXPECT_TRUE(offset + length <= ico.size());
            return;
        }
        const Bytes image(ico.begin() + offset, ico.begin() + offset + length);
        if (size >= kIcoPngFromSize) {
            EXPECT_TRUE(samePixels(decodePng(image), pictures[i]));
        } else {
            bool maskMatchesAlpha = false;
            EXPECT_TRUE(samePixels(decodeIconBitmap(ico, offset, &maskMatchesAlpha), pictures[i]));
            EXPECT_TRUE(maskMatchesAlpha);
            EXPECT_TRUE(length == static_cast<std::size_t>(40 + size * size * 4 +
                                                           (size + 31) / 32 * 4 * size));
        }
    }
    EXPECT_TRUE(expectedOffset == ico.size());
}

// Transparent corners (where there is room); in each quarter a lit lamp of its colour
// (green, red / blue, green).
void testIconShowsFourLitLamps() {
    for (int size : {16, 48, 256}) {
        const Image8 icon = makeIcon(size);
        EXPECT_TRUE(icon.width == size && icon.height == size);
        if (size >= 48) {
            EXPECT_TRUE(icon.pixel(0, 0)[3] == 0 && icon.pixel(size - 1, size - 1)[3] == 0);
        }
        const int expectedChannel[4] = {1, 0, 2, 1};
        for (int quarter = 0; quarter < 4; ++quarter) {
            const std::uint8_t* p =
                icon.pixel((quarter % 2 * 2 + 1) * size / 4, (quarter / 2 * 2 + 1) * size / 4);
            const int channel = static_cast<int>(std::max_element(p, p + 3) - p);
            EXPECT_TRUE(channel == expectedChannel[quarter]);
            EXPECT_TRUE(p[channel] > 160 && p[3] == 255);
        }
    }
    EXPECT_TRUE(samePixels(makeIcon(48), makeIcon(48)));
}

TEST(IconWriter, DeflatesStreamsZlibReadsBack) {
    testDeflateReadsBack();
}
TEST(IconWriter, WritesPngFilesLibpngReadsBack) {
    testPngReadsBack();
}
TEST(IconWriter, WritesAnIconFileWithEverySize) {
    testIcoHoldsEverySize();
}
TEST(IconWriter, DrawsFourLitLamps) {
    testIconShowsFourLitLamps();
}

}  // namespace
