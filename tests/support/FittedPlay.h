// The whole game played in a window of whatever size and place its desktop gives it, through
// where its frame shows on the screen: the menu whole from title to credit line, the drawn
// cursor on the pointer, the bottom-right block of an 8 × 8 board flipped by a press at its
// centre, another block after the window is resized under the running game, and "Выход"
// ending the game with 0.
#pragma once

#include <functional>
#include <string>

#include "tests/support/XSession.h"

namespace e2e {

struct FittedPlay {
    xsession::Session& session;
    std::string outputDir;  // where a failed step leaves its screenshot
    // Resizes the game's window as the desktop does it, while the game runs.
    std::function<void(const xsession::WindowInfo& window)> resize;

    // Plays it all with the test framework's assertions; the window it was first given is left
    // in *firstWindow.
    void Run(xsession::WindowInfo* firstWindow);
};

}  // namespace e2e
