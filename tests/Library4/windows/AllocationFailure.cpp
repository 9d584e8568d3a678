#include "tests/Library4/windows/AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace windowtest {
namespace {

std::atomic<long> allocationsUntilFailure{0};
std::atomic<bool> failureTriggered{false};
std::atomic<long> liveAllocations{0};

bool ThisAllocationFails()
{
    long remaining = allocationsUntilFailure.load();
    while (remaining > 0 && !allocationsUntilFailure.compare_exchange_weak(remaining, remaining - 1)) {
    }
    if (remaining != 1) return false;
    failureTriggered = true;
    return true;
}

} // namespace

ScopedAllocationFailure::ScopedAllocationFailure(long nth)
{
    failureTriggered = false;
    allocationsUntilFailure = nth;
}

ScopedAllocationFailure::~ScopedAllocationFailure() { allocationsUntilFailure = 0; }

bool ScopedAllocationFailure::Triggered() const { return failureTriggered; }

long LiveAllocations() { return liveAllocations; }

} // namespace windowtest

// The other forms of new and delete in the runtime forward to these two.
void* operator new(std::size_t size)
{
    if (windowtest::ThisAllocationFails()) throw std::bad_alloc();
    void* block = std::malloc(size != 0 ? size : 1);
    if (block == nullptr) throw std::bad_alloc();
    ++windowtest::liveAllocations;
    return block;
}

void operator delete(void* block) noexcept
{
    if (block == nullptr) return;
    --windowtest::liveAllocations;
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept { ::operator delete(block); }
