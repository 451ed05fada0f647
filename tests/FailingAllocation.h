// Running out of memory on demand: the resource code takes its buffers from the non-throwing
// new, which the test binary's allocation counter can make fail for a range of sizes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tests/support/AllocationCounter.h"

namespace failingallocation {

// Fails non-throwing allocations of from to to bytes for as long as it lives.
class Scope {
public:
    explicit Scope(size_t from, size_t to = SIZE_MAX) { alloccount::FailNothrow(from, to); }
    ~Scope() { alloccount::StopFailing(); }
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;
};

// Size of the latest non-throwing allocation request.
inline size_t LastRequest() {
    return alloccount::LastNothrowSize();
}

}  // namespace failingallocation
