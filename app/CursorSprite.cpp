#include "app/CursorSprite.h"

namespace {
// Half the sprite's side in GL units: 0.06 across, about 38 × 31 pixels on the window.
const double HalfSize = 0.03;
}  // namespace

void CursorSprite(GLuint texture, GlPoint at) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(float(at.x - HalfSize), float(at.y - HalfSize));
    glTexCoord2f(1, 0);
    glVertex2f(float(at.x + HalfSize), float(at.y - HalfSize));
    glTexCoord2f(1, 1);
    glVertex2f(float(at.x + HalfSize), float(at.y + HalfSize));
    glTexCoord2f(0, 1);
    glVertex2f(float(at.x - HalfSize), float(at.y + HalfSize));
    glEnd();
}
