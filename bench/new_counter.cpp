#include "new_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<bool> counting{false};
std::atomic<long> allocations{0};

}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}
// Not inlined: the compiler would otherwise pair the free() with a new expression and warn.
[[gnu::noinline]] void operator delete(void* block) noexcept {
    std::free(block);
}
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace panel::bench {

// clang-format off
void count_new(bool on) { counting.store(on, std::memory_order_relaxed); }
void reset_new_count() { allocations.store(0, std::memory_order_relaxed); }
long new_count() { return allocations.load(std::memory_order_relaxed); }
// clang-format on

bool new_counter_works() {
    reset_new_count();
    count_new(true);
    void* volatile probe = ::operator new(16);
    ::operator delete(probe);
    count_new(false);
    const bool counted = new_count() == 1;
    reset_new_count();
    return counted;
}

}  // namespace panel::bench
