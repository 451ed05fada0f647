// The real program in a real window on a virtual display.
#include <gtest/gtest.h>

#include "tests/support/XSession.h"

namespace {

TEST(RealWindow, OpensBorderlessAtTheTopLeftAndClosesCleanly) {
    xsession::Session session;
    if (!session.StartDisplay()) {
        GTEST_SKIP() << "no virtual display: " << session.Error();
    }
    ASSERT_TRUE(session.StartGame(LUMENVALE_PROGRAM, LUMENVALE_DATA_DIR));
    xsession::WindowInfo window;
    ASSERT_TRUE(session.FindWindow("LumenvaleGame", &window))
        << "no window titled LumenvaleGame appeared on " << session.DisplayName();
    EXPECT_EQ(window.x, 0);
    EXPECT_EQ(window.y, 0);
    EXPECT_EQ(window.width, 1280);
    EXPECT_EQ(window.height, 1024);
    EXPECT_TRUE(window.borderless);

    session.RequestClose(window.id);
    int exitCode = -1;
    ASSERT_TRUE(session.WaitForExit(10000, &exitCode)) << "the game ignored the close request";
    EXPECT_EQ(exitCode, 0);
}

}  // namespace
