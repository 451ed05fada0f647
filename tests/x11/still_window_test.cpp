// A still game on a real display costs next to nothing: with the menu shown and the pointer
// resting on it, the game's process uses under 2 % of a core. The figure is the process's own
// processor time (all its threads, the GL driver's included), so a busy machine leaves it as it
// is.
#include "tests/support/RealGame.h"
#include "tests/support/Shell.h"

namespace {

using StillWindow = e2e::RealGame;

TEST_F(StillWindow, AGameLeftOnItsMenuUsesAlmostNoProcessorTime) {
    Start();
    if (!Started()) {
        return;
    }
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
