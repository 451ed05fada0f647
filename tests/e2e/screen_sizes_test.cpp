// The real game on screens smaller than its frame, with no window manager: the window it asks
// for fits the screen, and the whole game plays through where the frame shows; then the window
// is resized under the running game. And on a desktop that reports a display scale, the window
// grows with it.
#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Status, …) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <ostream>
#include <string>

#include "tests/support/FittedPlay.h"
#include "tests/support/GameScreen.h"
#include "tests/support/XSession.h"

namespace {

struct Screen {
    int width, height;
    int windowWidth, windowHeight;  // the largest 5:4 window that fits
};

void PrintTo(const Screen& screen, std::ostream* out) {
    *out << screen.width << " x " << screen.height;
}

class SmallScreen : public ::testing::TestWithParam<Screen> {};

TEST_P(SmallScreen, TheWindowFitsAndTheWholeGamePlaysAlsoAfterAResize) {
    const Screen screen = GetParam();
    xsession::Session session;
    if (!session.StartDisplay(screen.width, screen.height)) {
        GTEST_SKIP() << "no virtual display: " << session.Error();
    }
    ASSERT_TRUE(session.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR));
    std::string name = std::to_string(screen.width) + "x" + std::to_string(screen.height);
    e2e::FittedPlay play{session, std::string(LUMENVALE_BUILD_DIR) + "/e2e/screen-" + name,
                         [&](const xsession::WindowInfo& window) {
                             session.MoveResizeWindow(window.id, 100, 50, 1000, 700);
                         }};
    xsession::WindowInfo window;
    play.Run(&window);
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, screen.windowWidth);
    EXPECT_EQ(window.height, screen.windowHeight);
}

INSTANTIATE_TEST_SUITE_P(Laptops, SmallScreen,
                         ::testing::Values(Screen{1366, 768, 960, 768},
                                           Screen{1280, 800, 1000, 800}),
                         [](const ::testing::TestParamInfo<Screen>& laptop) {
                             return std::to_string(laptop.param.width) + "x" +
                                    std::to_string(laptop.param.height);
                         });

TEST(ScaledDesktop, TheWindowGrowsWithTheScaleTheDesktopSetsForXPrograms) {
    xsession::Session session;
    if (!session.StartDisplay(1600, 1280)) {
        GTEST_SKIP() << "no virtual display: " << session.Error();
    }
    // What a desktop at 125 % publishes in the X server's resources.
    ::Display* display = XOpenDisplay(session.DisplayName().c_str());
    ASSERT_NE(display, nullptr);
    const char resources[] = "Xft.dpi:\t120\n";
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources),
                    sizeof resources - 1);
    XCloseDisplay(display);

    ASSERT_TRUE(session.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR));
    xsession::WindowInfo window;
    ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window, 20000));
    EXPECT_EQ(window.width, 1600);
    EXPECT_EQ(window.height, 1280);
    e2e::FrameOnScreen frame = e2e::FrameOnScreen::Of(window);
    EXPECT_TRUE(session.WaitForScreen(
        [&](const xsession::Screenshot& shot) { return e2e::MainGroupShown(frame.View(shot)); },
        30000))
        << "the menu does not fill the scaled window";
}

}  // namespace
