// The replacement global allocation functions behind allocationsSoFar(). Both sides are malloc
// and free; GCC cannot see that through inlined library code and warns of a mismatch that is
// not there.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> allocationCount{0};
}  // namespace

void* operator new(std::size_t size) {
    allocationCount.fetch_add(1, std::memory_order_relaxed);
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace kavelune::testing {

long allocationsSoFar() { return allocationCount.load(std::memory_order_relaxed); }

}  // namespace kavelune::testing
