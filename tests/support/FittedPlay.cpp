// The test framework before Xlib: Xlib's macros (None, Status, …) would clash with its names.
#include <gtest/gtest.h>

#include "tests/support/FittedPlay.h"

#include <iostream>

#include "tests/support/GameScreen.h"
#include "tests/support/Player.h"

namespace e2e {
namespace {

// The drawn cursor's centre may lie this far from the pointer, in screen pixels.
const double CursorSlack = 2;

// A press at the centre of a block flips that block and nothing else. Before the press the
// screen must show the board as it was left, wherever the window now is.
void FlipBlock(Player& player, const std::string& step, Point block, int size,
               BoardReading* shown) {
    BoardReading board, now;
    if (!player.ReadBoard(step + "-board", size, &board) ||
        (!shown->lamps.empty() && !player.Expect(step + "-board", [&](const Screenshot& view) {
            return BoardShown(view, size, &board) && board.SameLamps(*shown);
        }))) {
        return;
    }
    EXPECT_TRUE(player.Flip(step, board, block, &now));
    *shown = now;
}

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
        timing::StartMs));
    player.Park();  // where the window has settled
    *firstWindow = player.Window();
    const Screenshot screen = session.Capture();
    const xsession::WindowInfo& window = player.Window();
    std::cout << "the game's window: " << window.width << " x " << window.height << " at ("
              << window.x << ", " << window.y << ") on a " << screen.width << " x " << screen.height
              << " screen\n";
    EXPECT_TRUE(window.x >= 0 && window.y >= 0 && window.x + window.width <= screen.width &&
                window.y + window.height <= screen.height)
        << "the window does not lie inside the screen";
    player.CursorUnderPointer("cursor-on-menu", {1100, 300}, 40, CursorSlack);

    const int size = 8;
    auto board = [](const Screenshot& view) { return BoardShown(view, size); };
    ASSERT_TRUE(player.PressButton("size-group", menu::Play, MainGroupShown, SizeGroupShown));
    ASSERT_TRUE(player.PressButton("board", menu::Size8, SizeGroupShown, board));
    BoardReading shown;
    FlipBlock(player, "bottom-right-block", {size - 2, 0}, size, &shown);

    const xsession::WindowInfo before = player.Window();
    resize(before);
    ASSERT_TRUE(player.FollowWindow(before)) << "the window kept its size and place";
    std::cout << "resized to " << player.Window().width << " x " << player.Window().height
              << " at (" << player.Window().x << ", " << player.Window().y << ")\n";
    FlipBlock(player, "block-after-resize", {3, 4}, size, &shown);

    ASSERT_TRUE(player.PressEscape("menu-again", board, SizeGroupShown));
    player.CursorUnderPointer("cursor-after-resize", {1100, 300}, 40, CursorSlack);
    ASSERT_TRUE(player.PressButton("main-group", menu::Back, SizeGroupShown, MainGroupShown));
    EXPECT_EQ(player.PressToExit("exit", menu::Exit, MainGroupShown), 0)
        << "\"Выход\" pressed at its place on the screen did not end the game";
}

}  // namespace e2e
