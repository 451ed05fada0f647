#include "app/TexturedQuad.h"

#include "app/GL.h"

namespace {
void Corner(float s, float t, double x, double y) {
    glTexCoord2f(s, t);
    glVertex2f(static_cast<float>(x), static_cast<float>(y));
}
}  // namespace

void TexturedQuad(double left, double bottom, double right, double top) {
    glBegin(GL_QUADS);
    Corner(0, 0, left, bottom);
    Corner(1, 0, right, bottom);
    Corner(1, 1, right, top);
    Corner(0, 1, left, top);
    glEnd();
}
