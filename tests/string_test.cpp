#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "resources/String.h"
#include "tests/support/AllocationCounter.h"

namespace {

// The text and length agree and the buffer ends in the NUL right after the text.
void ExpectText(const String& s, const std::string& expected) {
    ASSERT_NE(s.data, nullptr);
    EXPECT_EQ(s.length, static_cast<int32_t>(expected.size()));
    EXPECT_EQ(std::string(s.CStr(), static_cast<size_t>(s.length)), expected);
    EXPECT_EQ(s.CStr()[s.length], '\0');
}

std::vector<std::string> SplitToVector(const char* text, const char* separator) {
    String s(text);
    String* pieces = nullptr;
    uint32_t count = 99;
    s.Split(pieces, count, separator);
    std::vector<std::string> result;
    for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(static_cast<int32_t>(std::strlen(pieces[i].CStr())), pieces[i].length);
        result.emplace_back(pieces[i].CStr());
    }
    delete[] pieces;
    return result;
}

using Pieces = std::vector<std::string>;

TEST(StringTest, ConstructsEmptyFromNothingEmptyTextOrNull) {
    ExpectText(String(), "");
    ExpectText(String(""), "");
    ExpectText(String(static_cast<const char*>(nullptr)), "");
}

TEST(StringTest, CopiesTextIntoItsOwnExactBuffer) {
    const char* source = "Lumen\xC8";
    String s(source);
    EXPECT_EQ(alloccount::LastNothrowSize(), 7u);
    ExpectText(s, "Lumen\xC8");
    EXPECT_NE(s.CStr(), source);

    String copy(s);
    ExpectText(copy, "Lumen\xC8");
    EXPECT_NE(copy.CStr(), s.CStr());
    copy.Truncate(1);
    ExpectText(s, "Lumen\xC8");
}

TEST(StringTest, CopyAssignmentGivesEachStringItsOwnBuffer) {
    String a("first");
    String b("second one");
    b = a;
    ExpectText(b, "first");
    EXPECT_NE(a.CStr(), b.CStr());
    a.Erase(0, 1);
    ExpectText(a, "irst");
    ExpectText(b, "first");

    String& self = b;
    b = self;
    ExpectText(b, "first");
    // Both destructors run at the end of the scope; a shared buffer would be released twice.
}

TEST(StringTest, AssignCopiesTextUpToTheFirstNul) {
    String target("old text");
    target.Assign(String("new"));
    ExpectText(target, "new");
    EXPECT_EQ(alloccount::LastNothrowSize(), 4u);

    target.Assign(String());
    ExpectText(target, "");

    String self("keep");
    EXPECT_EQ(&self.Assign(self), &self);
    ExpectText(self, "keep");

    // The length is counted afresh, not taken from the source's length field.
    String cut("abc");
    cut.data[1] = '\0';
    target.Assign(cut);
    ExpectText(target, "a");
}

TEST(StringTest, TruncateDropsTrailingBytesOnlyWhenInRange) {
    struct Case {
        int32_t n;
        const char* expected;
    };
    for (Case c : {Case{1, "ab"}, Case{3, ""}, Case{0, "abc"}, Case{4, "abc"}, Case{-1, "abc"},
                   Case{INT32_MIN, "abc"}}) {
        SCOPED_TRACE(c.n);
        String s("abc");
        s.Truncate(c.n);
        ExpectText(s, c.expected);
    }
    String s("abcdef");
    s.Truncate(2);
    EXPECT_EQ(alloccount::LastNothrowSize(), 5u);
}

TEST(StringTest, EraseRemovesARangeInsideTheText) {
    struct Case {
        int32_t start;
        int32_t count;
        const char* expected;
    };
    for (Case c : {Case{1, 1, "ac"}, Case{0, 2, "c"}, Case{1, 2, "a"}, Case{0, 3, ""},
                   Case{1, 3, "abc"}, Case{3, 1, "abc"}, Case{-1, 2, "abc"}, Case{0, 0, "abc"},
                   // A count below 1 would copy bytes twice; it changes nothing.
                   Case{2, -1, "abc"}, Case{2, -2, "abc"},
                   // start + count beyond the 32-bit range must not wrap into the text.
                   Case{1, INT32_MAX, "abc"}, Case{2, INT32_MIN, "abc"}}) {
        SCOPED_TRACE(std::to_string(c.start) + ", " + std::to_string(c.count));
        String s("abc");
        s.Erase(c.start, c.count);
        ExpectText(s, c.expected);
    }
    String empty;
    empty.Erase(0, 1);
    ExpectText(empty, "");
}

TEST(StringTest, FindSearchesFromAClampedStart) {
    String s("abcabc");
    EXPECT_EQ(s.Find("bc", 0), 1);
    EXPECT_EQ(s.Find("bc", 2), 4);
    EXPECT_EQ(s.Find("bc", 5), -1);
    EXPECT_EQ(s.Find("bc", -7), 1);
    EXPECT_EQ(s.Find("a", 6), -1);
    EXPECT_EQ(s.Find("a", INT32_MAX), -1);
    EXPECT_EQ(s.Find("x", 0), -1);
    EXPECT_EQ(s.Find("", 3), 3);
    EXPECT_EQ(s.Find("", -2), 0);
    EXPECT_EQ(s.Find(nullptr, 0), -1);

    String empty;
    EXPECT_EQ(empty.Find("", 0), -1);
    EXPECT_EQ(empty.Find("a", -1), -1);
}

TEST(StringTest, SplitCutsAtEveryNewline) {
    EXPECT_EQ(SplitToVector("", "\n"), Pieces({""}));
    EXPECT_EQ(SplitToVector("whole line", "\n"), Pieces({"whole line"}));
    EXPECT_EQ(SplitToVector("a\nb", "\n"), Pieces({"a", "b"}));
    EXPECT_EQ(SplitToVector("\na", "\n"), Pieces({"", "a"}));
    EXPECT_EQ(SplitToVector("a\n", "\n"), Pieces({"a", ""}));
    EXPECT_EQ(SplitToVector("a\n\nb", "\n"), Pieces({"a", "", "b"}));
    EXPECT_EQ(SplitToVector("\n", "\n"), Pieces({"", ""}));
    EXPECT_EQ(
        SplitToVector("   \nLUMENVALE\n   \nby the team\nlumenvale.example\n  \nthanks", "\n"),
        Pieces({"   ", "LUMENVALE", "   ", "by the team", "lumenvale.example", "  ", "thanks"}));
}

TEST(StringTest, SplitWithLongerOrMissingSeparators) {
    // Searching resumes after the whole separator: pieces are the runs between separators.
    EXPECT_EQ(SplitToVector("x--y----z", "--"), Pieces({"x", "y", "", "z"}));
    EXPECT_EQ(SplitToVector("x---y", "--"), Pieces({"x", "-y"}));
    // Nothing to cut at: the whole text is the one piece.
    EXPECT_EQ(SplitToVector("a\nb", ""), Pieces({"a\nb"}));
    EXPECT_EQ(SplitToVector("a\nb", nullptr), Pieces({"a\nb"}));
}

TEST(StringTest, SplitHandsOverANewArrayAndLeavesTheOldOne) {
    String s("a\nb\nc");
    String* pieces = nullptr;
    uint32_t count = 0;
    s.Split(pieces, count, "\n");
    String* first = pieces;
    s.Split(pieces, count, "\n");
    EXPECT_NE(pieces, first);
    EXPECT_EQ(count, 3u);
    ExpectText(first[2], "c");
    ExpectText(pieces[2], "c");
    delete[] first;
    delete[] pieces;
}

TEST(StringTest, OutOfMemoryLeavesTextsAsTheyWere) {
    String s("abcdef");
    alloccount::FailNothrow(0, SIZE_MAX);

    s.Truncate(2);
    ExpectText(s, "abcdef");
    s.Erase(1, 2);
    ExpectText(s, "abcdef");
    s.Assign(String("x"));
    ExpectText(s, "abcdef");

    // A String that cannot get a buffer is the empty text, usable and safe to destroy.
    String fresh("never stored");
    ExpectText(fresh, "");
    fresh.Truncate(1);
    fresh.Assign(fresh);
    ExpectText(fresh, "");
    String copy(s);
    ExpectText(copy, "");
    alloccount::StopFailing();
}

TEST(StringTest, SplitWithoutMemoryForTheArrayGivesNoPieces) {
    String s("a\nb");
    String* pieces = &s;
    uint32_t count = 7;
    // Texts of a few bytes still fit; the array of Strings does not.
    alloccount::FailNothrow(2 * sizeof(String), SIZE_MAX);
    s.Split(pieces, count, "\n");
    alloccount::StopFailing();
    EXPECT_EQ(pieces, nullptr);
    EXPECT_EQ(count, 0u);

    alloccount::FailNothrow(1, sizeof(String));
    s.Split(pieces, count, "\n");
    alloccount::StopFailing();
    // A piece whose text cannot be stored stays empty.
    ASSERT_EQ(count, 2u);
    ExpectText(pieces[0], "");
    ExpectText(pieces[1], "");
    delete[] pieces;
    ExpectText(s, "a\nb");
}

}  // namespace
