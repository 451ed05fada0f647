// The game's one text type: a heap-owned, NUL-terminated run of single-byte characters with its
// length. File names, widget captions and the credits text all travel as Strings. Characters are
// plain bytes, so the Windows-1251 captions pass through untouched.
#pragma once

#include <cstdint>

class String {
public:
    String();
    // A null pointer gives the empty text.
    String(const char* text);  // NOLINT: literals are passed where a String is taken by value
    String(const String& other);
    // Same as Assign: each String keeps its own buffer, so there is never a double release.
    String& operator=(const String& other);
    ~String();

    const char* CStr() const { return data; }

    // The text becomes a copy of the source's text up to its first NUL.
    String& Assign(const String& source);
    // Drops the last n bytes when 0 < n <= length; otherwise no change.
    void Truncate(int32_t n);
    // Removes count bytes from index start when 0 <= start, 0 < count and the whole range lies
    // inside the text; otherwise no change.
    void Erase(int32_t start, int32_t count);
    // Index of the first occurrence of pattern at or after start (a negative start counts as
    // 0), or -1. An empty String finds nothing; a null pattern finds nothing.
    int32_t Find(const char* pattern, int32_t start) const;
    // Cuts the text at every occurrence of separator into a new array of count Strings that the
    // caller releases with delete[]. The array held before is neither reused nor released. A
    // null or empty separator gives one piece, the whole text. When the array cannot be
    // allocated, pieces is null and count is 0.
    void Split(String*& pieces, uint32_t& count, const char* separator) const;

    // Every change replaces the buffer by one of exactly length + 1 bytes. When memory runs
    // out, a change leaves the text as it was, and a new String is the empty text.
    char* data;
    int32_t length;

private:
    String(const char* bytes, int32_t count);
    // Replaces the text by count bytes from bytes; false (and no change) without memory.
    bool Replace(const char* first, int32_t firstCount, const char* second, int32_t secondCount);
    void Release();
};
