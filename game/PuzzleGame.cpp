#include "game/PuzzleGame.h"

#include "app/CursorSprite.h"
#include "app/FrameClock.h"

void PuzzleGame::Frame() {
    if (state == StateStartup) {
        CreateGLContext();
        MakeCurrent();
        glClearColor(0, 0, 0, 0);
        FrameClock::Tick();
        state = StateMenu;
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT);
    cursor.Update(1280, 1024);
    glEnable(GL_TEXTURE_2D);
    CursorSprite(texCursor, cursor.GlPosition());
    FrameClock::Tick();
    Present();
}
