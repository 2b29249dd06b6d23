// Heap accounting of the benchmark program: every operator new and delete, the library's included.
#ifndef KORVAN_BENCH_COUNTING_ALLOCATOR_H
#define KORVAN_BENCH_COUNTING_ALLOCATOR_H

#include <cstddef>

namespace bench {

// Bytes allocated through operator new and not yet released.
std::size_t LiveHeapBytes();

// Starts a new peak at the bytes live now.
void ResetPeakHeap();

// The most bytes live at once since the last ResetPeakHeap.
std::size_t PeakHeapBytes();

}  // namespace bench

#endif  // KORVAN_BENCH_COUNTING_ALLOCATOR_H
