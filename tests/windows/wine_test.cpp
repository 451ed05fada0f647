// The Windows package as a player gets it: dist/lumenvale-windows.zip unzipped into a folder,
// lumenvale.exe started there under 64-bit Wine on a virtual display, and played through real
// X input. This is the game on the real Win32, WGL and opengl32 path, not on the SDL layer;
// the screen is judged with the end-to-end test's readers (tests/support/GameScreen.h).
//
// The package is made by scripts/build-windows. Without it, or without Wine, the tests are
// skipped, unless LUMENVALE_REQUIRE_WINDOWS=1 (set by scripts/test) makes that a failure.
#include "tests/support/RealGame.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

#include "tests/support/Shell.h"
#include "tests/support/SkipOrFail.h"

namespace e2e {
namespace {

using Clock = std::chrono::steady_clock;

// ---- The package and Wine ---------------------------------------------------------------

// Where the package is unzipped and Wine keeps its prefix and log, in the build tree.
const std::string WineDir = LUMENVALE_WINE_DIR;

std::string PackagePath() {
    const char* path = std::getenv("LUMENVALE_WINDOWS_ZIP");
    return path != nullptr && *path != '\0' ? path : LUMENVALE_WINDOWS_ZIP;
}

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
    // engines whose installers Wine would otherwise offer; on this X display.
    std::vector<std::string> Environment(const std::string& display) const {
        return {"WINEPREFIX=" + path, "WINEARCH=win64", "WINEDEBUG=-all",
                "WINEDLLOVERRIDES=mscoree,mshtml=", "DISPLAY=" + display};
    }

    // Makes the prefix unless a complete one is there; a half-made one is made again.
    // `seconds` is the time it took, 0 when the prefix was reused.
    bool Prepare(const std::string& display, double* seconds) {
        *seconds = 0;
        if (std::filesystem::exists(ReadyMark())) {
            return true;
        }
        auto start = Clock::now();
        const std::vector<std::string> settings = Environment(display);
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
        const std::vector<std::string> settings = Environment(display);
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

bool MainButtonsShown(const Screenshot& shot) {
    return ButtonFillSeen(shot, menu::Play) && ButtonFillSeen(shot, menu::Authors) &&
           ButtonFillSeen(shot, menu::Exit) && Blank(shot, menu::Size8);
}

// Right of "6x6" lies only the end of "Выход", hidden with the rest of the main group.
bool SizeButtonsShown(const Screenshot& shot) {
    return ButtonFillSeen(shot, menu::Size4) && ButtonFillSeen(shot, menu::Size8) &&
           ButtonFillSeen(shot, menu::Back) && Blank(shot, {0.72, -0.7, 0.8, -0.61});
}

// The board screen draws no button, and every lamp and indicator reads clearly lit or dark.
bool BoardScreenShown(const Screenshot& shot) {
    return Blank(shot, menu::Size8) && Blank(shot, menu::Exit) &&
           ReadBoard(shot, BoardSize, BoardSize).Clear();
}

// ---- The game under Wine ----------------------------------------------------------------

class WineGame : public RealGame {
protected:
    WineGame() : RealGame(WineDir), prefix(WineDir + "/prefix") {}

    void Launch(int width, int height, int dpi = 96);
    void ExitThroughTheFrame(const std::string& name);

    void TearDown() override {
        // While the session's Xvfb still runs: the game and every Wine helper of the prefix.
        if (wineUsed) {
            prefix.Stop();
        }
    }

    WinePrefix prefix;
    bool wineUsed = false;
};

// Without the package or Wine the tests skip, unless scripts/test requires them.
constexpr const char* RequireWindows = "LUMENVALE_REQUIRE_WINDOWS";

TEST(WindowsPackage, HoldsTheProgramAndItsTwelvePicturesSideBySide) {
    const std::string package = PackagePath();
    if (!std::filesystem::exists(package)) {
        SKIP_OR_FAIL(RequireWindows,
                     "no Windows package at " << package << ": run scripts/build-windows");
    }
    REQUIRE_TOOL(RequireWindows, "unzip");
    std::vector<std::string> entries = shell::Capture({{"unzip", "-Z1", package}}).Lines();
    std::set<std::string> files(entries.begin(), entries.end());
    EXPECT_EQ(files.size(), entries.size()) << "an entry appears twice";
    EXPECT_EQ(files, PackageFiles);
}

// The package unzipped as a player would, and started under Wine on a screen of this size: the
// player finds the window it shows. The calling test ends when this skips or fails.
void WineGame::Launch(int width, int height, int dpi) {
    const std::string package = PackagePath();
    if (!std::filesystem::exists(package)) {
        SKIP_OR_FAIL(RequireWindows,
                     "no Windows package at " << package << ": run scripts/build-windows");
    }
    for (const char* tool : {"wine", "wineboot", "wineserver", "unzip", "Xvfb"}) {
        REQUIRE_TOOL(RequireWindows, tool);
    }
    if (!session.StartDisplay(width, height)) {
        SKIP_OR_FAIL(RequireWindows, "no virtual display: " << session.Error());
    }

    // A fresh copy of the package, unzipped as a player would.
    const std::string folder = WineDir + "/lumenvale-windows";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const shell::Output unzipped = shell::Capture({{"unzip", "-q", package, "-d", folder}});
    ASSERT_EQ(unzipped.status, 0) << unzipped.output;
    ASSERT_TRUE(std::filesystem::exists(folder + "/lumenvale.exe"));

    // Wine processes left by a run that was killed would hold the prefix: they end first.
    wineUsed = true;
    prefix.Stop();
    double prefixSeconds = 0;
    ASSERT_TRUE(prefix.Prepare(session.DisplayName(), &prefixSeconds))
        << "wineboot could not make the prefix " << prefix.Path() << " (see its .log)";
    if (prefixSeconds > 0) {
        std::cout << "Made the Wine prefix in " << prefixSeconds << " s" << std::endl;
    }

    // The display's scale, as the Display settings set it: every run sets its own, so that a
    // run killed at 200 % leaves nothing behind for the next.
    ASSERT_TRUE(prefix.SetDpi(session.DisplayName(), dpi));

    // Wine's own output goes to a log: the helpers it starts, which may outlive a failed
    // test, must not hold the test's output open.
    ASSERT_TRUE(session.StartProgram({"sh", "-c", "exec wine \"$0\" >\"$1\" 2>&1",
                                      folder + "/lumenvale.exe", WineDir + "/wine.log"},
                                     folder, prefix.Environment(session.DisplayName())));
    ASSERT_TRUE(player.FindWindow(60000))
        << "no window titled LumenvaleGame appeared on " << session.DisplayName();
}

TEST_F(WineGame, RunsBorderlessAtTheTopLeftPlaysABoardAndExitsWithZero) {
    Launch(1280, 1024);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    auto start = Clock::now();
    const xsession::WindowInfo& window = player.Window();
    EXPECT_EQ(window.Box(), (std::vector<int>{0, 0, 1280, 1024}));
    EXPECT_TRUE(window.borderless) << "the window asks for a border or a caption";

    player.Park();
    ASSERT_TRUE(player.Expect("first-menu", MainButtonsShown, timing::StartMs))
        << "no menu with \"Играть\", \"Авторы\" and \"Выход\"";
    std::cout << "First menu frame " << std::chrono::duration<double>(Clock::now() - start).count()
              << " s after the window showed" << std::endl;

    ASSERT_TRUE(player.PressButton("size-group", menu::Play, MainButtonsShown, SizeButtonsShown))
        << "\"Играть\" did not open the size group";
    ASSERT_TRUE(player.PressButton("board", menu::Size4, SizeButtonsShown, BoardScreenShown))
        << "\"4x4\" did not show a board";

    // Flip the block of the four bottom-left lamps and see them change, with the indicators.
    BoardReading before, after;
    ASSERT_TRUE(player.ReadBoard("steady", BoardSize, &before, BoardScreenShown))
        << "no steady board";
    // Only a board that the flip solved may show anything else: a fresh one is dealt at once.
    ASSERT_TRUE(player.Flip("flip", before, {0, 0}, &after, BoardScreenShown))
        << "a press on block (0, 0) did not flip it alone, with the indicators";

    // Escape shows the menu, with the size group still open; Escape again resumes the board.
    ASSERT_TRUE(player.PressEscape("escape-to-menu", BoardScreenShown, SizeButtonsShown))
        << "Escape did not show the menu";
    ASSERT_TRUE(player.PressEscape("escape-to-board", SizeButtonsShown, BoardScreenShown))
        << "Escape did not resume the board";
    BoardReading resumed;
    ASSERT_TRUE(player.ReadBoard("resumed", BoardSize, &resumed, BoardScreenShown));
    EXPECT_TRUE(resumed.SameLamps(after)) << "the board left:\n"
                                          << after.Describe() << "the board resumed:\n"
                                          << resumed.Describe();

    // Back to the menu, "Назад" to the main group, and "Выход" ends the program with 0.
    ASSERT_TRUE(player.PressEscape("escape-before-exit", BoardScreenShown, SizeButtonsShown))
        << "Escape did not show the menu";
    ASSERT_TRUE(player.PressButton("main-group", menu::Back, SizeButtonsShown, MainButtonsShown))
        << "\"Назад\" did not bring the main group back";
    EXPECT_EQ(player.PressToExit("exit", menu::Exit, MainButtonsShown), 0);
}

// The whole menu in the window's frame, and "Выход" at its place on the screen ends the game.
void WineGame::ExitThroughTheFrame(const std::string& name) {
    player.Park();
    ASSERT_TRUE(player.Expect(name + "-menu", MainButtonsShown, timing::StartMs))
        << "no whole menu in the window";
    EXPECT_EQ(player.PressToExit(name + "-exit", menu::Exit, MainButtonsShown), 0)
        << "\"Выход\" at its place on the screen did not end the game";
}

TEST_F(WineGame, OnALaptopScreenTheGameIsFullScreenAndExitIsReachable) {
    Launch(1366, 768);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(player.Window().Box(), (std::vector<int>{0, 0, 1366, 768}));
    ExitThroughTheFrame("laptop");
}

TEST_F(WineGame, At200PercentTheWindowIsTwiceAsLargeAndPlays) {
    Launch(2600, 2100, 192);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    EXPECT_EQ(player.Window().width, 2560);
    EXPECT_EQ(player.Window().height, 2048);
    ExitThroughTheFrame("scaled");
}

}  // namespace
}  // namespace e2e
