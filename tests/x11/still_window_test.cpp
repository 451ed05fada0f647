// A still game on a real display costs next to nothing: with the menu shown and the pointer
// resting on it, the game's process uses under 2 % of a core. The figure is the process's own
// processor time (all its threads, the GL driver's included), so a busy machine leaves it as it
// is.
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tests/support/Player.h"
#include "tests/support/XSession.h"

namespace {

// User and system time the process has used so far, in seconds.
double ProcessorSeconds(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // Fields counted after the command name, which may hold spaces: utime and stime are the
    // 14th and 15th of the line.
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string skipped;
    for (int field = 3; field < 14; ++field) {
        fields >> skipped;
    }
    unsigned long long user = 0, system = 0;
    fields >> user >> system;
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

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
    double before = ProcessorSeconds(session.GamePid());
    xsession::SleepMs(stillMs);
    double used = ProcessorSeconds(session.GamePid()) - before;
    EXPECT_LT(used, 0.02 * stillMs / 1000) << "seconds of processor time over a still 3 s";
    int exitCode = 0;
    EXPECT_FALSE(session.WaitForExit(0, &exitCode)) << "the game ended, with " << exitCode;
}

}  // namespace
