// The real game on screens smaller than its frame, with no window manager: its window covers the
// whole screen, the frame in the middle with black beside it, and the whole game plays through
// where the frame shows; then the window is resized under the running game. And on a desktop that
// reports a display scale, the window grows with it.
#include "tests/support/RealGame.h"
// After the test framework: Xlib's macros (None, Status, …) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <ostream>
#include <string>

#include "tests/support/FittedPlay.h"

namespace {

struct Screen {
    int width, height;
    std::string Name() const { return std::to_string(width) + "x" + std::to_string(height); }
};

void PrintTo(const Screen& screen, std::ostream* out) {
    *out << screen.width << " x " << screen.height;
}

class SmallScreen : public e2e::RealGame, public ::testing::WithParamInterface<Screen> {};

TEST_P(SmallScreen, TheGameTakesTheWholeScreenAndPlaysAlsoAfterAResize) {
    const Screen screen = GetParam();
    Start(screen.width, screen.height);
    if (!Started()) {
        return;
    }
    e2e::FittedPlay play{
        session, std::string(LUMENVALE_BUILD_DIR) + "/e2e/screen-" + screen.Name(),
        [&](const xsession::WindowInfo& shown) {
            EXPECT_TRUE(e2e::FrameOnScreen::Of(shown).BlackBeside(session.Capture()))
                << "the screen beside the frame is not black";
            session.MoveResizeWindow(shown.id, 100, 50, 1000, 700);
        }};
    play.Run(&firstWindow);
    EXPECT_EQ(firstWindow.Box(), (std::vector<int>{0, 0, screen.width, screen.height}));
}

INSTANTIATE_TEST_SUITE_P(Laptops, SmallScreen,
                         ::testing::Values(Screen{1366, 768}, Screen{1280, 800}),
                         [](const ::testing::TestParamInfo<Screen>& laptop) {
                             return laptop.param.Name();
                         });

using ScaledDesktop = e2e::RealGame;

TEST_F(ScaledDesktop, TheWindowGrowsWithTheScaleTheDesktopSetsForXPrograms) {
    StartDisplay(1600, 1280);
    if (!Started()) {
        return;
    }
    // What a desktop at 125 % publishes in the X server's resources.
    ::Display* display = session.Connection();
    const char resources[] = "Xft.dpi:\t120\n";
    XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(resources),
                    sizeof resources - 1);
    XSync(display, False);

    StartGame();
    if (!Started()) {
        return;
    }
    EXPECT_EQ(firstWindow.width, 1600);
    EXPECT_EQ(firstWindow.height, 1280);
    EXPECT_TRUE(player.Expect("scaled-menu", e2e::MainGroupShown, e2e::timing::StartMs))
        << "the menu does not fill the scaled window";
}

}  // namespace
