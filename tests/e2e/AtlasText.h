// Reads texts off the screen the way the game draws them: every byte one glyph cell of the
// font atlas "Font.bmp", stretched over a quad of fixed size. A text is "seen" where the
// brightness of the screen follows the ink of those cells.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/GameScreen.h"

namespace e2e {

class GlyphAtlas {
public:
    // Reads an uncompressed 24- or 32-bit BMP; false when the file is missing or malformed.
    bool Load(const std::string& path);
    bool Loaded() const { return width > 0; }
    // The ink of the glyph for `byte` at (u, v) inside its cell, u to the right and v upwards,
    // both 0 … 1; the result is 0 (none) … 1 (full).
    double Ink(uint8_t byte, double u, double v) const;

private:
    double Texel(int x, int y) const;

    int width = 0, height = 0;
    std::vector<float> ink;  // rows top-down
};

// How closely the screen follows the ink of `text` drawn from (x, y) (the lower-left corner of
// its first glyph, GL coordinates) with the given glyph size: the correlation, −1 … 1, between
// the ink and the brightest channel of every pixel under the text's quads.
double TextMatch(const Screenshot& shot, const GlyphAtlas& atlas, const std::string& text, double x,
                 double y, double glyphWidth, double glyphHeight);

// A menu button's caption, centred on its rectangle.
double ButtonCaptionMatch(const Screenshot& shot, const GlyphAtlas& atlas, const GlRect& rect,
                          const std::string& text);
// Line `index` (0 the highest) of the about box.
double AboutLineMatch(const Screenshot& shot, const GlyphAtlas& atlas, int index,
                      const std::string& text);

// The captions, in the game's single-byte code page.
namespace captions {
inline const std::string Play = "\xC8\xE3\xF0\xE0\xF2\xFC";     // "Играть"
inline const std::string Authors = "\xC0\xE2\xF2\xEE\xF0\xFB";  // "Авторы"
inline const std::string Exit = "\xC2\xFB\xF5\xEE\xE4";         // "Выход"
inline const std::string Back = "\xCD\xE0\xE7\xE0\xE4";         // "Назад"
inline const std::string Size4 = "4x4";
inline const std::string Size6 = "6x6";
inline const std::string Size8 = "8x8";
inline const std::string GameName = "LUMENVALE";
}  // namespace captions

}  // namespace e2e
