// The real program in a real window on a virtual display.
#include "tests/support/RealGame.h"

namespace {

using RealWindow = e2e::RealGame;

TEST_F(RealWindow, OpensBorderlessAtTheTopLeftAndClosesCleanly) {
    Start();
    if (!Started()) {
        return;
    }
    EXPECT_EQ(firstWindow.Box(), (std::vector<int>{0, 0, 1280, 1024}));
    EXPECT_TRUE(firstWindow.borderless);
    ExpectEndsOnClose();
}

}  // namespace
