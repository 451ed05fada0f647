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

class TextureTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = resourcetest::ScratchDir();
        recgl::Reset();
    }

    // Loads the bytes as a picture file into the image; the result of Load is the test's.
    bool Load(BmpImage& image, const Bytes& bytes) {
        std::string path = dir + "/picture" + std::to_string(files++) + ".bmp";
        resourcetest::WriteBytes(path, bytes);
        return image.Load(path.c_str());
    }

    // Uploads the image and gives the texture made, after checking that GL was not misused and
    // read nothing outside the image's pixels.
    const recgl::Texture& Upload(const BmpImage& image, GLuint& name) {
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

    void ExpectTexture(const recgl::Texture& texture, GLsizei width, GLsizei height, bool hasData) {
        EXPECT_EQ(texture.width, width);
        EXPECT_EQ(texture.height, height);
        EXPECT_EQ(texture.hasData, hasData);
    }

    std::string dir;
    int files = 0;
    TextureParams params;
};

TEST_F(TextureTest, DefaultsAreFastHintNoMipmapsLinearFilter) {
    EXPECT_EQ(params.hintMode, GLenum(GL_FASTEST));
    EXPECT_EQ(params.generateMipmap, 0);
    EXPECT_EQ(params.filter, GLenum(GL_LINEAR));
}

TEST_F(TextureTest, UploadsA24BitPictureWithTheGameCallsInOrder) {
    BmpImage image;
    ASSERT_TRUE(Load(image, Picture(2, 2, 24)));
    GLuint name = 0;
    const recgl::Texture& texture = Upload(image, name);

    const std::vector<recgl::Call>& calls = recgl::Calls();
    ASSERT_EQ(calls.size(), 7u) << recgl::Describe(calls);
    EXPECT_TRUE(calls[0].Is("glGenTextures"));
    EXPECT_EQ(calls[0][0], 1);
    EXPECT_EQ(calls[0].pointer, &name);
    EXPECT_TRUE(calls[1].Is("glBindTexture"));
    EXPECT_EQ(calls[1][0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[1][1], name);
    EXPECT_TRUE(calls[2].Is("glHint"));
    EXPECT_EQ(calls[2][0], GL_GENERATE_MIPMAP_HINT);
    EXPECT_EQ(calls[2][1], GL_FASTEST);
    const GLenum parameters[3] = {GL_GENERATE_MIPMAP, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_MIN_FILTER};
    const double values[3] = {0, GL_LINEAR, GL_LINEAR};
    for (int i = 0; i < 3; ++i) {
        const recgl::Call& call = calls[3 + i];
        EXPECT_TRUE(call.Is("glTexParameteri"));
        EXPECT_EQ(call[0], GL_TEXTURE_2D);
        EXPECT_EQ(call[1], parameters[i]);
        EXPECT_EQ(call[2], values[i]);
    }
    const recgl::Call& upload = calls[6];
    EXPECT_TRUE(upload.Is("glTexImage2D"));
    const double arguments[8] = {GL_TEXTURE_2D, 0, GL_RGB, 2, 2, 0, GL_BGR_EXT, GL_UNSIGNED_BYTE};
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(upload[i], arguments[i]) << "argument " << i;
    }
    EXPECT_EQ(upload.pointer, image.pixels);

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
    ASSERT_TRUE(Load(image, Picture(5, 3, 32)));
    GLuint name = 0;
    const recgl::Texture& texture = Upload(image, name);
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
    ASSERT_TRUE(Load(image, Picture(2, 2, 24)));
    GLuint name = 0;
    const recgl::Texture& texture = Upload(image, name);
    EXPECT_EQ(recgl::Current().mipmapHint, GLenum(GL_NICEST));
    EXPECT_EQ(texture.generateMipmap, 1);
    EXPECT_EQ(texture.magFilter, GL_NEAREST);
    EXPECT_EQ(texture.minFilter, GL_NEAREST);
}

TEST_F(TextureTest, RowsMustBeCoveredPaddingIncluded) {
    // 3 pixels of 3 bytes take 12 bytes a row with padding: two rows need 24 bytes.
    BmpImage image;
    GLuint name = 0;
    ASSERT_TRUE(Load(image, Bmp(3, 2, 24, resourcetest::Pattern(23))));
    ExpectTexture(Upload(image, name), 3, 2, false);
    ASSERT_TRUE(Load(image, Bmp(3, 2, 24, resourcetest::Pattern(24))));
    ExpectTexture(Upload(image, name), 3, 2, true);
    // Bytes beyond the rows are never a problem.
    ASSERT_TRUE(Load(image, Bmp(3, 2, 24, resourcetest::Pattern(100))));
    ExpectTexture(Upload(image, name), 3, 2, true);
}

TEST_F(TextureTest, ImagesWithoutUsablePixelsGiveATextureWithoutData) {
    GLuint name = 0;

    BmpImage never;
    ExpectTexture(Upload(never, name), 0, 0, false);

    // A failed Load after a picture: the size of that picture, undefined content.
    BmpImage failed;
    ASSERT_TRUE(Load(failed, Picture(4, 2, 32)));
    EXPECT_FALSE(failed.Load((dir + "/missing.bmp").c_str()));
    const recgl::Texture& afterMissing = Upload(failed, name);
    ExpectTexture(afterMissing, 4, 2, false);
    EXPECT_EQ(afterMissing.internalFormat, GL_RGBA);

    BmpImage headersOnly;
    ASSERT_TRUE(Load(headersOnly, Bmp(6, 6, 24, {})));
    ExpectTexture(Upload(headersOnly, name), 6, 6, false);

    // A header that promises 16 x 16 pixels over a few bytes.
    BmpImage cutShort;
    ASSERT_TRUE(Load(cutShort, Bmp(16, 16, 32, resourcetest::Pattern(40))));
    ExpectTexture(Upload(cutShort, name), 16, 16, false);
}

TEST_F(TextureTest, PicturesOfUnknownLayoutGiveNoData) {
    GLuint name = 0;
    // 8 bits with a colour table into a fresh image: no format was ever set.
    Bytes paletted(1024 + 4 * 4, 0);
    BmpImage fresh;
    ASSERT_TRUE(Load(fresh, Bmp(4, 4, 8, paletted)));
    const recgl::Texture& texture = Upload(fresh, name);
    ExpectTexture(texture, 4, 4, false);
    EXPECT_EQ(texture.internalFormat, GL_RGB);

    BmpImage noBits;
    ASSERT_TRUE(Load(noBits, Picture(2, 2, 0)));
    ExpectTexture(Upload(noBits, name), 2, 2, false);

    // After a 24-bit picture the format stays; the 8-bit bytes are read as they lie, but only
    // as far as the buffer reaches.
    BmpImage reused;
    ASSERT_TRUE(Load(reused, Picture(2, 2, 24)));
    ASSERT_TRUE(Load(reused, Bmp(4, 4, 8, paletted)));
    ExpectTexture(Upload(reused, name), 4, 4, true);
    ASSERT_TRUE(Load(reused, Bmp(64, 64, 8, paletted)));
    ExpectTexture(Upload(reused, name), 64, 64, false);
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
        ASSERT_TRUE(Load(image, Bmp(c.width, c.height, 32, resourcetest::Pattern(256))));
        GLuint name = 0;
        const recgl::Texture& texture = Upload(image, name);
        ExpectTexture(texture, 0, 0, false);
        EXPECT_EQ(texture.internalFormat, GL_RGBA);
    }
}

TEST_F(TextureTest, LargestSideStillUploads) {
    BmpImage image;
    ASSERT_TRUE(Load(image, Picture(MaxTextureSide, 1, 24)));
    GLuint name = 0;
    ExpectTexture(Upload(image, name), MaxTextureSide, 1, true);
}

}  // namespace
