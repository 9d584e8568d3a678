// Makes an allocation through operator new fail on demand, to drive the out-of-memory paths of
// the window choosers. The test binary replaces the global operator new for this.
#pragma once

namespace windowtest {

// For its lifetime, the nth allocation from now on (1: the very next) throws std::bad_alloc;
// allocations before and after it succeed.
class ScopedAllocationFailure {
public:
    explicit ScopedAllocationFailure(long nth);
    ~ScopedAllocationFailure();
    ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
    ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;

    // Whether the armed allocation was attempted (and failed).
    bool Triggered() const;
};

// Blocks obtained through operator new and not yet deleted.
long LiveAllocations();

} // namespace windowtest
