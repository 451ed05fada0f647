// The real game in a real window with real OpenGL, played as a person plays it: the pointer is
// moved and the button and keys pressed through the X server, and every step waits until the
// screen shows what that step should bring. A failing step leaves its screenshot under
// <build>/e2e/<test>/ and says what it expected where.
#include "tests/support/RealGame.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

#include "tests/e2e/AtlasText.h"

namespace e2e {
namespace {

// A caption counts as seen when the screen follows its ink this closely, and as the one shown
// when it beats the caption that shares its rectangle by this margin.
constexpr double CaptionSeen = 0.5;
constexpr double CaptionMargin = 0.15;

std::string OutputDir() {
    return std::string(LUMENVALE_BUILD_DIR) + "/e2e";
}

// Keeps a screen as a picture of the game, under the build folder's e2e/.
void Keep(const Screenshot& shot, const std::string& name) {
    std::filesystem::create_directories(OutputDir());
    shot.Save(OutputDir() + "/" + name);
}

// What is wrong with a screen, one finding a line; empty when nothing is.
struct Findings {
    void Add(bool ok, const std::string& what) {
        if (!ok) {
            text += "  - " + what + "\n";
        }
    }

    std::string text;
};

std::string Fixed(double value) {
    std::ostringstream out;
    out.precision(2);
    out << std::fixed << value;
    return out.str();
}

using Finder = std::function<Findings(const Screenshot&)>;

// The game's font, as each test reads it.
GlyphAtlas atlas;

void CaptionShown(Findings& f, const Screenshot& shot, const GlRect& rect,
                  const std::string& caption, const std::string& name,
                  const std::string& rival = "", const std::string& rivalName = "") {
    double match = ButtonCaptionMatch(shot, atlas, rect, caption);
    f.Add(ButtonFillSeen(shot, rect), "the green frame of \"" + name + "\"");
    f.Add(match >= CaptionSeen, "the caption \"" + name + "\" (ink match " + Fixed(match) +
                                    ", wanted " + Fixed(CaptionSeen) + ")");
    if (!rival.empty()) {
        double other = ButtonCaptionMatch(shot, atlas, rect, rival);
        f.Add(match >= other + CaptionMargin, "\"" + name + "\" rather than \"" + rivalName +
                                                  "\" (ink match " + Fixed(match) + " vs " +
                                                  Fixed(other) + ")");
    }
}

Findings Pictures(const Screenshot& shot) {
    Findings f;
    double title = LitShare(shot, ToPixels(menu::Title), levels::TitleInk);
    f.Add(title > 0.05,
          "the title picture across GL (-0.8, 0.6)…(0.8, 0.8) (lit share " + Fixed(title) + ")");
    f.Add(Blank(shot, {-0.8, 0.82, 0.8, 1.0}) && Blank(shot, {-0.8, 0.3, 0.25, 0.58}),
          "nothing drawn just above and below the title");
    // The planet picture, GL (-0.75, -0.5)…(0, 0.25): lit across its middle, and fading to
    // black at its edges, so that no frame shows round it on the black menu.
    const PixelBox picture = ToPixels(menu::Planet);
    const int across = picture.width / 4, down = picture.height / 4;
    double planet = LitShare(shot,
                             {picture.x + across, picture.y + down, picture.width - 2 * across,
                              picture.height - 2 * down},
                             2);
    f.Add(planet > 0.8, "the planet picture lit in its middle (non-black " + Fixed(planet) + ")");
    const int right = picture.x + picture.width, bottom = picture.y + picture.height;
    const PixelBox edges[] = {{picture.x, picture.y, picture.width, 2},
                              {picture.x, bottom - 2, picture.width, 2},
                              {picture.x, picture.y, 2, picture.height},
                              {right - 2, picture.y, 2, picture.height}};
    double frame = 0;
    for (const PixelBox& edge : edges) {
        frame = std::max(frame, LitShare(shot, edge, 2));
    }
    f.Add(frame == 0,
          "no frame round the planet (lit share of its outer pixels " + Fixed(frame) + ")");
    f.Add(Blank(shot, {-1.0, -0.5, -0.77, 0.25}), "nothing drawn left of the planet");
    const PixelBox credit{896, 980, 374, 20};
    double grey = Share(shot, credit, [](const uint8_t* p) {
        return p[1] > 60 && std::abs(p[0] - p[1]) < 24 && std::abs(p[1] - p[2]) < 24;
    });
    f.Add(grey > 0.01, "the grey credit line from GL (0.4, -0.95)");
    return f;
}

Findings MainMenu(const Screenshot& shot) {
    Findings f = Pictures(shot);
    CaptionShown(f, shot, menu::Play, captions::Play, "Играть", captions::Back, "Назад");
    CaptionShown(f, shot, menu::Authors, captions::Authors, "Авторы", captions::Size4, "4x4");
    CaptionShown(f, shot, menu::Exit, captions::Exit, "Выход");
    f.Add(Blank(shot, menu::Size8), "no \"8x8\" below \"Выход\" (size group hidden)");
    return f;
}

Findings SizeGroup(const Screenshot& shot) {
    Findings f = Pictures(shot);
    CaptionShown(f, shot, menu::Size4, captions::Size4, "4x4", captions::Authors, "Авторы");
    CaptionShown(f, shot, menu::Size6, captions::Size6, "6x6");
    CaptionShown(f, shot, menu::Size8, captions::Size8, "8x8");
    CaptionShown(f, shot, menu::Back, captions::Back, "Назад", captions::Play, "Играть");
    f.Add(Blank(shot, {0.72, -0.7, 0.8, -0.61}),
          "nothing right of \"6x6\" where \"Выход\" reaches (main group hidden)");
    return f;
}

Finder AboutBox(bool shown) {
    return [shown](const Screenshot& shot) {
        Findings f;
        if (!shown) {
            f.Add(Blank(shot, menu::AboutBox), "no about box at GL (0.3, -0.3)…(0.9, 0.2)");
            return f;
        }
        Colour fill = MeanColour(shot, Around(PixelX(0.6), PixelY(-0.25), 40, 12));
        f.Add(fill.Max() > 30 && fill.Max() - std::min({fill.red, fill.green, fill.blue}) < 12,
              "the about box's grey fill below its text (mean " + Fixed(fill.Max()) + ")");
        // The outline, drawn over the fill's edge, is brighter than the fill inside.
        int edgeX = static_cast<int>(PixelX(menu::AboutBox.x1));
        double outline = 0;
        for (int x = edgeX - 2; x <= edgeX + 2; ++x) {
            outline = std::max(outline, MeanColour(shot, {x, 480, 1, 120}).Max());
        }
        f.Add(outline > fill.Max() + 20, "the about box's frame on its left edge (" +
                                             Fixed(outline) + " vs fill " + Fixed(fill.Max()) +
                                             ")");
        double name = AboutLineMatch(shot, atlas, 1, captions::GameName);
        f.Add(name >= CaptionSeen,
              "\"LUMENVALE\" as the about box's second line (ink match " + Fixed(name) + ")");
        return f;
    };
}

// The board, once every lamp and indicator reads clearly, and the menu is gone.
Finder Board(int size) {
    return [size](const Screenshot& shot) {
        Findings f;
        BoardReading board = ReadBoard(shot, size, size);
        f.Add(Blank(shot, menu::Title), "no title picture (the menu is gone)");
        f.Add(board.Clear(), "every lamp and indicator clearly lit or dark:\n" + board.Describe());
        return f;
    };
}

// What `findings` accepts, and what it finds wrong for a failure's message.
Judge Accepts(const Finder& findings) {
    return [findings](const Screenshot& s) { return findings(s).text.empty(); };
}
Explain Explains(const Finder& findings) {
    return [findings](const Screenshot& s) { return findings(s).text; };
}

std::string Block(int column, int row) {
    return "(" + std::to_string(column) + ", " + std::to_string(row) + ")";
}

class GameOnScreen : public RealGame {
protected:
    GameOnScreen() : RealGame(TestDir()) {}

    static std::string TestDir() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        return OutputDir() + "/" + info->test_suite_name() + "." + info->name();
    }

    void SetUp() override {
        std::string font = std::string(LUMENVALE_DATA_DIR) + "/Font.bmp";
        ASSERT_TRUE(atlas.Load(font)) << "the game's font atlas " << font << " cannot be read";
        Start();
        if (Started()) {
            player.Park();
            ASSERT_TRUE(WaitFor("first-menu", MainMenu, timing::StartMs, "the first menu"));
        }
    }

    // Polls the screen until `findings` has nothing to say, for at most timeoutMs.
    bool WaitFor(const std::string& step, const Finder& findings, int timeoutMs,
                 const std::string& expected) {
        return player.Expect(step, Accepts(findings), timeoutMs, [&](const Screenshot& s) {
            return expected + ", but:\n" + findings(s).text;
        });
    }

    // A menu press, or Escape, from the screen `before` to the screen `after`.
    bool MenuStep(const std::string& step, const GlRect& button, const Finder& before,
                  const Finder& after) {
        return player.PressButton(step, button, Accepts(before), Accepts(after), Explains(after));
    }
    bool EscapeStep(const std::string& step, const Finder& before, const Finder& after) {
        return player.PressEscape(step, Accepts(before), Accepts(after), Explains(after));
    }

    void OpenFourByFour(BoardReading* board) {
        ASSERT_TRUE(MenuStep("size-group", menu::Play, MainMenu, SizeGroup));
        ASSERT_TRUE(MenuStep("board", menu::Size4, SizeGroup, Board(4)));
        ASSERT_TRUE(player.ReadBoard("board", 4, board));
    }
};

TEST_F(GameOnScreen, FirstMenuShowsPicturesAndMainButtonsOnly) {
    Screenshot shot = session.Capture();
    Findings f = MainMenu(shot);
    f.Add(AboutBox(false)(shot).text.empty(), "the about box hidden");
    if (!f.text.empty()) {
        player.Fail("first-menu", shot, "expected the first menu:\n" + f.text);
    }
    Keep(shot, "menu");
}

// A press on "Авторы" switches the about box; one that switches it twice, back to where it
// was, fails.
TEST_F(GameOnScreen, AuthorsShowsTheFramedAboutBoxAndASecondPressHidesIt) {
    ASSERT_TRUE(MenuStep("about-shown", menu::Authors, AboutBox(false), AboutBox(true)));
    Keep(session.Capture(), "menu-about");
    ASSERT_TRUE(MenuStep("about-hidden", menu::Authors, AboutBox(true), AboutBox(false)));
    EXPECT_TRUE(WaitFor("main-group", MainMenu, 2000, "the main group unchanged"));
}

TEST_F(GameOnScreen, PlayShowsTheSizeGroupAndBackReturns) {
    ASSERT_TRUE(MenuStep("size-group", menu::Play, MainMenu, SizeGroup));
    ASSERT_TRUE(MenuStep("main-group", menu::Back, SizeGroup, MainMenu));
}

TEST_F(GameOnScreen, ExitEndsTheProgramWithCodeZero) {
    EXPECT_EQ(player.PressToExit("exit", menu::Exit, MainGroupShown), 0);
}

TEST_F(GameOnScreen, CloseRequestEndsTheProgram) {
    ExpectEndsOnClose();
}

TEST_F(GameOnScreen, FourByFourBoardHasSixteenSolvableLampsAndFollowingIndicators) {
    BoardReading board;
    ASSERT_NO_FATAL_FAILURE(OpenFourByFour(&board));
    const Screenshot& shot = player.LastView();
    Keep(shot, "board");
    // Sixteen separate lamps: where four lamps of the 4x4 grid meet there is only the dark gap
    // between their sockets (on a 6x6 or 8x8 board some of these points would be bulbs).
    for (int r = 1; r < 4; ++r) {
        for (int c = 1; c < 4; ++c) {
            Point corner = BlockCorner(c - 1, r - 1, 4, 4);
            double level = MeanColour(shot, Around(corner.x, corner.y, 6, 6)).Max();
            if (level > 50) {
                player.Fail("board-grid", shot,
                            "expected the dark gap between four lamps at pixel " +
                                Block(corner.x, corner.y) + ", found brightness " + Fixed(level));
            }
        }
    }
    if (!board.Solvable()) {
        player.Fail(
            "board-parity", shot,
            "expected an even number of dark lamps in every row and column:\n" + board.Describe());
    }
    if (!board.IndicatorsFollowRows()) {
        player.Fail("board-indicators", shot,
                    "expected each pair of indicators lit exactly when its two rows are:\n" +
                        board.Describe());
    }
    // The lamps sit in a square from pixel (320, 256) to (960, 768): nothing is drawn above or
    // below it.
    EXPECT_TRUE(Blank(shot, {-0.8, 0.52, 0.8, 1.0}) && Blank(shot, {-0.8, -1.0, 0.8, -0.52}))
        << "nothing above or below the board";
}

TEST_F(GameOnScreen, HoverFrameOutlinesTheBlockUnderThePointerButNotOnTheBorder) {
    BoardReading board;
    ASSERT_NO_FATAL_FAILURE(OpenFourByFour(&board));
    struct Spot {
        Point pointer;
        const char* where;
    };
    // Each spot on the border follows one inside, so that its frame has to go away.
    const Spot spots[] = {
        {{400, 700}, "lower-left lamp"},
        {{320, 500}, "left border"},
        {{321, 257}, "top-left corner"},
        {{960, 500}, "right border"},
        {{959, 767}, "bottom-right corner"},
        {{640, 256}, "top border"},
        {{560, 448}, "centre lines"},
        {{640, 768}, "bottom border"},
        {{640, 512}, "board centre"},
        {{200, 500}, "left of the board"},
        {{719, 449}, "last pixel before the next block"},
    };
    for (const Spot& spot : spots) {
        session.MovePointer(spot.pointer.x, spot.pointer.y);
        Point block;
        bool onBoard = PickBlock(spot.pointer, 4, 4, &block);
        std::string expected = onBoard ? "the green frame around the block with lower-left lamp " +
                                             Block(block.x, block.y) + " only"
                                       : "no green frame anywhere";
        auto framing = [&](const Screenshot& s) {
            Findings f;
            auto framed = FramedBlocks(s, 4, 4);
            if (onBoard) {
                f.Add(framed.size() == 1 && framed[0].x == block.x && framed[0].y == block.y,
                      "exactly that block framed (" + std::to_string(framed.size()) +
                          " framed blocks)");
            } else {
                f.Add(framed.empty() && FrameGreenPixels(s) <= 4,
                      "no frame pixels (" + std::to_string(FrameGreenPixels(s)) + ")");
            }
            return f;
        };
        WaitFor("hover-" + std::to_string(spot.pointer.x) + "-" + std::to_string(spot.pointer.y),
                framing, 3000,
                expected + " with the pointer at pixel " + Block(spot.pointer.x, spot.pointer.y) +
                    ", the " + spot.where);
        if (spot.pointer.x == 640 && spot.pointer.y == 512) {
            Keep(player.LastView(), "board-hover");
        }
    }
    // Hovering never flips a lamp. (The pointer's picture would hide a lamp's centre.)
    player.Park();
    BoardReading after;
    ASSERT_TRUE(player.ReadBoard("after-hover", 4, &after));
    EXPECT_TRUE(after.SameLamps(board)) << "before hovering:\n"
                                        << board.Describe() << "after:\n"
                                        << after.Describe();
}

TEST_F(GameOnScreen, SolvingTheBoardThroughPressesDealsAFreshOne) {
    BoardReading board;
    ASSERT_NO_FATAL_FAILURE(OpenFourByFour(&board));
    ASSERT_TRUE(board.Solvable()) << board.Describe();
    if (board.AllLit()) {
        // Dealt solved by chance: a press flips first, so start from one flip away.
        const BoardReading before = board;
        ASSERT_TRUE(player.Flip("flip-" + Block(0, 0), before, {0, 0}, &board));
    }
    // Light the lower-left lamp of each block in turn, bottom row first; the last row and column
    // follow on a solvable board.
    int flips = 0;
    for (int r = 0; r + 1 < board.rows; ++r) {
        for (int c = 0; c + 1 < board.columns; ++c) {
            if (board.Lamp(c, r).lit) {
                continue;
            }
            const BoardReading before = board;
            ++flips;
            ASSERT_TRUE(player.Flip("flip-" + Block(c, r), before, {c, r}, &board))
                << "after " << flips << " flips";
        }
    }
    EXPECT_GT(flips, 0);
    EXPECT_FALSE(board.AllLit()) << "the solved board stayed on screen:\n" << board.Describe();
}

TEST_F(GameOnScreen, EscapeGoesToTheMenuAndBackToTheSameBoard) {
    BoardReading board;
    ASSERT_NO_FATAL_FAILURE(OpenFourByFour(&board));
    ASSERT_TRUE(EscapeStep("escape-to-menu", Board(4), SizeGroup));
    ASSERT_TRUE(EscapeStep("escape-to-board", SizeGroup, Board(4)));
    BoardReading resumed;
    ASSERT_TRUE(player.ReadBoard("escape-to-board", 4, &resumed));
    if (!resumed.SameLamps(board)) {
        player.Fail("same-board", player.LastView(),
                    "expected the same board back after a second Escape: left\n" +
                        board.Describe() + "found\n" + resumed.Describe());
    }
    // A close request ends the game from the board too.
    ExpectEndsOnClose();
}

}  // namespace
}  // namespace e2e
