// The game window's procedure: it turns window messages into the game's input flags, and notes
// a changed display for the window to follow.
#pragma once

#include <windows.h>

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
