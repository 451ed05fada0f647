// The game's procedurally drawn pictures, one function each.
#pragma once

#include "canvas.h"
#include "glyph_rasterizer.h"

namespace lumenvale::assets {

enum class LampColour { Green, Red, Blue };

// Sizes of the pictures in texels.
constexpr int kLampSize = 128;
constexpr int kTrueLampWidth = 64;
constexpr int kTrueLampHeight = 128;
constexpr int kTitleWidth = 1024;
constexpr int kTitleHeight = 128;
constexpr int kCursorSize = 64;
constexpr int kPlanetSize = 512;

// The main hue of a lit lamp.
Colour lampHue(LampColour colour);

// A round board lamp, lit (glowing) or dark, filling one board cell.
Canvas makeLamp(LampColour colour, bool lit);
// The tall indicator lamp beside the board, one cell wide and two cells high.
Canvas makeTrueLamp(bool lit);
// The game's name in glowing gold letters.
Canvas makeTitle(GlyphRasterizer& font);
// A ring-and-crosshair pointer whose hot spot is the centre of the picture.
Canvas makeCursor();
// A lit planet on a starry background; fully opaque.
Canvas makePlanet();

}  // namespace lumenvale::assets
