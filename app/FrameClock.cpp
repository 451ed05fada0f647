#include "app/FrameClock.h"

#include <cstdint>
#include <windows.h>

namespace FrameClock {

int32_t now;
int32_t delta;
int32_t last;

namespace {

void Measure() {
    DWORD ticks = GetTickCount();
    // The tick count wraps every 49.7 days; the unsigned difference spans the wrap. A gap
    // that does not fit a positive count, such as the first Tick on a machine up for more
    // than 24.8 days (last is still 0), is simply very long: it never runs timers backwards.
    uint32_t elapsed = static_cast<uint32_t>(ticks) - static_cast<uint32_t>(last);
    now = static_cast<int32_t>(ticks);
    delta = elapsed > INT32_MAX ? INT32_MAX : static_cast<int32_t>(elapsed);
}

}  // namespace

void Tick() {
    Measure();
    Sleep(10);
    last = now;
}

void Start() {
    Measure();
    last = now;
}

void Resume() {
    DWORD ticks = GetTickCount();
    uint32_t waited = static_cast<uint32_t>(ticks) - static_cast<uint32_t>(last);
    uint32_t total = static_cast<uint32_t>(delta) + waited;
    delta = total > INT32_MAX || waited > INT32_MAX ? INT32_MAX : static_cast<int32_t>(total);
    last = static_cast<int32_t>(ticks);
}

}  // namespace FrameClock
