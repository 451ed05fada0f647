// The board screen, played with the pointer, the held button and Escape through the real loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <map>
#include <vector>

#include "game/LampBoard.h"
#include "tests/GameScenario.h"

namespace {

using scenario::BoardSizes;
using scenario::GameTest;
using scenario::LitLamps;
using scenario::PlayBoard;

Button* PuzzleGame::*const Size4 = &PuzzleGame::size4Button;

// The block the hover frame outlines, read back from its first line: (bx, by) is the lamp
// corner at the block's centre.
struct Hover {
    bool shown;
    long bx, by;
    bool operator==(const Hover& o) const {
        return shown == o.shown && (!shown || (bx == o.bx && by == o.by));
    }
};

Hover ReadHover(const std::vector<recgl::Call>& calls) {
    for (size_t i = 0; i + 1 < calls.size(); ++i) {
        if (calls[i].Is("glBegin") && calls[i][0] == GL_LINES) {
            double x0 = calls[i + 1][0], y0 = calls[i + 1][1];
            return {true, std::lround((x0 + 0.5) * game.board.columns) + 1,
                    std::lround((y0 + 0.5) * game.board.rows) + 1};
        }
    }
    return {false, 0, 0};
}

void SetAllLamps(int32_t lit) {
    std::fill(game.board.lampLit, game.board.lampLit + game.board.lampCount, lit);
}

void SetLamp(uint32_t c, uint32_t r, int32_t lit) {
    game.board.lampLit[r * game.board.columns + c] = lit;
}

void SetLamps(const int32_t* pattern) {
    std::copy(pattern, pattern + game.board.lampCount, game.board.lampLit);
}

// Scans the pointer along one line of pixels across the 4x4 board, from one border to the
// other, and checks at every pixel the block the hover frame outlined against `expected`. The
// borders themselves are off the board.
void ExpectScan(bool columns, long from, long to, const std::function<Hover(long)>& expected) {
    std::map<long, Hover> seen;
    PlayBoard(Size4, [&](int step, const auto& calls) {
        long pixel = from + step;
        if (step > 0) {
            seen[pixel - 1] = ReadHover(calls);
            EXPECT_EQ(scenario::Primitives(calls, GL_QUADS), 16 + 4 + 1);
        }
        if (columns) {
            fakewin::SetPointer(pixel, 512);
        } else {
            fakewin::SetPointer(640, pixel);
        }
        return pixel <= to;
    });
    ASSERT_EQ(seen.size(), static_cast<size_t>(to - from + 1));
    for (const auto& [pixel, hover] : seen) {
        Hover want = pixel == from || pixel == to ? Hover{false, 0, 0} : expected(pixel);
        EXPECT_EQ(hover, want) << (columns ? "pixel column " : "pixel row ") << pixel << ": got "
                               << hover.shown << " " << hover.bx << "," << hover.by;
    }
}

TEST_F(GameTest, PixelColumnsPickTheBlocksTheyLieNearest) {
    // Pixel row 512 is the board's middle line, which belongs to the block above it.
    ExpectScan(true, 320, 960, [](long x) {
        return Hover{true, x < 560 ? 1 : x < 720 ? 2 : 3, 2};
    });
}

TEST_F(GameTest, PixelRowsPickTheBlocksTheyLieNearest) {
    // Rows count from the bottom; pixel rows from the top.
    ExpectScan(false, 256, 768, [](long y) {
        return Hover{true, 2, y <= 448 ? 3 : y <= 576 ? 2 : 1};
    });
}

TEST_F(GameTest, OnTheLargerBoardsTheBlocksAtEveryEdgeCanBePickedAndFlipped) {
    for (const scenario::BoardSize& larger : {BoardSizes[1], BoardSizes[2]}) {
        SCOPED_TRACE(larger.Name());
        scenario::StartAfresh();
        const uint32_t last = larger.size - 1;
        // Each corner lamp in turn, twelve frames each with the button held: one flip each.
        const uint32_t corners[4][2] = {{0, 0}, {last, 0}, {0, last}, {last, last}};
        std::vector<Hover> hovers;
        // The start pattern, then the four corner blocks flipped.
        LampBoard expected;
        Random anyColours;
        expected.Deal(larger.size, larger.size, larger.size * larger.size, larger.pattern, 0,
                      anyColours);
        for (const auto& corner : corners) {
            expected.ToggleBlock(corner[0] == 0 ? 0 : last - 1, corner[1] == 0 ? 0 : last - 1);
        }
        PlayBoard(larger.button, [&](int step, const auto& calls) {
            if (step == 0) {
                SetLamps(larger.pattern);
                scenario::ButtonDown();
            } else if (step % 12 == 1) {
                hovers.push_back(ReadHover(calls));
            }
            if (step % 12 == 0 && step < 48) {
                scenario::PointAtLamp(corners[step / 12][0], corners[step / 12][1]);
            }
            return step < 48;
        });
        const long edge = static_cast<long>(last);
        EXPECT_EQ(hovers, (std::vector<Hover>{
                              {true, 1, 1}, {true, edge, 1}, {true, 1, edge}, {true, edge, edge}}));
        EXPECT_EQ(LitLamps(), LitLamps(expected));
    }
}

TEST_F(GameTest, AHeldButtonFlipsTheBlockUnderThePointerEveryTenUnits) {
    using Change = std::pair<int, std::vector<uint32_t>>;  // step, changed lamps
    std::vector<Change> changes;
    std::vector<int32_t> before;
    PlayBoard(Size4, [&](int step, const auto&) {
        if (step == 0) {
            SetLamps(Pattern4x4);         // a known board that no single flip can solve
            scenario::PointAtLamp(0, 0);  // a corner lamp picks the corner block
            scenario::ButtonDown();
        } else {
            std::vector<int32_t> now = LitLamps();
            std::vector<uint32_t> changed;
            for (uint32_t i = 0; i < 16; ++i) {
                if (now[i] != before[i]) {
                    changed.push_back(i);
                }
            }
            if (!changed.empty()) {
                changes.push_back({step - 1, changed});
            }
        }
        if (step == 26) {
            scenario::PointAtLamp(3, 3);  // still held: the top right block is next
        }
        before = LitLamps();
        return step < 46;
    });
    // The timer counts from 0 on the first board frame, one unit per frame, and must pass 10.
    EXPECT_EQ(changes, (std::vector<Change>{{10, {0, 1, 4, 5}},
                                            {21, {0, 1, 4, 5}},
                                            {32, {10, 11, 14, 15}},
                                            {43, {10, 11, 14, 15}}}));
    EXPECT_EQ(game.board.lampCount, 16u);
}

TEST_F(GameTest, AnAllLitBoardIsDealtAgainOnlyWhenTheButtonIsHeldOverIt) {
    // Too early for a flip: the solved test alone runs, and deals at once.
    uint32_t randomBefore = 0;
    LampBoard expected;
    PlayBoard(Size4, [&](int step, const auto&) {
        if (step == 0) {
            SetAllLamps(1);
            scenario::PointAtLamp(1, 1);
            randomBefore = gameRandom.state;
        } else if (step == 5) {
            EXPECT_EQ(LitLamps(), std::vector<int32_t>(16, 1))
                << "stays as it is without the button";
            EXPECT_EQ(gameRandom.state, randomBefore);
            EXPECT_LE(game.clickTimer, 10);
            Random replay = gameRandom;
            BoardSizes[0].Deal(expected, replay);
            scenario::ButtonDown();
        }
        return step <= 5;
    });
    EXPECT_EQ(LitLamps(), LitLamps(expected));
    EXPECT_LE(game.clickTimer, 10) << "nothing was flipped";
}

TEST_F(GameTest, ASolvedLargerBoardIsDealtAgainWithItsOwnSizeAndScrambleCount) {
    for (const scenario::BoardSize& larger : {BoardSizes[1], BoardSizes[2]}) {
        SCOPED_TRACE(larger.Name());
        scenario::StartAfresh();
        Random replay;
        LampBoard expected;
        PlayBoard(larger.button, [&](int step, const auto&) {
            if (step == 0) {
                SetAllLamps(1);
                scenario::PointAtLamp(1, 1);
            } else if (step == 2) {
                // Too early for a flip: the press only finds the board solved.
                replay = gameRandom;
                larger.Deal(expected, replay);
                scenario::ButtonDown();
            }
            return step <= 2;
        });
        EXPECT_EQ(game.board.columns, larger.size);
        EXPECT_EQ(game.board.scrambleCount, larger.scrambles);
        EXPECT_EQ(gameRandom.state, replay.state) << "as many draws as the board's own deal";
        EXPECT_EQ(LitLamps(), LitLamps(expected));
    }
}

TEST_F(GameTest, AFlipComesBeforeTheSolvedTest) {
    uint32_t randomBefore = 0;
    PlayBoard(Size4, [&](int step, const auto&) {
        if (step == 0) {
            SetAllLamps(1);
            scenario::PointAtLamp(3, 0);
        } else if (step == 15) {
            // 150 ms after the last flip, still or not, the click delay has passed.
            randomBefore = gameRandom.state;
            scenario::ButtonDown();
        }
        return step <= 15;
    });
    // The bottom right block, lamps 2, 3, 6 and 7, flipped dark.
    EXPECT_EQ(LitLamps(), (std::vector<int32_t>{1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(gameRandom.state, randomBefore) << "no deal";
    EXPECT_EQ(game.clickTimer, 0);
}

TEST_F(GameTest, TheClickThatLightsTheLastLampDealsANewBoardInTheSameFrame) {
    LampBoard expected;
    const int clickStep = 12;
    const std::vector<uint32_t> middleBlock = {5, 6, 9, 10};
    PlayBoard(Size4, [&](int step, const auto& calls) {
        if (step == 0) {
            // Everything lit but the middle block.
            SetAllLamps(1);
            for (uint32_t i : middleBlock) {
                game.board.lampLit[i] = 0;
            }
            fakewin::SetPointer(640, 512);  // the board's centre: the middle block
        } else if (step == clickStep) {
            Random replay = gameRandom;
            BoardSizes[0].Deal(expected, replay);
            scenario::ButtonDown();
        } else if (step == clickStep + 1) {
            // The clicking frame still showed the lamps from before the click, under the frame.
            std::vector<GLuint> bound = scenario::BoundTextures(calls);
            for (uint32_t i = 0; i < 16; ++i) {
                bool dark = std::count(middleBlock.begin(), middleBlock.end(), i) > 0;
                bool showsDark = bound[i] == game.texOffGreen || bound[i] == game.texOffRed ||
                                 bound[i] == game.texOffBlue;
                EXPECT_EQ(showsDark, dark) << i;
            }
            EXPECT_EQ(ReadHover(calls), (Hover{true, 2, 2}));
            // And the new board is dealt already.
            EXPECT_EQ(LitLamps(), LitLamps(expected));
            EXPECT_EQ(game.state, StateBoard);
            scenario::ButtonUp();
        } else if (step == clickStep + 2) {
            std::vector<GLuint> bound = scenario::BoundTextures(calls);
            EXPECT_GE(bound.size(), 16u);
            for (uint32_t i = 0; i < 16 && i < bound.size(); ++i) {
                EXPECT_EQ(bound[i], scenario::ExpectedLampTexture(i)) << i;
            }
        }
        return step < clickStep + 2;
    });
    EXPECT_EQ(scenario::LampColours(), scenario::LampColours(expected));
}

TEST_F(GameTest, ThePointerOnTheBordersNeitherFramesNorClicks) {
    uint32_t randomBefore = 0;
    const long borders[4][2] = {{320, 512}, {960, 512}, {640, 256}, {640, 768}};
    int lines = 0;
    int quads = 0;
    PlayBoard(Size4, [&](int step, const auto& calls) {
        if (step == 0) {
            SetAllLamps(1);  // would be dealt again by any solved test
            randomBefore = gameRandom.state;
            scenario::ButtonDown();
        } else {
            lines += scenario::Primitives(calls, GL_LINES);
            quads += scenario::Primitives(calls, GL_QUADS);
        }
        // Fifteen frames on each border point, so the click timer passes 10 on each.
        const long* at = borders[(step / 15) % 4];
        fakewin::SetPointer(at[0], at[1]);
        return step < 60;
    });
    EXPECT_EQ(lines, 0);
    EXPECT_EQ(quads, 60 * 21) << "lamps and indicators are still drawn";
    EXPECT_EQ(LitLamps(), std::vector<int32_t>(16, 1));
    EXPECT_EQ(gameRandom.state, randomBefore);
    EXPECT_GT(game.clickTimer, 50);
}

TEST_F(GameTest, EscapeSwitchesBothWaysOnlyPastFiftyUnitsAndKeepsTheBoard) {
    std::vector<int> switches;
    int32_t lastState = 0;
    std::vector<int32_t> board;
    int lampQuadsInSwitchFrame = -1;
    PlayBoard(Size4, [&](int step, const auto& calls) {
        if (step == 0) {
            board = LitLamps();
            fakewin::SetPointer(640, 512);
            scenario::EscapeDown();
        } else if (game.state != lastState) {
            switches.push_back(step - 1);
            if (switches.size() == 1) {
                // The frame that switched was still a whole board frame.
                lampQuadsInSwitchFrame = scenario::Primitives(calls, GL_QUADS);
                EXPECT_EQ(ReadHover(calls), (Hover{true, 2, 2}));
            }
        }
        lastState = game.state;
        return step < 160;
    });
    // Board frames from the first on, one unit each: the timer passes 50 on the 51st.
    EXPECT_EQ(switches, (std::vector<int>{50, 101, 152}));
    EXPECT_EQ(lampQuadsInSwitchFrame, 21);
    EXPECT_EQ(LitLamps(), board) << "Escape leaves the board untouched";
}

TEST_F(GameTest, AClickStillCountsInTheFrameThatEscapeLeaves) {
    std::vector<int32_t> before;
    PlayBoard(Size4, [&](int step, const auto&) {
        if (step == 0) {
            SetLamps(Pattern4x4);
            scenario::PointAtLamp(0, 0);
            fakewin::SetTicks(fakewin::Ticks() + 600);  // both timers well past their delays
        } else if (step == 1) {
            before = LitLamps();
            scenario::EscapeDown();
            scenario::ButtonDown();
        }
        return step <= 1;
    });
    EXPECT_EQ(game.state, StateMenu);
    std::vector<int32_t> after = LitLamps();
    for (uint32_t i = 0; i < 16; ++i) {
        bool inBlock = i == 0 || i == 1 || i == 4 || i == 5;
        EXPECT_EQ(after[i] != before[i], inBlock) << i;
    }
}

TEST_F(GameTest, IndicatorsLightForEachFullyLitPairOfRowsOnBothSides) {
    PlayBoard(&PuzzleGame::size6Button, [&](int step, const auto& calls) {
        // The indicators' three textures follow the 36 lamps' and come before the cursor's.
        std::vector<GLuint> bound = scenario::BoundTextures(calls);
        std::vector<GLuint> indicators;
        if (bound.size() == 36 + 3 + 1) {
            indicators.assign(bound.begin() + 36, bound.end() - 1);
        }
        if (step == 0) {
            SetAllLamps(1);
            SetLamp(5, 3, 0);  // one dark lamp in the middle pair of rows
        } else if (step == 1) {
            EXPECT_EQ(bound.size(), 36u + 3 + 1);
            EXPECT_EQ(indicators,
                      (std::vector<GLuint>{game.texOnTrue, game.texOffTrue, game.texOnTrue}));
            SetLamp(5, 3, 1);
            SetLamp(0, 0, 0);
        } else if (step == 2) {
            EXPECT_EQ(indicators,
                      (std::vector<GLuint>{game.texOffTrue, game.texOnTrue, game.texOnTrue}));
        }
        return step <= 1;
    });
}

TEST_F(GameTest, ABoardFrameDrawsLampsIndicatorsHoverFrameAndCursorInThisExactOrder) {
    std::vector<recgl::Call> calls;
    PlayBoard(Size4, [&](int step, const auto& lastFrame) {
        if (step == 0) {
            SetAllLamps(1);
            SetLamp(0, 0, 0);  // the bottom pair of rows is not lit, the top one is
            fakewin::SetPointer(640, 512);
        }
        calls = lastFrame;
        return step == 0;
    });
    ASSERT_EQ(calls.size(), 1u + 16 * 12 + 2 * 22 + 34 + 1 + 11) << recgl::Describe(calls);
    scenario::ExpectCalls(calls, 0, {{"glClear", {GL_COLOR_BUFFER_BIT}}});
    // Lamp 0, bottom left and dark, and lamp 6 (column 2, row 1), lit.
    auto lamp = [&](uint32_t i, double x0, double y0) {
        return scenario::Join(
            {{{"glEnable", {GL_TEXTURE_2D}},
              {"glBindTexture", {GL_TEXTURE_2D, double(scenario::ExpectedLampTexture(i))}}},
             scenario::TexturedQuad(x0, y0, x0 + 0.25, y0 + 0.25)});
    };
    scenario::ExpectCalls(calls, 1, lamp(0, -0.5, -0.5));
    scenario::ExpectCalls(calls, 1 + 6 * 12, lamp(6, 0, -0.25));
    EXPECT_EQ(calls[2][1], game.board.lampColour[0] == LampGreen ? game.texOffGreen
                           : game.board.lampColour[0] == LampRed ? game.texOffRed
                                                                 : game.texOffBlue);
    // The pair of rows 2 and 3: lit, one binding for both sides, mirrored.
    size_t indicators = 1 + 16 * 12;
    scenario::ExpectCalls(
        calls, indicators + 22,
        scenario::Join({{{"glEnable", {GL_TEXTURE_2D}},
                         {"glBindTexture", {GL_TEXTURE_2D, double(game.texOnTrue)}}},
                        scenario::TexturedQuad(-0.75, 0, -0.5, 0.5),
                        scenario::TexturedQuad(0.5, 0, 0.75, 0.5, true)}));
    EXPECT_EQ(calls[indicators + 1][1], game.texOffTrue);
    // The hover frame round the middle block, then the cursor.
    size_t hover = indicators + 44;
    const double x0 = -0.25, x1 = 0.25, y0 = -0.25, y1 = 0.25, m = 0.025;
    scenario::ExpectCalls(
        calls, hover,
        scenario::Join(
            {{{"glDisable", {GL_TEXTURE_2D}}, {"glColor3f", {0, 0.25, 0}}, {"glLineWidth", {1}}},
             scenario::Primitive(
                 GL_LINES, "glVertex2f",
                 {{x0, y0, x1, y0}, {x1, y0, x1, y1}, {x1, y1, x0, y1}, {x0, y1, x0, y0}}),
             {{"glColor3f", {0, 0.5, 0}}, {"glLineWidth", {3}}},
             scenario::Primitive(GL_LINES, "glVertex2f",
                                 {{x0, y0 + m, x0, y0},
                                  {x0, y0, x0 + m, y0},
                                  {x1, y0 + m, x1, y0},
                                  {x1, y0, x1 - m, y0},
                                  {x0, y1 - m, x0, y1},
                                  {x0, y1, x0 + m, y1},
                                  {x1, y1 - m, x1, y1},
                                  {x1, y1, x1 - m, y1}}),
             {{"glColor3f", {1, 1, 1}},
              {"glEnable", {GL_TEXTURE_2D}},
              {"glBindTexture", {GL_TEXTURE_2D, double(game.texCursor)}}}}));
    EXPECT_FLOAT_EQ(recgl::Current().lineWidth, 3);
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

TEST_F(GameTest, ABoardScreenWithoutABoardDrawsOnlyTheCursorAndIgnoresClicks) {
    scenario::FrameCalls frames;
    scenario::Play([&](int frame) {
        frames.Next();
        if (frame == 1) {
            game.state = StateBoard;  // no board has ever been dealt
            fakewin::SetPointer(640, 512);
            scenario::ButtonDown();
        } else if (frame > 1) {
            EXPECT_EQ(scenario::Primitives(frames.last, GL_QUADS), 1);
            EXPECT_EQ(scenario::Primitives(frames.last, GL_LINES), 0);
        }
        return frame < 20;
    });
    EXPECT_EQ(game.board.lampLit, nullptr);
    EXPECT_EQ(gameRandom.state, scenario::StartTicks) << "nothing was dealt";
    EXPECT_EQ(fakewin::Get().swaps, 19);
}

}  // namespace
