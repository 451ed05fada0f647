// The real game on a desktop: a window manager (mutter) with a panel along the top (tint2) that
// reserves the top rows of the screen. On a screen with room below the panel the game's window
// goes there, and the pointer, the drawn cursor and the block under the pointer must agree with
// where the window really is, also after the user drags it elsewhere; the system pointer stays
// hidden over the window. Where the window does not fit below the panel, the game is full screen
// over it: on a laptop's screen with black beside the frame, and on a 1280 × 1024 screen exactly
// as on one with no panel.
#include "tests/support/RealGame.h"
// After the test framework: Xlib's macros (None, Status, …) would clash with its names.
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/Shell.h"

namespace e2e {
namespace {

constexpr int PanelHeight = 30;
// A desktop with room for the whole 1280 × 1024 window below the panel.
constexpr int RoomyWidth = 1920, RoomyHeight = 1080;

std::string OutputDir() {
    return std::string(LUMENVALE_BUILD_DIR) + "/desktop";
}

// The top edge of the area the window manager leaves to windows, once it knows of a panel.
int WorkAreaTop(::Display* display) {
    const std::vector<long> area =
        xsession::LongProperty(display, DefaultRootWindow(display), "_NET_WORKAREA");
    return area.size() >= 4 ? static_cast<int>(area[1]) : -1;
}

// Pixels of the pointer's current picture that show at all (alpha above zero); -1 where the
// server tells nothing.
int VisiblePointerPixels(::Display* display) {
    int event, error;
    XFixesCursorImage* image =
        XFixesQueryExtension(display, &event, &error) ? XFixesGetCursorImage(display) : nullptr;
    if (image == nullptr) {
        return -1;
    }
    int visible = 0;
    for (int i = 0; i < image->width * image->height; ++i) {
        visible += (image->pixels[i] >> 24 & 0xFF) != 0 ? 1 : 0;
    }
    XFree(image);
    return visible;
}

class UnderWindowManager : public RealGame {
protected:
    UnderWindowManager() : RealGame(OutputDir()) {}

    void SetUp() override {
        StartOn(RoomyWidth, RoomyHeight,
                [](const xsession::WindowInfo& at) { return at.y == PanelHeight; });
        if (!Started()) {
            return;
        }
        const xsession::WindowInfo& shown = player.Window();
        EXPECT_LE(shown.y + shown.height, RoomyHeight) << "the window reaches below the screen";
        ASSERT_GT(shown.y, 0) << "the window manager left the window at the top of the "
                                 "screen: this test needs one that moves it";
        player.Park();
        ASSERT_TRUE(player.Expect("first-menu", MainGroupShown, timing::StartMs));
    }

    // mutter and its panel on a screen of this size, and the game on it, once the window
    // manager has placed the game's window as `placed` wants it (or given up trying).
    void StartOn(int width, int height,
                 const std::function<bool(const xsession::WindowInfo&)>& placed) {
        if (!shell::OnPath("mutter") || !shell::OnPath("tint2")) {
            GTEST_SKIP() << "no window manager to test under (Debian packages mutter, tint2)";
        }
        StartDisplay(width, height);
        if (!Started()) {
            return;
        }
        ASSERT_NO_FATAL_FAILURE(StartDesktop());
        ASSERT_NO_FATAL_FAILURE(StartGame());
        // The window manager places the window once it is mapped.
        for (int moves = 0; moves < 3 && !placed(player.Window()); ++moves) {
            if (!player.FollowWindow(player.Window())) {
                break;
            }
        }
        const xsession::WindowInfo& shown = player.Window();
        std::cout << "window manager put the game window at (" << shown.x << ", " << shown.y
                  << "), " << shown.width << " x " << shown.height << "\n";
    }

    // mutter with a 30-pixel panel along the top. Their own settings stay out of the user's
    // home.
    void StartDesktop() {
        std::string home = OutputDir() + "/home";
        std::filesystem::create_directories(home);
        std::string panel = OutputDir() + "/tint2rc";
        std::ofstream(panel) << "panel_position = top center horizontal\n"
                             << "panel_size = 100% " << PanelHeight << "\n"
                             << "strut_policy = follow_size\n"
                             << "panel_items = T\n";
        const std::vector<std::string> environment = {
            "GSETTINGS_BACKEND=memory", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/.config",
            "XDG_DATA_HOME=" + home + "/.local/share", "XDG_CACHE_HOME=" + home + "/.cache"};
        ASSERT_TRUE(
            session.StartHelper({"mutter", "--x11", "--replace", "--sm-disable"}, environment));
        // A running window manager owns the screen's WM_S0 selection.
        ::Display* display = session.Connection();
        const Atom manager = XInternAtom(display, "WM_S0", False);
        ASSERT_TRUE(xsession::WaitUntil(
            [&] { return XGetSelectionOwner(display, manager) != None; }, 20000))
            << "mutter did not start on " << session.DisplayName();
        ASSERT_TRUE(session.StartHelper({"tint2", "-c", panel}, environment));
        ASSERT_TRUE(xsession::WaitUntil([&] { return WorkAreaTop(display) == PanelHeight; }, 20000))
            << "no panel reserves the top " << PanelHeight << " rows (work area from "
            << WorkAreaTop(display) << ")";
    }

    // The pointer 24 px off the middle of a block, on each side in turn, still inside the
    // block's half of its lamps: the frame must outline that block, not a neighbour.
    void CheckHoverFrames(int size, Point block) {
        Point centre = BlockCorner(block.x, block.y, size, size);
        const Point offsets[] = {{0, 24}, {0, -24}, {24, 0}, {-24, 0}};
        for (Point offset : offsets) {
            player.MoveTo({centre.x + offset.x, centre.y + offset.y});
            player.Expect("frame-" + std::to_string(offset.x) + "-" + std::to_string(offset.y),
                          [&](const Screenshot& view) {
                              auto framed = FramedBlocks(view, size, size);
                              return framed.size() == 1 && framed[0].x == block.x &&
                                     framed[0].y == block.y;
                          });
        }
        player.Park();
    }

    // Moves the window as a user does: the window manager's modifier held, the window dragged
    // in steps. True once the window has come where the whole drag takes it: a busy window
    // manager moves it late, and may take the drag's start late and move it only part of the way.
    bool Drag(Point from, Point to) {
        const xsession::WindowInfo before = player.Window();
        const Point start = player.OnScreen(from), end = player.OnScreen(to);
        session.Key("Super_L", true);
        player.MoveTo(from);
        session.Button(true);
        for (int step = 1; step <= 10; ++step) {
            player.MoveTo(
                {from.x + (to.x - from.x) * step / 10, from.y + (to.y - from.y) * step / 10});
            xsession::SleepMs(30);
        }
        session.Button(false);
        session.Key("Super_L", false);
        const int goalX = before.x + end.x - start.x, goalY = before.y + end.y - start.y;
        return xsession::WaitUntil(
            [&] {
                player.FindWindow(0);
                return player.Window().x == goalX && player.Window().y == goalY;
            },
            timing::AnswerMs);
    }
};

TEST_F(UnderWindowManager, PointerCursorAndBlockFollowTheWindowWhereverItIs) {
    player.CursorUnderPointer("menu-below-panel", {1100, 300}, 90, 3);

    const int size = 8;
    BoardReading board;
    auto boardShown = [&](const Screenshot& view) { return BoardShown(view, size, &board); };
    ASSERT_TRUE(player.PressButton("size-group", menu::Play, MainGroupShown, SizeGroupShown));
    ASSERT_TRUE(player.PressButton("board", menu::Size8, SizeGroupShown, boardShown));

    // A press at the middle of a block flips that block and nothing else.
    const Point block{3, 4};
    BoardReading now;
    EXPECT_TRUE(player.Flip("flip", board, block, &now));
    CheckHoverFrames(size, block);

    // Dragged elsewhere, across and down, the window takes the pointer along. A busy window
    // manager may take the drag's start late and move the window only part of the way; a user
    // would drag again.
    const int oldX = player.Window().x, oldY = player.Window().y;
    for (int attempt = 0; attempt < 3 && !Drag({640, 900}, {640 + 150, 900 + 90}); ++attempt) {
    }
    std::cout << "dragged the game window from (" << oldX << ", " << oldY << ") to ("
              << player.Window().x << ", " << player.Window().y << ")\n";
    ASSERT_TRUE(player.Window().x != oldX && player.Window().y != oldY)
        << "the window manager did not move the window on a drag with Super held";
    CheckHoverFrames(size, {1, 2});
    ASSERT_TRUE(player.PressEscape("menu-after-drag", boardShown, SizeGroupShown));
    player.CursorUnderPointer("menu-after-drag", {1100, 300}, 90, 3);
}

TEST_F(UnderWindowManager, SystemPointerIsHiddenOverTheWindowOnly) {
    // Over the panel the window manager's pointer shows: the server does report a visible one.
    session.MovePointer(640, PanelHeight / 2);
    int overPanel = -1;
    xsession::WaitUntil(
        [&] { return (overPanel = VisiblePointerPixels(session.Connection())) > 0; }, 3000, 100);
    ASSERT_GT(overPanel, 0) << "no visible pointer over the panel: XFixes tells nothing here";

    for (Point inWindow : {Nowhere, Point{640, 512}, Centre(menu::Play)}) {
        Point pointer = player.OnScreen(inWindow);
        player.MoveTo(inWindow);
        int visible = -1;
        xsession::WaitUntil(
            [&] { return (visible = VisiblePointerPixels(session.Connection())) == 0; }, 3000, 100);
        EXPECT_EQ(visible, 0) << "the system pointer shows " << visible
                              << " pixels over the game window at (" << pointer.x << ", "
                              << pointer.y << ")";
    }
}

// Where the window does not fit below the panel, the game is full screen: mutter puts it over the
// panel, at (0, 0) and as large as the screen.
class FullScreenUnderWindowManager : public UnderWindowManager {
protected:
    void SetUp() override {}

    void StartFullScreen(int width, int height) {
        StartOn(width, height, [=](const xsession::WindowInfo& at) {
            return at.x == 0 && at.y == 0 && at.width == width && at.height == height;
        });
        if (!Started()) {
            return;
        }
        const xsession::WindowInfo& shown = player.Window();
        EXPECT_EQ(shown.Box(), (std::vector<int>{0, 0, width, height}))
            << "the game's window is not full screen over the panel";
        player.Park();
    }
};

TEST_F(FullScreenUnderWindowManager, OnALaptopTheFrameIsCentredOnBlackAndExitIsReachable) {
    StartFullScreen(1366, 768);
    if (!Started()) {
        return;
    }
    ASSERT_TRUE(player.Expect("laptop-menu", MainGroupShown, timing::StartMs));
    // Black beside the 960 × 768 frame, where the panel would show.
    EXPECT_EQ(player.OnScreen({0, 0}).x, (1366 - 960) / 2);
    const FrameOnScreen frame = FrameOnScreen::Of(player.Window());
    Screenshot shot;
    if (!session.WaitForScreen([&](const Screenshot& s) { return frame.BlackBeside(s); },
                               timing::AnswerMs, &shot)) {
        player.Fail("laptop-beside", shot, "lit beside the frame");
    }
    EXPECT_EQ(player.PressToExit("laptop-exit", menu::Exit, MainGroupShown), 0)
        << "\"Выход\" at its place on the screen did not end the game";
}

// The first menu on a bare 1280 × 1024 screen, with no window manager or panel: once two
// captures in a row agree. Empty where there is no virtual display.
Screenshot BareMenu() {
    xsession::Session bare;
    Screenshot shot, previous;
    xsession::WindowInfo window;
    if (!bare.StartDisplay() || !bare.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR) ||
        !bare.FindWindow("LumenvaleGame", &window, 20000)) {
        return shot;
    }
    bare.MovePointer(Nowhere.x, Nowhere.y);
    bare.WaitForScreen(
        [&](const Screenshot& s) {
            bool steady = MainGroupShown(s) && s.rgb == previous.rgb;
            previous = s;
            return steady;
        },
        timing::StartMs, &shot);
    return shot;
}

TEST_F(FullScreenUnderWindowManager, OverAPanelOnA1280x1024ScreenItIsTheWindowOfABareScreen) {
    const Screenshot bare = BareMenu();
    ASSERT_FALSE(bare.Empty()) << "no menu on a bare 1280 × 1024 screen";
    StartFullScreen(1280, 1024);
    if (!Started()) {
        return;
    }
    Screenshot shot;
    bool same = session.WaitForScreen([&](const Screenshot& s) { return s.rgb == bare.rgb; },
                                      timing::StartMs, &shot);
    if (!same) {
        size_t differing = 0;
        for (size_t i = 0; i < shot.rgb.size() && shot.rgb.size() == bare.rgb.size(); i += 3) {
            differing += !std::equal(&shot.rgb[i], &shot.rgb[i] + 3, &bare.rgb[i]);
        }
        std::filesystem::create_directories(OutputDir());
        ADD_FAILURE() << differing << " pixels differ from the menu on a bare screen: "
                      << shot.Save(OutputDir() + "/over-panel") << " against "
                      << bare.Save(OutputDir() + "/bare");
    }
}

}  // namespace
}  // namespace e2e
