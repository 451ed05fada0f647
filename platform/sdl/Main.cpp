// On systems other than Windows the program starts here and enters the game as Windows would.
#include <windows.h>

int main() {
    return WinMain(nullptr, nullptr, const_cast<LPSTR>(""), 0);
}
