// Small files for the resource tests: a scratch directory per test under the build tree, and
// BMP files built byte by byte.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace resourcetest {

using Bytes = std::vector<unsigned char>;

inline void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    ASSERT_TRUE(file.good()) << path;
}

// The file's bytes; none when it cannot be read.
inline Bytes ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// A test with a fresh, empty directory of its own, and files of given bytes in it.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::filesystem::path path = std::filesystem::path(LUMENVALE_BUILD_DIR) / "test-files" /
                                     (std::string(test->test_suite_name()) + "." + test->name());
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        dir = path.string();
    }

    // Writes the bytes as a file of the scratch directory and gives its path.
    std::string File(const std::string& name, const Bytes& bytes) {
        std::string path = dir + "/" + name;
        WriteBytes(path, bytes);
        return path;
    }

    std::string dir;
};

inline void Put16(Bytes& bytes, size_t at, uint32_t value) {
    bytes[at] = value & 0xff;
    bytes[at + 1] = (value >> 8) & 0xff;
}

inline void Put32(Bytes& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, value & 0xffff);
    Put16(bytes, at + 2, value >> 16);
}

// A BMP file with the two headers and the given bytes after them. The pixel data offset is
// 54 and the file size field is right unless a test changes them.
inline Bytes Bmp(int32_t width, int32_t height, int bitCount, const Bytes& afterHeaders) {
    Bytes bytes(54 + afterHeaders.size(), 0);
    std::copy(afterHeaders.begin(), afterHeaders.end(), bytes.begin() + 54);
    bytes[0] = 'B';
    bytes[1] = 'M';
    Put32(bytes, 2, static_cast<uint32_t>(54 + afterHeaders.size()));
    Put32(bytes, 10, 54);
    Put32(bytes, 14, 40);
    Put32(bytes, 18, static_cast<uint32_t>(width));
    Put32(bytes, 22, static_cast<uint32_t>(height));
    Put16(bytes, 26, 1);
    Put16(bytes, 28, static_cast<uint32_t>(bitCount));
    Put32(bytes, 34, static_cast<uint32_t>(afterHeaders.size()));
    return bytes;
}

// Distinct bytes, so that a test sees which ones were kept.
inline Bytes Pattern(size_t count, unsigned seed = 1) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<unsigned char>(seed * 31 + i * 7);
    }
    return bytes;
}

// A whole picture: rows of distinct bytes, each padded to 4.
inline Bytes Picture(int32_t width, int32_t height, int bitCount, unsigned seed = 1) {
    size_t rows = static_cast<size_t>(height < 0 ? -static_cast<int64_t>(height) : height);
    size_t rowBytes = (static_cast<size_t>(width) * (bitCount / 8) + 3) / 4 * 4;
    return Bmp(width, height, bitCount, Pattern(rowBytes * rows, seed));
}

}  // namespace resourcetest
