// Drawing a frame must not touch the heap: steady menu and board frames allocate nothing.
#include <gtest/gtest.h>

#include "tests/GameScenario.h"
#include "tests/support/AllocationCounter.h"

namespace {

using scenario::BoardShown;
using scenario::GameTest;

const int CountedFrames = 200;

// A still game draws nothing; a held key (Space, which the game ignores) keeps every frame
// drawn without a message a frame.
void HoldSpace() {
    fakewin::Post(WM_KEYDOWN, VK_SPACE);
}

// Counts the allocations of CountedFrames frames from frame `first` on. The recording GL keeps
// its state but logs nothing meanwhile, and the fake's record of sleeps has room to spare, so
// the only allocations left are the game's own.
class Counter {
public:
    explicit Counter(int firstCounted) : first(firstCounted) {}

    // Returns false once the counted frames are over.
    bool Before(int frame) {
        if (frame == first) {
            recgl::SetLogging(false);
            fakewin::Get().sleeps.reserve(fakewin::Get().sleeps.size() + CountedFrames + 10);
            alloccount::Start();
        } else if (frame == first + CountedFrames) {
            allocations = alloccount::Stop();
            recgl::SetLogging(true);
            return false;
        }
        return true;
    }

    int first;
    long allocations = -1;
};

TEST_F(GameTest, SteadyMenuFramesAllocateNothing) {
    Counter counter(10);
    scenario::Play([&](int frame) {
        if (frame == 1) {
            // Open the about box, so that every kind of widget is drawn, then hover a button.
            scenario::PressOn(game.authorsButton);
        } else if (frame == 2) {
            scenario::ButtonUp();
            scenario::PointAt(game.playButton);
            HoldSpace();
        }
        return counter.Before(frame);
    });
    EXPECT_TRUE(game.aboutBox->visible);
    EXPECT_TRUE(game.playButton->IsHovered());
    EXPECT_EQ(fakewin::Get().swaps, counter.first + CountedFrames - 1);
    EXPECT_EQ(counter.allocations, 0);
}

TEST_F(GameTest, SteadyBoardFramesAllocateNothing) {
    Counter counter(BoardShown + 5);
    scenario::Play([&](int frame) {
        scenario::OpenBoard(frame, &PuzzleGame::size8Button);
        if (frame == BoardShown) {
            scenario::PointAtLamp(3, 4);  // the hover frame is drawn on every frame
            HoldSpace();
        }
        return counter.Before(frame);
    });
    EXPECT_EQ(game.state, StateBoard);
    EXPECT_EQ(game.board.columns, 8u);
    EXPECT_EQ(fakewin::Get().swaps, counter.first + CountedFrames - 1);
    EXPECT_EQ(counter.allocations, 0);
}

}  // namespace
