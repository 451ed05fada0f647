// A thin wrapper over a buffered standard-library stream: opened by mode flags, it reports the
// file's size and reads and writes whole blocks. The BMP loader and saver are its users.
#pragma once

#include <cstdint>
#include <cstdio>

#include "resources/String.h"

class BinaryFile {
public:
    static const int32_t ModeRead = 1;
    static const int32_t ModeWrite = 2;
    static const int32_t ModeBinary = 4;

    BinaryFile();
    // Closes a stream its owner forgot to close.
    ~BinaryFile();
    // One stream, one owner: a copy would close the same stream twice.
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;

    // Adds openFlags to the flags held and opens the file with the mode text they give ("rb",
    // "wb", ...). Without ModeRead or ModeWrite nothing is opened and flags become 0. Read and
    // write together open an existing file for update, without emptying it. An object that is
    // already open is closed first. True when the file was opened.
    bool Open(String name, int32_t openFlags);
    // Size of the open file in bytes, leaving the position where it was; -1 when not open or
    // when the size does not fit.
    int32_t Size();
    // Reads one block of n bytes: 1 when all n bytes were read, else 0. Nothing is read, and the
    // buffer is not touched, when the file is not open, n <= 0 or buffer is null.
    int32_t Read(void* buffer, int32_t n);
    // Writes one block of n bytes; false only when not open. n <= 0 or a null buffer writes
    // nothing.
    bool Write(const void* buffer, int32_t n);
    // Closes the stream and returns to the state of a new object; nothing when not open.
    void Close();

    FILE* handle;
    int32_t flags;
    char mode[4];
};
