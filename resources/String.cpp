#include "resources/String.h"

#include <cstring>
#include <new>

namespace {

// The text of a String whose own buffer could not be allocated. It is never written and never
// released, so data is never null even when memory runs out.
char outOfMemoryText[1] = {'\0'};

int32_t TextLength(const char* text) {
    return text == nullptr ? 0 : static_cast<int32_t>(std::strlen(text));
}

}  // namespace

String::String() : String("", 0) {}

String::String(const char* text) : String(text, TextLength(text)) {}

String::String(const String& other) : String(other.data, TextLength(other.data)) {}

String::String(const char* bytes, int32_t count) : data(outOfMemoryText), length(0) {
    Replace(bytes, count, nullptr, 0);
}

String& String::operator=(const String& other) {
    return Assign(other);
}

String::~String() {
    Release();
}

void String::Release() {
    if (data != outOfMemoryText) {
        delete[] data;
    }
    data = outOfMemoryText;
    length = 0;
}

bool String::Replace(const char* first, int32_t firstCount, const char* second,
                     int32_t secondCount) {
    int32_t newLength = firstCount + secondCount;
    char* buffer = new (std::nothrow) char[static_cast<size_t>(newLength) + 1];
    if (buffer == nullptr) {
        return false;
    }
    // The pieces may lie in the old buffer, so it is released only after copying.
    if (firstCount > 0) {
        std::memcpy(buffer, first, static_cast<size_t>(firstCount));
    }
    if (secondCount > 0) {
        std::memcpy(buffer + firstCount, second, static_cast<size_t>(secondCount));
    }
    buffer[newLength] = '\0';
    Release();
    data = buffer;
    length = newLength;
    return true;
}

String& String::Assign(const String& source) {
    // Counted afresh from the source's bytes; assigning a String to itself copies its own text.
    Replace(source.data, TextLength(source.data), nullptr, 0);
    return *this;
}

void String::Truncate(int32_t n) {
    if (n <= 0 || n > length) {
        return;
    }
    Replace(data, length - n, nullptr, 0);
}

void String::Erase(int32_t start, int32_t count) {
    // Widened so that start + count cannot overflow; a count below 1 would repeat bytes.
    int64_t end = static_cast<int64_t>(start) + count;
    if (start < 0 || start >= length || count <= 0 || end > length) {
        return;
    }
    Replace(data, start, data + end, length - static_cast<int32_t>(end));
}

int32_t String::Find(const char* pattern, int32_t start) const {
    if (pattern == nullptr) {
        return -1;
    }
    if (start < 0) {
        start = 0;
    }
    if (start >= length) {
        return -1;
    }
    const char* found = std::strstr(data + start, pattern);
    return found == nullptr ? -1 : static_cast<int32_t>(found - data);
}

void String::Split(String*& pieces, uint32_t& count, const char* separator) const {
    int32_t separatorLength = TextLength(separator);
    // Without a separator there is nothing to cut at. Searching resumes after the whole
    // separator, so the pieces are the runs of text between separators of any length.
    auto nextSeparator = [&](int32_t from) {
        return separatorLength == 0 ? -1 : Find(separator, from);
    };

    uint32_t pieceCount = 1;
    for (int32_t at = nextSeparator(0); at >= 0; at = nextSeparator(at + separatorLength)) {
        ++pieceCount;
    }

    pieces = new (std::nothrow) String[pieceCount];
    if (pieces == nullptr) {
        count = 0;
        return;
    }
    count = pieceCount;

    int32_t begin = 0;
    for (uint32_t k = 0; k < pieceCount; ++k) {
        int32_t end = nextSeparator(begin);
        if (end < 0) {
            end = length;
        }
        pieces[k].Replace(data + begin, end - begin, nullptr, 0);
        begin = end + separatorLength;
    }
}
