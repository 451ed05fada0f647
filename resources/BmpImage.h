// An uncompressed BMP picture held as it lies on disk: the two headers as read and every byte
// after them as one pixel buffer (rows bottom-up, padded to 4 bytes, blue-green-red order), with
// the width, height and GL formats the texture upload needs.
#pragma once

#include <cstdint>

#include "app/GL.h"
#include "resources/BinaryFile.h"
#include "resources/Image.h"
#include "resources/String.h"

const int32_t BmpFileHeaderSize = 14;
const int32_t BmpInfoHeaderSize = 40;
const int32_t BmpHeadersSize = BmpFileHeaderSize + BmpInfoHeaderSize;

class BmpImage : public Image {
public:
    // Holds no pixels; width and height 0, bytesPerPixel 0 and the 24-bit formats, so that a
    // first picture of another bit count uploads no data.
    BmpImage();
    ~BmpImage();
    // One buffer, one owner.
    BmpImage(const BmpImage&) = delete;
    BmpImage& operator=(const BmpImage&) = delete;

    // Reads the file. True when it was opened and every byte was read; a file shorter than the
    // two headers, a short read or a pixel buffer that cannot be allocated give false and an
    // image holding no pixels. Only a bit count of 24 or 32 changes bytesPerPixel and the
    // formats; width and height come from any complete header.
    bool Load(String name) override;
    // Writes the headers as read and the pixel buffer: the loaded file byte for byte. False,
    // creating no file, when the image holds no pixels; false when the file cannot be opened.
    bool Save(String name) override;

    bool HoldsPixels() const { return pixelDataSize != 0; }
    // Frees the pixel buffer, as once GL holds its own copy of the picture; the size, formats and
    // headers stay.
    void ReleasePixels();

    int32_t width;
    int32_t height;
    int32_t bytesPerPixel;
    GLenum internalFormat;
    GLenum pixelFormat;
    unsigned char* pixels;
    int32_t pixelDataSize;  // 0 exactly when the image holds no pixels
    unsigned char fileHeader[BmpFileHeaderSize];
    unsigned char infoHeader[BmpInfoHeaderSize];

private:
    bool ReadHeaders(BinaryFile& file);
    bool ReadPixels(BinaryFile& file, int32_t fileSize);
    void TakeFormatFromHeader();
};
