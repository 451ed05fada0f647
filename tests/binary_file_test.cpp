#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "resources/BinaryFile.h"
#include "tests/ResourceTestFiles.h"

namespace {

using resourcetest::Bytes;

const int32_t ReadBinary = BinaryFile::ModeRead | BinaryFile::ModeBinary;
const int32_t WriteBinary = BinaryFile::ModeWrite | BinaryFile::ModeBinary;

std::string ModeText(const BinaryFile& file) {
    return std::string(file.mode, strnlen(file.mode, sizeof file.mode));
}

void ExpectLikeNew(const BinaryFile& file) {
    EXPECT_EQ(file.handle, nullptr);
    EXPECT_EQ(file.flags, 0);
    const char cleared[4] = {0, 0, 0, 0};
    EXPECT_EQ(std::memcmp(file.mode, cleared, 4), 0);
}

class BinaryFileTest : public resourcetest::ScratchTest {
protected:
    void SetUp() override {
        ScratchTest::SetUp();
        tenBytes = File("ten.bin", Bytes{'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'});
    }

    std::string tenBytes;
};

TEST_F(BinaryFileTest, NewFileHoldsNothing) {
    BinaryFile file;
    ExpectLikeNew(file);
    EXPECT_EQ(file.Size(), -1);
}

TEST_F(BinaryFileTest, ModeTextFollowsTheFlagsHeld) {
    struct Case {
        int32_t flags;
        const char* mode;
    };
    for (Case c : {Case{ReadBinary, "rb"}, Case{WriteBinary, "wb"}, Case{BinaryFile::ModeRead, "r"},
                   Case{BinaryFile::ModeWrite, "w"}}) {
        SCOPED_TRACE(c.mode);
        BinaryFile file;
        bool reading = (c.flags & BinaryFile::ModeRead) != 0;
        ASSERT_TRUE(file.Open(reading ? tenBytes.c_str() : (dir + "/mode.bin").c_str(), c.flags));
        EXPECT_NE(file.handle, nullptr);
        EXPECT_EQ(file.flags, c.flags);
        EXPECT_EQ(ModeText(file), c.mode);
    }
}

TEST_F(BinaryFileTest, OpenWithoutReadOrWriteOpensNothing) {
    std::string name = dir + "/never.bin";
    for (int32_t flags : {0, int32_t{BinaryFile::ModeBinary}}) {
        BinaryFile file;
        EXPECT_FALSE(file.Open(name.c_str(), flags));
        EXPECT_EQ(file.flags, 0);
        EXPECT_EQ(file.handle, nullptr);
    }
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(BinaryFileTest, FailedOpenKeepsItsFlagsAndTheNextOpenAddsToThem) {
    BinaryFile file;
    EXPECT_FALSE(file.Open((dir + "/missing.bin").c_str(), ReadBinary));
    EXPECT_EQ(file.handle, nullptr);
    EXPECT_EQ(file.flags, ReadBinary);
    EXPECT_EQ(ModeText(file), "rb");

    // Read and write together update the existing file in place, without emptying it.
    ASSERT_TRUE(file.Open(tenBytes.c_str(), BinaryFile::ModeWrite));
    EXPECT_EQ(file.flags, ReadBinary | BinaryFile::ModeWrite);
    EXPECT_EQ(ModeText(file), "rwb");
    EXPECT_EQ(file.Size(), 10);
    char first[2] = {};
    EXPECT_EQ(file.Read(first, 2), 1);
    EXPECT_EQ(std::string(first, 2), "01");

    BinaryFile missing;
    EXPECT_FALSE(
        missing.Open((dir + "/missing.bin").c_str(), BinaryFile::ModeRead | BinaryFile::ModeWrite));
    EXPECT_FALSE(std::filesystem::exists(dir + "/missing.bin"));
}

TEST_F(BinaryFileTest, SizeLeavesThePositionWhereItWas) {
    BinaryFile file;
    ASSERT_TRUE(file.Open(tenBytes.c_str(), ReadBinary));
    char bytes[4] = {};
    EXPECT_EQ(file.Read(bytes, 3), 1);
    EXPECT_EQ(file.Size(), 10);
    EXPECT_EQ(file.Read(bytes, 4), 1);
    EXPECT_EQ(std::string(bytes, 4), "3456");
    file.Close();

    ASSERT_TRUE(file.Open(File("empty.bin", {}).c_str(), ReadBinary));
    EXPECT_EQ(file.Size(), 0);
}

TEST_F(BinaryFileTest, ReadGivesOneOnlyForAWholeBlock) {
    BinaryFile file;
    ASSERT_TRUE(file.Open(tenBytes.c_str(), ReadBinary));
    char bytes[16] = {};
    EXPECT_EQ(file.Read(bytes, 8), 1);
    EXPECT_EQ(file.Read(bytes, 8), 0);  // only two bytes were left
    EXPECT_EQ(std::string(bytes, 2), "89");
}

TEST_F(BinaryFileTest, ReadWithNothingToReadTouchesNothing) {
    char bytes[4] = {'x', 'x', 'x', 'x'};
    BinaryFile closed;
    EXPECT_EQ(closed.Read(bytes, 4), 0);
    EXPECT_EQ(std::string(bytes, 4), "xxxx");

    BinaryFile file;
    ASSERT_TRUE(file.Open(tenBytes.c_str(), ReadBinary));
    EXPECT_EQ(file.Read(bytes, 0), 0);
    EXPECT_EQ(file.Read(bytes, -1), 0);
    EXPECT_EQ(file.Read(nullptr, 4), 0);
    EXPECT_EQ(std::string(bytes, 4), "xxxx");
    EXPECT_EQ(file.Read(bytes, 2), 1);  // still at the start
    EXPECT_EQ(std::string(bytes, 2), "01");
}

TEST_F(BinaryFileTest, WriteStoresBlocksInOrder) {
    std::string name = dir + "/written.bin";
    BinaryFile file;
    EXPECT_FALSE(file.Write("ab", 2));
    ASSERT_TRUE(file.Open(name.c_str(), WriteBinary));
    EXPECT_TRUE(file.Write("ab", 2));
    EXPECT_TRUE(file.Write("zz", 0));
    EXPECT_TRUE(file.Write(nullptr, 5));
    EXPECT_TRUE(file.Write("cde", 3));
    file.Close();
    EXPECT_EQ(resourcetest::ReadBytes(name), (Bytes{'a', 'b', 'c', 'd', 'e'}));

    // Opening for writing empties the file.
    ASSERT_TRUE(file.Open(name.c_str(), WriteBinary));
    file.Close();
    EXPECT_TRUE(resourcetest::ReadBytes(name).empty());
}

TEST_F(BinaryFileTest, CloseReturnsToTheStateOfANewFile) {
    BinaryFile file;
    file.Close();
    ExpectLikeNew(file);

    ASSERT_TRUE(file.Open(tenBytes.c_str(), ReadBinary));
    file.Close();
    ExpectLikeNew(file);
    EXPECT_EQ(file.Size(), -1);
    EXPECT_FALSE(file.Write("a", 1));
    file.Close();
    ExpectLikeNew(file);
}

TEST_F(BinaryFileTest, OpenOnAnOpenFileClosesTheFirstStream) {
    BinaryFile file;
    ASSERT_TRUE(file.Open(tenBytes.c_str(), ReadBinary));
    std::string name = dir + "/second.bin";
    ASSERT_TRUE(file.Open(name.c_str(), WriteBinary));
    EXPECT_EQ(file.flags, WriteBinary);
    EXPECT_EQ(ModeText(file), "wb");
    EXPECT_TRUE(file.Write("x", 1));
    file.Close();
    EXPECT_EQ(resourcetest::ReadBytes(name), Bytes{'x'});
}

TEST_F(BinaryFileTest, DestroyingAnOpenFileClosesIt) {
    std::string name = dir + "/forgotten.bin";
    {
        BinaryFile file;
        ASSERT_TRUE(file.Open(name.c_str(), WriteBinary));
        file.Write("kept", 4);
    }
    EXPECT_EQ(resourcetest::ReadBytes(name), (Bytes{'k', 'e', 'p', 't'}));
}

}  // namespace
