// A still game draws nothing until something can change its picture: the loop waits for the
// next message, and the time it waited counts as frames drawn meanwhile would have counted it.
// Each scripted step is fakewin::WaitStepMs of the game's time, drawn or waited.
#include <gtest/gtest.h>

#include "tests/GameScenario.h"

namespace {

using scenario::GameTest;

int Steps(DWORD milliseconds) {
    return static_cast<int>(milliseconds / fakewin::WaitStepMs);
}

TEST_F(GameTest, AStillMinuteDrawsAHandfulOfFramesAndThePressAfterItIsAnsweredAtOnce) {
    const int still = 2, press = still + Steps(60000);
    int swapsStill = 0, swapsAtPress = 0, swapsAnswered = 0;
    bool answered = false;
    scenario::Play([&](int frame) {
        if (frame == still) {
            scenario::PointAt(game.playButton);
            swapsStill = fakewin::Get().swaps;
        } else if (frame == press) {
            swapsAtPress = fakewin::Get().swaps;
            scenario::ButtonDown();
        } else if (frame == press + 1) {
            swapsAnswered = fakewin::Get().swaps;
            answered = game.size4Button->visible;
        }
        return frame <= press + 1;
    });
    EXPECT_LE(swapsAtPress - swapsStill, 3) << "a minute on the menu with nothing moving";
    EXPECT_GT(fakewin::Get().waits, 0);
    EXPECT_EQ(swapsAnswered, swapsAtPress + 1);
    EXPECT_TRUE(answered) << "the press is taken by the first frame after it";
}

TEST_F(GameTest, TheWaitCountsTowardsTheEscapeDelay) {
    // Escape, pressed once the board has stood still for longer than the delay, switches in
    // the first frame that sees it, as it would after as many drawn frames.
    const int press = Steps(600);
    int32_t stateAnswered = 0;
    scenario::PlayBoard(&PuzzleGame::size4Button, [&](int step, const auto&) {
        if (step == press) {
            scenario::EscapeDown();
        } else if (step == press + 1) {
            stateAnswered = game.state;
            scenario::EscapeUp();
        }
        return step <= press + 1;
    });
    EXPECT_GT(fakewin::Get().waits, 0);
    EXPECT_EQ(stateAnswered, StateMenu);
}

TEST_F(GameTest, TheDrawnCursorFollowsThePointerOffTheWindowAndThenRests) {
    // Off the window no message tells of the pointer's moves, yet the drawn cursor must not stay
    // behind at the edge.
    fakewin::SetMonitors({{{0, 0, 1600, 1200}, {0, 0, 1600, 1200}, 96}});
    const int edge = 5, away = edge + 30, rested = away + Steps(2000);
    int swapsAway = 0, swapsRested = 0;
    LONG drawnAtEdge = 0, drawnAway = 0;
    scenario::Play([&](int frame) {
        if (frame == 2) {
            fakewin::SetPointer(1270, 500);
        } else if (frame == edge) {
            fakewin::SetPointer(1290, 500);  // just off the window: the cursor shows in part
        } else if (frame == edge + Steps(PointerWatchLongestMs) + 1) {
            drawnAtEdge = game.cursor.screenX;
            fakewin::SetPointer(1500, 1100);
        } else if (frame == away) {
            drawnAway = game.cursor.screenX;
            swapsAway = fakewin::Get().swaps;
        } else if (frame == rested) {
            swapsRested = fakewin::Get().swaps;
        }
        return frame < rested;
    });
    EXPECT_EQ(drawnAtEdge, 1290);
    EXPECT_EQ(drawnAway, 1500);
    EXPECT_LE(swapsRested - swapsAway, 1) << "nothing to draw while the pointer rests outside";
}

}  // namespace
