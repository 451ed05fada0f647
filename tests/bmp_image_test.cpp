#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "resources/BmpImage.h"
#include "tests/ResourceTestFiles.h"
#include "tests/support/AllocationCounter.h"

namespace {

using resourcetest::Bmp;
using resourcetest::Bytes;
using resourcetest::Picture;

Bytes PixelsOf(const BmpImage& image) {
    return Bytes(image.pixels, image.pixels + image.pixelDataSize);
}

void ExpectNoPixels(const BmpImage& image) {
    EXPECT_EQ(image.pixelDataSize, 0);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_FALSE(image.HoldsPixels());
}

// How an image hands its pixels to GL; a new image has no bytes per pixel but a 24-bit format.
struct Format {
    int32_t bytesPerPixel;
    GLenum internalFormat;
    GLenum pixelFormat;
};
const Format NoFormat = {0, GL_RGB, GL_BGR_EXT};
const Format Rgb = {3, GL_RGB, GL_BGR_EXT};
const Format Rgba = {4, GL_RGBA, GL_BGRA_EXT};

void ExpectFormat(const BmpImage& image, const Format& format) {
    EXPECT_EQ(image.bytesPerPixel, format.bytesPerPixel);
    EXPECT_EQ(image.internalFormat, format.internalFormat);
    EXPECT_EQ(image.pixelFormat, format.pixelFormat);
}

void ExpectPicture(const BmpImage& image, int32_t width, int32_t height, const Format& format) {
    EXPECT_EQ(image.width, width);
    EXPECT_EQ(image.height, height);
    ExpectFormat(image, format);
}

using BmpImageTest = resourcetest::ScratchTest;

TEST_F(BmpImageTest, NewImageHoldsNoPixelsAndNoFormat) {
    BmpImage image;
    ExpectNoPixels(image);
    ExpectPicture(image, 0, 0, NoFormat);
}

TEST_F(BmpImageTest, Loads24BitPictureWithRowPadding) {
    Bytes file = Picture(2, 2, 24);
    ASSERT_EQ(file.size(), 70u);
    BmpImage image;
    ASSERT_TRUE(image.Load(File("rgb.bmp", file).c_str()));
    ExpectPicture(image, 2, 2, Rgb);
    EXPECT_EQ(image.pixelDataSize, 16);
    EXPECT_EQ(PixelsOf(image), Bytes(file.begin() + 54, file.end()));
    Bytes headers(image.fileHeader, image.fileHeader + 14);
    headers.insert(headers.end(), image.infoHeader, image.infoHeader + 40);
    EXPECT_EQ(headers, Bytes(file.begin(), file.begin() + 54));
}

TEST_F(BmpImageTest, Loads32BitPictureWithAlpha) {
    BmpImage image;
    ASSERT_TRUE(image.Load(File("rgba.bmp", Picture(3, 5, 32)).c_str()));
    ExpectPicture(image, 3, 5, Rgba);
    EXPECT_EQ(image.pixelDataSize, 60);
}

TEST_F(BmpImageTest, TakesEverythingAfterTheHeadersWhateverTheyClaim) {
    // Wrong magic, a pixel offset of 60 and a negative (top-down) height are all carried along.
    Bytes file = Picture(2, -2, 24);
    file[0] = 'X';
    resourcetest::Put32(file, 10, 60);
    BmpImage image;
    ASSERT_TRUE(image.Load(File("odd.bmp", file).c_str()));
    ExpectPicture(image, 2, -2, Rgb);
    EXPECT_EQ(PixelsOf(image), Bytes(file.begin() + 54, file.end()));
}

TEST_F(BmpImageTest, OtherBitCountsKeepTheFormatOfThePictureBefore) {
    // An 8-bit picture: a two-colour table, then two rows of one index byte padded to four.
    Bytes table = {0, 0, 0, 0, 255, 255, 255, 0};
    Bytes indices = {0, 0, 0, 0, 1, 0, 0, 0};
    Bytes afterHeaders = table;
    afterHeaders.insert(afterHeaders.end(), indices.begin(), indices.end());
    std::string paletted = File("paletted.bmp", Bmp(2, 2, 8, afterHeaders));

    BmpImage image;
    ASSERT_TRUE(image.Load(File("rgba.bmp", Picture(4, 4, 32)).c_str()));
    ASSERT_TRUE(image.Load(paletted.c_str()));
    ExpectPicture(image, 2, 2, Rgba);
    EXPECT_EQ(PixelsOf(image), afterHeaders);

    // Into a fresh image no earlier picture set a format: bytesPerPixel stays 0.
    BmpImage fresh;
    ASSERT_TRUE(fresh.Load(paletted.c_str()));
    ExpectFormat(fresh, NoFormat);
    EXPECT_EQ(fresh.pixelDataSize, 16);

    BmpImage noBits;
    ASSERT_TRUE(noBits.Load(File("zero.bmp", Picture(2, 2, 0)).c_str()));
    ExpectFormat(noBits, NoFormat);
}

TEST_F(BmpImageTest, HeadersAloneLoadWithoutPixels) {
    BmpImage image;
    ASSERT_TRUE(image.Load(File("rgb.bmp", Picture(2, 2, 24)).c_str()));
    EXPECT_TRUE(image.Load(File("headers.bmp", Bmp(7, 9, 32, {})).c_str()));
    ExpectNoPixels(image);
    ExpectPicture(image, 7, 9, Rgba);

    std::string saved = dir + "/saved.bmp";
    EXPECT_FALSE(image.Save(saved.c_str()));
    EXPECT_FALSE(std::filesystem::exists(saved));
}

TEST_F(BmpImageTest, FileShorterThanTheHeadersLoadsNothing) {
    Bytes headers = Bmp(9, 9, 32, {});
    for (size_t size : {0, 1, 2, 13, 14, 20, 53}) {
        SCOPED_TRACE(size);
        BmpImage image;
        ASSERT_TRUE(image.Load(File("rgb.bmp", Picture(3, 2, 24)).c_str()));
        std::string shortFile = File("short.bmp", Bytes(headers.begin(), headers.begin() + size));
        EXPECT_FALSE(image.Load(shortFile.c_str()));
        ExpectNoPixels(image);
        // Width, height and format stay those of the picture before, as after a missing file.
        ExpectPicture(image, 3, 2, Rgb);
    }
}

TEST_F(BmpImageTest, MissingFileLeavesNoPixels) {
    BmpImage image;
    EXPECT_FALSE(image.Load((dir + "/missing.bmp").c_str()));
    ExpectNoPixels(image);

    ASSERT_TRUE(image.Load(File("rgba.bmp", Picture(2, 3, 32)).c_str()));
    EXPECT_FALSE(image.Load((dir + "/missing.bmp").c_str()));
    ExpectNoPixels(image);
    ExpectPicture(image, 2, 3, Rgba);
}

TEST_F(BmpImageTest, SecondLoadReplacesTheFirstPicture) {
    Bytes second = Picture(1, 1, 32, 9);
    BmpImage image;
    ASSERT_TRUE(image.Load(File("first.bmp", Picture(5, 5, 24, 3)).c_str()));
    ASSERT_TRUE(image.Load(File("second.bmp", second).c_str()));
    ExpectPicture(image, 1, 1, Rgba);
    EXPECT_EQ(PixelsOf(image), Bytes(second.begin() + 54, second.end()));
}

TEST_F(BmpImageTest, SaveWritesTheLoadedFileByteForByte) {
    // Odd header fields and trailing bytes past the last row must all come back.
    Bytes file = Picture(3, 3, 24);
    resourcetest::Put32(file, 6, 0xdeadbeef);
    resourcetest::Put32(file, 46, 12345);
    file.push_back(0x5a);
    BmpImage image;
    ASSERT_TRUE(image.Load(File("in.bmp", file).c_str()));
    std::string out = dir + "/out.bmp";
    ASSERT_TRUE(image.Save(out.c_str()));
    EXPECT_EQ(resourcetest::ReadBytes(out), file);

    EXPECT_FALSE(image.Save((dir + "/no/such/dir/out.bmp").c_str()));
}

TEST_F(BmpImageTest, NewImageSavesNothing) {
    BmpImage image;
    std::string out = dir + "/out.bmp";
    EXPECT_FALSE(image.Save(out.c_str()));
    EXPECT_FALSE(std::filesystem::exists(out));
}

TEST_F(BmpImageTest, PixelBufferOutOfMemoryLeavesNoPixels) {
    // The file names stay far below the size of this picture's pixels.
    Bytes big = Picture(64, 64, 32);
    std::string bigFile = File("big.bmp", big);
    BmpImage image;
    ASSERT_TRUE(image.Load(File("small.bmp", Picture(2, 2, 24)).c_str()));
    alloccount::FailNothrow(big.size() - 54, SIZE_MAX);
    EXPECT_FALSE(image.Load(bigFile.c_str()));
    alloccount::StopFailing();
    ExpectNoPixels(image);
    // The headers were read in full, so the image describes the picture it could not hold.
    ExpectPicture(image, 64, 64, Rgba);
    EXPECT_FALSE(image.Save((dir + "/out.bmp").c_str()));

    ASSERT_TRUE(image.Load(bigFile.c_str()));
    EXPECT_EQ(image.pixelDataSize, 64 * 64 * 4);
}

}  // namespace
