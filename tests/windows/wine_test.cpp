// The Windows package as a player gets it: dist/lumenvale-windows.zip unzipped into a folder,
// lumenvale.exe started there under 64-bit Wine on a virtual display, and played through real
// X input. This is the game on the real Win32, WGL and opengl32 path, not on the SDL layer;
// the screen is judged with the end-to-end test's readers (tests/e2e/GameScreen.h).
//
// The package is made by scripts/build-windows. Without it, or without Wine, the tests are
// skipped, unless LUMENVALE_REQUIRE_WINDOWS=1 (set by scripts/test) makes that a failure.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <set>
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
using Clock = std::chrono::steady_clock;

// ---- The package and Wine ---------------------------------------------------------------

bool Required() {
    const char* value = std::getenv("LUMENVALE_REQUIRE_WINDOWS");
    return value != nullptr && std::string(value) == "1";
}

std::string PackagePath() {
    const char* path = std::getenv("LUMENVALE_WINDOWS_ZIP");
    return path != nullptr && *path != '\0' ? path : LUMENVALE_WINDOWS_ZIP;
}

std::string WineDir() {
    return LUMENVALE_WINE_DIR;
}

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

using shell::OnPath;

// The program and the twelve pictures it reads from its own folder, with no folder in
// between, so that unzipping and double-clicking is all a player does.
const std::set<std::string> PackageFiles = {
    "lumenvale.exe", "Font.bmp",    "On_Green.bmp", "Off_Green.bmp",   "On_Red.bmp",
    "Off_Red.bmp",   "On_Blue.bmp", "Off_Blue.bmp", "On_TrueLamp.bmp", "Off_TrueLamp.bmp",
    "Title.bmp",     "Cursor.bmp",  "Planet.bmp"};

// A Wine prefix in the build tree, made once: wineboot takes about 20 s and 700 MB.
class WinePrefix {
public:
    explicit WinePrefix(std::string folder) : path(std::move(folder)) {}

    // Every Wine process of the test runs 64-bit, silent, and without the .NET and browser
    // engines whose installers Wine would otherwise offer.
    std::vector<std::string> Environment() const {
        return {"WINEPREFIX=" + path, "WINEARCH=win64", "WINEDEBUG=-all",
                "WINEDLLOVERRIDES=mscoree,mshtml="};
    }

    // Makes the prefix unless a complete one is there; a half-made one is made again.
    // `seconds` is the time it took, 0 when the prefix was reused.
    bool Prepare(const std::string& display, double* seconds) {
        *seconds = 0;
        if (Exists(ReadyMark())) {
            return true;
        }
        auto start = Clock::now();
        std::vector<std::string> settings = Environment();
        settings.push_back("DISPLAY=" + display);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        const shell::Output boot = shell::Capture({{"wineboot", "-i"}, settings});
        std::ofstream(path + ".log") << boot.output;
        bool made = boot.status == 0 &&
                    shell::Run({{"timeout", "120", "wineserver", "-w"}, settings}) &&
                    std::ofstream(ReadyMark()).good();
        *seconds = std::chrono::duration<double>(Clock::now() - start).count();
        return made;
    }

    // The pixels per logical inch that the prefix's programs see, as Windows' display
    // settings set them; waits until the registry has it.
    bool SetDpi(const std::string& display, int dpi) const {
        std::vector<std::string> settings = Environment();
        settings.push_back("DISPLAY=" + display);
        return shell::Run({{"wine", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels",
                            "/t", "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                           settings}) &&
               shell::Run({{"timeout", "120", "wineserver", "-w"}, settings});
    }

    // Ends every Wine process of this prefix, the game and the wineserver among them.
    void Stop() const { shell::Run({{"wineserver", "-k"}, {"WINEPREFIX=" + path}}); }

    const std::string& Path() const { return path; }

private:
    std::string ReadyMark() const { return path + "/.lumenvale-ready"; }

    std::string path;
};

// ---- Reading the screen -----------------------------------------------------------------

const int BoardSize = 4;

bool MainGroupShown(const Screenshot& shot) {
    return e2e::ButtonFillSeen(shot, menu::Play) && e2e::ButtonFillSeen(shot, menu::Authors) &&
           e2e::ButtonFillSeen(shot, menu::Exit) && e2e::Blank(shot, menu::Size8);
}

// Right of "6x6" lies only the end of "Выход", hidden with the rest of the main group.
bool SizeGroupShown(const Screenshot& shot) {
    return e2e::ButtonFillSeen(shot, menu::Size4) && e2e::ButtonFillSeen(shot, menu::Size8) &&
           e2e::ButtonFillSeen(shot, menu::Back) && e2e::Blank(shot, {0.72, -0.7, 0.8, -0.61});
}

// The board screen draws no button, and every lamp and indicator reads clearly lit or dark.
bool BoardShown(const Screenshot& shot) {
    return e2e::Blank(shot, menu::Size8) && e2e::Blank(shot, menu::Exit) &&
           e2e::ReadBoard(shot, BoardSize, BoardSize).Clear();
}

// The board as it should read once the block with lower-left lamp (column, row) flipped.
BoardReading Flipped(BoardReading board, int column, int row) {
    for (int r = row; r <= row + 1; ++r) {
        for (int c = column; c <= column + 1; ++c) {
            board.lamps[r * board.columns + c].lit = !board.lamps[r * board.columns + c].lit;
        }
    }
    return board;
}

// ---- The game under Wine ----------------------------------------------------------------

class WineGame : public ::testing::Test {
protected:
    WineGame() : prefix(WineDir() + "/prefix") {}

    void Launch(int width, int height, int dpi = 96);
    void ExitThroughTheFrame(const std::string& name);

    void TearDown() override {
        // While the session's Xvfb still runs: the game and every Wine helper of the prefix.
        if (wineUsed) {
            prefix.Stop();
        }
        if (dpiSet) {
            prefix.SetDpi(session.DisplayName(), 96);
        }
    }

    bool WaitForScreen(const std::function<bool(const Screenshot&)>& seen, int timeoutMs) {
        return session.WaitForScreen(seen, timeoutMs, &shot);
    }

    // Polls until the board reads the same twice in a row: no frame caught half way.
    bool ReadSteadyBoard(BoardReading* board, int timeoutMs) {
        return WaitForScreen(
            [&](const Screenshot& s) {
                if (!BoardShown(s)) {
                    return false;
                }
                *board = e2e::ReadBoard(s, BoardSize, BoardSize);
                return e2e::ReadBoard(session.Capture(), BoardSize, BoardSize).SameLamps(*board);
            },
            timeoutMs);
    }

    // A menu button acts in the frames that see it held, and only 250 ms after the last
    // button acted: presses are spaced by more than that, and held for less, so that the
    // button that takes the pressed one's place ("Назад" for "Играть") does not fire too.
    // A press the screen does not answer is tried again.
    bool PressMenu(const GlRect& button, const std::function<bool(const Screenshot&)>& seen) {
        Point centre = e2e::Centre(button);
        for (int attempt = 0; attempt < 3; ++attempt) {
            menuPresses.Wait();
            session.Press(centre.x, centre.y, 170);
            if (WaitForScreen(seen, 3000)) {
                return true;
            }
        }
        return false;
    }

    // Escape switches between the board and the menu at most every 500 ms.
    bool PressEscape(const std::function<bool(const Screenshot&)>& seen) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            switches.Wait();
            session.PressKey("Escape", 150);
            bool switched = WaitForScreen(seen, 3000);
            switches.Restart();
            if (switched) {
                return true;
            }
        }
        return false;
    }

    // One press on the block with lower-left lamp (column, row): held for a few frames but
    // less than the 100 ms after which the block would flip back. Retried when the press fell
    // between two frames. The board the screen then shows is left in *after.
    bool FlipBlock(const BoardReading& before, int column, int row, BoardReading* after) {
        Point corner = e2e::BlockCorner(column, row, BoardSize, BoardSize);
        session.MovePointer(corner.x, corner.y);
        for (int attempt = 0; attempt < 3; ++attempt) {
            xsession::SleepMs(150);
            session.Button(true);
            xsession::SleepMs(60);
            session.Button(false);
            bool changed = WaitForScreen(
                [&](const Screenshot& s) {
                    if (!BoardShown(s)) {
                        return false;
                    }
                    *after = e2e::ReadBoard(s, BoardSize, BoardSize);
                    // Changed, and seen twice: not a frame caught half way.
                    return !after->SameLamps(before) &&
                           e2e::ReadBoard(session.Capture(), BoardSize, BoardSize)
                               .SameLamps(*after);
                },
                2000);
            if (changed) {
                return true;
            }
        }
        return false;
    }

    // Where a failure leaves the last capture, for a person to look at.
    std::string SaveShot(const std::string& name) {
        return shot.Empty() ? "(no capture)" : shot.Save(WineDir() + "/" + name);
    }

    WinePrefix prefix;
    xsession::Session session;  // after the prefix: its Xvfb outlives TearDown
    xsession::WindowInfo window;
    Screenshot shot;
    bool wineUsed = false;
    bool dpiSet = false;
    xsession::Spacing menuPresses{400};
    xsession::Spacing switches{650};
};

#define SKIP_OR_FAIL(reason)                                                             \
    do {                                                                                 \
        if (Required()) {                                                                \
            FAIL() << reason;                                                            \
        }                                                                                \
        GTEST_SKIP() << reason << " (LUMENVALE_REQUIRE_WINDOWS=1 makes this a failure)"; \
    } while (false)

TEST(WindowsPackage, HoldsTheProgramAndItsTwelvePicturesSideBySide) {
    const std::string package = PackagePath();
    if (!Exists(package)) {
        SKIP_OR_FAIL("no Windows package at " << package << ": run scripts/build-windows");
    }
    if (!OnPath("unzip")) {
        SKIP_OR_FAIL("unzip is not installed");
    }
    std::vector<std::string> entries = shell::Capture({{"unzip", "-Z1", package}}).Lines();
    std::set<std::string> files(entries.begin(), entries.end());
    EXPECT_EQ(files.size(), entries.size()) << "an entry appears twice";
    EXPECT_EQ(files, PackageFiles);
}

// The package unzipped as a player would, and started under Wine on a screen of this size: the
// window it shows is left in `window`. The calling test ends when this skips or fails.
void WineGame::Launch(int width, int height, int dpi) {
    const std::string package = PackagePath();
    if (!Exists(package)) {
        SKIP_OR_FAIL("no Windows package at " << package << ": run scripts/build-windows");
    }
    for (const char* tool : {"wine", "wineboot", "wineserver", "unzip", "Xvfb"}) {
        if (!OnPath(tool)) {
            SKIP_OR_FAIL(tool << " is not installed (scripts/lib/setup.sh names its package)");
        }
    }
    if (!session.StartDisplay(width, height)) {
        SKIP_OR_FAIL("no virtual display: " << session.Error());
    }

    // A fresh copy of the package, unzipped as a player would.
    const std::string folder = WineDir() + "/lumenvale-windows";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const shell::Output unzipped = shell::Capture({{"unzip", "-q", package, "-d", folder}});
    ASSERT_EQ(unzipped.status, 0) << unzipped.output;
    ASSERT_TRUE(Exists(folder + "/lumenvale.exe"));

    // Wine processes left by a run that was killed would hold the prefix: they end first.
    wineUsed = true;
    prefix.Stop();
    double prefixSeconds = 0;
    ASSERT_TRUE(prefix.Prepare(session.DisplayName(), &prefixSeconds))
        << "wineboot could not make the prefix " << prefix.Path() << " (see its .log)";
    if (prefixSeconds > 0) {
        std::cout << "Made the Wine prefix in " << prefixSeconds << " s" << std::endl;
    }

    // The display's scale, as the Display settings set it; the prefix is left at 100 %.
    if (dpi != 96) {
        ASSERT_TRUE(prefix.SetDpi(session.DisplayName(), dpi));
        dpiSet = true;
    }

    // Wine's own output goes to a log: the helpers it starts, which may outlive a failed
    // test, must not hold the test's output open.
    ASSERT_TRUE(session.StartProgram({"sh", "-c", "exec wine \"$0\" >\"$1\" 2>&1",
                                      folder + "/lumenvale.exe", WineDir() + "/wine.log"},
                                     folder, prefix.Environment()));
    ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window, 60000))
        << "no window titled LumenvaleGame appeared on " << session.DisplayName();
}

TEST_F(WineGame, RunsBorderlessAtTheTopLeftPlaysABoardAndExitsWithZero) {
    Launch(1280, 1024);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    auto start = Clock::now();
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 1024);
    EXPECT_TRUE(window.borderless) << "the window asks for a border or a caption";

    session.MovePointer(e2e::Nowhere.x, e2e::Nowhere.y);
    ASSERT_TRUE(WaitForScreen(MainGroupShown, 30000))
        << "no menu with \"Играть\", \"Авторы\" and \"Выход\": " << SaveShot("first-menu");
    std::cout << "First menu frame " << std::chrono::duration<double>(Clock::now() - start).count()
              << " s after the window showed" << std::endl;

    ASSERT_TRUE(PressMenu(menu::Play, SizeGroupShown))
        << "\"Играть\" did not open the size group: " << SaveShot("size-group");
    ASSERT_TRUE(PressMenu(menu::Size4, BoardShown))
        << "\"4x4\" did not show a board: " << SaveShot("board");
    switches.Restart();

    // Flip the block of the four bottom-left lamps and see them change, with the indicators.
    BoardReading before, after;
    ASSERT_TRUE(ReadSteadyBoard(&before, 5000)) << "no steady board: " << SaveShot("steady");
    ASSERT_TRUE(FlipBlock(before, 0, 0, &after)) << "no lamp changed on a press on block (0, 0):\n"
                                                 << before.Describe() << SaveShot("flip");
    // Only a board that the flip solved may show anything else: a fresh one is dealt at once.
    bool solved = Flipped(before, 0, 0).AllLit();
    EXPECT_TRUE(after.SameLamps(Flipped(before, 0, 0)) || (solved && after.Solvable()))
        << "wanted block (0, 0) flipped and nothing else; before:\n"
        << before.Describe() << "after:\n"
        << after.Describe() << SaveShot("flipped");
    EXPECT_TRUE(after.IndicatorsFollowRows()) << after.Describe();

    // Escape shows the menu, with the size group still open; Escape again resumes the board.
    ASSERT_TRUE(PressEscape(SizeGroupShown))
        << "Escape did not show the menu: " << SaveShot("escape-to-menu");
    ASSERT_TRUE(PressEscape(BoardShown))
        << "Escape did not resume the board: " << SaveShot("escape-to-board");
    BoardReading resumed;
    ASSERT_TRUE(ReadSteadyBoard(&resumed, 5000)) << SaveShot("resumed");
    EXPECT_TRUE(resumed.SameLamps(after)) << "the board left:\n"
                                          << after.Describe() << "the board resumed:\n"
                                          << resumed.Describe();

    // Back to the menu, "Назад" to the main group, and "Выход" ends the program with 0.
    ASSERT_TRUE(PressEscape(SizeGroupShown))
        << "Escape did not show the menu: " << SaveShot("escape-before-exit");
    ASSERT_TRUE(PressMenu(menu::Back, MainGroupShown))
        << "\"Назад\" did not bring the main group back: " << SaveShot("main-group");
    Point exit = e2e::Centre(menu::Exit);
    session.Press(exit.x, exit.y, 170);
    int exitCode = -1;
    ASSERT_TRUE(session.WaitForExit(30000, &exitCode))
        << "the game did not end on \"Выход\": " << SaveShot("exit");
    EXPECT_EQ(exitCode, 0);
}

// The whole menu in the window's frame, and "Выход" at its place on the screen ends the game.
void WineGame::ExitThroughTheFrame(const std::string& name) {
    const e2e::FrameOnScreen frame = e2e::FrameOnScreen::Of(window);
    Point nowhere = frame.ToScreen(e2e::Nowhere);
    session.MovePointer(nowhere.x, nowhere.y);
    ASSERT_TRUE(
        WaitForScreen([&](const Screenshot& s) { return MainGroupShown(frame.View(s)); }, 30000))
        << "no whole menu in the window: " << SaveShot(name + "-menu");
    Point exit = frame.ToScreen(e2e::Centre(menu::Exit));
    int exitCode = -1;
    for (int attempt = 0; attempt < 3 && exitCode == -1; ++attempt) {
        menuPresses.Wait();
        session.Press(exit.x, exit.y, 170);
        session.WaitForExit(10000, &exitCode);
    }
    EXPECT_EQ(exitCode, 0) << "\"Выход\" at its place on the screen did not end the game: "
                           << SaveShot(name + "-exit");
}

TEST_F(WineGame, OnALaptopScreenTheGameIsFullScreenAndExitIsReachable) {
    Launch(1366, 768);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 1366);
    EXPECT_EQ(window.height, 768);
    ExitThroughTheFrame("laptop");
}

TEST_F(WineGame, At200PercentTheWindowIsTwiceAsLargeAndPlays) {
    Launch(2600, 2100, 192);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(window.width, 2560);
    EXPECT_EQ(window.height, 2048);
    ExitThroughTheFrame("scaled");
}

}  // namespace
