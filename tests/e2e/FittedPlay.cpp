// The test framework before Xlib: Xlib's macros (None, Status, …) would clash with its names.
#include <gtest/gtest.h>

#include "tests/e2e/FittedPlay.h"

#include <filesystem>
#include <iostream>

#include "tests/e2e/GameScreen.h"

namespace e2e {
namespace {

// The drawn cursor's centre may lie this far from the pointer, in screen pixels.
const double CursorSlack = 2;

class Player {
public:
    Player(xsession::Session& on, std::string screenshots)
        : session(on), outputDir(std::move(screenshots)) {}

    bool FindWindow() {
        bool found = session.FindWindow("LumenvaleGame", &window, 20000);
        frame = FrameOnScreen::Of(window);
        return found;
    }

    // The frame where the window is now: a compositor may place the window some time after it
    // shows, so every look at the screen asks again.
    std::function<bool(const Screenshot&)> InFrame(
        const std::function<bool(const Screenshot&)>& seen) {
        return [this, seen](const Screenshot& shot) {
            if (session.FindWindow("LumenvaleGame", &window, 0)) {
                frame = FrameOnScreen::Of(window);
            }
            return seen(frame.View(shot));
        };
    }

    // Waits for the window to change from `old`, then fits the frame to it afresh.
    bool FollowWindow(const xsession::WindowInfo& old) {
        for (int waited = 0; waited < 10000; waited += 100) {
            if (session.FindWindow("LumenvaleGame", &window) &&
                (window.x != old.x || window.y != old.y || window.width != old.width ||
                 window.height != old.height)) {
                frame = FrameOnScreen::Of(window);
                return true;
            }
            xsession::SleepMs(100);
        }
        return false;
    }

    Point OnScreen(Point inFrame) const { return frame.ToScreen(inFrame); }

    void Park() {
        Point spot = OnScreen(Nowhere);
        session.MovePointer(spot.x, spot.y);
    }

    bool Expect(const std::string& step, const std::function<bool(const Screenshot&)>& seen,
                int timeoutMs = 5000) {
        Screenshot shot;
        if (session.WaitForScreen(InFrame(seen), timeoutMs, &shot)) {
            return true;
        }
        ADD_FAILURE() << "step \"" << step << "\" not seen in the " << window.width << " x "
                      << window.height << " window at (" << window.x << ", " << window.y
                      << "); screenshot: " << Save(shot, step);
        return false;
    }

    // A menu button pressed until the screen shows what it brings: the menu may rightly ignore
    // a press that comes within its own delay after the last.
    bool PressMenu(const std::string& step, const GlRect& button,
                   const std::function<bool(const Screenshot&)>& brings) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            xsession::SleepMs(300);  // the menu's own delay between presses
            Point centre = OnScreen(Centre(button));
            session.Press(centre.x, centre.y, 170);  // shorter than the menu's repeat
            Park();
            if (session.WaitForScreen(InFrame(brings), 3000)) {
                return true;
            }
        }
        return Expect(step, brings, 0);
    }

    // Escape pressed until the screen shows what it brings: a short press may fall between two
    // frames of a busy machine, and a switch comes at most every 500 ms.
    bool PressEscape(const std::string& step,
                     const std::function<bool(const Screenshot&)>& brings) {
        for (int attempt = 0; attempt < 4; ++attempt) {
            xsession::SleepMs(600);
            session.PressKey("Escape", 150);
            if (session.WaitForScreen(InFrame(brings), 3000)) {
                return true;
            }
        }
        return Expect(step, brings, 0);
    }

    // A press at the centre of a block flips that block and nothing else.
    // A press at the centre of a block flips that block and nothing else. Before the press the
    // screen must show the board as it was left, wherever the window now is.
    void FlipBlock(const std::string& step, Point block, int size) {
        BoardReading board;
        if (!Expect(step + "-board", [&](const Screenshot& view) {
                return SteadyBoard(view, size, &board) &&
                       (shownBoard.lamps.empty() || board.SameLamps(shownBoard));
            })) {
            return;
        }
        BoardReading expected = Flipped(board, block);
        Point centre = OnScreen(BlockCorner(block.x, block.y, size, size));
        for (int attempt = 0; attempt < 4; ++attempt) {
            xsession::SleepMs(200);
            session.Press(centre.x, centre.y, 70);  // shorter than the board's repeat
            Park();
            if (session.WaitForScreen(InFrame([&](const Screenshot& view) {
                                          return SteadyBoard(view, size, &shownBoard) &&
                                                 !shownBoard.SameLamps(board);
                                      }),
                                      1500)) {
                EXPECT_TRUE(shownBoard.SameLamps(expected))
                    << step << ": wanted block (" << block.x << ", " << block.y << ") flipped:\n"
                    << expected.Describe() << "saw\n"
                    << shownBoard.Describe();
                return;
            }
        }
        ADD_FAILURE() << step << ": no press at the centre of block (" << block.x << ", " << block.y
                      << ") at (" << centre.x << ", " << centre.y
                      << ") on the screen flipped anything";
    }

    // The board reads clearly, and the same in the next capture: no frame caught half drawn.
    bool SteadyBoard(const Screenshot& view, int size, BoardReading* reading) {
        return BoardShown(view, size, reading) &&
               ReadBoard(frame.View(session.Capture()), size, size).SameLamps(*reading);
    }

    // The drawn cursor's centre against the pointer, in the menu's empty right part.
    void CheckCursorUnderPointer(const std::string& step) {
        Point pointer = OnScreen({1100, 300});
        session.MovePointer(pointer.x, pointer.y);
        double x = 0, y = 0;
        Screenshot shot;
        bool under = session.WaitForScreen(
            [&](const Screenshot& s) {
                return FindCursorPicture(s, pointer, 40, &x, &y) &&
                       std::abs(x - pointer.x) <= CursorSlack &&
                       std::abs(y - pointer.y) <= CursorSlack;
            },
            3000, &shot);
        std::cout << step << ": cursor picture drawn " << x - pointer.x << ", " << y - pointer.y
                  << " px from the pointer\n";
        EXPECT_TRUE(under) << step << ": the cursor picture should be centred on the pointer at ("
                           << pointer.x << ", " << pointer.y << "); it is drawn " << x - pointer.x
                           << ", " << y - pointer.y
                           << " px from it; screenshot: " << Save(shot, step);
        Park();
    }

    xsession::WindowInfo window;

private:
    std::string Save(const Screenshot& shot, const std::string& step) const {
        std::filesystem::create_directories(outputDir);
        return shot.Save(outputDir + "/" + step);
    }

    xsession::Session& session;
    std::string outputDir;
    FrameOnScreen frame;
    BoardReading shownBoard;  // the board as the last flip left it
};

}  // namespace

void FittedPlay::Run(xsession::WindowInfo* firstWindow) {
    Player player(session, outputDir);
    ASSERT_TRUE(player.FindWindow())
        << "no window titled LumenvaleGame appeared on " << session.DisplayName();
    player.Park();
    ASSERT_TRUE(player.Expect(
        "whole-menu",
        [](const Screenshot& view) {
            return MainGroupShown(view) &&
                   LitShare(view, ToPixels(menu::CreditLine), levels::TitleInk) > 0.03;
        },
        30000));
    player.Park();  // where the window has settled
    *firstWindow = player.window;
    const Screenshot screen = session.Capture();
    const xsession::WindowInfo& window = player.window;
    std::cout << "the game's window: " << window.width << " x " << window.height << " at ("
              << window.x << ", " << window.y << ") on a " << screen.width << " x " << screen.height
              << " screen\n";
    EXPECT_TRUE(window.x >= 0 && window.y >= 0 && window.x + window.width <= screen.width &&
                window.y + window.height <= screen.height)
        << "the window does not lie inside the screen";
    player.CheckCursorUnderPointer("cursor-on-menu");

    const int size = 8;
    ASSERT_TRUE(player.PressMenu("size-group", menu::Play, SizeGroupShown));
    ASSERT_TRUE(player.PressMenu("board", menu::Size8,
                                 [](const Screenshot& view) { return BoardShown(view, size); }));
    player.FlipBlock("bottom-right-block", {size - 2, 0}, size);

    const xsession::WindowInfo before = player.window;
    resize(before);
    ASSERT_TRUE(player.FollowWindow(before)) << "the window kept its size and place";
    std::cout << "resized to " << player.window.width << " x " << player.window.height << " at ("
              << player.window.x << ", " << player.window.y << ")\n";
    player.FlipBlock("block-after-resize", {3, 4}, size);

    ASSERT_TRUE(player.PressEscape("menu-again", SizeGroupShown));
    player.CheckCursorUnderPointer("cursor-after-resize");
    ASSERT_TRUE(player.PressMenu("main-group", menu::Back, MainGroupShown));
    int exitCode = -1;
    for (int attempt = 0; attempt < 4 && session.GameRunning(); ++attempt) {
        xsession::SleepMs(300);
        Point exit = player.OnScreen(Centre(menu::Exit));
        session.Press(exit.x, exit.y, 170);
        if (session.WaitForExit(3000, &exitCode)) {
            break;
        }
    }
    EXPECT_EQ(exitCode, 0) << "\"Выход\" pressed at its place on the screen did not end the game";
}

}  // namespace e2e
