// The main menu, played with the pointer and the held button through the real loop.
#include <gtest/gtest.h>

#include <vector>

#include "tests/GameScenario.h"

namespace {

using scenario::GameTest;

// The frames on which `shown` changed, watched before every frame.
struct FlipWatch {
    bool last = false;
    std::vector<int> flips;

    void Watch(int frame, bool shown) {
        if (frame > 1 && shown != last) {
            flips.push_back(frame - 1);  // changed by the frame before
        }
        last = shown;
    }
};

TEST_F(GameTest, TheFirstMenuFrameShowsTheMainGroupPlanetTitleAndCursor) {
    scenario::FrameCalls frames;
    scenario::Play([&](int frame) {
        frames.Next();
        if (frame == 1) {
            fakewin::SetPointer(100, 900);  // on nothing
        }
        return frame < 2;
    });
    const std::vector<recgl::Call>& frame1 = frames.last;
    // The first frame's viewport, on the window.
    scenario::ExpectCalls(
        frame1, 0,
        {{"glViewport", {0, 0, ScreenWidth, ScreenHeight}}, {"glClear", {GL_COLOR_BUFFER_BIT}}});
    // Three framed buttons; the size group and the about box are hidden.
    EXPECT_EQ(scenario::Primitives(frame1, GL_LINE_LOOP), 3);
    // The glyph runs: three captions and the credit line, in the credit's grey at full alpha.
    std::vector<recgl::Call> colours = scenario::Named(frame1, "glColor4fv");
    ASSERT_EQ(colours.size(), 4u);
    const float* grey = static_cast<const float*>(colours.back().pointer);
    EXPECT_FLOAT_EQ(grey[0], 0.6f);
    EXPECT_FLOAT_EQ(grey[3], 1.0f);

    // After the widgets: the planet, opaque and textured, then the title, blended, across the top.
    size_t at = 0;
    while (at < frame1.size() &&
           !(frame1[at].Is("glBindTexture") && frame1[at][1] == game.texPlanet)) {
        ++at;
    }
    ASSERT_GE(at, 1u);
    scenario::ExpectCalls(
        frame1, at - 1,
        scenario::Join({{{"glEnable", {GL_TEXTURE_2D}},
                         {"glBindTexture", {GL_TEXTURE_2D, double(game.texPlanet)}},
                         {"glColor4f", {1, 1, 1, 1}}},
                        scenario::TexturedQuad(-0.75, -0.5, 0, 0.25),
                        {{"glEnable", {GL_BLEND}},
                         {"glColor4f", {1, 1, 1, 1}},
                         {"glBindTexture", {GL_TEXTURE_2D, double(game.texTitle)}}},
                        scenario::TexturedQuad(-0.8, 0.6, 0.8, 0.8)}));
    // The cursor last; texturing and blending stay on into the next frame.
    std::vector<GLuint> bound = scenario::BoundTextures(frame1);
    EXPECT_EQ(bound.back(), game.texCursor);
    EXPECT_TRUE(recgl::Current().IsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(recgl::Current().IsEnabled(GL_BLEND));
    EXPECT_EQ(recgl::Current().blendSrc, static_cast<GLenum>(GL_SRC_ALPHA));
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

TEST_F(GameTest, HoldingTheButtonOverPlayFlipsTheGroupsEveryTwentyFiveUnits) {
    // Frames of 30 ms: three timer units each, so the timer passes 25 on every ninth frame.
    fakewin::SleepAdvancesTicks(false);
    FlipWatch sizes;
    scenario::Play([&](int frame) {
        if (frame == 1) {
            scenario::PressOn(game.playButton);
        }
        if (frame >= 1) {
            fakewin::SetTicks(fakewin::Ticks() + 30);
            sizes.Watch(frame, game.backButton->visible);
            // Exactly one group at a time.
            EXPECT_NE(game.playButton->visible, game.backButton->visible);
            EXPECT_EQ(game.size4Button->visible, game.backButton->visible);
            EXPECT_EQ(game.exitButton->visible, game.playButton->visible);
        }
        return frame < 40;
    });
    // The first frame accepts the press at once: the start-up tick measured the whole uptime.
    EXPECT_EQ(sizes.flips, (std::vector<int>{1, 10, 19, 28, 37}));
    EXPECT_FALSE(game.aboutBox->visible);
    EXPECT_EQ(game.state, StateMenu);
}

TEST_F(GameTest, AuthorsShowsAndHidesTheAboutBoxWhileHeld) {
    FlipWatch box;
    scenario::Play([&](int frame) {
        if (frame == 1) {
            scenario::PressOn(game.authorsButton);
        }
        if (frame >= 1) {
            box.Watch(frame, game.aboutBox->visible);
        }
        if (frame == 60) {
            scenario::ButtonUp();
        }
        return frame < 100;
    });
    // Ten-millisecond frames: one unit each, so the timer is above 25 on every 26th frame. The
    // scripted clock moves only in sleeps, and the start-up does not sleep: the first menu
    // frame's tick finds no time passed, and the second frame's timer advances by nothing.
    EXPECT_EQ(box.flips, (std::vector<int>{1, 28, 54}));
    EXPECT_TRUE(game.authorsButton->visible) << "the groups are not touched";
    EXPECT_FALSE(game.backButton->visible);
}

TEST_F(GameTest, ButtonsNeedTheHeldButtonAndTheirExactRectangle) {
    // Pixel column 992 is x = 0.55, inside every button of the column.
    scenario::Play([&](int frame) {
        if (frame == 1) {
            // Pixel row 774 is y = -0.51171875, just inside the top of "Авторы".
            fakewin::SetPointer(992, 774);
            scenario::ButtonDown();
        } else if (frame == 2) {
            EXPECT_TRUE(game.aboutBox->visible);
            // Row 768 is y = -0.5, exactly the bottom edge of "Играть": outside.
            fakewin::SetPointer(992, 768);
            fakewin::SetTicks(fakewin::Ticks() + 1000);
        } else if (frame == 4) {
            EXPECT_GT(game.menuTimer, 25);
            EXPECT_FALSE(game.playButton->IsHovered());
            EXPECT_FALSE(game.backButton->visible);
            // Row 771 is y = -0.505..., in the gap between "Авторы" and "Играть".
            fakewin::SetPointer(992, 771);
        } else if (frame == 5) {
            EXPECT_FALSE(game.authorsButton->IsHovered());
            EXPECT_FALSE(game.playButton->IsHovered());
            EXPECT_TRUE(game.aboutBox->visible);
            EXPECT_FALSE(game.backButton->visible);
            // Hovering without the button does nothing either.
            scenario::ButtonUp();
            scenario::PointAt(game.playButton);
        } else if (frame == 6) {
            EXPECT_TRUE(game.playButton->IsHovered());
            EXPECT_FALSE(game.backButton->visible);
        }
        return frame < 6;
    });
    EXPECT_TRUE(fakewin::Get().quitCodes.empty());
}

TEST_F(GameTest, EachSizeDealsItsBoardAndTheNextFrameShowsIt) {
    for (const scenario::BoardSize& c : scenario::BoardSizes) {
        SCOPED_TRACE(c.Name());
        scenario::StartAfresh();
        LampBoard expected;
        scenario::FrameCalls frames;
        scenario::Play([&](int frame) {
            scenario::OpenBoard(frame, c.button);
            frames.Next();
            if (frame == 3) {
                // The generator as the deal will find it: seeded at start-up, untouched since.
                Random replay = gameRandom;
                EXPECT_EQ(replay.state, scenario::StartTicks);
                c.Deal(expected, replay);
                EXPECT_FALSE(game.gameInProgress);
            } else if (frame == scenario::BoardShown) {
                EXPECT_EQ(game.state, StateBoard);
                EXPECT_TRUE(game.gameInProgress);
                EXPECT_EQ(game.menuTimer, 0);
            }
            return frame <= scenario::BoardShown;
        });
        const std::vector<recgl::Call>& firstBoardFrame = frames.last;
        const LampBoard& board = game.board;
        EXPECT_EQ(board.columns, c.size);
        EXPECT_EQ(board.rows, c.size);
        EXPECT_EQ(board.lampCount, c.size * c.size);
        EXPECT_EQ(board.scrambleCount, c.scrambles);
        EXPECT_EQ(board.pattern, c.pattern);
        ASSERT_NE(board.lampLit, nullptr);
        EXPECT_EQ(scenario::LitLamps(), scenario::LitLamps(expected));
        EXPECT_EQ(scenario::LampColours(), scenario::LampColours(expected));
        // Every lamp, two indicators per pair of rows and the cursor; each lamp in its picture.
        EXPECT_EQ(scenario::Primitives(firstBoardFrame, GL_QUADS),
                  static_cast<int>(c.size * c.size + c.size + 1));
        std::vector<GLuint> bound = scenario::BoundTextures(firstBoardFrame);
        ASSERT_EQ(bound.size(), c.size * c.size + c.size / 2 + 1);
        for (uint32_t i = 0; i < board.lampCount; ++i) {
            EXPECT_EQ(bound[i], scenario::ExpectedLampTexture(i)) << i;
        }
        for (uint32_t a = 0; a < c.size; a += 2) {
            EXPECT_EQ(bound[board.lampCount + a / 2],
                      board.RowPairLit(a) ? game.texOnTrue : game.texOffTrue);
        }
    }
}

TEST_F(GameTest, EscapeInTheMenuDoesNothingBeforeTheFirstBoard) {
    scenario::Play([&](int frame) {
        if (frame == 1) {
            scenario::EscapeDown();
        }
        if (frame >= 1) {
            EXPECT_EQ(game.state, StateMenu) << frame;
            EXPECT_EQ(game.escapeTimer, 0) << frame;
        }
        return frame < 80;
    });
}

TEST_F(GameTest, ChoosingASizeWhileAGameIsInProgressDealsAFreshBoard) {
    std::vector<int32_t> first;
    uint32_t randomAfterFirstDeal = 0;
    scenario::PlayBoard(&PuzzleGame::size6Button, [&](int step, const auto&) {
        if (step == 0) {
            first = scenario::LitLamps();
            randomAfterFirstDeal = gameRandom.state;
            scenario::EscapeDown();
            fakewin::SetTicks(fakewin::Ticks() + 600);  // Escape held long enough
        } else if (step == 2) {
            EXPECT_EQ(game.state, StateMenu);
            scenario::EscapeUp();
            // The size group is still up; "8x8" replaces the board in play.
            scenario::PressOn(game.size8Button);
            fakewin::SetTicks(fakewin::Ticks() + 300);
        }
        return step < 4;
    });
    EXPECT_EQ(game.state, StateBoard);
    EXPECT_EQ(game.board.columns, 8u);
    EXPECT_EQ(game.board.scrambleCount, 30u);
    EXPECT_NE(gameRandom.state, randomAfterFirstDeal);
    EXPECT_EQ(first.size(), 36u);
}

}  // namespace
