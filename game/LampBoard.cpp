#include "game/LampBoard.h"

#include <new>

const int32_t Pattern4x4[16] = {
    1, 0, 1, 0,  //
    1, 0, 1, 0,  //
    1, 0, 1, 0,  //
    1, 0, 1, 0,  //
};

const int32_t Pattern6x6[36] = {
    1, 0, 1, 1, 0, 1,  //
    1, 0, 1, 1, 0, 1,  //
    1, 0, 1, 1, 0, 1,  //
    1, 0, 1, 1, 0, 1,  //
    1, 0, 1, 1, 0, 1,  //
    1, 0, 1, 1, 0, 1,  //
};

const int32_t Pattern8x8[64] = {
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
    1, 0, 1, 0, 1, 0, 1, 0,  //
};

namespace {

bool DescribesBoard(uint32_t columns, uint32_t rows, uint32_t lampCount, const int32_t* pattern) {
    // A board needs at least one block, and lampCount must match so that no flip can reach
    // past the arrays. Computed in 64 bits so a huge size cannot wrap into a match.
    return columns >= 2 && rows >= 2 && pattern != nullptr &&
           static_cast<uint64_t>(columns) * rows == lampCount;
}

void FlipLamp(int32_t& lamp) {
    lamp = lamp == 0 ? 1 : 0;
}

}  // namespace

bool LampBoard::Deal(uint32_t newColumns, uint32_t newRows, uint32_t newLampCount,
                     const int32_t* newPattern, uint32_t newScrambleCount, Random& random) {
    if (!DescribesBoard(newColumns, newRows, newLampCount, newPattern)) {
        return false;
    }
    // Allocate before releasing: if memory runs out, the board in play survives untouched.
    int32_t* newLit = new (std::nothrow) int32_t[newLampCount];
    int32_t* newColour = new (std::nothrow) int32_t[newLampCount];
    if (newLit == nullptr || newColour == nullptr) {
        delete[] newLit;
        delete[] newColour;
        return false;
    }
    Release();
    lampLit = newLit;
    lampColour = newColour;
    columns = newColumns;
    rows = newRows;
    lampCount = newLampCount;
    pattern = newPattern;
    scrambleCount = newScrambleCount;

    for (uint32_t i = 0; i < lampCount; ++i) {
        lampLit[i] = pattern[i];
        lampColour[i] = static_cast<int32_t>(random.Next() % LampColourCount);
    }
    // Random block flips keep every row's and column's dark-lamp parity, so the board stays
    // solvable. Repeats are allowed: a block drawn twice simply cancels out.
    for (uint32_t k = 0; k < scrambleCount; ++k) {
        uint32_t columnDraw = random.Next();
        uint32_t rowDraw = random.Next();
        ToggleBlock(columnDraw % (columns - 1), rowDraw % (rows - 1));
    }
    return true;
}

void LampBoard::ToggleBlock(uint32_t c0, uint32_t r0) {
    if (!BlockOnBoard(c0, r0)) {
        return;
    }
    uint32_t lower = r0 * columns + c0;
    uint32_t upper = lower + columns;
    FlipLamp(lampLit[lower]);
    FlipLamp(lampLit[lower + 1]);
    FlipLamp(lampLit[upper]);
    FlipLamp(lampLit[upper + 1]);
}

bool LampBoard::BlockOnBoard(uint32_t c0, uint32_t r0) const {
    // The size test comes first so that columns - 2 and rows - 2 cannot wrap.
    return columns >= 2 && rows >= 2 && c0 <= columns - 2 && r0 <= rows - 2;
}

bool LampBoard::IsSolved() const {
    for (uint32_t i = 0; i < lampCount; ++i) {
        if (lampLit[i] == 0) {
            return false;
        }
    }
    return true;
}

bool LampBoard::RowPairLit(uint32_t a) const {
    if (rows < 2 || a > rows - 2) {
        return false;
    }
    uint32_t first = a * columns;
    uint32_t end = first + 2 * columns;
    for (uint32_t i = first; i < end; ++i) {
        if (lampLit[i] == 0) {
            return false;
        }
    }
    return true;
}

void LampBoard::Release() {
    delete[] lampLit;
    delete[] lampColour;
    lampLit = nullptr;
    lampColour = nullptr;
    columns = 0;
    rows = 0;
    lampCount = 0;
    scrambleCount = 0;
    pattern = nullptr;
}
