// Feeds arbitrary bytes to the picture loader as a BMP file and uploads the result to the
// recording OpenGL, which reads every byte glTexImage2D would read: the sanitizers catch any
// read outside the pixel buffer. Also checks that a complete load saves back byte for byte.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/BmpImage.h"
#include "resources/TextureParams.h"
#include "tests/support/RecordingGL.h"

namespace {

// An in-memory file reachable by name, so that no run touches the disk.
struct MemoryFile {
    explicit MemoryFile(const char* label) : fd(memfd_create(label, 0)) {
        if (fd < 0) {
            std::abort();
        }
        path = "/proc/self/fd/" + std::to_string(fd);
    }

    void Fill(const uint8_t* bytes, size_t size) const {
        if (ftruncate(fd, 0) != 0 ||
            (size > 0 && pwrite(fd, bytes, size, 0) != static_cast<ssize_t>(size))) {
            std::abort();
        }
    }

    std::vector<uint8_t> Contents() const {
        std::vector<uint8_t> bytes(static_cast<size_t>(lseek(fd, 0, SEEK_END)));
        if (!bytes.empty() && pread(fd, bytes.data(), bytes.size(), 0) < 0) {
            std::abort();
        }
        return bytes;
    }

    int fd;
    std::string path;
};

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A 2 x 2 24-bit picture, loaded first into one of the images so that the input's header
// meets formats and sizes left from an earlier picture.
const uint8_t EarlierPicture[70] = {
    'B', 'M', 70, 0, 0,  0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0,
    0,   0,   1,  0, 24, 0, 0, 0, 0, 0, 16, 0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0,
};

void CheckHeldPixels(const BmpImage& image) {
    Check(image.pixelDataSize >= 0, "negative pixel data size");
    Check((image.pixelDataSize == 0) == (image.pixels == nullptr), "pixels and size disagree");
}

void CheckUpload(const BmpImage& image) {
    recgl::Reset();
    GLuint texture = 0;
    TextureParams().UploadTexture(image, texture);
    std::vector<recgl::Call> uploads = recgl::CallsNamed("glTexImage2D");
    Check(uploads.size() == 1, "one glTexImage2D");
    const recgl::Call& upload = uploads[0];
    Check(upload[3] >= 0 && upload[4] >= 0, "negative texture size");
    if (upload.pointer != nullptr) {
        Check(upload.pointer == image.pixels, "foreign pixel pointer");
        size_t read =
            recgl::UploadBytes(static_cast<GLenum>(upload[6]), static_cast<GLsizei>(upload[3]),
                               static_cast<GLsizei>(upload[4]));
        Check(read <= static_cast<size_t>(image.pixelDataSize), "GL reads past the pixels");
    }
    Check(recgl::Current().misuse.empty(), "GL misuse");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MemoryFile input("bmp-input");
    static MemoryFile earlier("bmp-earlier");
    static MemoryFile saved("bmp-saved");
    input.Fill(data, size);

    BmpImage fresh;
    bool loaded = fresh.Load(input.path.c_str());
    CheckHeldPixels(fresh);
    CheckUpload(fresh);
    if (loaded && fresh.HoldsPixels()) {
        Check(fresh.Save(saved.path.c_str()), "save of a loaded picture");
        Check(saved.Contents() == std::vector<uint8_t>(data, data + size), "save differs");
    }

    BmpImage reused;
    earlier.Fill(EarlierPicture, sizeof EarlierPicture);
    Check(reused.Load(earlier.path.c_str()), "earlier picture loads");
    reused.Load(input.path.c_str());
    CheckHeldPixels(reused);
    CheckUpload(reused);
    return 0;
}
