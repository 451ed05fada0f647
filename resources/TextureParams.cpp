#include "resources/TextureParams.h"

namespace {

// What glTexImage2D is handed: a size GL accepts, and pixels only when GL reads inside them.
struct TextureUpload {
    GLsizei width;
    GLsizei height;
    const unsigned char* pixels;
};

bool SideFits(int32_t side) {
    return side > 0 && side <= MaxTextureSide;
}

// Bytes per pixel the GL format reads, or 0 for a format the images never hold.
int32_t FormatBytes(GLenum format) {
    switch (format) {
        case GL_BGR_EXT:
            return 3;
        case GL_BGRA_EXT:
            return 4;
        default:
            return 0;
    }
}

// Bytes GL reads for the picture: rows padded to 4 bytes, GL's default unpack alignment that
// BMP rows share. Both sides are at most MaxTextureSide, so this cannot overflow.
int64_t PictureBytes(const BmpImage& image) {
    int64_t row = (int64_t{image.width} * FormatBytes(image.pixelFormat) + 3) / 4 * 4;
    return row * image.height;
}

TextureUpload PlanUpload(const BmpImage& image) {
    // Zero, negative (a top-down file) or absurd sides: an empty texture. Top-down rows would
    // also stand the picture on its head; the game's pictures are all bottom-up.
    if (!SideFits(image.width) || !SideFits(image.height)) {
        return {0, 0, nullptr};
    }
    // An image whose bit count set no format (bytesPerPixel still 0) or whose buffer is shorter
    // than its rows gets a texture of its size with undefined content, as after a failed Load.
    bool layoutKnown = FormatBytes(image.pixelFormat) != 0 &&
                       FormatBytes(image.pixelFormat) == image.bytesPerPixel;
    bool bufferCovers = image.HoldsPixels() && image.pixels != nullptr &&
                        PictureBytes(image) <= image.pixelDataSize;
    const unsigned char* data = layoutKnown && bufferCovers ? image.pixels : nullptr;
    return {image.width, image.height, data};
}

}  // namespace

TextureParams::TextureParams() : hintMode(GL_FASTEST), generateMipmap(0), filter(GL_LINEAR) {}

void TextureParams::UploadTexture(const BmpImage& image, GLuint& textureId) const {
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    glHint(GL_GENERATE_MIPMAP_HINT, hintMode);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, generateMipmap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(filter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(filter));
    TextureUpload upload = PlanUpload(image);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(image.internalFormat), upload.width,
                 upload.height, 0, image.pixelFormat, GL_UNSIGNED_BYTE, upload.pixels);
}
