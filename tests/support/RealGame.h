// A test that plays the real game on a virtual display: the display, the game on it and the
// player, started the same way by every such test. Where no display starts the test is skipped;
// where the game does not start it fails.
#pragma once

// The test framework before Xlib: Xlib's macros (None, Status, …) would clash with its names.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/support/GameScreen.h"
#include "tests/support/Player.h"
#include "tests/support/XSession.h"

namespace e2e {

class RealGame : public ::testing::Test {
protected:
    // A failed step leaves its screenshot in `outputDir`.
    explicit RealGame(std::string outputDir = std::string(LUMENVALE_BUILD_DIR) + "/e2e")
        : player(session, std::move(outputDir)) {}

    // Whether the test goes on: not once it is skipped or has failed fatally.
    static bool Started() { return !IsSkipped() && !HasFatalFailure(); }

    // A virtual display of this size.
    void StartDisplay(int width = 1280, int height = 1024) {
        if (!session.StartDisplay(width, height)) {
            GTEST_SKIP() << "no virtual display: " << session.Error();
        }
    }
    // A program (the game unless named) on the display, until its window shows.
    void StartGame(const std::string& program = LUMENVALE_PROGRAM,
                   const std::string& title = "LumenvaleGame") {
        ASSERT_TRUE(session.StartProgram({program}, LUMENVALE_DATA_DIR));
        ASSERT_TRUE(session.FindWindow(title, &firstWindow, 20000))
            << "no window titled " << title << " appeared on " << session.DisplayName();
        player.FindWindow(0);
    }
    // Both.
    void Start(int width = 1280, int height = 1024) {
        StartDisplay(width, height);
        if (Started()) {
            StartGame();
        }
    }

    // A close request, as a window manager sends it, ends the program with 0.
    void ExpectEndsOnClose() {
        session.RequestClose(firstWindow.id);
        int exitCode = -1;
        ASSERT_TRUE(session.WaitForExit(10000, &exitCode)) << "the close request was ignored";
        EXPECT_EQ(exitCode, 0);
    }

    xsession::Session session;
    Player player;
    xsession::WindowInfo firstWindow;  // the program's window as it first showed
};

}  // namespace e2e
