// The window on desktops of every size, and the frame and pointer on a window of any size:
// played through the real entry and loop against the scripted window system.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "tests/GameScenario.h"

namespace {

using scenario::GameTest;

struct Desktop {
    fakewin::Monitor monitor;
    PixelBox window;  // what the game must ask for
};

TEST_F(GameTest, TheWindowTakesTheScaledFrameWhereItFitsTheWorkAreaAndElseTheWholeMonitor) {
    const Desktop desktops[] = {
        {{{0, 0, 1280, 1024}, {0, 0, 1280, 1024}, 96}, {0, 0, 1280, 1024}},  // as it always was
        {{{0, 0, 1920, 1200}, {0, 0, 1920, 1160}, 96}, {0, 0, 1280, 1024}},  // no bigger at 100 %
        {{{0, 0, 1366, 768}, {0, 0, 1366, 728}, 96}, {0, 0, 1366, 768}},     // small laptop
        {{{0, 0, 1280, 800}, {0, 0, 1280, 800}, 96}, {0, 0, 1280, 800}},     // handheld
        {{{0, 0, 1440, 900}, {0, 27, 1440, 900}, 96}, {0, 0, 1440, 900}},    // scaled desktop
        // Over a top panel or a taskbar it does not clear: the window made for a bare screen.
        {{{0, 0, 1280, 1024}, {0, 30, 1280, 1024}, 96}, {0, 0, 1280, 1024}},
        {{{0, 0, 1280, 1024}, {0, 0, 1280, 984}, 96}, {0, 0, 1280, 1024}},
        {{{0, 0, 1920, 1080}, {0, 30, 1920, 1080}, 96}, {0, 30, 1280, 1024}},  // below a panel
        {{{0, 0, 3840, 2160}, {0, 0, 3840, 2064}, 192}, {0, 0, 2560, 2048}},   // 200 %
        {{{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 120}, {0, 0, 1920, 1080}},   // 125 %: too tall
        {{{100, 50, 100, 50}, {100, 50, 100, 50}, 96}, {0, 0, 1280, 1024}},    // no size told
        {{{0, 0, 1920, 1200}, {0, 0, 0, 0}, 0}, {0, 0, 1280, 1024}},  // nor scale, nor work
    };
    for (const Desktop& desktop : desktops) {
        scenario::ResetGame();
        fakewin::SetMonitors({desktop.monitor});
        scenario::Play([](int) { return false; });
        const fakewin::Record& r = fakewin::Get();
        const RECT& area = desktop.monitor.area;
        EXPECT_EQ((PixelBox{r.x, r.y, r.width, r.height}), desktop.window)
            << area.right - area.left << " x " << area.bottom - area.top << " monitor at "
            << desktop.monitor.dpi << " dpi: asked for " << r.width << " x " << r.height << " at ("
            << r.x << ", " << r.y << ")";
    }
}

TEST_F(GameTest, TheWindowTakesTheScaleOfItsMonitorAsItIsNowWhereTheSystemTellsIt) {
    // Signed in at 100 %, the player has since set 125 % for the monitor.
    for (bool told : {true, false}) {
        scenario::ResetGame();
        fakewin::SetMonitors({{{0, 0, 2560, 1600}, {0, 0, 2560, 1560}, 96}});
        fakewin::ChangeMonitor(0, {{0, 0, 2560, 1600}, {0, 0, 2560, 1560}, 120});
        fakewin::SetPerMonitorDpi(told);
        scenario::Play([](int) { return false; });
        EXPECT_EQ(fakewin::Get().width, told ? 1600 : 1280) << "monitor's scale told: " << told;
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

// A window's corner on the desktop and the frame's box in that window.
struct Fit {
    POINT at;
    PixelBox frame;
};

// The player opens the 8 x 8 board and presses its bottom-right block, whose centre is lamp
// corner (7, 1): "Играть" on frame `first`, "8x8" on the next, held until the menu's delay has
// passed and let go two frames later, all through `menu`; the block on the frame after, through
// `board`. `alsoOn` adds what else happens on a frame, after the player. Gives the lamps flipped.
std::vector<uint32_t> FlipBottomRightBlock(int first, Fit menu, Fit board,
                                           const std::function<void(int frame)>& alsoOn) {
    std::vector<int32_t> before;
    std::vector<uint32_t> flipped;
    scenario::Play([&](int frame) {
        if (frame == first) {
            PointAtWidget(game.playButton, menu.at, menu.frame);
            scenario::ButtonDown();
        } else if (frame == first + 1) {
            PointAtWidget(game.size8Button, menu.at, menu.frame);
            fakewin::SetTicks(fakewin::Ticks() + 300);
        } else if (frame == first + 3) {
            scenario::ButtonUp();
        } else if (frame == first + 4) {
            EXPECT_EQ(game.state, StateBoard);
            EXPECT_EQ(game.board.columns, 8u);
            if (game.board.lampLit == nullptr) {
                return false;
            }
            before.assign(game.board.lampLit, game.board.lampLit + game.board.lampCount);
            PointAtGl(7 / 8.0 - 0.5, 1 / 8.0 - 0.5, board.at, board.frame);
            scenario::ButtonDown();
        } else if (frame == first + 5) {
            scenario::ButtonUp();
            for (uint32_t i = 0; i < game.board.lampCount; ++i) {
                if (game.board.lampLit[i] != before[i]) {
                    flipped.push_back(i);
                }
            }
            return false;
        }
        alsoOn(frame);
        return true;
    });
    return flipped;
}

TEST_F(GameTest, TheFrameFollowsTheWindowAndPressesLandWhereThePointerIs) {
    // Asked for the whole of a 1366 x 768 desktop, the window is floated as 1280 x 768 at
    // (43, 0); later it is moved and resized to 1000 x 1000 at (200, 10).
    fakewin::SetMonitors({{{0, 0, 1366, 768}, {0, 0, 1366, 768}, 96}});
    fakewin::PlaceWindow(43, 0, 1280, 768);
    const PixelBox wide = {160, 0, 960, 768}, square = {0, 100, 1000, 800};
    std::vector<uint32_t> flipped =
        FlipBottomRightBlock(1, {{43, 0}, wide}, {{200, 10}, square}, [](int frame) {
            if (frame == 4) {  // the menu has taken the press
                fakewin::PlaceWindow(200, 10, 1000, 1000);
                fakewin::SetTicks(fakewin::Ticks() + 150);  // past the board's click delay
            }
        });
    EXPECT_EQ(flipped, (std::vector<uint32_t>{6, 7, 14, 15})) << "lamps changed by the press";
    // The viewport is set when the window's box changes, and only then; GL counts its rows from
    // the bottom.
    EXPECT_EQ(recgl::Describe(recgl::CallsNamed("glViewport")),
              "glViewport(160, 0, 960, 768)\nglViewport(0, 100, 1000, 800)\n");
}

TEST_F(GameTest, TheWindowFollowsItsMonitorsScaleAndAChangedDisplayAndPressesStillLand) {
    // Opened at 100 % on the left monitor; the player moves it to the right one, at 150 %, where
    // the 1920 x 1536 window Windows suggests does not fit: the game takes that whole monitor.
    // Then the right monitor's resolution grows to 3840 x 2160, and the window fits there.
    const fakewin::Monitor left = {{0, 0, 1920, 1200}, {0, 0, 1920, 1160}, 96};
    const fakewin::Monitor right = {{1920, 0, 3840, 1080}, {1920, 0, 3840, 1080}, 144};
    const fakewin::Monitor larger = {{1920, 0, 5760, 2160}, {1920, 0, 5760, 2120}, 144};
    fakewin::SetMonitors({left, right});
    const RECT suggested = {1920, 0, 3840, 1536};
    const PixelBox fullScreen = {285, 0, 1350, 1080}, fitted = {0, 0, 1920, 1536};
    std::vector<uint32_t> flipped =
        FlipBottomRightBlock(2, {{1920, 0}, fullScreen}, {{1920, 0}, fitted}, [&](int frame) {
            if (frame == 1) {
                fakewin::PlaceWindow(1920, 0, 1280, 1024);
                fakewin::Post(WM_DPICHANGED, 144 << 16 | 144, reinterpret_cast<LPARAM>(&suggested));
            } else if (frame == 5) {  // the menu has taken the press
                fakewin::ChangeMonitor(1, larger);
                fakewin::Post(WM_DISPLAYCHANGE);
                fakewin::SetTicks(fakewin::Ticks() + 150);
            }
        });
    const fakewin::Record& r = fakewin::Get();
    EXPECT_EQ((PixelBox{r.x, r.y, r.width, r.height}), (PixelBox{0, 0, 1280, 1024}));
    EXPECT_EQ(r.windowPlaces,
              (std::vector<PixelBox>{{1920, 0, 1920, 1536},  // as Windows suggests
                                     {1920, 0, 1920, 1080},  // the whole right monitor
                                     {1920, 0, 1920, 1536}}))
        << "where the window was put after the scale and then the display changed";
    EXPECT_EQ(flipped, (std::vector<uint32_t>{6, 7, 14, 15})) << "lamps changed by the press";
}

}  // namespace
