// The frame's size, from the game's own header (which cannot share a file with Xlib's).
#include "game/PuzzleGame.h"

extern const int LayoutFrameWidth = ScreenWidth;
extern const int LayoutFrameHeight = ScreenHeight;
