#include "app/CursorSprite.h"

#include "app/TexturedQuad.h"

namespace {
// Half the sprite's side in GL units: 0.06 across, about 38 × 31 pixels on the window.
const double HalfSize = 0.03;
}  // namespace

void CursorSprite(GLuint texture, GlPoint at) {
    glBindTexture(GL_TEXTURE_2D, texture);
    TexturedQuad(at.x - HalfSize, at.y - HalfSize, at.x + HalfSize, at.y + HalfSize);
}
