// Reads back what the text and widget drawing handed to the recording OpenGL: the runs of
// glyph quads that DrawText makes, and the corners of the frames the widgets draw.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/support/RecordingGL.h"
#include "ui/BitmapFont.h"

namespace textquads {

// A new context whose only texture is the font's, made without logging so that a test sees only
// the calls of its own drawing.
inline void FreshContext(BitmapFont& font) {
    recgl::Reset();
    recgl::SetLogging(false);
    glGenTextures(1, &font.texture);
    recgl::SetLogging(true);
}

struct GlyphQuad {
    float left, bottom, right, top;
    float s0, tBottom, s1, tTop;

    // The atlas cell the texture coordinates point at.
    int Column() const { return static_cast<int>(std::lround(s0 * AtlasColumns)); }
    int Row() const { return static_cast<int>(std::lround((1 - tTop) * AtlasRows)); }
};

// One DrawText: the colour it was drawn with and its quads, in drawing order.
struct TextRun {
    float colour[4] = {0, 0, 0, 0};
    std::vector<GlyphQuad> glyphs;
};

struct Point {
    float x, y;
};

// Every glyph quad is four (glTexCoord2f, glVertex2f) pairs going counter-clockwise from the
// bottom-left corner; anything else is reported as a failure.
inline GlyphQuad ReadGlyph(const std::vector<recgl::Call>& calls, size_t at) {
    auto arg = [&](size_t k, int a) { return static_cast<float>(calls[at + k][a]); };
    // The vertices of the bottom-left, bottom-right and top-right corners give the edges; their
    // texture coordinates the cell's.
    const GlyphQuad q{arg(1, 0), arg(1, 1), arg(3, 0), arg(5, 1),
                      arg(0, 0), arg(0, 1), arg(2, 0), arg(4, 1)};
    const float expected[8][2] = {{q.s0, q.tBottom},   {q.left, q.bottom}, {q.s1, q.tBottom},
                                  {q.right, q.bottom}, {q.s1, q.tTop},     {q.right, q.top},
                                  {q.s0, q.tTop},      {q.left, q.top}};
    for (size_t k = 0; k < 8; ++k) {
        const recgl::Call& call = calls[at + k];
        const char* name = k % 2 == 0 ? "glTexCoord2f" : "glVertex2f";
        EXPECT_TRUE(call.Is(name)) << "corner call " << k << " of a glyph is " << call.name;
        EXPECT_EQ(call[0], expected[k][0]) << "corner call " << k << " of a glyph";
        EXPECT_EQ(call[1], expected[k][1]) << "corner call " << k << " of a glyph";
    }
    return q;
}

// A text run is a GL_QUADS primitive that opens with glColor4fv; frame fills open with a
// vertex instead.
inline std::vector<TextRun> TextRuns(const std::vector<recgl::Call>& calls) {
    std::vector<TextRun> runs;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        if (!calls[i].Is("glBegin") || calls[i][0] != GL_QUADS || !calls[i + 1].Is("glColor4fv")) {
            continue;
        }
        TextRun run;
        for (int c = 0; c < 4; ++c) {
            run.colour[c] = static_cast<float>(calls[i + 1][c]);
        }
        size_t at = i + 2;
        while (at + 8 <= calls.size() && calls[at].Is("glTexCoord2f")) {
            run.glyphs.push_back(ReadGlyph(calls, at));
            at += 8;
        }
        EXPECT_TRUE(at < calls.size() && calls[at].Is("glEnd"))
            << "a text run holds something other than glyph quads";
        runs.push_back(run);
        i = at;
    }
    return runs;
}

// The corners of every primitive of the given mode that holds only vertices.
inline std::vector<std::vector<Point>> Shapes(const std::vector<recgl::Call>& calls, GLenum mode) {
    std::vector<std::vector<Point>> shapes;
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        if (!calls[i].Is("glBegin") || calls[i][0] != mode || !calls[i + 1].Is("glVertex2f")) {
            continue;
        }
        std::vector<Point> corners;
        for (++i; i < calls.size() && calls[i].Is("glVertex2f"); ++i) {
            corners.push_back({static_cast<float>(calls[i][0]), static_cast<float>(calls[i][1])});
        }
        shapes.push_back(corners);
    }
    return shapes;
}

inline std::vector<std::string> Names(const std::vector<recgl::Call>& calls) {
    std::vector<std::string> names;
    for (const recgl::Call& call : calls) {
        names.push_back(call.name);
    }
    return names;
}

}  // namespace textquads
