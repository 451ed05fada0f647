#include "game/PuzzleGame.h"

#include "app/CursorSprite.h"
#include "app/FrameClock.h"
#include "game/Random.h"
#include "ui/BitmapFont.h"

namespace {

struct Picture {
    const char* file;
    GLuint PuzzleGame::*slot;
};

// Load order. The two indicator pictures come in the opposite order to their slots.
const Picture Pictures[] = {
    {"On_Green.bmp", &PuzzleGame::texOnGreen},     {"Off_Green.bmp", &PuzzleGame::texOffGreen},
    {"On_Red.bmp", &PuzzleGame::texOnRed},         {"Off_Red.bmp", &PuzzleGame::texOffRed},
    {"On_Blue.bmp", &PuzzleGame::texOnBlue},       {"Off_Blue.bmp", &PuzzleGame::texOffBlue},
    {"Off_TrueLamp.bmp", &PuzzleGame::texOffTrue}, {"On_TrueLamp.bmp", &PuzzleGame::texOnTrue},
    {"Title.bmp", &PuzzleGame::texTitle},          {"Cursor.bmp", &PuzzleGame::texCursor},
    {"Planet.bmp", &PuzzleGame::texPlanet},
};

}  // namespace

void PuzzleGame::Frame() {
    if (state == StateStartup) {
        StartUp();
    } else if (state == StateMenu || state == StateBoard) {
        FitFrame(ScreenWidth, ScreenHeight);
        if (state == StateMenu) {
            DrawMenuFrame();
        } else {
            DrawBoardFrame();
        }
        EndFrame();
    } else {
        // The state is left as it is, so the box comes back on every idle pass.
        MessageBoxA(nullptr, "Weird State", "Error", MB_OK);
    }
}

void PuzzleGame::StartUp() {
    CreateGLContext();
    MakeCurrent();
    glClearColor(0, 0, 0, 0);
    gameRandom.Seed(GetTickCount());
    // The font comes before the widgets that draw with it. Missing files are not fatal: the
    // textures are made all the same and simply show nothing useful.
    gameFont.Load("Font.bmp");
    BuildMenu();
    LoadPictures();
    gameInProgress = false;
    // This first reading measures the time since system start, so the first menu frame accepts
    // a press at once. Nothing is drawn or presented, so nothing is gained by the frame's sleep:
    // the first picture, a menu frame, follows at once.
    FrameClock::Start();
    state = StateMenu;
}

void PuzzleGame::LoadPictures() {
    for (const Picture& picture : Pictures) {
        loader.Load(picture.file);
        textureParams.UploadTexture(loader, this->*picture.slot);
    }
    // GL has its own copy of every picture; nothing reads the last one's pixels again.
    loader.ReleasePixels();
}

void PuzzleGame::EndFrame() {
    CursorSprite(texCursor, cursor.GlPosition());
    FrameClock::Tick();
    Present();
}

void PuzzleGame::SwitchOnEscape(int32_t target) {
    if (escapeDown && escapeTimer > EscapeDelay) {
        state = target;
        escapeTimer = 0;
    }
}

void PuzzleGame::NewGame(uint32_t newColumns, uint32_t newRows, uint32_t newLampCount,
                         const int32_t* newPattern, uint32_t newScrambleCount) {
    if (board.Deal(newColumns, newRows, newLampCount, newPattern, newScrambleCount, gameRandom)) {
        gameInProgress = true;
    }
}

void PuzzleGame::Quit() {
    // Release leaves both pointers null and the size zero, so nothing can reach the freed
    // arrays afterwards, and a second release does nothing.
    board.Release();
    PostQuitMessage(0);
}
