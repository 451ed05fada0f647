// The game's own pseudo-random generator: a 32-bit linear congruential generator whose draws
// are fully determined by its seed, so a deal can be replayed from a known state.
#pragma once

#include <cstdint>

class Random {
public:
    // Constant-initialised, so the global is ready before any constructor of the program runs.
    constexpr Random() : state(1) {}

    void Seed(uint32_t value) { state = value; }
    // Advances the state and returns its bits 16 to 30: a value from 0 to 32767.
    uint32_t Next();

    uint32_t state;
};

// The program's only source of random numbers; seeded once at start-up. Not named `random`,
// which would clash with the C library's random().
extern Random gameRandom;
