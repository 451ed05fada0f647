// Counts heap allocations while a test asks for it. The test binary replaces the global
// operator new once, here; every test that counts allocations uses this.
#pragma once

#include <cstddef>

namespace alloccount {

// Starts counting from zero.
void Start();
// Stops counting and returns the number of allocations made since Start.
long Stop();

// Makes every non-throwing allocation of from to to bytes fail until StopFailing, for tests of
// code that must cope without memory.
void FailNothrow(std::size_t from, std::size_t to);
void StopFailing();
// Size of the latest non-throwing allocation request.
std::size_t LastNothrowSize();

}  // namespace alloccount
