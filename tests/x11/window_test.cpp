// The real program in a real window on a virtual display.
#include "tests/support/RealGame.h"

namespace {

using RealWindow = e2e::RealGame;

TEST_F(RealWindow, OpensBorderlessAtTheTopLeftAndClosesCleanly) {
    Start();
    if (!Started()) {
        return;
    }
    EXPECT_EQ(firstWindow.x, 0);
    EXPECT_EQ(firstWindow.y, 0);
    EXPECT_EQ(firstWindow.width, 1280);
    EXPECT_EQ(firstWindow.height, 1024);
    EXPECT_TRUE(firstWindow.borderless);
    ExpectEndsOnClose();
}

}  // namespace
