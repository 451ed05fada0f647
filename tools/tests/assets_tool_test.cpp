// Checks for the picture generator: file format, code page, atlas layout and the
// properties the game (and anyone reading a screenshot) relies on. The title and the picture
// set are drawn with the font the generator uses (LUMENVALE_ASSETS_FONT).
#include <gtest/gtest.h>
#include <iconv.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <sstream>
#include <vector>

#include "asset_set.h"
#include "bmp_writer.h"
#include "cp1251.h"
#include "font_atlas.h"
#include "pictures.h"

using namespace lumenvale::assets;

namespace {

using Codes = std::initializer_list<std::uint8_t>;

std::uint32_t read32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

std::uint32_t read16(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

// Reads a bitmap back the way the game does: header fields, then pixels from byte 54.
Image8 decodeBmp(const std::vector<std::uint8_t>& bytes) {
    const int width = static_cast<int>(read32(bytes, 18));
    const int height = static_cast<int>(read32(bytes, 22));
    const int channels = static_cast<int>(read16(bytes, 28)) / 8;
    const size_t stride = (static_cast<size_t>(width) * channels + 3) / 4 * 4;
    Image8 image(width, height);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = &bytes[kBmpHeaderSize + stride * row];
        for (int x = 0; x < width; ++x) {
            std::uint8_t* out = image.pixel(x, height - 1 - row);
            out[0] = in[x * channels + 2];
            out[1] = in[x * channels + 1];
            out[2] = in[x * channels];
            out[3] = channels == 4 ? in[x * channels + 3] : 255;
        }
    }
    return image;
}

int maxChannel(const std::uint8_t* p) {
    return std::max(p[0], std::max(p[1], p[2]));
}

int dominantChannel(const std::uint8_t* p) {
    return static_cast<int>(std::max_element(p, p + 3) - p);
}

int dominantChannel(const Colour& c) {
    const float channels[3] = {c.r, c.g, c.b};
    return static_cast<int>(std::max_element(channels, channels + 3) - channels);
}

bool borderIsTransparent(const Image8& image) {
    for (int x = 0; x < image.width; ++x) {
        if (image.pixel(x, 0)[3] != 0 || image.pixel(x, image.height - 1)[3] != 0) {
            return false;
        }
    }
    for (int y = 0; y < image.height; ++y) {
        if (image.pixel(0, y)[3] != 0 || image.pixel(image.width - 1, y)[3] != 0) {
            return false;
        }
    }
    return true;
}

// Visits the square of pixels within `reach` of the picture's centre.
template <typename Visit>
void forCentre(const Image8& image, int reach, Visit visit) {
    for (int y = image.height / 2 - reach; y < image.height / 2 + reach; ++y) {
        for (int x = image.width / 2 - reach; x < image.width / 2 + reach; ++x) {
            visit(image.pixel(x, y));
        }
    }
}

void testBmpLayout() {
    Image8 image(3, 2);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            std::uint8_t* p = image.pixel(x, y);
            p[0] = static_cast<std::uint8_t>(10 * x + y);
            p[1] = 100;
            p[2] = 200;
            p[3] = static_cast<std::uint8_t>(50 + x);
        }
    }
    const std::vector<std::uint8_t> rgb = encodeBmp(image, BmpDepth::Bgr24);
    EXPECT_TRUE(rgb.size() == 54 + 2 * 12);  // 9 bytes of pixels padded to 12 per row
    EXPECT_TRUE(rgb[0] == 'B' && rgb[1] == 'M');
    EXPECT_TRUE(read32(rgb, 2) == rgb.size());
    EXPECT_TRUE(read32(rgb, 6) == 0);
    EXPECT_TRUE(read32(rgb, 10) == 54);
    EXPECT_TRUE(read32(rgb, 14) == 40);
    EXPECT_TRUE(read32(rgb, 18) == 3 && read32(rgb, 22) == 2);
    EXPECT_TRUE(read16(rgb, 26) == 1 && read16(rgb, 28) == 24);
    EXPECT_TRUE(read32(rgb, 30) == 0 && read32(rgb, 34) == 24);
    EXPECT_TRUE(read32(rgb, 38) == 2835 && read32(rgb, 42) == 2835);
    EXPECT_TRUE(read32(rgb, 46) == 0 && read32(rgb, 50) == 0);
    // First stored row is the bottom row of the picture, blue byte first, zero padding.
    EXPECT_TRUE(rgb[54] == 200 && rgb[55] == 100 && rgb[56] == 1);
    EXPECT_TRUE(rgb[57 + 3 + 2] == 21);
    EXPECT_TRUE(rgb[63] == 0 && rgb[64] == 0 && rgb[65] == 0);
    EXPECT_TRUE(rgb[66 + 2] == 0);

    const std::vector<std::uint8_t> rgba = encodeBmp(image, BmpDepth::Bgra32);
    EXPECT_TRUE(rgba.size() == 54 + 2 * 12);
    EXPECT_TRUE(read16(rgba, 28) == 32);
    EXPECT_TRUE(rgba[54] == 200 && rgba[56] == 1 && rgba[57] == 50 && rgba[61] == 51);
    const Image8 back = decodeBmp(rgba);
    EXPECT_TRUE(back.rgba == image.rgba);
}

void testCodePageAgainstSystemTable() {
    iconv_t convert = iconv_open("UTF-32LE", "CP1251");
    EXPECT_TRUE(convert != reinterpret_cast<iconv_t>(-1));
    if (convert == reinterpret_cast<iconv_t>(-1)) {
        return;
    }
    for (int byte = 0; byte < 256; ++byte) {
        char in = static_cast<char>(byte);
        char out[4] = {};
        char* inPtr = &in;
        char* outPtr = out;
        size_t inLeft = 1;
        size_t outLeft = sizeof out;
        const bool known =
            iconv(convert, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
        std::uint32_t expected = 0;
        if (known) {
            std::memcpy(&expected, out, 4);
        }
        if (cp1251ToUnicode(static_cast<std::uint8_t>(byte)) != expected) {
            ADD_FAILURE() << "byte " << byte << ": got U+" << std::hex
                          << cp1251ToUnicode(static_cast<std::uint8_t>(byte))
                          << ", the system says U+" << expected;
        }
    }
    iconv_close(convert);
}

void testAtlasCellNumbering() {
    for (int cell = 0; cell < atlas::kCellCount; ++cell) {
        EXPECT_TRUE(atlas::cellOfCode(atlas::codeOfCell(cell)) == cell);
    }
    EXPECT_TRUE(atlas::codeOfCell(0) == '!' && atlas::codeOfCell(93) == '~');
    EXPECT_TRUE(atlas::cellColumn(atlas::cellOfCode('A')) == 15 &&
                atlas::cellRow(atlas::cellOfCode('A')) == 1);
    EXPECT_TRUE(atlas::cellOfCode(0xA0) == 127);
    EXPECT_TRUE(atlas::cellColumn(127) == 8 && atlas::cellRow(127) == 7);
    EXPECT_TRUE(atlas::cellOfCode(0) == 223 && atlas::cellOfCode(14) == 237);
    EXPECT_TRUE(atlas::characterOfCell(atlas::cellOfCode(0xC0)) == U'А');
    EXPECT_TRUE(atlas::characterOfCell(atlas::cellOfCode(0xB8)) == U'ё');
    for (const int code : {0, 14, 127, 0x98, 0xA0}) {
        EXPECT_TRUE(atlas::characterOfCell(atlas::cellOfCode(static_cast<std::uint8_t>(code))) ==
                    0);
    }
}

struct InkBox {
    int left = 1 << 20;
    int top = 1 << 20;
    int right = -1;  // exclusive
    int bottom = -1;
    bool empty() const { return right < 0; }
};

InkBox cellInk(const Image8& atlasImage, int cell, int margin) {
    InkBox box;
    const int x0 = atlas::cellColumn(cell) * atlas::kCellSize;
    const int y0 = atlas::cellRow(cell) * atlas::kCellSize;
    for (int y = margin; y < atlas::kCellSize - margin; ++y) {
        for (int x = margin; x < atlas::kCellSize - margin; ++x) {
            if (atlasImage.pixel(x0 + x, y0 + y)[3] != 0) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
        }
    }
    return box;
}

InkBox inkOf(const Image8& atlasImage, std::uint8_t code) {
    return cellInk(atlasImage, atlas::cellOfCode(code), 0);
}

void testFontAtlas(const std::vector<std::uint8_t>& bytes) {
    const Image8 image = decodeBmp(bytes);
    EXPECT_TRUE(image.width == 544 && image.height == 448);
    bool allWhite = true;
    for (size_t i = 0; i < image.rgba.size(); i += 4) {
        allWhite = allWhite && image.rgba[i] == 255 && image.rgba[i + 1] == 255 &&
                   image.rgba[i + 2] == 255;
    }
    EXPECT_TRUE(allWhite);

    for (int cell = 0; cell < atlas::kCellCount; ++cell) {
        const bool blank = atlas::characterOfCell(cell) == 0;
        const InkBox all = cellInk(image, cell, 0);
        const InkBox inner = cellInk(image, cell, atlas::kMargin);
        if (blank != all.empty() || all.left != inner.left || all.right != inner.right ||
            all.top != inner.top || all.bottom != inner.bottom) {
            ADD_FAILURE() << "cell " << cell << " (code " << atlas::codeOfCell(cell)
                          << "): wrong ink or ink in the margin";
        }
    }
    EXPECT_TRUE(inkOf(image, 0xA0).empty());

    // Every character advances a whole cell, so glyphs fill their cells: capitals over 85 to
    // 90 % of the height and most of the width, lower case in proportion.
    const InkBox capital = inkOf(image, 'H');
    for (const std::uint8_t code : Codes{'H', 'E', 0xC8 /* И */, 0xC6 /* Ж */, 0xDF /* Я */}) {
        const InkBox box = inkOf(image, code);
        EXPECT_TRUE(box.bottom - box.top >= 27 && box.bottom - box.top <= 29);
    }
    for (const std::uint8_t code : Codes{'H', 'O', 0xCD /* Н */, 0xC6 /* Ж */, 0xE6 /* ж */}) {
        const InkBox box = inkOf(image, code);
        EXPECT_TRUE(box.right - box.left >= atlas::kCellSize * 3 / 4);
    }
    for (const std::uint8_t code : Codes{'x', 'o', 0xEE /* о */, 0xE2 /* в */}) {
        const InkBox box = inkOf(image, code);
        const int height = box.bottom - box.top;
        EXPECT_TRUE(height * 10 >= (capital.bottom - capital.top) * 7 &&
                    height * 10 <= (capital.bottom - capital.top) * 9);
    }

    // Text lines up: flat-bottomed letters share a baseline, descenders go below it, and
    // accented capitals are squeezed to the capitals' height rather than cut off.
    const int baseline = capital.bottom;
    for (const std::uint8_t code :
         Codes{'E', 'x', 'z', '1', 0xCD /* Н */, 0xE6 /* ж */, 0xDF /* Я */}) {
        EXPECT_TRUE(inkOf(image, code).bottom == baseline);
    }
    for (const std::uint8_t code : Codes{'g', 'y', 'p', 0xF0 /* р */, 0xF3 /* у */, 0xC4 /* Д */}) {
        EXPECT_TRUE(inkOf(image, code).bottom > baseline + 2);
    }
    for (const std::uint8_t code : Codes{0xC9 /* Й */, 0xA8 /* Ё */}) {
        EXPECT_TRUE(inkOf(image, code).top == capital.top && inkOf(image, code).bottom == baseline);
    }
    for (const std::uint8_t code : Codes{'H', 'O', 'i', 0xC6 /* Ж */}) {
        const InkBox box = inkOf(image, code);
        EXPECT_TRUE(std::abs(box.left - (atlas::kCellSize - box.right)) <= 1);
    }
    // Row 0 of the atlas is the top of the picture: the last cell row holds only 'ю' and 'я'.
    EXPECT_TRUE(!inkOf(image, '!').empty());
    for (int column = 0; column < atlas::kColumns; ++column) {
        const bool hasInk = !cellInk(image, 13 * atlas::kColumns + column, 0).empty();
        EXPECT_TRUE(hasInk == (column < 2));
    }
}

void testLamps() {
    for (const LampColour colour : {LampColour::Green, LampColour::Red, LampColour::Blue}) {
        const Image8 lit = makeLamp(colour, true).toImage();
        const Image8 dark = makeLamp(colour, false).toImage();
        const int hue = dominantChannel(lampHue(colour));
        int litDimmest = 255;
        int darkBrightest = 0;
        bool hueKept = true;
        forCentre(lit, 10, [&](const std::uint8_t* p) {
            litDimmest = std::min(litDimmest, maxChannel(p));
            hueKept = hueKept && dominantChannel(p) == hue && p[3] == 255;
        });
        forCentre(dark, 10, [&](const std::uint8_t* p) {
            darkBrightest = std::max(darkBrightest, maxChannel(p));
            hueKept = hueKept && dominantChannel(p) == hue && p[3] == 255;
        });
        EXPECT_TRUE(litDimmest > 200);
        EXPECT_TRUE(darkBrightest < 110);
        EXPECT_TRUE(hueKept);
        EXPECT_TRUE(borderIsTransparent(lit) && borderIsTransparent(dark));
        // Only the lit lamp glows beyond its socket.
        const int gap = kLampSize * 2 / 50;  // just past the socket, above it
        EXPECT_TRUE(lit.pixel(kLampSize / 2, gap)[3] > 0);
        EXPECT_TRUE(dark.pixel(kLampSize / 2, gap)[3] == 0);
    }
}

void testTrueLamp() {
    const Image8 on = makeTrueLamp(true).toImage();
    const Image8 off = makeTrueLamp(false).toImage();
    EXPECT_TRUE(on.width == kTrueLampWidth && on.height == kTrueLampHeight);
    EXPECT_TRUE(on.height == 2 * on.width);
    bool warm = true;
    int onDimmest = 255;
    int offBrightest = 0;
    forCentre(on, 8, [&](const std::uint8_t* p) {
        onDimmest = std::min(onDimmest, maxChannel(p));
        warm = warm && p[0] >= p[1] && p[1] >= p[2];
    });
    forCentre(off, 8,
              [&](const std::uint8_t* p) { offBrightest = std::max(offBrightest, maxChannel(p)); });
    EXPECT_TRUE(onDimmest > 200);
    EXPECT_TRUE(warm);
    EXPECT_TRUE(offBrightest < 110);
    EXPECT_TRUE(borderIsTransparent(on) && borderIsTransparent(off));
}

void testCursor() {
    const Image8 cursor = makeCursor().toImage();
    EXPECT_TRUE(cursor.width == kCursorSize && cursor.height == kCursorSize);
    EXPECT_TRUE(borderIsTransparent(cursor));
    // Mirror-symmetric both ways, so the hot spot is exactly the centre.
    bool symmetric = true;
    int darkOpaque = 0;
    int brightOpaque = 0;
    for (int y = 0; y < kCursorSize; ++y) {
        for (int x = 0; x < kCursorSize; ++x) {
            const std::uint8_t* p = cursor.pixel(x, y);
            symmetric = symmetric && p[3] == cursor.pixel(kCursorSize - 1 - x, y)[3] &&
                        p[3] == cursor.pixel(x, kCursorSize - 1 - y)[3];
            if (p[3] > 200) {
                darkOpaque += maxChannel(p) < 40 ? 1 : 0;
                brightOpaque += maxChannel(p) > 220 ? 1 : 0;
            }
        }
    }
    EXPECT_TRUE(symmetric);
    EXPECT_TRUE(darkOpaque > 50);
    EXPECT_TRUE(brightOpaque > 50);
}

void testTitle(GlyphRasterizer& font) {
    const Image8 title = makeTitle(font).toImage();
    EXPECT_TRUE(title.width == 1024 && title.height == 128);
    EXPECT_TRUE(borderIsTransparent(title));
    int left = title.width;
    int right = 0;
    int gold = 0;
    for (int y = 0; y < title.height; ++y) {
        for (int x = 0; x < title.width; ++x) {
            const std::uint8_t* p = title.pixel(x, y);
            if (p[3] == 255 && maxChannel(p) > 150) {
                left = std::min(left, x);
                right = std::max(right, x + 1);
                gold += p[0] > p[2] + 40 ? 1 : 0;
            }
        }
    }
    EXPECT_TRUE(right - left > title.width / 2);
    EXPECT_TRUE(std::abs(left - (title.width - right)) <= 3);
    EXPECT_TRUE(gold > 5000);
}

void testPlanet(const std::vector<std::uint8_t>& bytes) {
    EXPECT_TRUE(read16(bytes, 28) == 24);
    const Image8 planet = decodeBmp(bytes);
    EXPECT_TRUE(planet.width == kPlanetSize && planet.height == kPlanetSize);
    for (const int corner : {0, kPlanetSize - 4}) {
        EXPECT_TRUE(maxChannel(planet.pixel(corner, corner)) < 90);
    }
    int lit = 0;
    forCentre(planet, 60, [&](const std::uint8_t* p) { lit += maxChannel(p) > 60 ? 1 : 0; });
    EXPECT_TRUE(lit > 120 * 120 / 4);
    // Drawn opaque on the black menu: the sky falls to pure black at every edge, smoothly,
    // so the picture shows no frame, while stars still shine further in.
    int edgeLight = 0;
    int bandLight = 0;
    int innerStars = 0;
    for (int i = 0; i < kPlanetSize; ++i) {
        for (const int inward : {0, kPlanetSize - 1}) {
            edgeLight += maxChannel(planet.pixel(i, inward)) + maxChannel(planet.pixel(inward, i));
        }
        bandLight = std::max(bandLight, maxChannel(planet.pixel(i, 2)));
        innerStars += maxChannel(planet.pixel(i, kPlanetSize / 4)) > 60 ? 1 : 0;
    }
    EXPECT_TRUE(edgeLight == 0);
    EXPECT_TRUE(bandLight <= 2);
    EXPECT_TRUE(innerStars > 0);
}

void testPictureSet(GlyphRasterizer& font) {
    const std::vector<EncodedPicture> first = makeAllPictures(font);
    const std::vector<EncodedPicture> second = makeAllPictures(font);
    // Exactly the pictures the game ships (data/pictures.cmake), the font first, the planet last.
    std::vector<std::string> shipped, drawn;
    std::istringstream list(LUMENVALE_PICTURES);
    for (std::string name; std::getline(list, name, ',');) {
        shipped.push_back(name);
    }
    for (const EncodedPicture& picture : first) {
        drawn.push_back(picture.fileName);
    }
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.front(), "Font.bmp");
    EXPECT_EQ(drawn.back(), "Planet.bmp");
    std::sort(shipped.begin(), shipped.end());
    std::sort(drawn.begin(), drawn.end());
    EXPECT_EQ(drawn, shipped);
    ASSERT_EQ(second.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_TRUE(first[i].bytes == second[i].bytes);
        EXPECT_TRUE(read32(first[i].bytes, 2) == first[i].bytes.size());
    }
    testFontAtlas(first.front().bytes);
    testPlanet(first.back().bytes);
}

GlyphRasterizer& Font() {
    static GlyphRasterizer font;
    static const bool opened = [] {
        std::string error;
        return font.open(LUMENVALE_ASSETS_FONT, &error);
    }();
    EXPECT_TRUE(opened) << "no font at " << LUMENVALE_ASSETS_FONT;
    return font;
}

TEST(PictureGenerator, WritesBmpFilesTheGameReads) {
    testBmpLayout();
}
TEST(PictureGenerator, MapsTheCodePageAsTheSystemDoes) {
    testCodePageAgainstSystemTable();
}
TEST(PictureGenerator, NumbersTheAtlasCellsBothWays) {
    testAtlasCellNumbering();
}
TEST(PictureGenerator, DrawsLampsTheTrueLampAndTheCursor) {
    testLamps();
    testTrueLamp();
    testCursor();
}
TEST(PictureGenerator, DrawsTheTitle) {
    testTitle(Font());
}
TEST(PictureGenerator, DrawsTheShippedPicturesTheSameEveryTime) {
    testPictureSet(Font());
}

}  // namespace
