// A window that shows one line of Latin and Cyrillic text drawn with the game font, in white on
// black, until it is closed; the font's screen test photographs it. It runs in the folder that
// holds Font.bmp and has no game object, so it defines the font itself.
#include <windows.h>

#include "app/AppWindow.h"
#include "app/GL.h"
#include "tests/x11/TextProbe.h"
#include "ui/BitmapFont.h"

BitmapFont gameFont;

namespace {

class ProbeWindow : public AppWindow {
public:
    void Frame() override {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        // In the game the framed widgets set this before any text is drawn.
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        TextStyle style;
        style.SetFont(&gameFont);
        style.SetGlyphSize(textprobe::GlyphWidth, textprobe::GlyphHeight);
        style.SetColour(1, 1, 1, 1);
        DrawText(style, textprobe::Left, textprobe::Bottom, "%s", textprobe::Text);
        Present();
        Sleep(20);
    }
};

ProbeWindow probe;

LRESULT CALLBACK ProbeProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main() {
    probe.Create("LumenvaleProbeClass", textprobe::Title, WS_POPUP, 0, 0, 1280, 1024,
                 ProbeProcedure, true);
    probe.CreateGLContext();
    gameFont.Load("Font.bmp");
    probe.Run();
    return 0;
}
