#include "resources/BinaryFile.h"

#include <climits>
#include <cstring>

namespace {

// Read and write together update an existing file in place: the mode text "rw" is not one the
// standard library knows. Null for every other combination, which opens with the mode text.
const char* UpdateMode(int32_t flags) {
    bool binary = (flags & BinaryFile::ModeBinary) != 0;
    if ((flags & BinaryFile::ModeRead) && (flags & BinaryFile::ModeWrite)) {
        return binary ? "r+b" : "r+";
    }
    return nullptr;
}

}  // namespace

BinaryFile::BinaryFile() : handle(nullptr), flags(0), mode{0, 0, 0, 0} {}

BinaryFile::~BinaryFile() {
    Close();
}

bool BinaryFile::Open(String name, int32_t openFlags) {
    Close();
    flags |= openFlags;
    std::memset(mode, 0, sizeof mode);
    int letters = 0;
    if (flags & ModeRead) {
        mode[letters++] = 'r';
    }
    if (flags & ModeWrite) {
        mode[letters++] = 'w';
    }
    if (flags & ModeBinary) {
        mode[letters++] = 'b';
    }
    if ((flags & (ModeRead | ModeWrite)) == 0) {
        flags = 0;
        return false;
    }
    const char* updateMode = UpdateMode(flags);
    handle = std::fopen(name.CStr(), updateMode != nullptr ? updateMode : mode);
    return handle != nullptr;
}

int32_t BinaryFile::Size() {
    if (handle == nullptr) {
        return -1;
    }
    long position = std::ftell(handle);
    if (position < 0 || std::fseek(handle, 0, SEEK_END) != 0) {
        return -1;
    }
    long end = std::ftell(handle);
    std::fseek(handle, position, SEEK_SET);
    if (end < 0 || end > INT32_MAX) {
        return -1;
    }
    return static_cast<int32_t>(end);
}

int32_t BinaryFile::Read(void* buffer, int32_t n) {
    if (handle == nullptr || buffer == nullptr || n <= 0) {
        return 0;
    }
    return static_cast<int32_t>(std::fread(buffer, static_cast<size_t>(n), 1, handle));
}

bool BinaryFile::Write(const void* buffer, int32_t n) {
    if (handle == nullptr) {
        return false;
    }
    if (buffer != nullptr && n > 0) {
        std::fwrite(buffer, static_cast<size_t>(n), 1, handle);
    }
    return true;
}

void BinaryFile::Close() {
    if (handle == nullptr) {
        return;
    }
    flags = 0;
    std::memset(mode, 0, sizeof mode);
    std::fclose(handle);
    handle = nullptr;
}
