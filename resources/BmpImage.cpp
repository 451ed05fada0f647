#include "resources/BmpImage.h"

#include <new>

namespace {

const int BitCountOffset = 14;  // biBitCount, within the info header
const int WidthOffset = 4;      // biWidth
const int HeightOffset = 8;     // biHeight

int32_t LittleEndian32(const unsigned char* bytes) {
    uint32_t value = uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
                     uint32_t(bytes[3]) << 24;
    return static_cast<int32_t>(value);
}

int LittleEndian16(const unsigned char* bytes) {
    return bytes[0] | bytes[1] << 8;
}

}  // namespace

BmpImage::BmpImage()
    : width(0),
      height(0),
      bytesPerPixel(0),
      internalFormat(GL_RGB),
      pixelFormat(GL_BGR_EXT),
      pixels(nullptr),
      pixelDataSize(0),
      fileHeader{},
      infoHeader{} {}

BmpImage::~BmpImage() {
    ReleasePixels();
}

void BmpImage::ReleasePixels() {
    if (pixelDataSize != 0) {
        delete[] pixels;
    }
    pixels = nullptr;
    pixelDataSize = 0;
}

bool BmpImage::Load(String name) {
    BinaryFile file;
    // Released before opening, so that a failed Load leaves the image without pixels.
    ReleasePixels();
    if (!file.Open(name, BinaryFile::ModeRead | BinaryFile::ModeBinary)) {
        return false;
    }
    int32_t fileSize = file.Size();
    // A file too short for the headers keeps width, height and formats of the picture before.
    if (fileSize < BmpHeadersSize || !ReadHeaders(file)) {
        file.Close();
        return false;
    }
    bool complete = ReadPixels(file, fileSize);
    file.Close();
    TakeFormatFromHeader();
    return complete;
}

bool BmpImage::ReadHeaders(BinaryFile& file) {
    return file.Read(fileHeader, 2) == 1 && file.Read(fileHeader + 2, BmpFileHeaderSize - 2) == 1 &&
           file.Read(infoHeader, BmpInfoHeaderSize) == 1;
}

bool BmpImage::ReadPixels(BinaryFile& file, int32_t fileSize) {
    int32_t size = fileSize - BmpHeadersSize;
    if (size == 0) {
        return true;  // a file of the headers alone: complete, but no pixels
    }
    pixels = new (std::nothrow) unsigned char[size];
    if (pixels == nullptr) {
        return false;
    }
    pixelDataSize = size;
    // The file may have shrunk since its size was taken.
    if (file.Read(pixels, size) != 1) {
        ReleasePixels();
        return false;
    }
    return true;
}

void BmpImage::TakeFormatFromHeader() {
    switch (LittleEndian16(infoHeader + BitCountOffset)) {
        case 24:
            bytesPerPixel = 3;
            internalFormat = GL_RGB;
            pixelFormat = GL_BGR_EXT;
            break;
        case 32:
            bytesPerPixel = 4;
            internalFormat = GL_RGBA;
            pixelFormat = GL_BGRA_EXT;
            break;
        default:
            break;  // other layouts keep what the picture before set
    }
    width = LittleEndian32(infoHeader + WidthOffset);
    height = LittleEndian32(infoHeader + HeightOffset);
}

bool BmpImage::Save(String name) {
    BinaryFile file;
    if (!HoldsPixels()) {
        return false;
    }
    if (!file.Open(name, BinaryFile::ModeWrite | BinaryFile::ModeBinary)) {
        return false;
    }
    file.Write(fileHeader, 2);
    file.Write(fileHeader + 2, BmpFileHeaderSize - 2);
    file.Write(infoHeader, BmpInfoHeaderSize);
    file.Write(pixels, pixelDataSize);
    file.Close();
    return true;
}
