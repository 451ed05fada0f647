#include "platform/common/WindowMessages.h"

#include <deque>
#include <string>

namespace {

struct Messages {
    std::string className;  // the game registers one class
    WNDPROC classProcedure = nullptr;
    WNDPROC procedure = nullptr;  // the window's, once it is made
    std::deque<MSG> queue;        // messages taken from the system but not yet handed out
};

Messages messages;

}  // namespace

namespace windowmessages {

void Post(const MSG& message) {
    messages.queue.push_back(message);
}

bool IsRegistered(LPCSTR className) {
    return className != nullptr && messages.className == className;
}

void Created(HWND window) {
    messages.procedure = messages.classProcedure;
    if (messages.procedure != nullptr) {
        messages.procedure(window, WM_CREATE, 0, 0);
    }
}

}  // namespace windowmessages

WORD WINAPI RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (windowClass == nullptr || windowClass->lpszClassName == nullptr) {
        return 0;
    }
    messages.className = windowClass->lpszClassName;
    messages.classProcedure = windowClass->lpfnWndProc;
    return 1;
}

BOOL WINAPI PeekMessageA(MSG* message, HWND, UINT, UINT, UINT) {
    windowmessages::TakeEvents();
    if (messages.queue.empty()) {
        return FALSE;
    }
    *message = messages.queue.front();
    messages.queue.pop_front();
    return TRUE;
}

DWORD WINAPI MsgWaitForMultipleObjects(DWORD, const HANDLE*, BOOL, DWORD milliseconds, DWORD) {
    windowmessages::TakeEvents();
    if (messages.queue.empty()) {
        windowmessages::AwaitEvents(milliseconds);
        windowmessages::TakeEvents();
    }
    return messages.queue.empty() ? WAIT_TIMEOUT : WAIT_OBJECT_0;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG* message) {
    if (message->message == WM_QUIT || message->hwnd == nullptr || messages.procedure == nullptr) {
        return 0;
    }
    return messages.procedure(message->hwnd, message->message, message->wParam, message->lParam);
}

LRESULT WINAPI DefWindowProcA(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE && window != nullptr && messages.procedure != nullptr) {
        // Closing a window destroys it, and the window hears of it.
        messages.procedure(window, WM_DESTROY, 0, 0);
    }
    return 0;
}

void WINAPI PostQuitMessage(int exitCode) {
    // The quit message comes after every message that arrived before it.
    windowmessages::TakeEvents();
    MSG msg = {};
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(exitCode);
    messages.queue.push_back(msg);
}
