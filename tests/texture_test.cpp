#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/BmpImage.h"
#include "resources/TextureParams.h"
#include "tests/ResourceTestFiles.h"
#include "tests/support/RecordingGL.h"

namespace {

using resourcetest::Bmp;
using resourcetest::Bytes;
using resourcetest::Picture;

class TextureTest : public resourcetest::ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        recgl::Reset();
    }

    // Loads the bytes as a picture file into the image; the result of Load is the test's.
    bool Load(BmpImage& image, const Bytes& bytes) {
        return image.Load(File("picture" + std::to_string(files++) + ".bmp", bytes).c_str());
    }

    // Uploads the image and gives the texture made, after checking that GL was not misused and
    // read nothing outside the image's pixels.
    const recgl::Texture& Upload(const BmpImage& image) {
        recgl::Reset();
        params.UploadTexture(image, name);
        const recgl::State& gl = recgl::Current();
        EXPECT_TRUE(gl.misuse.empty()) << gl.misuse.front();
        std::vector<recgl::Call> uploads = recgl::CallsNamed("glTexImage2D");
        EXPECT_EQ(uploads.size(), 1u);
        if (!uploads.empty() && uploads[0].pointer != nullptr) {
            const recgl::Call& call = uploads[0];
            EXPECT_EQ(call.pointer, image.pixels);
            EXPECT_LE(recgl::UploadBytes(GLenum(call[6]), GLsizei(call[3]), GLsizei(call[4])),
                      size_t(image.pixelDataSize));
        }
        EXPECT_EQ(gl.boundTexture, name);
        static const recgl::Texture none;
        const recgl::Texture* texture = gl.Find(name);
        return texture != nullptr ? *texture : none;
    }

    // Loads the bytes into the image, which must take them, and uploads it.
    const recgl::Texture& LoadAndUpload(BmpImage& image, const Bytes& bytes) {
        EXPECT_TRUE(Load(image, bytes));
        return Upload(image);
    }

    void ExpectTexture(const recgl::Texture& texture, GLsizei width, GLsizei height, bool hasData) {
        EXPECT_EQ(texture.width, width);
        EXPECT_EQ(texture.height, height);
        EXPECT_EQ(texture.hasData, hasData);
    }

    int files = 0;
    TextureParams params;
    GLuint name = 0;  // the texture of the latest Upload
};

TEST_F(TextureTest, DefaultsAreFastHintNoMipmapsLinearFilter) {
    EXPECT_EQ(params.hintMode, GLenum(GL_FASTEST));
    EXPECT_EQ(params.generateMipmap, 0);
    EXPECT_EQ(params.filter, GLenum(GL_LINEAR));
}

TEST_F(TextureTest, UploadsA24BitPictureWithTheGameCallsInOrder) {
    BmpImage image;
    const recgl::Texture& texture = LoadAndUpload(image, Picture(2, 2, 24));

    const std::vector<recgl::Call> expected = {
        {"glGenTextures", {1}},
        {"glBindTexture", {GL_TEXTURE_2D, static_cast<double>(name)}},
        {"glHint", {GL_GENERATE_MIPMAP_HINT, GL_FASTEST}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_GENERATE_MIPMAP, 0}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR}},
        {"glTexParameteri", {GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR}},
        {"glTexImage2D", {GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE}}};
    const std::vector<recgl::Call>& calls = recgl::Calls();
    ASSERT_EQ(recgl::Describe(calls), recgl::Describe(expected));
    EXPECT_EQ(calls[0].pointer, &name);
    EXPECT_EQ(calls[6].pointer, image.pixels);

    EXPECT_NE(name, 0u);
    EXPECT_EQ(recgl::Current().mipmapHint, GLenum(GL_FASTEST));
    ExpectTexture(texture, 2, 2, true);
    EXPECT_EQ(texture.internalFormat, GL_RGB);
    EXPECT_EQ(texture.format, GLenum(GL_BGR_EXT));
    EXPECT_EQ(texture.magFilter, GL_LINEAR);
    EXPECT_EQ(texture.minFilter, GL_LINEAR);
    EXPECT_EQ(texture.generateMipmap, 0);
}

TEST_F(TextureTest, A32BitPictureKeepsItsAlpha) {
    BmpImage image;
    const recgl::Texture& texture = LoadAndUpload(image, Picture(5, 3, 32));
    ExpectTexture(texture, 5, 3, true);
    EXPECT_EQ(texture.internalFormat, GL_RGBA);
    EXPECT_EQ(texture.format, GLenum(GL_BGRA_EXT));
}

TEST_F(TextureTest, EachUploadMakesANewTexture) {
    BmpImage image;
    ASSERT_TRUE(Load(image, Picture(2, 2, 24)));
    recgl::Reset();
    GLuint first = 0;
    GLuint second = 0;
    params.UploadTexture(image, first);
    params.UploadTexture(image, second);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, 0u);
    EXPECT_NE(first, second);
    EXPECT_EQ(recgl::Current().boundTexture, second);
}

TEST_F(TextureTest, ChangedSettingsReachGL) {
    params.hintMode = GL_NICEST;
    params.generateMipmap = 1;
    params.filter = GL_NEAREST;
    BmpImage image;
    const recgl::Texture& texture = LoadAndUpload(image, Picture(2, 2, 24));
    EXPECT_EQ(recgl::Current().mipmapHint, GLenum(GL_NICEST));
    EXPECT_EQ(texture.generateMipmap, 1);
    EXPECT_EQ(texture.magFilter, GL_NEAREST);
    EXPECT_EQ(texture.minFilter, GL_NEAREST);
}

TEST_F(TextureTest, RowsMustBeCoveredPaddingIncluded) {
    // 3 pixels of 3 bytes take 12 bytes a row with padding: two rows need 24 bytes.
    BmpImage image;
    ExpectTexture(LoadAndUpload(image, Bmp(3, 2, 24, resourcetest::Pattern(23))), 3, 2, false);
    ExpectTexture(LoadAndUpload(image, Bmp(3, 2, 24, resourcetest::Pattern(24))), 3, 2, true);
    // Bytes beyond the rows are never a problem.
    ExpectTexture(LoadAndUpload(image, Bmp(3, 2, 24, resourcetest::Pattern(100))), 3, 2, true);
}

TEST_F(TextureTest, ImagesWithoutUsablePixelsGiveATextureWithoutData) {
    BmpImage never;
    ExpectTexture(Upload(never), 0, 0, false);

    // A failed Load after a picture: the size of that picture, undefined content.
    BmpImage failed;
    ASSERT_TRUE(Load(failed, Picture(4, 2, 32)));
    EXPECT_FALSE(failed.Load((dir + "/missing.bmp").c_str()));
    const recgl::Texture& afterMissing = Upload(failed);
    ExpectTexture(afterMissing, 4, 2, false);
    EXPECT_EQ(afterMissing.internalFormat, GL_RGBA);

    BmpImage headersOnly;
    ExpectTexture(LoadAndUpload(headersOnly, Bmp(6, 6, 24, {})), 6, 6, false);

    // A header that promises 16 x 16 pixels over a few bytes.
    BmpImage cutShort;
    ExpectTexture(LoadAndUpload(cutShort, Bmp(16, 16, 32, resourcetest::Pattern(40))), 16, 16,
                  false);
}

TEST_F(TextureTest, PicturesOfUnknownLayoutGiveNoData) {
    // 8 bits with a colour table into a fresh image: no format was ever set.
    Bytes paletted(1024 + 4 * 4, 0);
    BmpImage fresh;
    const recgl::Texture& texture = LoadAndUpload(fresh, Bmp(4, 4, 8, paletted));
    ExpectTexture(texture, 4, 4, false);
    EXPECT_EQ(texture.internalFormat, GL_RGB);

    BmpImage noBits;
    ExpectTexture(LoadAndUpload(noBits, Picture(2, 2, 0)), 2, 2, false);

    // After a 24-bit picture the format stays; the 8-bit bytes are read as they lie, but only
    // as far as the buffer reaches.
    BmpImage reused;
    ASSERT_TRUE(Load(reused, Picture(2, 2, 24)));
    ExpectTexture(LoadAndUpload(reused, Bmp(4, 4, 8, paletted)), 4, 4, true);
    ExpectTexture(LoadAndUpload(reused, Bmp(64, 64, 8, paletted)), 64, 64, false);
}

TEST_F(TextureTest, HostileSizesGiveAnEmptyTexture) {
    struct Case {
        int32_t width;
        int32_t height;
    };
    for (Case c :
         {Case{0x7fffffff, -5}, Case{2, -2}, Case{-2, 2}, Case{0, 4}, Case{4, 0}, Case{16385, 1},
          Case{1, 16385}, Case{INT32_MIN, INT32_MIN}, Case{0x40000000, 0x40000000}}) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        BmpImage image;
        const recgl::Texture& texture =
            LoadAndUpload(image, Bmp(c.width, c.height, 32, resourcetest::Pattern(256)));
        ExpectTexture(texture, 0, 0, false);
        EXPECT_EQ(texture.internalFormat, GL_RGBA);
    }
}

TEST_F(TextureTest, LargestSideStillUploads) {
    BmpImage image;
    ExpectTexture(LoadAndUpload(image, Picture(MaxTextureSide, 1, 24)), MaxTextureSide, 1, true);
}

}  // namespace
