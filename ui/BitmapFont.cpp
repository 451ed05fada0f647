#include "ui/BitmapFont.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Texture-space size of one cell; the picture's top edge lies at t = 1.
const double CellWidth = 1.0 / AtlasColumns;
const double CellHeight = 1.0 / AtlasRows;

// The cell a byte shows. Bytes below the first glyph code wrap round to the end of the atlas;
// the control codes 15 to 31 would land past its last row and show the blank cell instead.
int32_t CellOf(unsigned char byte) {
    if (byte == ' ') {
        return SpaceCell;
    }
    int32_t cell = static_cast<unsigned char>(byte - FirstGlyphCode);
    return cell < AtlasCells ? cell : SpaceCell;
}

// One textured quad for the glyph at position `index` of a line starting at (x, y), its four
// corners counter-clockwise from the bottom left.
void DrawGlyph(const TextStyle& style, double x, double y, int32_t index, unsigned char byte) {
    int32_t cell = CellOf(byte);
    int32_t column = cell % AtlasColumns;
    int32_t row = cell / AtlasColumns;
    double s0 = column * CellWidth;
    double s1 = (column + 1) * CellWidth;
    double tTop = 1 - row * CellHeight;
    double tBottom = 1 - (row + 1) * CellHeight;

    double left = x + index * double{style.glyphWidth};
    double right = x + (index + 1) * double{style.glyphWidth};
    double bottom = y;
    double top = y + style.glyphHeight;

    glTexCoord2f(static_cast<float>(s0), static_cast<float>(tBottom));
    glVertex2f(static_cast<float>(left), static_cast<float>(bottom));
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(tBottom));
    glVertex2f(static_cast<float>(right), static_cast<float>(bottom));
    glTexCoord2f(static_cast<float>(s1), static_cast<float>(tTop));
    glVertex2f(static_cast<float>(right), static_cast<float>(top));
    glTexCoord2f(static_cast<float>(s0), static_cast<float>(tTop));
    glVertex2f(static_cast<float>(left), static_cast<float>(top));
}

// Bytes of the formatted line that fit the buffer before its NUL; a formatting error or a
// missing format gives an empty line.
int32_t FormatLine(char (&line)[TextBufferSize], const char* format, va_list arguments) {
    line[0] = '\0';
    if (format == nullptr) {
        return 0;
    }
    int written = std::vsnprintf(line, sizeof line, format, arguments);
    if (written < 0) {
        line[0] = '\0';
        return 0;
    }
    return written < TextBufferSize ? written : TextBufferSize - 1;
}

}  // namespace

void BitmapFont::Load(String fileName) {
    // A picture that does not load still gets its texture, so the font is usable either way.
    image.Load(fileName);
    params.UploadTexture(image, texture);
    // GL has its own copy; nothing reads these pixels again.
    image.ReleasePixels();
}

void TextStyle::SetGlyphSize(double width, double height) {
    glyphWidth = static_cast<float>(width);
    glyphHeight = static_cast<float>(height);
}

void TextStyle::SetColour(double red, double green, double blue, double alpha) {
    colour[0] = static_cast<float>(red);
    colour[1] = static_cast<float>(green);
    colour[2] = static_cast<float>(blue);
    colour[3] = static_cast<float>(alpha);
}

int32_t DrawText(const TextStyle& style, double x, double y, const char* format, ...) {
    if (style.font == nullptr) {
        return DrawTextNoFont;
    }
    // On the stack, so that drawing text never allocates.
    char line[TextBufferSize];
    va_list arguments;
    va_start(arguments, format);
    int32_t length = FormatLine(line, format, arguments);
    va_end(arguments);

    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, style.font->texture);
    glBegin(GL_QUADS);
    glColor4fv(style.colour);
    for (int32_t k = 0; k < length; ++k) {
        DrawGlyph(style, x, y, k, static_cast<unsigned char>(line[k]));
    }
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_BLEND);
    return 0;
}
