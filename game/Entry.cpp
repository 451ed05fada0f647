// The program's entry and its global objects.
#include <windows.h>

#include "app/WindowProcedure.h"
#include "game/PuzzleGame.h"
#include "ui/BitmapFont.h"

// Defined together so that they are constructed in this order and destroyed in reverse.
BitmapFont gameFont;
PuzzleGame game;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    game.Create("LumenvaleClass", "LumenvaleGame", WS_POPUP, 0, 0, 1280, 1024, WindowProcedure,
                false);
    game.Run();
    return 0;
}
