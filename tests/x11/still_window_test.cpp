// A still game on a real display costs next to nothing: with the menu shown and the pointer
// resting on it, the game's process uses under 2 % of a core. The figure is the process's own
// processor time (all its threads, the GL driver's included), so a busy machine leaves it as it
// is.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

#include "tests/x11/XSession.h"

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

// The drawn cursor, bright on the menu's black, covers the pointer's spot.
bool CursorAt(const xsession::Screenshot& shot, int x, int y) {
    const int reach = 8;
    for (int row = y - reach; row <= y + reach; ++row) {
        for (int column = x - reach; column <= x + reach; ++column) {
            if (shot.Contains(column, row)) {
                const uint8_t* p = shot.At(column, row);
                if (std::max({p[0], p[1], p[2]}) > 128) {
                    return true;
                }
            }
        }
    }
    return false;
}

TEST(StillWindow, AGameLeftOnItsMenuUsesAlmostNoProcessorTime) {
    xsession::Session session;
    if (!session.StartDisplay()) {
        GTEST_SKIP() << "no virtual display: " << session.Error();
    }
    ASSERT_TRUE(session.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR));
    xsession::WindowInfo window;
    ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window));
    // An empty spot of the menu, between the planet and the buttons.
    const int x = window.x + window.width / 2, y = window.y + window.height / 2;
    session.MovePointer(x, y);
    xsession::Screenshot shot;
    ASSERT_TRUE(session.WaitForScreen(
        [&](const xsession::Screenshot& s) { return CursorAt(s, x, y); }, 20000, &shot))
        << "the menu never showed the cursor: " << shot.Save("still-window");

    const int stillMs = 3000;
    double before = ProcessorSeconds(session.GamePid());
    xsession::SleepMs(stillMs);
    double used = ProcessorSeconds(session.GamePid()) - before;
    EXPECT_LT(used, 0.02 * stillMs / 1000) << "seconds of processor time over a still 3 s";
    EXPECT_TRUE(session.GameRunning());
}

}  // namespace
