// The window class, the one window's procedure and its message queue, the same on every
// system other than Windows. Each system's layer feeds the queue from its own input.
#pragma once

#include <windows.h>

namespace windowmessages {

// Defined by each system's layer: moves the input that has arrived into the queue, with Post.
void TakeEvents();
// Defined by each system's layer: returns once input has arrived for TakeEvents, or once
// `milliseconds` have passed (INFINITE: no limit). It may return early for input that turns
// out to be of no use to the game.
void AwaitEvents(DWORD milliseconds);

void Post(const MSG& message);

// Whether `className` is the class the game registered.
bool IsRegistered(LPCSTR className);

// The window made from the registered class: it takes that class's procedure and hears
// WM_CREATE, as a Win32 window does.
void Created(HWND window);

}  // namespace windowmessages
