// What the text probe draws and where, shared by the probe and the test that photographs it.
#pragma once

namespace textprobe {

const char* const Title = "LumenvaleTextProbe";
// "Lumenvale 4x4 Играть Выход", the Cyrillic words in Windows-1251.
const char* const Text = "Lumenvale 4x4 \xC8\xE3\xF0\xE0\xF2\xFC \xC2\xFB\xF5\xEE\xE4";
// Glyphs of 32 x 64 pixels in the 1280 x 1024 window, the line's bottom-left corner at the
// window's centre height, 224 pixels from its left edge.
const double GlyphWidth = 0.05;
const double GlyphHeight = 0.125;
const double Left = -0.65;
const double Bottom = 0;

}  // namespace textprobe
