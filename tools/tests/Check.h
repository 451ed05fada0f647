// The generator's test programs: each CHECK that fails is reported and counted, and the
// program's exit status says whether any did.
#pragma once

#include <cstdio>

namespace check {
inline int failures = 0;

// The program's exit status, after a line saying all passed when they did.
inline int Result(const char* what) {
    if (failures == 0) {
        std::printf("all %s checks passed\n", what);
    }
    return failures == 0 ? 0 : 1;
}
}  // namespace check

#define CHECK(condition)                                                                 \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            ++check::failures;                                                           \
            std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #condition); \
        }                                                                                \
    } while (0)
