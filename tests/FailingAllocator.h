// A replacement of the global operator new and delete for one test program: while armed it counts
// every allocation, remembers its size and form (throwing or nothrow), makes the k-th one fail,
// and tracks which memory was taken and given back, so that a test can see what a call leaked.
// The library, loaded as a shared object, allocates through these replacements too.
#ifndef KORVAN_TESTS_FAILING_ALLOCATOR_H
#define KORVAN_TESTS_FAILING_ALLOCATOR_H

#include <cstddef>
#include <vector>

namespace korvan_test {
namespace failing_allocator {

struct Allocation {
    std::size_t size;
    bool nothrow;  // made by the nothrow form, which fails by returning null
};

// Forgets everything recorded; the `failAt`-th allocation made while armed will fail (counting
// from 1; 0 never fails). Call while disarmed.
void Reset(std::size_t failAt);

// Arms or disarms counting and failing; fits korvan_test::CallHook.
void SetArmed(bool armed);

// Allocations seen while armed since the last Reset, and the first of them one by one.
std::size_t Count();
constexpr std::size_t kRecorded = 1024;
Allocation At(std::size_t index);

// Whether the failure set by Reset was met.
bool FailureMet();

// Memory taken while armed and not given back, and how many blocks were given back while armed
// that had been taken before. Call while disarmed.
std::vector<const void*> Outstanding();
std::size_t ForeignReleases();

}  // namespace failing_allocator
}  // namespace korvan_test

#endif  // KORVAN_TESTS_FAILING_ALLOCATOR_H
