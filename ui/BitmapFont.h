// The game's one font: a picture of 17 x 14 glyph cells uploaded as a texture, the style a text
// is drawn with, and the drawing of one line of text as a row of textured quads.
#pragma once

#include <cstdint>

#include "app/GL.h"
#include "resources/BmpImage.h"
#include "resources/String.h"
#include "resources/TextureParams.h"

// The atlas layout: cells run left to right, then top to bottom, from the picture's top edge.
const int32_t AtlasColumns = 17;
const int32_t AtlasRows = 14;
const int32_t AtlasCells = AtlasColumns * AtlasRows;
// The byte that shows cell 0; every byte below it wraps round to the end of the atlas.
const int32_t FirstGlyphCode = 33;
// The space shares the blank cell of the no-break space (byte 160).
const int32_t SpaceCell = 127;
// Room for a formatted line with its NUL; longer lines are cut to 511 bytes.
const int32_t TextBufferSize = 512;
// What DrawText returns for a style that has no font to draw with.
const int32_t DrawTextNoFont = 4096;

class BitmapFont {
public:
    BitmapFont() = default;
    // One picture and one texture, one owner.
    BitmapFont(const BitmapFont&) = delete;
    BitmapFont& operator=(const BitmapFont&) = delete;

    // Reads the atlas picture and uploads it as a new texture into `texture`; needs a current
    // GL context. A missing or broken file is not reported: the texture is made from whatever
    // the picture then holds (no pixels at all for a missing file), and text draws blank.
    // The picture's pixels are let go once uploaded.
    void Load(String fileName);

    GLuint texture = 0;
    BmpImage image;  // the atlas picture's size and headers
    TextureParams params;
};

// The one font of the game. It is defined beside the game object, before it, so that it is
// built first and destroyed last.
extern BitmapFont gameFont;

// What a piece of text is drawn with. Everything starts at zero, with no font.
class TextStyle {
public:
    void SetGlyphSize(double width, double height);
    void SetColour(double red, double green, double blue, double alpha);
    float GlyphWidth() const { return glyphWidth; }
    float GlyphHeight() const { return glyphHeight; }
    void SetFont(BitmapFont* newFont) { font = newFont; }

    float glyphWidth = 0;  // also the advance from one character to the next
    float glyphHeight = 0;
    float colour[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    BitmapFont* font = nullptr;      // not owned
};

#if defined(__GNUC__)
#define LUMENVALE_PRINTF_FORMAT(formatIndex, firstArgument) \
    __attribute__((format(printf, formatIndex, firstArgument)))
#else
#define LUMENVALE_PRINTF_FORMAT(formatIndex, firstArgument)
#endif

// Formats a line printf-style (at most 511 bytes are kept) and draws it with its bottom-left
// corner at (x, y), one quad of the style's glyph size per byte, all in one colour. Blending
// is switched on but its function is left as the framed widgets set it. Texturing and
// blending are off afterwards. Returns 0, or DrawTextNoFont without touching GL when the
// style has no font. Allocates nothing.
int32_t DrawText(const TextStyle& style, double x, double y, const char* format, ...)
    LUMENVALE_PRINTF_FORMAT(4, 5);
