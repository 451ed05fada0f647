#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "resources/BmpImage.h"
#include "resources/TextureParams.h"
#include "ui/BitmapFont.h"

namespace {

// Every picture the game reads at start-up, as it ships in data/.
const char* const GamePictures[] = {
    "Font.bmp",        "On_Green.bmp", "Off_Green.bmp", "On_Red.bmp",
    "Off_Red.bmp",     "On_Blue.bmp",  "Off_Blue.bmp",  "Off_TrueLamp.bmp",
    "On_TrueLamp.bmp", "Title.bmp",    "Cursor.bmp",    "Planet.bmp",
};

std::string DataPath(const char* name) {
    return std::string(LUMENVALE_SOURCE_DIR) + "/data/" + name;
}

int BitCount(const BmpImage& image) {
    return image.infoHeader[14] | image.infoHeader[15] << 8;
}

TEST(DataPicturesTest, EveryPictureIsAWholeUncompressed24Or32BitBmp) {
    for (const char* name : GamePictures) {
        SCOPED_TRACE(name);
        BmpImage image;
        ASSERT_TRUE(image.Load(DataPath(name).c_str()));
        EXPECT_EQ(image.fileHeader[0], 'B');
        EXPECT_EQ(image.fileHeader[1], 'M');
        // The game takes the pixels from byte 54 on and ignores the compression field.
        EXPECT_EQ(image.fileHeader[10] | image.fileHeader[11] << 8, 54);
        EXPECT_EQ(image.infoHeader[0], 40);
        EXPECT_EQ(image.infoHeader[16] | image.infoHeader[17] << 8, 0) << "compressed";
        int bits = BitCount(image);
        EXPECT_TRUE(bits == 24 || bits == 32) << bits << " bits";
        EXPECT_EQ(image.bytesPerPixel * 8, bits);

        EXPECT_GT(image.width, 0);
        EXPECT_GT(image.height, 0) << "rows must be stored bottom-up";
        EXPECT_LE(image.width, MaxTextureSide);
        EXPECT_LE(image.height, MaxTextureSide);
        int64_t row = (int64_t{image.width} * image.bytesPerPixel + 3) / 4 * 4;
        EXPECT_GE(int64_t{image.pixelDataSize}, row * image.height);
    }
}

TEST(DataPicturesTest, FontAtlasHoldsSeventeenByFourteenCellsWithAlpha) {
    BmpImage font;
    ASSERT_TRUE(font.Load(DataPath("Font.bmp").c_str()));
    EXPECT_EQ(BitCount(font), 32);
    EXPECT_EQ(font.pixelFormat, GLenum(GL_BGRA_EXT));
    EXPECT_GT(font.width, 0);
    EXPECT_GT(font.height, 0);
    EXPECT_EQ(font.width % AtlasColumns, 0) << font.width;
    EXPECT_EQ(font.height % AtlasRows, 0) << font.height;
}

}  // namespace
