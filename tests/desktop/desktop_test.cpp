// The real game on a desktop: a window manager (mutter) with a panel along the top (tint2) that
// reserves the top rows of the screen, so the game's window goes below it, a little smaller to
// fit. The pointer, the drawn cursor and the block under the pointer must agree with where the
// window really is, also after the user drags it elsewhere. And the system pointer stays hidden
// over the window.
#include <gtest/gtest.h>
// After the test framework: Xlib's macros (None, Status, …) would clash with its names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tests/support/GameScreen.h"
#include "tests/support/Player.h"
#include "tests/support/Shell.h"
#include "tests/support/XSession.h"

namespace {

using e2e::BoardReading;
using e2e::GlRect;
using e2e::Point;
using e2e::Screenshot;
namespace menu = e2e::menu;

constexpr int PanelHeight = 30;

std::string OutputDir() {
    return std::string(LUMENVALE_BUILD_DIR) + "/desktop";
}

using shell::OnPath;

// Our own connection to the display, for what a window manager and the X server tell.
class Desktop {
public:
    bool Open(const std::string& name) { return (display = XOpenDisplay(name.c_str())) != nullptr; }
    ~Desktop() {
        if (display != nullptr) {
            XCloseDisplay(display);
        }
    }

    bool WindowManagerRunning() {
        return XGetSelectionOwner(display, XInternAtom(display, "WM_S0", False)) != None;
    }

    // The top edge of the area the window manager leaves to windows, once it knows of a panel.
    int WorkAreaTop() {
        Atom type;
        int format;
        unsigned long count, remaining;
        unsigned char* data = nullptr;
        int top = -1;
        if (XGetWindowProperty(display, DefaultRootWindow(display),
                               XInternAtom(display, "_NET_WORKAREA", False), 0, 4, False,
                               XA_CARDINAL, &type, &format, &count, &remaining, &data) == Success &&
            data != nullptr && count >= 4) {
            top = static_cast<int>(reinterpret_cast<const long*>(data)[1]);
        }
        if (data != nullptr) {
            XFree(data);
        }
        return top;
    }

    // Pixels of the pointer's current picture that show at all (alpha above zero); -1 where
    // the server tells nothing.
    int VisiblePointerPixels() {
        int event, error;
        if (!XFixesQueryExtension(display, &event, &error)) {
            return -1;
        }
        XFixesCursorImage* image = XFixesGetCursorImage(display);
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

private:
    ::Display* display = nullptr;
};

class UnderWindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        if (!OnPath("mutter") || !OnPath("tint2")) {
            GTEST_SKIP() << "no window manager to test under (Debian packages mutter, tint2)";
        }
        if (!session.StartDisplay()) {
            GTEST_SKIP() << "no virtual display: " << session.Error();
        }
        ASSERT_TRUE(desktop.Open(session.DisplayName()));
        StartDesktop();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(session.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR));
        ASSERT_TRUE(player.FindWindow())
            << "no window titled LumenvaleGame appeared on " << session.DisplayName();
        // The window manager places the window once it is mapped.
        if (player.Window().y != PanelHeight) {
            player.FollowWindow(player.Window());
        }
        const xsession::WindowInfo& window = player.Window();
        std::cout << "window manager put the game window at (" << window.x << ", " << window.y
                  << "), " << window.width << " x " << window.height << "\n";
        EXPECT_LE(window.y + window.height, 1024) << "the window reaches below the screen";
        ASSERT_GT(window.y, 0) << "the window manager left the window at the top of the "
                                  "screen: this test needs one that moves it";
        player.Park();
        ASSERT_TRUE(player.Expect("first-menu", e2e::MainGroupShown, e2e::timing::StartMs));
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
        for (int waited = 0; !desktop.WindowManagerRunning(); waited += 50) {
            ASSERT_LT(waited, 20000) << "mutter did not start on " << session.DisplayName();
            xsession::SleepMs(50);
        }
        ASSERT_TRUE(session.StartHelper({"tint2", "-c", panel}, environment));
        for (int waited = 0; desktop.WorkAreaTop() != PanelHeight; waited += 50) {
            ASSERT_LT(waited, 20000) << "no panel reserves the top " << PanelHeight
                                     << " rows (work area from " << desktop.WorkAreaTop() << ")";
            xsession::SleepMs(50);
        }
    }

    // The pointer 24 px off the middle of a block, on each side in turn, still inside the
    // block's half of its lamps: the frame must outline that block, not a neighbour.
    void CheckHoverFrames(int size, Point block) {
        Point centre = e2e::BlockCorner(block.x, block.y, size, size);
        const Point offsets[] = {{0, 24}, {0, -24}, {24, 0}, {-24, 0}};
        for (Point offset : offsets) {
            player.MoveTo({centre.x + offset.x, centre.y + offset.y});
            player.Expect("frame-" + std::to_string(offset.x) + "-" + std::to_string(offset.y),
                          [&](const Screenshot& view) {
                              auto framed = e2e::FramedBlocks(view, size, size);
                              return framed.size() == 1 && framed[0].x == block.x &&
                                     framed[0].y == block.y;
                          });
        }
        player.Park();
    }

    // Moves the window as a user does: the window manager's modifier held, the window dragged
    // in steps. True once the window has moved.
    bool Drag(Point from, Point to) {
        const xsession::WindowInfo before = player.Window();
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
        // A busy window manager moves the window late: it has arrived once it stands still.
        bool moved = player.FollowWindow(before);
        for (xsession::WindowInfo last;
             moved && (last.x != player.Window().x || last.y != player.Window().y);) {
            last = player.Window();
            xsession::SleepMs(200);
            player.FindWindow(0);
        }
        return moved;
    }

    xsession::Session session;
    e2e::Player player{session, OutputDir()};
    Desktop desktop;
};

TEST_F(UnderWindowManager, PointerCursorAndBlockFollowTheWindowWhereverItIs) {
    player.CursorUnderPointer("menu-below-panel", {1100, 300}, 90, 3);

    const int size = 8;
    BoardReading board;
    auto boardShown = [&](const Screenshot& view) { return e2e::BoardShown(view, size, &board); };
    ASSERT_TRUE(
        player.PressButton("size-group", menu::Play, e2e::MainGroupShown, e2e::SizeGroupShown));
    ASSERT_TRUE(player.PressButton("board", menu::Size8, e2e::SizeGroupShown, boardShown));

    // A press at the middle of a block flips that block and nothing else.
    const Point block{3, 4};
    const BoardReading expected = e2e::Flipped(board, block);
    BoardReading now;
    EXPECT_TRUE(player.Flip("flip", board, block, &now));
    EXPECT_TRUE(now.SameLamps(expected)) << "wanted block (3, 4) flipped:\n"
                                         << expected.Describe() << "saw\n"
                                         << now.Describe();
    CheckHoverFrames(size, block);

    // Dragged elsewhere, across and down, the window takes the pointer along. A busy window
    // manager may take the drag's start late and move the window only part of the way; a user
    // would drag again.
    const int oldX = player.Window().x, oldY = player.Window().y;
    for (int attempt = 0; attempt < 3 && (player.Window().x == oldX || player.Window().y == oldY);
         ++attempt) {
        Drag({640, 900}, {640 + 150, 900 + 90});
    }
    std::cout << "dragged the game window from (" << oldX << ", " << oldY << ") to ("
              << player.Window().x << ", " << player.Window().y << ")\n";
    ASSERT_TRUE(player.Window().x != oldX && player.Window().y != oldY)
        << "the window manager did not move the window on a drag with Super held";
    CheckHoverFrames(size, {1, 2});
    ASSERT_TRUE(player.PressEscape("menu-after-drag", boardShown, e2e::SizeGroupShown));
    player.CursorUnderPointer("menu-after-drag", {1100, 300}, 90, 3);
}

TEST_F(UnderWindowManager, SystemPointerIsHiddenOverTheWindowOnly) {
    // Over the panel the window manager's pointer shows: the server does report a visible one.
    session.MovePointer(640, PanelHeight / 2);
    int overPanel = -1;
    for (int waited = 0; waited < 3000 && overPanel <= 0; waited += 100) {
        xsession::SleepMs(100);
        overPanel = desktop.VisiblePointerPixels();
    }
    ASSERT_GT(overPanel, 0) << "no visible pointer over the panel: XFixes tells nothing here";

    for (Point inWindow : {e2e::Nowhere, Point{640, 512}, e2e::Centre(menu::Play)}) {
        Point pointer = player.OnScreen(inWindow);
        player.MoveTo(inWindow);
        int visible = -1;
        for (int waited = 0; waited < 3000 && visible != 0; waited += 100) {
            xsession::SleepMs(100);
            visible = desktop.VisiblePointerPixels();
        }
        EXPECT_EQ(visible, 0) << "the system pointer shows " << visible
                              << " pixels over the game window at (" << pointer.x << ", "
                              << pointer.y << ")";
    }
}

}  // namespace
