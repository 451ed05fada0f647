#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>
#include <utility>
#include <vector>

#include "game/LampBoard.h"

namespace {

using Lamps = std::vector<int32_t>;
using Block = std::pair<uint32_t, uint32_t>;  // (c0, r0)

Lamps LitOf(const LampBoard& board) {
    return Lamps(board.lampLit, board.lampLit + board.lampCount);
}

Lamps ColoursOf(const LampBoard& board) {
    return Lamps(board.lampColour, board.lampColour + board.lampCount);
}

// Every field of a board, to compare boards whole.
auto FieldsOf(const LampBoard& board) {
    return std::make_tuple(board.lampLit, board.lampColour, board.columns, board.rows,
                           board.lampCount, board.scrambleCount, board.pattern);
}

// Flips blocks on a plain copy of the lamps, independently of LampBoard::ToggleBlock.
Lamps FlipBlocksByHand(Lamps lamps, uint32_t columns, const std::vector<Block>& blocks) {
    for (const Block& block : blocks) {
        uint32_t lower = block.second * columns + block.first;
        for (uint32_t index : {lower, lower + 1, lower + columns, lower + columns + 1}) {
            lamps[index] = lamps[index] == 0 ? 1 : 0;
        }
    }
    return lamps;
}

void SkipDraws(Random& random, int draws) {
    for (int i = 0; i < draws; ++i) {
        random.Next();
    }
}

// The colours a deal is expected to give its lamps: the next draws, each modulo 3.
Lamps ColourDraws(Random& random, int lamps) {
    Lamps colours;
    for (int i = 0; i < lamps; ++i) {
        colours.push_back(static_cast<int32_t>(random.Next() % 3));
    }
    return colours;
}

struct GameSize {
    uint32_t size;
    const int32_t* pattern;
    uint32_t scrambleCount;
};
const GameSize GameSizes[] = {{4, Pattern4x4, 10}, {6, Pattern6x6, 20}, {8, Pattern8x8, 30}};

// Lights the board by block flips alone: each dark lamp off the last row and column is fixed
// by the block it is the lower-left lamp of, which never disturbs a lamp already swept.
void SolveBySweep(LampBoard& board) {
    for (uint32_t r = 0; r + 1 < board.rows; ++r) {
        for (uint32_t c = 0; c + 1 < board.columns; ++c) {
            if (board.lampLit[r * board.columns + c] == 0) {
                board.ToggleBlock(c, r);
            }
        }
    }
}

class LampBoardTest : public ::testing::Test {
protected:
    Random random;
    LampBoard board;
};

}  // namespace

TEST_F(LampBoardTest, PatternsRepeatOneRowWithEvenlyManyDarkLamps) {
    const Lamps rows[] = {{1, 0, 1, 0}, {1, 0, 1, 1, 0, 1}, {1, 0, 1, 0, 1, 0, 1, 0}};
    for (int t = 0; t < 3; ++t) {
        const GameSize& game = GameSizes[t];
        ASSERT_EQ(rows[t].size(), game.size);
        for (uint32_t i = 0; i < game.size * game.size; ++i) {
            ASSERT_EQ(game.pattern[i], rows[t][i % game.size]) << "table " << t << " lamp " << i;
        }
    }
}

TEST_F(LampBoardTest, FourByFourDealFromStartingStateMatchesTheKnownBoard) {
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 10, random));

    EXPECT_EQ(board.columns, 4u);
    EXPECT_EQ(board.rows, 4u);
    EXPECT_EQ(board.lampCount, 16u);
    EXPECT_EQ(board.scrambleCount, 10u);
    EXPECT_EQ(board.pattern, Pattern4x4);
    EXPECT_EQ(ColoursOf(board), (Lamps{2, 2, 1, 1, 2, 1, 0, 0, 1, 2, 2, 2, 1, 0, 1, 2}));
    EXPECT_EQ(LitOf(board), (Lamps{1, 0, 0, 1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1}));

    Random reference;
    SkipDraws(reference, 36);
    EXPECT_EQ(random.state, reference.state) << "a 4x4 deal makes 16 + 2 x 10 draws";
}

TEST_F(LampBoardTest, ScrambleFlipsTheDrawnBlocksInDrawOrder) {
    // The blocks a 4x4 deal draws from the starting state, column draw before row draw.
    const std::vector<Block> drawn = {{1, 2}, {0, 0}, {0, 0}, {2, 0}, {1, 1},
                                      {0, 2}, {2, 2}, {2, 0}, {2, 0}, {0, 1}};
    const Lamps pattern(Pattern4x4, Pattern4x4 + 16);
    for (uint32_t count = 0; count <= drawn.size(); ++count) {
        random = Random();
        ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, count, random));
        std::vector<Block> applied(drawn.begin(), drawn.begin() + count);
        EXPECT_EQ(LitOf(board), FlipBlocksByHand(pattern, 4, applied)) << count << " scrambles";
    }
}

TEST_F(LampBoardTest, DealWithoutScrambleKeepsPatternAndDrawsOneColourPerLamp) {
    random.Seed(777);
    Random reference = random;
    ASSERT_TRUE(board.Deal(6, 6, 36, Pattern6x6, 0, random));

    EXPECT_EQ(LitOf(board), Lamps(Pattern6x6, Pattern6x6 + 36));
    EXPECT_EQ(ColoursOf(board), ColourDraws(reference, 36));
    EXPECT_EQ(random.state, reference.state);
}

TEST_F(LampBoardTest, SecondDealContinuesTheGeneratorAndReplacesTheBoard) {
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 10, random));
    Lamps firstColours = ColoursOf(board);
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 10, random));

    Random reference;
    SkipDraws(reference, 36);
    EXPECT_EQ(ColoursOf(board), ColourDraws(reference, 16));
    EXPECT_NE(ColoursOf(board), firstColours);
    SkipDraws(reference, 20);
    EXPECT_EQ(random.state, reference.state);

    // A deal of another size replaces the arrays with ones of the new size.
    ASSERT_TRUE(board.Deal(8, 8, 64, Pattern8x8, 0, random));
    EXPECT_EQ(LitOf(board), Lamps(Pattern8x8, Pattern8x8 + 64));
}

TEST_F(LampBoardTest, ToggleBlockFlipsExactlyItsFourLamps) {
    // Five columns by four rows, so a swap of row and column arithmetic shows.
    Lamps pattern(20);
    for (uint32_t i = 0; i < 20; ++i) {
        pattern[i] = i % 3 == 0 ? 0 : 1;
    }
    for (uint32_t r0 = 0; r0 < 3; ++r0) {
        for (uint32_t c0 = 0; c0 < 4; ++c0) {
            ASSERT_TRUE(board.Deal(5, 4, 20, pattern.data(), 0, random));
            board.ToggleBlock(c0, r0);
            ASSERT_EQ(LitOf(board), FlipBlocksByHand(pattern, 5, {{c0, r0}}))
                << "block " << c0 << "," << r0;
            board.ToggleBlock(c0, r0);
            ASSERT_EQ(LitOf(board), pattern) << "a second flip restores the block";
        }
    }

    // Any nonzero value counts as lit, and flips to dark.
    board.lampLit[0] = 7;
    board.ToggleBlock(0, 0);
    EXPECT_EQ(board.lampLit[0], 0);
}

TEST_F(LampBoardTest, ToggleBlockOffTheBoardChangesNothing) {
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 0, random));
    for (Block block :
         std::vector<Block>{{3, 0}, {0, 3}, {3, 3}, {0xFFFFFFFFu, 0}, {0, 0xFFFFFFFFu}}) {
        board.ToggleBlock(block.first, block.second);
        EXPECT_EQ(LitOf(board), Lamps(Pattern4x4, Pattern4x4 + 16))
            << "block " << block.first << "," << block.second;
    }
    EXPECT_TRUE(board.BlockOnBoard(2, 2));
    EXPECT_FALSE(board.BlockOnBoard(3, 2));
}

TEST_F(LampBoardTest, IsSolvedOnlyWhenNoLampIsDark) {
    const Lamps allLit(16, 1);
    ASSERT_TRUE(board.Deal(4, 4, 16, allLit.data(), 0, random));
    EXPECT_TRUE(board.IsSolved());

    board.lampLit[15] = 0;
    EXPECT_FALSE(board.IsSolved()) << "the last lamp is looked at too";
    board.lampLit[15] = 1;
    board.lampLit[0] = 0;
    EXPECT_FALSE(board.IsSolved());
    board.lampLit[0] = -3;
    EXPECT_TRUE(board.IsSolved()) << "any nonzero state is lit";

    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 0, random));
    EXPECT_FALSE(board.IsSolved());
}

TEST_F(LampBoardTest, RowPairLitLooksAtBothRowsOfThePair) {
    const Lamps allLit(24, 1);
    ASSERT_TRUE(board.Deal(4, 6, 24, allLit.data(), 0, random));
    EXPECT_TRUE(board.RowPairLit(0));
    EXPECT_TRUE(board.RowPairLit(2));
    EXPECT_TRUE(board.RowPairLit(4));

    board.lampLit[3 * 4 + 2] = 0;  // row 3, column 2: the upper row of pair 2
    EXPECT_TRUE(board.RowPairLit(0));
    EXPECT_FALSE(board.RowPairLit(2));
    EXPECT_TRUE(board.RowPairLit(4));

    board.lampLit[3 * 4 + 2] = 1;
    board.lampLit[4 * 4 + 3] = 0;  // row 4, column 3: the lower row of the top pair
    EXPECT_TRUE(board.RowPairLit(2));
    EXPECT_FALSE(board.RowPairLit(4));

    // A pair reaching past the top row does not exist.
    EXPECT_FALSE(board.RowPairLit(5));
    EXPECT_FALSE(board.RowPairLit(6));
    EXPECT_FALSE(board.RowPairLit(0xFFFFFFFFu));
}

TEST_F(LampBoardTest, ReleaseLeavesAnEmptyBoardWithoutPointers) {
    // Never dealt: empty, solved, and safe to flip, query and release.
    EXPECT_EQ(board.lampLit, nullptr);
    EXPECT_TRUE(board.IsSolved());
    EXPECT_FALSE(board.RowPairLit(0));
    board.ToggleBlock(0, 0);
    board.Release();

    ASSERT_TRUE(board.Deal(6, 6, 36, Pattern6x6, 20, random));
    board.Release();
    const auto allZero = decltype(FieldsOf(board))();
    EXPECT_EQ(FieldsOf(board), allZero);
    EXPECT_TRUE(board.IsSolved());
    board.Release();
    EXPECT_EQ(board.lampLit, nullptr);

    // The board can be dealt again, and its destructor then frees the new arrays.
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 0, random));
    EXPECT_EQ(LitOf(board), Lamps(Pattern4x4, Pattern4x4 + 16));
}

TEST_F(LampBoardTest, DealRefusesArgumentsThatDescribeNoBoard) {
    ASSERT_TRUE(board.Deal(4, 4, 16, Pattern4x4, 10, random));
    const auto dealt =
        std::make_tuple(board.lampLit, board.lampColour, 4u, 4u, 16u, 10u, Pattern4x4);
    Lamps lamps = LitOf(board);
    uint32_t state = random.state;

    EXPECT_FALSE(board.Deal(4, 4, 15, Pattern4x4, 10, random)) << "lamp count too small";
    EXPECT_FALSE(board.Deal(4, 4, 17, Pattern4x4, 10, random)) << "lamp count too large";
    EXPECT_FALSE(board.Deal(1, 16, 16, Pattern4x4, 10, random)) << "no block fits one column";
    EXPECT_FALSE(board.Deal(16, 1, 16, Pattern4x4, 10, random)) << "no block fits one row";
    EXPECT_FALSE(board.Deal(0, 0, 0, Pattern4x4, 10, random));
    EXPECT_FALSE(board.Deal(4, 4, 16, nullptr, 10, random));
    EXPECT_FALSE(board.Deal(65536, 65536, 0, Pattern4x4, 10, random)) << "size wraps to 0";

    EXPECT_EQ(FieldsOf(board), dealt);
    EXPECT_EQ(LitOf(board), lamps);
    EXPECT_EQ(random.state, state) << "a refused deal draws nothing";
}

TEST_F(LampBoardTest, EveryDealKeepsRowAndColumnParityAndIsSolvable) {
    for (const GameSize& game : GameSizes) {
        uint32_t size = game.size;
        for (uint32_t seed = 1; seed <= 3000; ++seed) {
            SCOPED_TRACE(std::to_string(size) + "x" + std::to_string(size) + " seed " +
                         std::to_string(seed));
            random.Seed(seed * 2654435761u);
            ASSERT_TRUE(
                board.Deal(size, size, size * size, game.pattern, game.scrambleCount, random));

            std::vector<int> darkInRow(size), darkInColumn(size);
            for (uint32_t i = 0; i < board.lampCount; ++i) {
                ASSERT_TRUE(board.lampLit[i] == 0 || board.lampLit[i] == 1);
                ASSERT_TRUE(board.lampColour[i] >= LampGreen && board.lampColour[i] <= LampBlue);
                if (board.lampLit[i] == 0) {
                    ++darkInRow[i / size];
                    ++darkInColumn[i % size];
                }
            }
            for (uint32_t k = 0; k < size; ++k) {
                ASSERT_EQ(darkInRow[k] % 2, 0) << "row " << k;
                ASSERT_EQ(darkInColumn[k] % 2, 0) << "column " << k;
            }

            SolveBySweep(board);
            ASSERT_TRUE(board.IsSolved());
        }
    }
}
