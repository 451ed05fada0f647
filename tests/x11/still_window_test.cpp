// A still game on a real display costs next to nothing: with the menu shown and the pointer
// resting on it, the game's process uses under 2 % of a core. The figure is the process's own
// processor time (all its threads, the GL driver's included), so a busy machine leaves it as it
// is.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/Player.h"
#include "tests/support/Shell.h"
#include "tests/support/XSession.h"

namespace {

TEST(StillWindow, AGameLeftOnItsMenuUsesAlmostNoProcessorTime) {
    xsession::Session session;
    if (!session.StartDisplay()) {
        GTEST_SKIP() << "no virtual display: " << session.Error();
    }
    ASSERT_TRUE(session.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR));
    e2e::Player player(session, std::string(LUMENVALE_BUILD_DIR) + "/e2e");
    ASSERT_TRUE(player.FindWindow());
    player.Park();
    ASSERT_TRUE(player.Expect("still-menu", e2e::MainGroupShown, e2e::timing::StartMs));
    // The cursor drawn at the pointer: the game has taken every input so far.
    ASSERT_TRUE(player.CursorUnderPointer("still-cursor", {1100, 300}, 40, 3));

    const int stillMs = 3000;
    double before = shell::ProcessorSeconds(session.GamePid());
    xsession::SleepMs(stillMs);
    double used = shell::ProcessorSeconds(session.GamePid()) - before;
    EXPECT_LT(used, 0.02 * stillMs / 1000) << "seconds of processor time over a still 3 s";
    int exitCode = 0;
    EXPECT_FALSE(session.WaitForExit(0, &exitCode)) << "the game ended, with " << exitCode;
}

}  // namespace
