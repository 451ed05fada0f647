// The settings every texture of the game is made with, and the upload of a loaded picture as a
// GL 2D texture.
#pragma once

#include <cstdint>

#include "app/GL.h"
#include "resources/BmpImage.h"

// Largest side, in pixels, whose data is handed to GL; the game's pictures are far smaller.
const int32_t MaxTextureSide = 16384;

class TextureParams {
public:
    TextureParams();

    // Generates a texture name into textureId, binds it to GL_TEXTURE_2D (it stays bound), sets
    // the mipmap hint, mipmap generation and both filters, then gives level 0 the picture.
    // GL never reads past the picture's pixel buffer: when the buffer is shorter than the
    // picture's rows (each padded to 4 bytes), the layout is unknown (bytesPerPixel does not
    // match the pixel format) or the image holds no pixels, the texture is made at the
    // picture's size without data. A width or height that is 0, negative (top-down files
    // included) or above MaxTextureSide gives an empty 0 x 0 texture without data.
    void UploadTexture(const BmpImage& image, GLuint& textureId) const;

    GLenum hintMode;
    GLint generateMipmap;
    GLenum filter;
};
