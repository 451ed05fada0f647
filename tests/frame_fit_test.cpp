// The window on desktops of every size, and the frame and pointer on a window of any size:
// played through the real entry and loop against the scripted window system.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/GameScenario.h"

namespace {

using scenario::GameTest;

struct Desktop {
    RECT workArea;
    int dpi;
    PixelBox window;  // what the game must ask for
};

TEST_F(GameTest, TheWindowTakesTheScaledFrameOrTheLargestOfItsShapeThatFitsTheWorkArea) {
    const Desktop desktops[] = {
        {{0, 0, 1280, 1024}, 96, {0, 0, 1280, 1024}},      // as it always was
        {{0, 0, 1920, 1200}, 96, {0, 0, 1280, 1024}},      // larger: no bigger at 100 %
        {{0, 0, 1366, 768}, 96, {0, 0, 960, 768}},         // the common small laptop
        {{0, 0, 1280, 800}, 96, {0, 0, 1000, 800}},        // handhelds
        {{0, 30, 1280, 1024}, 96, {0, 30, 1243, 994}},     // below a 30-pixel top panel
        {{0, 0, 3840, 2064}, 192, {0, 0, 2560, 2048}},     // 200 % above a taskbar
        {{0, 0, 1920, 1040}, 120, {0, 0, 1300, 1040}},     // 125 %: too tall, so shrunk
        {{100, 50, 100, 50}, 96, {0, 0, 1280, 1024}},      // no work area told: the frame's size
        {{-1280, 0, 0, 1024}, 0, {-1280, 0, 1280, 1024}},  // left monitor, no DPI told
    };
    for (const Desktop& desktop : desktops) {
        scenario::ResetGame();
        fakewin::SetDesktop(desktop.workArea, desktop.dpi);
        scenario::Play([](int) { return false; });
        const fakewin::Record& r = fakewin::Get();
        EXPECT_EQ((PixelBox{r.x, r.y, r.width, r.height}), desktop.window)
            << "work area from (" << desktop.workArea.left << ", " << desktop.workArea.top
            << ") to (" << desktop.workArea.right << ", " << desktop.workArea.bottom << ") at "
            << desktop.dpi << " dpi: asked for " << r.width << " x " << r.height << " at (" << r.x
            << ", " << r.y << ")";
    }
}

// The pointer on the desktop at a GL point of the frame, for a frame box in a window at `at`.
void PointAtGl(double x, double y, POINT at, const PixelBox& frame) {
    fakewin::SetPointer(at.x + frame.x + std::lround((x + 1) / 2 * frame.width),
                        at.y + frame.y + std::lround((1 - y) / 2 * frame.height));
}
void PointAtWidget(const Widget* widget, POINT at, const PixelBox& frame) {
    PointAtGl((widget->x1 + widget->x2) / 2, (widget->y1 + widget->y2) / 2, at, frame);
}

TEST_F(GameTest, TheFrameFollowsTheWindowAndPressesLandWhereThePointerIs) {
    // Asked for 960 x 768 on a 1366 x 768 desktop, the window is floated as 1280 x 768 at
    // (43, 0); later it is moved and resized to 1000 x 1000 at (200, 10).
    fakewin::SetDesktop({0, 0, 1366, 768}, 96);
    fakewin::PlaceWindow(43, 0, 1280, 768);
    const PixelBox wide = {160, 0, 960, 768}, square = {0, 100, 1000, 800};
    std::vector<uint32_t> flipped;
    std::vector<int32_t> before;
    scenario::Play([&](int frame) {
        switch (frame) {
            case 1:  // "Играть", then "8x8" once the menu's delay has passed
                PointAtWidget(game.playButton, {43, 0}, wide);
                scenario::ButtonDown();
                break;
            case 2:
                PointAtWidget(game.size8Button, {43, 0}, wide);
                fakewin::SetTicks(fakewin::Ticks() + 300);
                break;
            case 4:
                scenario::ButtonUp();
                fakewin::PlaceWindow(200, 10, 1000, 1000);
                fakewin::SetTicks(fakewin::Ticks() + 150);  // past the board's click delay
                break;
            case 5:  // the bottom-right block of the 8 x 8 board: its centre is lamp corner (7, 1)
                EXPECT_EQ(game.state, StateBoard);
                EXPECT_EQ(game.board.columns, 8u);
                if (game.board.lampLit == nullptr) {
                    return false;
                }
                before.assign(game.board.lampLit, game.board.lampLit + game.board.lampCount);
                PointAtGl(7 / 8.0 - 0.5, 1 / 8.0 - 0.5, {200, 10}, square);
                scenario::ButtonDown();
                break;
            case 6:
                scenario::ButtonUp();
                for (uint32_t i = 0; i < game.board.lampCount; ++i) {
                    if (game.board.lampLit[i] != before[i]) {
                        flipped.push_back(i);
                    }
                }
                return false;
        }
        return true;
    });
    EXPECT_EQ(flipped, (std::vector<uint32_t>{6, 7, 14, 15})) << "lamps changed by the press";
    // The viewport is set when the window's box changes, and only then; GL counts its rows from
    // the bottom.
    std::vector<recgl::Call> viewports = scenario::Named(recgl::Calls(), "glViewport");
    ASSERT_EQ(viewports.size(), 2u) << recgl::Describe(viewports);
    EXPECT_EQ(std::vector<double>(viewports[0].args, viewports[0].args + 4),
              (std::vector<double>{160, 0, 960, 768}));
    EXPECT_EQ(std::vector<double>(viewports[1].args, viewports[1].args + 4),
              (std::vector<double>{0, 100, 1000, 800}));
}

}  // namespace
