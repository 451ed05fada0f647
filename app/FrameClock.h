// The frame clock: measures each loop period and paces the loop with a short sleep.
// Every timer in the game advances by TimerStep once per frame; one unit is 10 ms.
#pragma once

#include <cstdint>

namespace FrameClock {

extern int32_t now;    // tick count read by the latest Tick
extern int32_t delta;  // milliseconds between the latest two Ticks
extern int32_t last;   // tick count read by the Tick before

void Tick();
// The start-up's reading: as Tick, without the sleep, which would only hold the first picture
// back.
void Start();
// After the loop has waited instead of drawing: the time since the last Tick joins `delta`, so
// the next frame's timers count the wait as frames drawn meanwhile would have counted it.
void Resume();

}  // namespace FrameClock

inline float TimerStep() {
    return static_cast<float>(FrameClock::delta) * 0.1f;
}
