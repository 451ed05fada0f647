// The quad every picture of the game is drawn with: texture coordinate (0, 0) at the lower
// left, so the picture stands upright, corners counter-clockwise from there.
#pragma once

// One glBegin/glEnd pair; the texture, colour and blending are the caller's.
void TexturedQuad(double left, double bottom, double right, double top);
