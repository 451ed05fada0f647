// Puts the game into a steady state for measuring: the real game object and start-up, on
// the scripted window system, drawing into an OpenGL that does nothing.
#pragma once

namespace bench {

// Creates the window and runs the start-up frame with the pictures of data/.
void StartGame();
// Runs the start-up frame again, as the first frame of the program does.
void RunStartup();
// The menu as it first shows, the pointer resting over the planet.
void ShowMenu();
// A freshly dealt 8 × 8 board, the pointer inside it so the block frame is drawn.
void ShowBoard8x8();
void RunFrame();

}  // namespace bench
