// The menu's buttons, labels and text boxes, against the recording OpenGL.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/TextQuads.h"
#include "tests/support/RecordingGL.h"
#include "ui/Button.h"
#include "ui/Label.h"
#include "ui/TextBox.h"

namespace {

using textquads::GlyphQuad;
using textquads::Point;
using textquads::Shapes;
using textquads::TextRun;
using textquads::TextRuns;

// "Играть" in Windows-1251: six bytes.
const char* const PlayCaption = "\xC8\xE3\xF0\xE0\xF2\xFC";

class WidgetTest : public ::testing::Test {
protected:
    void SetUp() override { textquads::FreshContext(font); }

    // The play button of the main menu.
    void SetUpPlayButton() {
        button.SetText(PlayCaption);
        button.Show();
        button.SetColour(0, 0.85, 0.2);
        button.SetRect(0.425, -0.5, 0.8, -0.41);
        button.SetFont(&font);
        button.style.SetGlyphSize(0.035, 0.05);
    }

    // The about box, with seven lines of different lengths.
    void SetUpAboutBox() {
        box.SetText("Lumenvale\n\nA lamp puzzle\nflip 2x2 blocks\nlight them all\n\nbye");
        box.Show();
        box.SetRect(0.3, -0.3, 0.9, 0.2);
        box.SetFont(&font);
        box.style.SetGlyphSize(0.02, 0.04);
        box.SetColour(1, 1, 1);
    }

    // The left edge a text of `length` glyphs of `width` starts at to be centred on `centre`.
    static float CentredLeft(double centre, float width, int length) {
        return static_cast<float>(centre - double{width} * length / 2);
    }

    // GL state every framed widget leaves behind.
    static void ExpectFramedWidgetState() {
        const recgl::State& gl = recgl::Current();
        EXPECT_FALSE(gl.IsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(gl.IsEnabled(GL_BLEND));
        EXPECT_EQ(gl.lineWidth, 3.0f);
        EXPECT_EQ(gl.blendSrc, static_cast<GLenum>(GL_SRC_ALPHA));
        EXPECT_EQ(gl.blendDst, static_cast<GLenum>(GL_ONE_MINUS_SRC_ALPHA));
        EXPECT_FALSE(gl.insideBegin);
        EXPECT_TRUE(gl.misuse.empty());
    }

    // One filled quad and one outline, both through the same corners.
    static void ExpectFrame(const std::vector<Point>& corners) {
        for (GLenum mode : {GL_QUADS, GL_LINE_LOOP}) {
            SCOPED_TRACE(mode == GL_QUADS ? "fill" : "outline");
            std::vector<std::vector<Point>> shapes = Shapes(recgl::Calls(), mode);
            ASSERT_EQ(shapes.size(), 1u);
            ASSERT_EQ(shapes[0].size(), corners.size());
            for (size_t k = 0; k < corners.size(); ++k) {
                EXPECT_FLOAT_EQ(shapes[0][k].x, corners[k].x) << "corner " << k;
                EXPECT_FLOAT_EQ(shapes[0][k].y, corners[k].y) << "corner " << k;
            }
        }
    }

    BitmapFont font;
    Button button;
    TextBox box;
    Label label;
};

TEST_F(WidgetTest, ANewWidgetIsEmptyHiddenAndUncoloured) {
    const Widget& w = button;
    EXPECT_EQ(w.style.font, nullptr);
    EXPECT_EQ(w.style.glyphWidth, 0.0f);
    EXPECT_EQ(w.style.colour[3], 0.0f);
    EXPECT_EQ(w.x1, 0.0);
    EXPECT_EQ(w.y2, 0.0);
    EXPECT_EQ(w.red, 0.0f);
    EXPECT_EQ(w.alpha, 0.0f);
    EXPECT_FALSE(w.visible);
    EXPECT_FALSE(w.IsHovered());
    EXPECT_STREQ(w.text.CStr(), "");
    EXPECT_EQ(box.lines, nullptr);
    EXPECT_EQ(box.lineCount, 0u);
}

TEST_F(WidgetTest, ColourLeavesTheFillAlphaAloneAndVisibilityToggles) {
    button.alpha = 0.5f;
    button.SetColour(0.1, 0.85, 0.2);
    EXPECT_EQ(button.green, 0.85f);
    EXPECT_EQ(button.alpha, 0.5f);

    EXPECT_TRUE(button.ToggleVisible());
    EXPECT_TRUE(button.visible);
    EXPECT_FALSE(button.ToggleVisible());
    EXPECT_FALSE(button.visible);
}

TEST_F(WidgetTest, HoverIsStrictlyInsideAndWidensThePointerToDouble) {
    button.SetRect(0.425, -0.5, 0.8, -0.41);
    button.Show();
    struct Case {
        float x, y;
        bool inside;
    };
    // The nearest floats on either side of each edge. 0.425f lies just above 0.425, so it is
    // inside only when the pointer is widened to double rather than the edge narrowed to float.
    const Case cases[] = {
        {0.6f, -0.45f, true},
        {0.425f, -0.45f, true},
        {std::nextafter(0.425f, 0.0f), -0.45f, false},
        {0.8f, -0.45f, false},
        {std::nextafter(0.8f, 0.0f), -0.45f, true},
        {0.6f, -0.5f, false},
        {0.6f, std::nextafter(-0.5f, 0.0f), true},
        {0.6f, -0.41f, false},
        {0.6f, std::nextafter(-0.41f, -1.0f), true},
        {0.9f, -0.45f, false},
        {0.6f, 0.0f, false},
    };
    for (const Case& c : cases) {
        button.UpdateHover(c.x, c.y);
        EXPECT_EQ(button.IsHovered(), c.inside) << "at (" << c.x << ", " << c.y << ")";
    }
}

TEST_F(WidgetTest, APointExactlyOnAnEdgeIsOutside) {
    // Edges that floats hold exactly, so the comparison itself decides.
    button.SetRect(0.25, -0.5, 0.75, 0.5);
    button.Show();
    const float edgePoints[][2] = {{0.25f, 0}, {0.75f, 0}, {0.5f, -0.5f}, {0.5f, 0.5f}};
    for (const auto& p : edgePoints) {
        button.UpdateHover(0.5f, 0);
        ASSERT_TRUE(button.IsHovered());
        button.UpdateHover(p[0], p[1]);
        EXPECT_FALSE(button.IsHovered()) << "at (" << p[0] << ", " << p[1] << ")";
    }
}

TEST_F(WidgetTest, HiddenWidgetsAreNeverHoveredAndDrawNothing) {
    SetUpPlayButton();
    SetUpAboutBox();
    label.SetRect(0.4, -0.95, 0.4, -0.95);
    label.SetFont(&font);
    label.SetText("credits");
    Widget* widgets[] = {&button, &box, &label};
    for (Widget* widget : widgets) {
        widget->Show();
        widget->SetRect(-1, -1, 1, 1);
        widget->UpdateHover(0, 0);
        ASSERT_TRUE(widget->IsHovered());
        widget->Hide();
        widget->UpdateHover(0, 0);
        EXPECT_FALSE(widget->IsHovered());
        recgl::Reset();
        widget->Draw();
        EXPECT_TRUE(recgl::Calls().empty()) << recgl::Describe(recgl::Calls());
    }
}

TEST_F(WidgetTest, AButtonDrawsASlantedFrameThenItsCentredCaption) {
    SetUpPlayButton();
    button.Draw();

    std::vector<std::string> names = textquads::Names(recgl::Calls());
    ASSERT_GE(names.size(), 17u) << recgl::Describe(recgl::Calls());
    std::vector<std::string> frame(names.begin(), names.begin() + 17);
    std::vector<std::string> expectedFrame = {
        "glDisable",  "glEnable",   "glBlendFunc", "glColor4f",  "glBegin",     "glVertex2f",
        "glVertex2f", "glVertex2f", "glVertex2f",  "glEnd",      "glLineWidth", "glBegin",
        "glVertex2f", "glVertex2f", "glVertex2f",  "glVertex2f", "glEnd"};
    EXPECT_EQ(frame, expectedFrame) << recgl::Describe(recgl::Calls());
    EXPECT_EQ(names.back(), "glDisable");

    // The top edge leans left by the slant; the outline goes through the same corners.
    ExpectFrame({{0.425f, -0.5f}, {0.8f, -0.5f}, {0.79f, -0.41f}, {0.415f, -0.41f}});

    // Six glyphs of 0.035 centred on 0.6125, their bottom half a glyph below the centre.
    std::vector<TextRun> runs = TextRuns(recgl::Calls());
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].glyphs.size(), 6u);
    EXPECT_NEAR(runs[0].glyphs[0].left, 0.5075, 1e-6);
    EXPECT_NEAR(runs[0].glyphs[0].bottom, -0.48, 1e-6);
    EXPECT_NEAR(runs[0].glyphs[5].right, 0.7175, 1e-6);
    EXPECT_NEAR(runs[0].glyphs[0].top, -0.43, 1e-6);
    EXPECT_EQ(runs[0].glyphs[0].Column(), 14);  // byte 200, cell 167
    EXPECT_EQ(runs[0].glyphs[0].Row(), 9);
    ExpectFramedWidgetState();
}

TEST_F(WidgetTest, FramedWidgetsAreMoreOpaqueUnderThePointerAndTheirTextMoreSo) {
    SetUpPlayButton();
    SetUpAboutBox();
    Widget* framed[] = {&button, &box};
    for (Widget* widget : framed) {
        for (bool hovered : {false, true}) {
            float centreY = static_cast<float>((widget->y1 + widget->y2) / 2);
            widget->UpdateHover(hovered ? 0.6f : -0.9f, centreY);
            ASSERT_EQ(widget->IsHovered(), hovered);
            recgl::Reset();
            widget->Draw();
            std::vector<recgl::Call> fill = recgl::CallsNamed("glColor4f");
            ASSERT_EQ(fill.size(), 1u);
            EXPECT_FLOAT_EQ(static_cast<float>(fill[0][0]), widget->red);
            EXPECT_FLOAT_EQ(static_cast<float>(fill[0][1]), widget->green);
            EXPECT_FLOAT_EQ(static_cast<float>(fill[0][2]), widget->blue);
            EXPECT_FLOAT_EQ(static_cast<float>(fill[0][3]), hovered ? 0.55f : 0.25f);
            EXPECT_FLOAT_EQ(widget->alpha, hovered ? 0.55f : 0.25f);
            std::vector<TextRun> runs = TextRuns(recgl::Calls());
            ASSERT_FALSE(runs.empty());
            for (const TextRun& run : runs) {
                EXPECT_FLOAT_EQ(run.colour[0], widget->red);
                EXPECT_FLOAT_EQ(run.colour[1], widget->green);
                EXPECT_FLOAT_EQ(run.colour[2], widget->blue);
                EXPECT_FLOAT_EQ(run.colour[3], hovered ? 0.75f : 0.45f);
            }
            ExpectFramedWidgetState();
        }
    }
}

TEST_F(WidgetTest, AFramedWidgetWithoutAFontDrawsItsFrameAndLeavesTheSameState) {
    SetUpPlayButton();
    button.SetFont(nullptr);
    glEnable(GL_TEXTURE_2D);
    button.Draw();
    EXPECT_TRUE(TextRuns(recgl::Calls()).empty());
    EXPECT_EQ(recgl::Current().quads, 1);
    EXPECT_TRUE(recgl::CallsNamed("glBindTexture").empty());
    ExpectFramedWidgetState();
}

TEST_F(WidgetTest, ACaptionIsDrawnByteForByteEvenWithAPercentSign) {
    // Captions are not formats: every byte shows, so the centring that counts bytes holds.
    SetUpPlayButton();
    button.SetText("100% %s");
    button.Draw();
    std::vector<TextRun> runs = TextRuns(recgl::Calls());
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].glyphs.size(), 7u);
    EXPECT_EQ(runs[0].glyphs[3].Column(), 4);  // '%', cell 4
    EXPECT_EQ(runs[0].glyphs[3].Row(), 0);
    EXPECT_NEAR(runs[0].glyphs[0].left, CentredLeft(0.6125, 0.035f, 7), 1e-6);
}

TEST_F(WidgetTest, ALabelDrawsOpaqueTextFromItsCentreWithoutFrameOrStateOfItsOwn) {
    label.SetRect(0.4, -0.95, 0.4, -0.95);
    label.SetFont(&font);
    label.style.SetGlyphSize(0.02, 0.03);
    label.SetColour(0.6, 0.6, 0.6);
    label.SetText("(c) Lumenvale");
    label.Show();
    label.UpdateHover(0.4f, -0.95f);
    EXPECT_FALSE(label.IsHovered());

    label.Draw();
    std::vector<std::string> names = textquads::Names(recgl::Calls());
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names.front(), "glEnable");  // DrawText's own first call
    EXPECT_TRUE(recgl::CallsNamed("glBlendFunc").empty());
    EXPECT_TRUE(recgl::CallsNamed("glLineWidth").empty());
    EXPECT_TRUE(Shapes(recgl::Calls(), GL_QUADS).empty());

    std::vector<TextRun> runs = TextRuns(recgl::Calls());
    ASSERT_EQ(runs.size(), 1u);
    ASSERT_EQ(runs[0].glyphs.size(), 13u);
    EXPECT_FLOAT_EQ(runs[0].glyphs[0].left, 0.4f);
    EXPECT_FLOAT_EQ(runs[0].glyphs[0].bottom, -0.95f);
    EXPECT_FLOAT_EQ(runs[0].colour[0], 0.6f);
    EXPECT_FLOAT_EQ(runs[0].colour[3], 1.0f);
    EXPECT_FALSE(recgl::Current().IsEnabled(GL_BLEND));
    EXPECT_FALSE(recgl::Current().IsEnabled(GL_TEXTURE_2D));
}

TEST_F(WidgetTest, ATextBoxStacksItsLinesDownwardsEachCentred) {
    SetUpAboutBox();
    ASSERT_EQ(box.lineCount, 7u);
    box.Draw();

    ExpectFrame({{0.3f, -0.3f}, {0.9f, -0.3f}, {0.9f, 0.2f}, {0.3f, 0.2f}});

    // One text run per line, empty lines included; line 0 on top, one glyph height apart.
    std::vector<TextRun> runs = TextRuns(recgl::Calls());
    ASSERT_EQ(runs.size(), 7u);
    for (uint32_t i = 0; i < box.lineCount; ++i) {
        SCOPED_TRACE("line " + std::to_string(i));
        const std::vector<GlyphQuad>& glyphs = runs[i].glyphs;
        ASSERT_EQ(glyphs.size(), static_cast<size_t>(box.lines[i].length));
        double bottom = 0.09 - i * double{0.04f};
        for (const GlyphQuad& q : glyphs) {
            EXPECT_NEAR(q.bottom, bottom, 1e-6);
            EXPECT_NEAR(q.top, bottom + 0.04, 1e-6);
        }
        if (!glyphs.empty()) {
            EXPECT_NEAR(glyphs[0].left, CentredLeft(0.6, 0.02f, box.lines[i].length), 1e-6);
        }
    }
    EXPECT_NEAR(runs[0].glyphs[0].bottom, 0.09, 1e-6);
    EXPECT_NEAR(runs[0].glyphs[0].top, 0.13, 1e-6);
    EXPECT_NEAR(runs[6].glyphs[0].bottom, -0.15, 1e-6);
    EXPECT_NEAR(runs[6].glyphs[0].top, -0.11, 1e-6);
    ExpectFramedWidgetState();
}

TEST_F(WidgetTest, ATextBoxTextEndingInANewlineHasAnEmptyLastLine) {
    SetUpAboutBox();
    box.SetText("one\ntwo\n");
    ASSERT_EQ(box.lineCount, 3u);
    EXPECT_STREQ(box.lines[0].CStr(), "one");
    EXPECT_STREQ(box.lines[1].CStr(), "two");
    EXPECT_STREQ(box.lines[2].CStr(), "");
    EXPECT_STREQ(box.text.CStr(), "one\ntwo\n");
    box.Draw();
    std::vector<TextRun> runs = TextRuns(recgl::Calls());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[2].glyphs.size(), 0u);
    EXPECT_EQ(recgl::Current().quads, 1 + 3 + 3);  // the fill and six glyphs
}

TEST_F(WidgetTest, ASecondTextReplacesTheLinesOfTheFirst) {
    SetUpAboutBox();
    box.SetText("single line");
    ASSERT_EQ(box.lineCount, 1u);
    EXPECT_STREQ(box.lines[0].CStr(), "single line");
    box.SetText("");
    ASSERT_EQ(box.lineCount, 1u);
    EXPECT_STREQ(box.lines[0].CStr(), "");
}

}  // namespace
