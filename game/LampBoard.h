// The lamp board: the puzzle itself, without any drawing. Lamps are stored row-major with
// row 0 at the bottom of the screen and column 0 at the left; the only move flips a 2x2 block.
#pragma once

#include <cstdint>

#include "game/Random.h"

// The fixed colour of a lamp, as stored in LampBoard::lampColour.
enum LampColour : int32_t { LampGreen = 0, LampRed = 1, LampBlue = 2 };
const uint32_t LampColourCount = 3;

// Start patterns, row-major, 1 = lit and 0 = dark. Every row of a pattern is the same and has
// an even number of dark lamps, and so does every column, which keeps every deal solvable.
extern const int32_t Pattern4x4[16];
extern const int32_t Pattern6x6[36];
extern const int32_t Pattern8x8[64];

class LampBoard {
public:
    // Empty board: no arrays, 0 x 0 lamps. Constant-initialised, so it is safe as a member of a
    // global in static storage.
    constexpr LampBoard()
        : lampLit(nullptr),
          lampColour(nullptr),
          columns(0),
          rows(0),
          lampCount(0),
          scrambleCount(0),
          pattern(nullptr) {}
    // The board owns its arrays; releasing twice is harmless, so an explicit Release before
    // destruction is fine.
    ~LampBoard() { Release(); }
    LampBoard(const LampBoard&) = delete;
    LampBoard& operator=(const LampBoard&) = delete;

    // Deals a fresh board: lamps from `pattern` (at least lampCount entries), one colour draw
    // per lamp in index order, then `scrambleCount` random block flips (column draw, then row
    // draw). Returns false and changes nothing (board and generator alike) when the arguments do
    // not describe a board - columns or rows below 2, lampCount other than columns x rows, no
    // pattern - or when the new arrays cannot be allocated; the old board then stays in play.
    bool Deal(uint32_t newColumns, uint32_t newRows, uint32_t newLampCount,
              const int32_t* newPattern, uint32_t newScrambleCount, Random& random);
    // True when the block with lower-left lamp (c0, r0) lies wholly on the board.
    bool BlockOnBoard(uint32_t c0, uint32_t r0) const;
    // Flips the four lamps of the block whose lower-left lamp is (c0, r0). A block that does
    // not lie wholly on the board is ignored.
    void ToggleBlock(uint32_t c0, uint32_t r0);
    // True when no lamp is dark; an empty board counts as solved.
    bool IsSolved() const;
    // True when rows a and a + 1 both exist and hold no dark lamp: the indicator lamps beside
    // that pair of rows are on.
    bool RowPairLit(uint32_t a) const;
    // Frees both arrays and returns the board to empty (all fields zero), so nothing is left
    // pointing at freed memory. Releasing an empty board does nothing.
    void Release();

    int32_t* lampLit;     // lampCount entries, 0 = dark, anything else = lit
    int32_t* lampColour;  // lampCount LampColour codes
    uint32_t columns;
    uint32_t rows;
    uint32_t lampCount;      // always columns x rows
    uint32_t scrambleCount;  // block flips made by a deal; kept for dealing again
    const int32_t* pattern;  // kept for dealing again after a solved board
};
