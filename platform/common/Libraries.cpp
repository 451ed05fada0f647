// Libraries loaded at run time, the same on every system other than Windows: there are none,
// so the game takes the fallback it has for a Windows without them.
#include <windows.h>

HMODULE WINAPI LoadLibraryA(LPCSTR) {
    return nullptr;
}

FARPROC WINAPI GetProcAddress(HMODULE, LPCSTR) {
    return nullptr;
}
