// The game's heap for the long-session measurement (bench/web_session.py), in its own build
// only (LUMENVALE_WEB_HEAP_PROBE): bytes in use, and bytes the allocator has taken from the
// wasm memory.
#include <emscripten.h>
#include <malloc.h>

extern "C" EMSCRIPTEN_KEEPALIVE int HeapBytesInUse() {
    return static_cast<int>(mallinfo().uordblks);
}

extern "C" EMSCRIPTEN_KEEPALIVE int HeapBytesTaken() {
    return static_cast<int>(mallinfo().arena);
}
