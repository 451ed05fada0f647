#include "game/Random.h"

Random gameRandom;

uint32_t Random::Next() {
    // Unsigned arithmetic wraps, which is exactly the modulo 2^32 the generator needs.
    state = state * 214013u + 2531011u;
    return (state >> 16) & 0x7FFFu;
}
