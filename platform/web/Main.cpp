// In the browser the program starts here, enters the game as Windows would, and tells the page
// when the game has ended so that it shows so instead of a frozen last frame.
#include <windows.h>

#include <emscripten.h>

EM_JS(void, ShowGameEnded, (int code), { Module.win32.ended(code); });

int main() {
    int code = WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 0);
    ShowGameEnded(code);
    return code;
}
