// Counts heap allocations while a test asks for it. The test binary replaces the global
// operator new once, here; every test that counts allocations uses this.
#pragma once

namespace alloccount {

// Starts counting from zero.
void Start();
// Stops counting and returns the number of allocations made since Start.
long Stop();

}  // namespace alloccount
