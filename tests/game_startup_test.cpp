// Start-up, the state machine and quitting, played through the real entry and message loop.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tests/GameScenario.h"
#include "tests/TextQuads.h"
#include "tests/ResourceTestFiles.h"
#include "ui/BitmapFont.h"

namespace {

using scenario::GameTest;

const char* const PictureFiles[] = {"On_Green.bmp",     "Off_Green.bmp",   "On_Red.bmp",
                                    "Off_Red.bmp",      "On_Blue.bmp",     "Off_Blue.bmp",
                                    "Off_TrueLamp.bmp", "On_TrueLamp.bmp", "Title.bmp",
                                    "Cursor.bmp",       "Planet.bmp"};

// The slots in the order the pictures above are loaded.
std::vector<GLuint> SlotsInLoadOrder() {
    return {game.texOnGreen, game.texOffGreen, game.texOnRed,   game.texOffRed,
            game.texOnBlue,  game.texOffBlue,  game.texOffTrue, game.texOnTrue,
            game.texTitle,   game.texCursor,   game.texPlanet};
}

// One texture upload, as every picture and the font get it.
void ExpectUpload(const std::vector<recgl::Call>& calls, size_t at, GLuint name) {
    ASSERT_LE(at + 7, calls.size());
    EXPECT_EQ(
        textquads::Names({calls.begin() + at, calls.begin() + at + 7}),
        (std::vector<std::string>{"glGenTextures", "glBindTexture", "glHint", "glTexParameteri",
                                  "glTexParameteri", "glTexParameteri", "glTexImage2D"}))
        << "from call " << at;
    EXPECT_EQ(calls[at + 1][1], name);
}

TEST_F(GameTest, StartUpDrawsNothingAndTheFirstPresentedFrameIsTheMenu) {
    int swapsAfterStartUp = -1;
    scenario::FrameCalls frames;
    std::vector<recgl::Call> startUp;
    int result = scenario::Play([&](int frame) {
        frames.Next();
        if (frame == 1) {
            swapsAfterStartUp = fakewin::Get().swaps;
            startUp = frames.last;
            EXPECT_EQ(game.state, StateMenu);
            EXPECT_FALSE(game.gameInProgress);
            EXPECT_TRUE(fakewin::Get().sleeps.empty()) << "nothing holds the first picture back";
            EXPECT_EQ(FrameClock::delta, static_cast<int32_t>(scenario::StartTicks));
        }
        return frame < 2;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(swapsAfterStartUp, 0);
    EXPECT_EQ(fakewin::Get().swaps, 1);
    // The start-up frame issues no drawing at all.
    EXPECT_EQ(scenario::Named(startUp, "glBegin").size(), 0u);
    EXPECT_EQ(scenario::Named(startUp, "glClear").size(), 0u);
    // The first picture: the viewport on the whole 1280 x 1024 window, cleared, the menu's
    // planet and title, the cursor last.
    const std::vector<recgl::Call>& firstFrame = frames.last;
    scenario::ExpectCalls(
        firstFrame, 0,
        {{"glViewport", {0, 0, ScreenWidth, ScreenHeight}}, {"glClear", {GL_COLOR_BUFFER_BIT}}});
    std::vector<GLuint> bound = scenario::BoundTextures(firstFrame);
    ASSERT_GE(bound.size(), 3u);
    EXPECT_EQ(std::vector<GLuint>(bound.end() - 3, bound.end()),
              (std::vector<GLuint>{game.texPlanet, game.texTitle, game.texCursor}));
}

TEST_F(GameTest, EveryDrawingFrameEndsWithTheCursorThenTheClockTickThenTheSwap) {
    // Where each Sleep (the clock's tick) and each swap falls among the GL calls.
    struct Mark {
        std::string call;
        size_t glCalls;
    };
    std::vector<Mark> marks;
    fakewin::OnSleepOrSwap([&](const char* call) {
        marks.push_back({call, recgl::Calls().size()});
    });
    scenario::PlayBoard(&PuzzleGame::size4Button, [&](int step, const auto&) {
        if (step == 0) {
            fakewin::SetPointer(700, 480);  // over the board: its hover frame is drawn too
        }
        return step < 2;
    });
    EXPECT_EQ(game.state, StateBoard) << "menu frames and board frames were both drawn";
    const std::vector<recgl::Call>& calls = recgl::Calls();
    // The start-up frame neither sleeps nor presents; each of the drawing frames after it ends
    // with its cursor quad, then ticks, then swaps, with no GL call in between.
    const size_t drawingFrames = scenario::BoardShown + 1;
    ASSERT_EQ(marks.size(), 2 * drawingFrames);
    for (size_t k = 0; k < drawingFrames; ++k) {
        SCOPED_TRACE("drawing frame " + std::to_string(k + 1));
        const Mark& tick = marks[2 * k];
        const Mark& swap = marks[1 + 2 * k];
        EXPECT_EQ(tick.call, "Sleep");
        EXPECT_EQ(swap.call, "SwapBuffers");
        EXPECT_EQ(swap.glCalls, tick.glCalls);
        ASSERT_GE(tick.glCalls, 11u);
        const size_t cursor = tick.glCalls - 11;  // bind, begin, four corners, end
        EXPECT_TRUE(calls[cursor].Is("glBindTexture") && calls[cursor][1] == game.texCursor)
            << calls[cursor].name;
        EXPECT_TRUE(calls[tick.glCalls - 1].Is("glEnd")) << calls[tick.glCalls - 1].name;
    }
}

TEST_F(GameTest, StartUpMakesTheContextSeedsAndLoadsFontThenElevenPicturesInOrder) {
    scenario::Play([](int frame) { return frame < 1; });
    const fakewin::Record& r = fakewin::Get();
    std::vector<std::string> contextCalls(r.calls.begin() + 4, r.calls.end());
    EXPECT_EQ(contextCalls,
              (std::vector<std::string>{"GetDC", "ChoosePixelFormat", "SetPixelFormat",
                                        "wglCreateContext", "wglMakeCurrent", "wglMakeCurrent"}));
    EXPECT_EQ(gameRandom.state, scenario::StartTicks) << "seeded with the tick count";

    // The clear colour first, then the font, then the eleven pictures; nothing else.
    const std::vector<recgl::Call>& calls = recgl::Calls();
    ASSERT_EQ(calls.size(), 1u + 12 * 7) << recgl::Describe(calls);
    scenario::ExpectCalls(calls, 0, {{"glClearColor", {0, 0, 0, 0}}});
    EXPECT_EQ(recgl::Current().clearColour[3], 0);
    ExpectUpload(calls, 1, gameFont.texture);
    std::vector<GLuint> slots = SlotsInLoadOrder();
    for (size_t k = 0; k < slots.size(); ++k) {
        SCOPED_TRACE(PictureFiles[k]);
        EXPECT_NE(slots[k], 0u);
        ExpectUpload(calls, 8 + 7 * k, slots[k]);
    }
    // The files are missing here, yet every picture has a name of its own.
    std::set<GLuint> names(slots.begin(), slots.end());
    names.insert(gameFont.texture);
    EXPECT_EQ(names.size(), slots.size() + 1);
    EXPECT_TRUE(recgl::Current().misuse.empty()) << recgl::Current().misuse.front();
}

TEST_F(GameTest, EachPictureFileLandsInItsOwnSlot) {
    // Eleven pictures of widths 1 to 11 in a directory of their own.
    std::filesystem::path dir = std::filesystem::path(LUMENVALE_BUILD_DIR) / "test-files" /
                                "EachPictureFileLandsInItsOwnSlot";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    for (int k = 0; k < 11; ++k) {
        resourcetest::WriteBytes((dir / PictureFiles[k]).string(),
                                 resourcetest::Picture(k + 1, 1, 24));
    }
    std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    scenario::Play([](int frame) { return frame < 1; });
    std::filesystem::current_path(before);

    std::vector<GLuint> slots = SlotsInLoadOrder();
    for (size_t k = 0; k < slots.size(); ++k) {
        const recgl::Texture* texture = recgl::Current().Find(slots[k]);
        ASSERT_NE(texture, nullptr) << PictureFiles[k];
        EXPECT_EQ(texture->width, static_cast<GLsizei>(k + 1)) << PictureFiles[k];
        EXPECT_TRUE(texture->hasData) << PictureFiles[k];
        EXPECT_EQ(texture->internalFormat, GL_RGB);
    }
    // The font file is missing: its texture exists but holds nothing.
    const recgl::Texture* font = recgl::Current().Find(gameFont.texture);
    ASSERT_NE(font, nullptr);
    EXPECT_FALSE(font->hasData);
    std::filesystem::remove_all(dir);
}

TEST_F(GameTest, StartUpBuildsTheMenuInDrawingOrder) {
    scenario::Play([](int frame) { return frame < 1; });
    // The widgets in drawing order.
    struct Row {
        const Widget* widget;
        const char* text;
        bool visible;
        float x1, y1, x2, y2;
    } rows[] = {
        {game.exitButton, "\xC2\xFB\xF5\xEE\xE4", true, 0.425f, -0.7f, 0.8f, -0.61f},  // Выход
        {game.authorsButton, "\xC0\xE2\xF2\xEE\xF0\xFB", true, 0.4f, -0.6f, 0.7f,
         -0.51f},  // Авторы
        {game.playButton, "\xC8\xE3\xF0\xE0\xF2\xFC", true, 0.425f, -0.5f, 0.8f, -0.41f},  // Играть
        {game.size8Button, "8x8", false, 0.4f, -0.8f, 0.7f, -0.71f},
        {game.size6Button, "6x6", false, 0.4f, -0.7f, 0.7f, -0.61f},
        {game.size4Button, "4x4", false, 0.4f, -0.6f, 0.7f, -0.51f},
        {game.backButton, "\xCD\xE0\xE7\xE0\xE4", false, 0.425f, -0.5f, 0.8f, -0.41f},  // Назад
        {game.creditLabel, nullptr, true, 0.4f, -0.95f, 0.4f, -0.95f},
        {game.aboutBox, nullptr, false, 0.3f, -0.3f, 0.9f, 0.2f},
    };
    std::vector<const Widget*> listed, expected;
    for (WidgetNode* node = game.widgets.head; node != nullptr; node = node->next) {
        listed.push_back(node->widget);
    }
    for (const Row& row : rows) {
        expected.push_back(row.widget);
    }
    EXPECT_EQ(listed, expected);
    for (const Row& row : rows) {
        ASSERT_NE(row.widget, nullptr);
        if (row.text != nullptr) {
            EXPECT_STREQ(row.widget->text.CStr(), row.text);
            EXPECT_FLOAT_EQ(row.widget->green, 0.85f);
            EXPECT_FLOAT_EQ(row.widget->style.GlyphWidth(), 0.035f);
            EXPECT_FLOAT_EQ(row.widget->style.GlyphHeight(), 0.05f);
        }
        EXPECT_EQ(row.widget->visible, row.visible) << row.widget->text.CStr();
        // The edges are single-precision values widened, exactly.
        EXPECT_EQ(
            (std::vector<double>{row.widget->x1, row.widget->y1, row.widget->x2, row.widget->y2}),
            (std::vector<double>{row.x1, row.y1, row.x2, row.y2}));
        EXPECT_EQ(row.widget->style.font, &gameFont);
    }
    EXPECT_FLOAT_EQ(game.creditLabel->red, 0.6f);
    EXPECT_GT(game.creditLabel->text.length, 0);
    ASSERT_EQ(game.aboutBox->lineCount, 7u);
    EXPECT_STREQ(game.aboutBox->lines[0].CStr(), "   ");
    EXPECT_STREQ(game.aboutBox->lines[1].CStr(), "LUMENVALE");
    EXPECT_STREQ(game.aboutBox->lines[2].CStr(), "   ");
    EXPECT_STREQ(game.aboutBox->lines[5].CStr(), "  ");
    for (uint32_t i = 0; i < 7; ++i) {
        // Every line fits the box at its glyph width.
        EXPECT_LE(game.aboutBox->lines[i].length * 0.02, 0.6) << i;
    }
    EXPECT_FLOAT_EQ(game.aboutBox->style.GlyphHeight(), 0.04f);
    EXPECT_FLOAT_EQ(game.aboutBox->blue, 1.0f);
}

TEST_F(GameTest, AnUnknownStateIsReportedOnEveryIdlePassWithoutDrawing) {
    size_t callsBefore = 0;
    int swapsBefore = 0;
    size_t sleepsBefore = 0;
    scenario::Play([&](int frame) {
        if (frame == 3) {
            // The pointer moves, so the menu, still until now, would be drawn again.
            scenario::PointAt(game.playButton);
            game.state = 0x1234;
            callsBefore = recgl::Calls().size();
            swapsBefore = fakewin::Get().swaps;
            sleepsBefore = fakewin::Get().sleeps.size();
        }
        return frame < 6;
    });
    const fakewin::Record& r = fakewin::Get();
    ASSERT_EQ(r.messageBoxes.size(), 3u);
    for (const fakewin::MessageBox& box : r.messageBoxes) {
        EXPECT_EQ(box.text, "Weird State");
        EXPECT_EQ(box.caption, "Error");
        EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
        EXPECT_EQ(box.owner, nullptr);
    }
    EXPECT_EQ(game.state, 0x1234) << "the state is not repaired";
    EXPECT_EQ(recgl::Calls().size(), callsBefore);
    EXPECT_EQ(r.swaps, swapsBefore);
    EXPECT_EQ(r.sleeps.size(), sleepsBefore);
}

TEST_F(GameTest, WithoutAWindowTheStateStaysZeroAndIsReported) {
    // Creation failed, so WM_CREATE never came: the loop runs on and reports every pass.
    int passes = 0;
    fakewin::OnIdle([&] {
        if (++passes > 2) {
            fakewin::Post(WM_QUIT);
        }
    });
    game.Run();
    EXPECT_EQ(fakewin::Get().messageBoxes.size(), 2u);
    EXPECT_TRUE(recgl::Calls().empty());
}

TEST_F(GameTest, ExitWithNoBoardQuitsAtOnceAndTheEntryReturnsZero) {
    int frames = 0;
    int result = scenario::Play([&](int frame) {
        frames = frame;
        if (frame == 1) {
            scenario::PressOn(game.exitButton);
        }
        return frame < 10;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(frames, 1) << "the loop ends right after the frame that quit";
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
    EXPECT_EQ(fakewin::Get().swaps, 1) << "the quitting frame still presents";
    EXPECT_EQ(game.board.lampLit, nullptr);
    EXPECT_EQ(game.board.lampColour, nullptr);
}

TEST_F(GameTest, ExitReleasesTheBoardAndActsHoweverRecentlyAnotherButtonFired) {
    int quitFrame = -1;
    int lastFrame = -1;
    int result = scenario::Play([&](int frame) {
        lastFrame = frame;
        switch (frame) {
            case 1:  // "Играть", then "4x4" once the timer allows
                scenario::PressOn(game.playButton);
                break;
            case 2:
                scenario::PointAt(game.size4Button);
                break;
            case 40:
                EXPECT_EQ(game.state, StateBoard);
                EXPECT_NE(game.board.lampLit, nullptr);
                scenario::ButtonUp();
                scenario::EscapeDown();
                break;
            case 100:  // back on the menu, still showing the sizes
                EXPECT_EQ(game.state, StateMenu);
                EXPECT_TRUE(game.backButton->visible);
                scenario::EscapeUp();
                break;
            case 110:  // "Назад" opens the main group again
                scenario::PressOn(game.backButton);
                break;
            case 111:
                EXPECT_TRUE(game.exitButton->visible);
                EXPECT_EQ(game.menuTimer, 0) << "Назад has just fired";
                scenario::PointAt(game.exitButton);
                quitFrame = frame;
                break;
            default:
                break;
        }
        return frame < 200;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
    EXPECT_EQ(game.board.lampLit, nullptr);
    EXPECT_EQ(game.board.lampColour, nullptr);
    EXPECT_EQ(game.board.lampCount, 0u);
    EXPECT_EQ(lastFrame, quitFrame) << "no frame runs after the one that quit";
}

TEST_F(GameTest, ClosingTheWindowEndsTheLoopLikeTheExitButton) {
    int result = scenario::Play([](int frame) {
        if (frame == 3) {
            fakewin::Post(WM_CLOSE);
        }
        return frame < 10;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
    EXPECT_EQ(fakewin::Get().swaps, 2);
}

}  // namespace
