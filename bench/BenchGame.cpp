#include "bench/BenchGame.h"

#include <unistd.h>

#include "app/WindowProcedure.h"
#include "game/LampBoard.h"
#include "game/PuzzleGame.h"
#include "tests/support/FakeWin32.h"

namespace bench {

void StartGame() {
    fakewin::Reset();
    if (chdir(LUMENVALE_DATA_DIR) != 0) {
        return;  // pictures missing: the game starts all the same
    }
    game.Create("LumenvaleClass", "LumenvaleGame", WS_POPUP, 0, 0, 1280, 1024, WindowProcedure,
                false);
    game.Frame();
}

void RunStartup() {
    game.state = StateStartup;
    game.Frame();
}

void ShowMenu() {
    game.state = StateMenu;
    game.mouseDown = false;
    fakewin::SetPointer(300, 600);
}

void ShowBoard8x8() {
    game.NewGame(8, 8, 64, Pattern8x8, 30);
    game.state = StateBoard;
    game.mouseDown = false;
    game.escapeDown = false;
    fakewin::SetPointer(700, 450);
}

void RunFrame() {
    game.Frame();
}

}  // namespace bench
