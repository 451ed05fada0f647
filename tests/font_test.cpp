// The glyph atlas and one-line text drawing, against the recording OpenGL.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/TextQuads.h"
#include "tests/ResourceTestFiles.h"
#include "tests/support/RecordingGL.h"
#include "ui/BitmapFont.h"

namespace {

using textquads::GlyphQuad;
using textquads::TextRun;
using textquads::TextRuns;

class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override {
        textquads::FreshContext(font);
        style.SetFont(&font);
        style.SetGlyphSize(0.035, 0.05);
        style.SetColour(0.2, 0.4, 0.6, 0.8);
    }

    // The quads of the one text run the last call drew.
    std::vector<GlyphQuad> Glyphs() {
        std::vector<TextRun> runs = TextRuns(recgl::Calls());
        EXPECT_EQ(runs.size(), 1u) << recgl::Describe(recgl::Calls());
        return runs.empty() ? std::vector<GlyphQuad>{} : runs[0].glyphs;
    }

    void ExpectCell(const GlyphQuad& q, int column, int row) {
        EXPECT_FLOAT_EQ(q.s0, static_cast<float>(column * (1.0 / AtlasColumns)));
        EXPECT_FLOAT_EQ(q.s1, static_cast<float>((column + 1) * (1.0 / AtlasColumns)));
        EXPECT_FLOAT_EQ(q.tTop, static_cast<float>(1 - row * (1.0 / AtlasRows)));
        EXPECT_FLOAT_EQ(q.tBottom, static_cast<float>(1 - (row + 1) * (1.0 / AtlasRows)));
    }

    BitmapFont font;
    TextStyle style;
};

TEST_F(DrawTextTest, WithoutAFontNothingIsFormattedAndGlIsNotTouched) {
    style.SetFont(nullptr);
    glEnable(GL_TEXTURE_2D);
    recgl::Reset();
    EXPECT_EQ(DrawText(style, 0, 0, "%s %d", "Lumenvale", 4), DrawTextNoFont);
    EXPECT_EQ(DrawTextNoFont, 4096);
    EXPECT_TRUE(recgl::Calls().empty()) << recgl::Describe(recgl::Calls());
}

TEST_F(DrawTextTest, OneGlyphIsOneQuadFromThePointWithTheFirstCell) {
    EXPECT_EQ(DrawText(style, -0.5, 0.25, "!"), 0);

    std::vector<std::string> expected = {
        "glEnable",   "glEnable",     "glBindTexture", "glBegin",      "glColor4fv", "glTexCoord2f",
        "glVertex2f", "glTexCoord2f", "glVertex2f",    "glTexCoord2f", "glVertex2f", "glTexCoord2f",
        "glVertex2f", "glEnd",        "glDisable",     "glDisable"};
    const std::vector<recgl::Call>& calls = recgl::Calls();
    ASSERT_EQ(textquads::Names(calls), expected) << recgl::Describe(calls);
    EXPECT_EQ(calls[0][0], GL_BLEND);
    EXPECT_EQ(calls[1][0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[2][0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[2][1], font.texture);
    EXPECT_EQ(calls[3][0], GL_QUADS);
    EXPECT_EQ(calls[4].pointer, static_cast<const void*>(style.colour));
    EXPECT_EQ(calls[14][0], GL_TEXTURE_2D);
    EXPECT_EQ(calls[15][0], GL_BLEND);

    std::vector<GlyphQuad> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_FLOAT_EQ(glyphs[0].left, -0.5f);
    EXPECT_FLOAT_EQ(glyphs[0].bottom, 0.25f);
    EXPECT_FLOAT_EQ(glyphs[0].right, -0.465f);
    EXPECT_FLOAT_EQ(glyphs[0].top, 0.3f);
    EXPECT_EQ(glyphs[0].s0, 0.0f);
    EXPECT_FLOAT_EQ(glyphs[0].s1, 1.0f / 17);
    EXPECT_FLOAT_EQ(glyphs[0].tBottom, 13.0f / 14);
    EXPECT_EQ(glyphs[0].tTop, 1.0f);
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

TEST_F(DrawTextTest, EachByteShowsItsCellFromTheTopLeftOfTheAtlas) {
    struct Case {
        unsigned char byte;
        int column;
        int row;
    };
    // The corners and edges of the atlas: the first and last code of a row, the bytes that
    // wrap round below 33, the Cyrillic capital A.
    const Case cases[] = {{'!', 0, 0},  {'0', 15, 0}, {'1', 16, 0}, {'2', 0, 1}, {'A', 15, 1},
                          {'x', 2, 5},  {'~', 8, 5},  {160, 8, 7},  {192, 6, 9}, {254, 0, 13},
                          {255, 1, 13}, {1, 3, 13},   {14, 16, 13}};
    for (const Case& c : cases) {
        textquads::FreshContext(font);
        char text[2] = {static_cast<char>(c.byte), '\0'};
        DrawText(style, 0, 0, "%s", text);
        std::vector<GlyphQuad> glyphs = Glyphs();
        ASSERT_EQ(glyphs.size(), 1u) << "byte " << int{c.byte};
        SCOPED_TRACE("byte " + std::to_string(c.byte));
        ExpectCell(glyphs[0], c.column, c.row);
    }
}

TEST_F(DrawTextTest, SpacesAndControlCodesPastTheAtlasShowTheBlankCell) {
    // The control codes 15 to 31 would point below the atlas' last row.
    DrawText(style, 0.1, -0.2, "a b\x0f\x1f");
    std::vector<GlyphQuad> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 5u);
    ExpectCell(glyphs[0], 13, 3);  // 'a' is 97, cell 64
    ExpectCell(glyphs[1], 8, 7);   // the space, cell 127
    ExpectCell(glyphs[2], 14, 3);  // 'b'
    ExpectCell(glyphs[3], 8, 7);
    ExpectCell(glyphs[4], 8, 7);
    // Every byte advances by one glyph width, spaces included, all on one baseline.
    for (size_t k = 0; k < glyphs.size(); ++k) {
        EXPECT_FLOAT_EQ(glyphs[k].left, static_cast<float>(0.1 + k * 0.035f)) << k;
        EXPECT_FLOAT_EQ(glyphs[k].right, static_cast<float>(0.1 + (k + 1) * 0.035f)) << k;
        EXPECT_FLOAT_EQ(glyphs[k].bottom, -0.2f);
        EXPECT_FLOAT_EQ(glyphs[k].top, -0.15f);
    }
}

TEST_F(DrawTextTest, AnEmptyTextSwitchesTheStateButDrawsNoQuad) {
    EXPECT_EQ(DrawText(style, 0, 0, "%s", ""), 0);
    std::vector<std::string> expected = {"glEnable",   "glEnable", "glBindTexture", "glBegin",
                                         "glColor4fv", "glEnd",    "glDisable",     "glDisable"};
    EXPECT_EQ(textquads::Names(recgl::Calls()), expected) << recgl::Describe(recgl::Calls());
    EXPECT_EQ(recgl::Current().quads, 0);
    EXPECT_EQ(recgl::Current().boundTexture, font.texture);
}

TEST_F(DrawTextTest, TheFormatIsPrintfStyle) {
    DrawText(style, 0, 0, "%d%%", 42);
    std::vector<GlyphQuad> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    ExpectCell(glyphs[0], 2, 1);  // '4' is 52, cell 19
    ExpectCell(glyphs[1], 0, 1);  // '2'
    ExpectCell(glyphs[2], 4, 0);  // '%' is 37, cell 4
}

TEST_F(DrawTextTest, ALongLineIsCutToTheBufferAndDrawnInOnePrimitive) {
    std::string longText(700, 'W');
    DrawText(style, -1, 0, "%s", longText.c_str());
    EXPECT_EQ(recgl::CallsNamed("glBegin").size(), 1u);
    EXPECT_EQ(recgl::CallsNamed("glEnd").size(), 1u);
    EXPECT_EQ(recgl::Current().quads, TextBufferSize - 1);
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

TEST_F(DrawTextTest, TwentyGlyphsFromMinusPointThirtyFiveEndAtPointThirtyFive) {
    DrawText(style, -0.35, 0, "%s", "Lumenvale lamp board");
    std::vector<GlyphQuad> glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 20u);
    EXPECT_FLOAT_EQ(glyphs.front().left, -0.35f);
    EXPECT_NEAR(glyphs.back().right, 0.35f, 1e-6);
}

TEST_F(DrawTextTest, TexturingAndBlendingAreOffAfterwardsAndTheBlendFunctionIsLeftAlone) {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    DrawText(style, 0, 0, "ok");
    const recgl::State& gl = recgl::Current();
    EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(gl.IsEnabled(GL_BLEND));
    EXPECT_EQ(gl.blendSrc, static_cast<GLenum>(GL_ONE));
    EXPECT_EQ(gl.blendDst, static_cast<GLenum>(GL_ONE));
    EXPECT_TRUE(recgl::CallsNamed("glBlendFunc").size() == 1u);
    // The whole text carries the style's colour.
    EXPECT_EQ(gl.colour[0], 0.2f);
    EXPECT_EQ(gl.colour[3], 0.8f);
    EXPECT_TRUE(gl.misuse.empty());
}

class BitmapFontLoad : public resourcetest::ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        recgl::Reset();
    }

    BitmapFont font;
};

TEST_F(BitmapFontLoad, UploadsTheAtlasAsANewTextureAndKeepsOnlyThePicturesSize) {
    font.Load(File("Atlas.bmp", resourcetest::Picture(34, 28, 24)).c_str());

    EXPECT_NE(font.texture, 0u);
    EXPECT_EQ(recgl::Current().boundTexture, font.texture);
    const recgl::Texture* texture = recgl::Current().Find(font.texture);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 34);
    EXPECT_EQ(texture->height, 28);
    EXPECT_TRUE(texture->hasData);
    EXPECT_EQ(texture->minFilter, GL_LINEAR);
    EXPECT_EQ(texture->magFilter, GL_LINEAR);
    EXPECT_EQ(texture->generateMipmap, 0);
    EXPECT_FALSE(font.image.HoldsPixels()) << "GL holds the only copy it needs";
    EXPECT_EQ(font.image.width, 34);
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

TEST_F(BitmapFontLoad, AMissingPictureStillGivesATextureThatHoldsNoData) {
    font.Load((dir + "/NoSuchFont.bmp").c_str());
    EXPECT_NE(font.texture, 0u);
    const recgl::Texture* texture = recgl::Current().Find(font.texture);
    ASSERT_NE(texture, nullptr);
    EXPECT_FALSE(texture->hasData);
    EXPECT_TRUE(recgl::Current().misuse.empty());

    // Text still draws, without usable glyphs and without touching memory it does not own.
    TextStyle style;
    style.SetFont(&font);
    EXPECT_EQ(DrawText(style, 0, 0, "Lumenvale"), 0);
    EXPECT_EQ(recgl::Current().quads, 9);
}

}  // namespace
