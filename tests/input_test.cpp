// The window procedure's flags, the pointer mapping, the frame clock and the cursor sprite.
#include <gtest/gtest.h>

#include <cstdint>

#include "app/CursorSprite.h"
#include "app/FrameClock.h"
#include "app/WindowProcedure.h"
#include "game/PuzzleGame.h"
#include "tests/support/FakeWin32.h"
#include "tests/support/RecordingGL.h"

namespace {

HWND const someWindow = reinterpret_cast<HWND>(0x1000);

class WindowProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakewin::Reset();
        fakewin::SetDefaultResult(4321);
        WNDCLASSEXA windowClass = {};
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.lpszClassName = "LumenvaleClass";
        RegisterClassExA(&windowClass);
        game.state = 0;
        game.escapeDown = game.spaceDown = game.mouseDown = false;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0) {
        return WindowProcedure(someWindow, message, wParam, 0);
    }
};

TEST_F(WindowProcedureTest, CreationStartsTheGameAndDestructionQuits) {
    EXPECT_EQ(Send(WM_CREATE), 0);
    EXPECT_EQ(game.state, StateStartup);
    EXPECT_EQ(Send(WM_DESTROY), 0);
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
    EXPECT_TRUE(fakewin::Get().passedOn.empty());
}

TEST_F(WindowProcedureTest, EscapeAndSpaceFollowTheirKeysAndRepeatsOnlySetAgain) {
    EXPECT_EQ(Send(WM_KEYDOWN, VK_ESCAPE), 0);
    EXPECT_TRUE(game.escapeDown);
    EXPECT_FALSE(game.spaceDown);
    Send(WM_KEYDOWN, VK_ESCAPE);  // auto-repeat
    EXPECT_TRUE(game.escapeDown);
    Send(WM_KEYDOWN, VK_SPACE);
    EXPECT_TRUE(game.spaceDown);
    EXPECT_EQ(Send(WM_KEYUP, VK_ESCAPE), 0);
    EXPECT_FALSE(game.escapeDown);
    EXPECT_TRUE(game.spaceDown);
    Send(WM_KEYUP, VK_SPACE);
    EXPECT_FALSE(game.spaceDown);
}

TEST_F(WindowProcedureTest, OtherKeysChangeNothingAndAreNotPassedOn) {
    for (WPARAM key : {WPARAM('A'), WPARAM(VK_RETURN), WPARAM(0x1A), WPARAM(0x21)}) {
        EXPECT_EQ(Send(WM_KEYDOWN, key), 0);
        EXPECT_EQ(Send(WM_KEYUP, key), 0);
    }
    EXPECT_FALSE(game.escapeDown || game.spaceDown || game.mouseDown);
    EXPECT_TRUE(fakewin::Get().passedOn.empty());
}

TEST_F(WindowProcedureTest, LeftButtonIsHeldUntilReleased) {
    EXPECT_EQ(Send(WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(game.mouseDown);
    Send(WM_MOUSEMOVE);
    EXPECT_TRUE(game.mouseDown);
    EXPECT_EQ(Send(WM_LBUTTONUP), 0);
    EXPECT_FALSE(game.mouseDown);
}

TEST_F(WindowProcedureTest, EverythingElseGoesToTheDefaultProcedureAndItsResultIsReturned) {
    for (UINT message : {UINT(WM_PAINT), UINT(WM_MOUSEMOVE), UINT(WM_RBUTTONDOWN),
                         UINT(WM_RBUTTONUP), UINT(WM_MBUTTONDOWN), UINT(WM_MBUTTONUP)}) {
        EXPECT_EQ(Send(message), 4321) << message;
    }
    EXPECT_EQ(fakewin::Get().passedOn.size(), 6u);
    EXPECT_FALSE(game.mouseDown);
    // Closing the window destroys it, which quits, as the exit button does.
    Send(WM_CLOSE);
    EXPECT_EQ(fakewin::Get().quitCodes, std::vector<int>{0});
}

TEST(Cursor, MapsThePointerThroughTheFramesBoxInTheWindow) {
    fakewin::Reset();
    Cursor cursor;
    EXPECT_EQ(cursor.glX, 0.0f);
    EXPECT_EQ(cursor.glY, 0.0f);
    struct Case {
        LONG x, y;
        float glX, glY;
    };
    auto check = [&](const PixelBox& frame, std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            fakewin::SetPointer(c.x, c.y);
            cursor.Update(fakewin::Get().window, frame);
            EXPECT_EQ(cursor.screenX, c.x);
            EXPECT_EQ(cursor.screenY, c.y);
            EXPECT_FLOAT_EQ(cursor.glX, c.glX) << c.x;
            EXPECT_FLOAT_EQ(cursor.glY, c.glY) << c.y;
        }
    };
    // A 1280 x 1024 window at the desktop's corner: x / 640 - 1 and 1 - y / 512, exactly.
    fakewin::PlaceWindow(0, 0, 1280, 1024);
    check({0, 0, 1280, 1024}, {{0, 0, -1, 1},
                               {640, 512, 0, 0},
                               {1280, 1024, 1, -1},
                               {1279, 0, 0.9984375f, 1},
                               {320, 768, -0.5f, -0.5f},
                               {1920, -512, 2, 2}});
    // A 1280 x 768 window at (43, 0) with the frame in the middle 960 x 768 of it; beside the
    // frame the pointer lies beyond the edges.
    fakewin::PlaceWindow(43, 0, 1280, 768);
    check({160, 0, 960, 768}, {{43 + 160, 0, -1, 1},
                               {43 + 640, 384, 0, 0},
                               {43 + 1120, 768, 1, -1},
                               {43 + 400, 576, -0.5f, -0.5f},
                               {43, 0, -1 - 1 / 3.0f, 1}});
}

class FrameClockTest : public ::testing::Test {
protected:
    void SetUp() override {
        fakewin::Reset();
        fakewin::SleepAdvancesTicks(false);
        FrameClock::now = FrameClock::delta = FrameClock::last = 0;
    }
};

TEST_F(FrameClockTest, MeasuresTheWholeLoopPeriodAndSleepsTenMilliseconds) {
    fakewin::SetTicks(5000);
    FrameClock::Tick();
    fakewin::SetTicks(5016);
    FrameClock::Tick();
    EXPECT_EQ(FrameClock::now, 5016);
    EXPECT_EQ(FrameClock::last, 5016);
    EXPECT_EQ(FrameClock::delta, 16);
    EXPECT_FLOAT_EQ(TimerStep(), 1.6f);
    EXPECT_EQ(fakewin::Get().sleeps, (std::vector<DWORD>{10, 10}));
}

TEST_F(FrameClockTest, StartUpMeasuresTheTicksSinceSystemStart) {
    fakewin::SetTicks(123456);
    FrameClock::Tick();
    EXPECT_EQ(FrameClock::delta, 123456);
    EXPECT_GT(TimerStep(), 25.0f) << "the first menu frame accepts a press at once";
}

TEST_F(FrameClockTest, SpansTheTickCountWrap) {
    fakewin::SetTicks(0xFFFFFFF0u);
    FrameClock::Tick();
    fakewin::SetTicks(5);
    FrameClock::Tick();
    EXPECT_EQ(FrameClock::delta, 21);
}

TEST_F(FrameClockTest, NeverRunsTimersBackwards) {
    // A machine up for more than 24.8 days: the tick count no longer fits a signed count.
    fakewin::SetTicks(0x90000000u);
    FrameClock::Tick();
    EXPECT_EQ(FrameClock::delta, INT32_MAX);
    EXPECT_GT(TimerStep(), 50.0f);
    fakewin::SetTicks(0x90000000u + 17);
    FrameClock::Tick();
    EXPECT_EQ(FrameClock::delta, 17);
}

TEST(CursorSprite, DrawsACentredTexturedSquareWithoutTouchingColourOrBlend) {
    recgl::Reset();
    CursorSprite(42, GlPoint{0.25f, -0.5f});
    const auto& calls = recgl::Calls();
    ASSERT_EQ(calls.size(), 11u) << recgl::Describe(calls);
    EXPECT_EQ(
        recgl::Describe({calls[0], calls[1], calls[10]}),
        recgl::Describe(
            {{"glBindTexture", {GL_TEXTURE_2D, 42}}, {"glBegin", {GL_QUADS}}, {"glEnd", {}}}));
    const float corners[4][4] = {
        {0, 0, 0.22f, -0.53f}, {1, 0, 0.28f, -0.53f}, {1, 1, 0.28f, -0.47f}, {0, 1, 0.22f, -0.47f}};
    for (int i = 0; i < 4; ++i) {
        const recgl::Call& tex = calls[2 + 2 * i];
        const recgl::Call& vertex = calls[3 + 2 * i];
        ASSERT_TRUE(tex.Is("glTexCoord2f") && vertex.Is("glVertex2f")) << i;
        EXPECT_EQ(tex[0], corners[i][0]);
        EXPECT_EQ(tex[1], corners[i][1]);
        EXPECT_FLOAT_EQ(vertex[0], corners[i][2]) << i;
        EXPECT_FLOAT_EQ(vertex[1], corners[i][3]) << i;
    }
    EXPECT_TRUE(recgl::Current().misuse.empty());
}

}  // namespace
