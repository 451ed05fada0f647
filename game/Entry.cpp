// The program's entry and its global objects.
#include <windows.h>

#include "app/FrameFit.h"
#include "app/WindowProcedure.h"
#include "game/PuzzleGame.h"
#include "ui/BitmapFont.h"

// Defined together so that they are constructed in this order and destroyed in reverse.
BitmapFont gameFont;
PuzzleGame game;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // On the primary monitor: at its work area's top-left corner, as large as the monitor's
    // scale asks, where that fits (1280 x 1024 at (0, 0) on a desktop of that size or more at
    // 100 %); else over the whole monitor, a full-screen game.
    PixelBox place = WindowOnDesktop(ScreenWidth, ScreenHeight);
    game.Create("LumenvaleClass", "LumenvaleGame", WS_POPUP, place.x, place.y, place.width,
                place.height, WindowProcedure, false);
    game.Run();
    return 0;
}
