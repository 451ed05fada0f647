#include "tests/support/AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace {
bool counting = false;
long allocations = 0;
std::size_t failFrom = 1;
std::size_t failTo = 0;
std::size_t lastNothrowSize = 0;

void* Allocate(std::size_t size) {
    if (counting) {
        ++allocations;
    }
    if (void* block = std::malloc(size ? size : 1)) {
        return block;
    }
    throw std::bad_alloc();
}
}  // namespace

namespace alloccount {
void Start() {
    allocations = 0;
    counting = true;
}
long Stop() {
    counting = false;
    return allocations;
}
void FailNothrow(std::size_t from, std::size_t to) {
    failFrom = from;
    failTo = to;
}
void StopFailing() {
    FailNothrow(1, 0);
}
std::size_t LastNothrowSize() {
    return lastNothrowSize;
}
}  // namespace alloccount

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    if (counting) {
        ++allocations;
    }
    lastNothrowSize = size;
    if (size >= failFrom && size <= failTo) {
        return nullptr;
    }
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
    return operator new(size, tag);
}
void operator delete(void* block) noexcept {
    std::free(block);
}
void operator delete[](void* block) noexcept {
    std::free(block);
}
void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    std::free(block);
}
