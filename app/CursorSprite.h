// The picture drawn in place of the hidden system pointer, centred on it, last on each screen.
#pragma once

#include "app/Cursor.h"
#include "app/GL.h"

// Texturing must be on; the current colour and blending are left as the screen set them.
void CursorSprite(GLuint texture, GlPoint position);
