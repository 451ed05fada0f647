// The real game on a desktop: a window manager (mutter) with a panel along the top (tint2) that
// reserves the top rows of the screen. On a screen with room below the panel the game's window
// goes there, and the pointer, the drawn cursor and the block under the pointer must agree with
// where the window really is, also after the user drags it elsewhere; the system pointer stays
// hidden over the window. Where the window does not fit below the panel, the game is full screen
// over it: on a laptop's screen with black beside the frame, and on a 1280 × 1024 screen exactly
// as on one with no panel.
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

#include "tests/e2e/GameScreen.h"
#include "tests/support/Shell.h"
#include "tests/x11/XSession.h"

namespace {

using e2e::BoardReading;
using e2e::GlRect;
using e2e::Point;
using e2e::Screenshot;
namespace menu = e2e::menu;

constexpr int PanelHeight = 30;
// A desktop with room for the whole 1280 × 1024 window below the panel.
constexpr int RoomyWidth = 1920, RoomyHeight = 1080;

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
        StartOn(RoomyWidth, RoomyHeight,
                [](const xsession::WindowInfo& at) { return at.y == PanelHeight; });
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        EXPECT_LE(window.y + window.height, RoomyHeight) << "the window reaches below the screen";
        ASSERT_GT(window.y, 0) << "the window manager left the window at the top of the "
                                  "screen: this test needs one that moves it";
        Park();
        Expect("first-menu", e2e::MainGroupShown, 30000);
    }

    // mutter and its panel on a screen of this size, and the game on it, once the window
    // manager has placed the game's window as `placed` wants it (or given up trying).
    void StartOn(int width, int height,
                 const std::function<bool(const xsession::WindowInfo&)>& placed) {
        if (!OnPath("mutter") || !OnPath("tint2")) {
            GTEST_SKIP() << "no window manager to test under (Debian packages mutter, tint2)";
        }
        if (!session.StartDisplay(width, height)) {
            GTEST_SKIP() << "no virtual display: " << session.Error();
        }
        ASSERT_TRUE(desktop.Open(session.DisplayName()));
        StartDesktop();
        ASSERT_FALSE(HasFatalFailure());
        ASSERT_TRUE(session.StartProgram({LUMENVALE_PROGRAM}, LUMENVALE_DATA_DIR));
        ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window, 20000))
            << "no window titled LumenvaleGame appeared on " << session.DisplayName();
        // The window manager places the window once it is mapped.
        for (int waited = 0; waited < 5000 && !placed(window); waited += 100) {
            xsession::SleepMs(100);
            session.FindWindow("LumenvaleGame", &window);
        }
        std::cout << "window manager put the game window at (" << window.x << ", " << window.y
                  << "), " << window.width << " x " << window.height << "\n";
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

    // The frame the window shows, cut out of a capture of the screen.
    Screenshot WindowView(const Screenshot& screen) const {
        return e2e::FrameOnScreen::Of(window).View(screen);
    }

    Point OnScreen(Point inFrame) const { return e2e::FrameOnScreen::Of(window).ToScreen(inFrame); }

    void Expect(const std::string& step, const std::function<bool(const Screenshot&)>& seen,
                int timeoutMs = 5000) {
        Screenshot shot;
        if (!session.WaitForScreen([&](const Screenshot& s) { return seen(WindowView(s)); },
                                   timeoutMs, &shot)) {
            std::filesystem::create_directories(OutputDir());
            FAIL() << "step \"" << step << "\" not seen with the window at (" << window.x << ", "
                   << window.y << "); screenshot: " << shot.Save(OutputDir() + "/" + step);
        }
    }

    void Park() {
        Point spot = OnScreen(e2e::Nowhere);
        session.MovePointer(spot.x, spot.y);
    }

    void PressMenu(const GlRect& button) {
        Point centre = OnScreen(e2e::Centre(button));
        xsession::SleepMs(300);  // the menu's own delay between presses
        session.Press(centre.x, centre.y, 170);
        Park();
    }

    // The drawn cursor's centre, seen in the window's empty right part, against the pointer.
    void CheckCursorUnderPointer(const std::string& step) {
        const Point inWindow{1100, 300};
        Point pointer = OnScreen(inWindow);
        session.MovePointer(pointer.x, pointer.y);
        double x = 0, y = 0;
        Screenshot shot;
        bool under = session.WaitForScreen(
            [&](const Screenshot& s) {
                return e2e::FindCursorPicture(s, pointer, 90, &x, &y) &&
                       std::abs(x - pointer.x) <= 3 && std::abs(y - pointer.y) <= 3;
            },
            3000, &shot);
        std::cout << step << ": pointer at (" << pointer.x << ", " << pointer.y
                  << ") on the screen, cursor picture drawn " << x - pointer.x << ", "
                  << y - pointer.y << " px from it\n";
        if (!under) {
            std::filesystem::create_directories(OutputDir());
            ADD_FAILURE() << step << ": the cursor picture should be centred on the pointer at ("
                          << pointer.x << ", " << pointer.y << "), the window being at ("
                          << window.x << ", " << window.y << "); it is drawn " << x - pointer.x
                          << ", " << y - pointer.y
                          << " px from it; screenshot: " << shot.Save(OutputDir() + "/" + step);
        }
        Park();
    }

    // The pointer 24 px off the middle of a block, on each side in turn, still inside the
    // block's half of its lamps: the frame must outline that block, not a neighbour.
    void CheckHoverFrames(int size, Point block) {
        Point centre = e2e::BlockCorner(block.x, block.y, size, size);
        const Point offsets[] = {{0, 24}, {0, -24}, {24, 0}, {-24, 0}};
        for (Point offset : offsets) {
            Point pointer = OnScreen({centre.x + offset.x, centre.y + offset.y});
            session.MovePointer(pointer.x, pointer.y);
            Expect(
                "frame-" + std::to_string(offset.x) + "-" + std::to_string(offset.y),
                [&](const Screenshot& view) {
                    auto framed = e2e::FramedBlocks(view, size, size);
                    return framed.size() == 1 && framed[0].x == block.x && framed[0].y == block.y;
                },
                3000);
        }
        Park();
    }

    // Moves the window as a user does: the window manager's modifier held, the window dragged.
    void Drag(Point from, Point to) {
        session.Key("Super_L", true);
        session.MovePointer(from.x, from.y);
        xsession::SleepMs(100);
        session.Button(true);
        for (int step = 1; step <= 10; ++step) {
            session.MovePointer(from.x + (to.x - from.x) * step / 10,
                                from.y + (to.y - from.y) * step / 10);
            xsession::SleepMs(30);
        }
        session.Button(false);
        session.Key("Super_L", false);
        // A busy window manager moves the window late: it has arrived once it stands still.
        xsession::WindowInfo before;
        for (int wait = 0; wait < 30; ++wait) {
            before = window;
            xsession::SleepMs(200);
            session.FindWindow("LumenvaleGame", &window);
            if (wait > 0 && window.x == before.x && window.y == before.y) {
                break;
            }
        }
    }

    xsession::Session session;
    Desktop desktop;
    xsession::WindowInfo window;
};

TEST_F(UnderWindowManager, PointerCursorAndBlockFollowTheWindowWhereverItIs) {
    CheckCursorUnderPointer("menu-below-panel");

    const int size = 8;
    PressMenu(menu::Play);
    Expect("size-group", e2e::SizeGroupShown);
    PressMenu(menu::Size8);
    BoardReading board;
    Expect("board", [&](const Screenshot& view) { return e2e::BoardShown(view, size, &board); });
    ASSERT_FALSE(HasFatalFailure());

    // A press at the middle of a block flips that block and nothing else.
    const Point block{3, 4};
    Point centre = OnScreen(e2e::BlockCorner(block.x, block.y, size, size));
    BoardReading expected = e2e::Flipped(board, block);
    bool flipped = false;
    for (int attempt = 0; attempt < 4 && !flipped; ++attempt) {
        xsession::SleepMs(200);
        session.Press(centre.x, centre.y, 70);  // shorter than the board's repeat
        Park();
        BoardReading now;
        flipped = session.WaitForScreen(
            [&](const Screenshot& s) {
                return e2e::BoardShown(WindowView(s), size, &now) && !now.SameLamps(board);
            },
            1500);
        if (flipped) {
            EXPECT_TRUE(now.SameLamps(expected)) << "wanted block (3, 4) flipped:\n"
                                                 << expected.Describe() << "saw\n"
                                                 << now.Describe();
        }
    }
    EXPECT_TRUE(flipped) << "no press at the middle of block (3, 4) flipped anything";
    CheckHoverFrames(size, block);

    // Dragged elsewhere, across and down, the window takes the pointer along.
    // A busy window manager may take the drag's start late and move the window only part of
    // the way; a user would drag again.
    const int oldX = window.x, oldY = window.y;
    for (int attempt = 0; attempt < 3 && (window.x == oldX || window.y == oldY); ++attempt) {
        Drag(OnScreen({640, 900}), OnScreen({640 + 150, 900 + 90}));
    }
    std::cout << "dragged the game window from (" << oldX << ", " << oldY << ") to (" << window.x
              << ", " << window.y << ")\n";
    ASSERT_TRUE(window.x != oldX && window.y != oldY) << "the window manager did not move the "
                                                         "window on a drag with Super held";
    CheckHoverFrames(size, {1, 2});
    session.PressKey("Escape", 150);
    Expect("menu-after-drag", e2e::SizeGroupShown);
    CheckCursorUnderPointer("menu-after-drag");
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
        Point pointer = OnScreen(inWindow);
        session.MovePointer(pointer.x, pointer.y);
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

// Where the window does not fit below the panel, the game is full screen: mutter puts it over the
// panel, at (0, 0) and as large as the screen.
class FullScreenUnderWindowManager : public UnderWindowManager {
protected:
    void SetUp() override {}

    void StartFullScreen(int width, int height) {
        StartOn(width, height, [=](const xsession::WindowInfo& at) {
            return at.x == 0 && at.y == 0 && at.width == width && at.height == height;
        });
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        EXPECT_EQ((std::vector<int>{window.x, window.y, window.width, window.height}),
                  (std::vector<int>{0, 0, width, height}))
            << "the game's window is not full screen over the panel";
        Park();
    }
};

TEST_F(FullScreenUnderWindowManager, OnALaptopTheFrameIsCentredOnBlackAndExitIsReachable) {
    StartFullScreen(1366, 768);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    Expect("laptop-menu", e2e::MainGroupShown, 30000);
    // Black beside the 960 × 768 frame, where the panel would show.
    Point topLeft = OnScreen({0, 0}), bottomRight = OnScreen({1280, 1024});
    EXPECT_EQ(topLeft.x, (1366 - 960) / 2);
    Screenshot shot;
    bool black = session.WaitForScreen(
        [&](const Screenshot& s) {
            return e2e::LitShare(s, {0, 0, topLeft.x, 768}) == 0 &&
                   e2e::LitShare(s, {bottomRight.x, 0, 1366, 768}) == 0;
        },
        5000, &shot);
    if (!black) {
        std::filesystem::create_directories(OutputDir());
        ADD_FAILURE() << "lit beside the frame: " << shot.Save(OutputDir() + "/laptop-beside");
    }
    int exitCode = -1;
    for (int attempt = 0; attempt < 3 && exitCode == -1; ++attempt) {
        PressMenu(menu::Exit);
        session.WaitForExit(5000, &exitCode);
    }
    EXPECT_EQ(exitCode, 0) << "\"Выход\" at its place on the screen did not end the game";
}

// The first menu on a bare 1280 × 1024 screen, with no window manager or panel: once two
// captures in a row agree. Empty where there is no virtual display.
Screenshot BareMenu() {
    xsession::Session bare;
    Screenshot shot, previous;
    xsession::WindowInfo window;
    if (!bare.StartDisplay() || !bare.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR) ||
        !bare.FindWindow("LumenvaleGame", &window, 20000)) {
        return shot;
    }
    bare.MovePointer(e2e::Nowhere.x, e2e::Nowhere.y);
    bare.WaitForScreen(
        [&](const Screenshot& s) {
            bool steady = e2e::MainGroupShown(s) && s.rgb == previous.rgb;
            previous = s;
            return steady;
        },
        30000, &shot);
    return shot;
}

TEST_F(FullScreenUnderWindowManager, OverAPanelOnA1280x1024ScreenItIsTheWindowOfABareScreen) {
    const Screenshot bare = BareMenu();
    ASSERT_FALSE(bare.Empty()) << "no menu on a bare 1280 × 1024 screen";
    StartFullScreen(1280, 1024);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    Screenshot shot;
    bool same =
        session.WaitForScreen([&](const Screenshot& s) { return s.rgb == bare.rgb; }, 30000, &shot);
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
