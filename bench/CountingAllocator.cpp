// Replaces the global allocation functions of the benchmark program, and with them those the
// library calls, so that a benchmark can read how many bytes were live at the peak of a call.
// Each block carries its size in a header; the program is single-threaded while it measures.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "CountingAllocator.h"

namespace {

constexpr std::size_t kHeader = alignof(std::max_align_t);

struct Counts {
    std::size_t live = 0;
    std::size_t peak = 0;
};

Counts& TheCounts() {
    static Counts counts;
    return counts;
}

void* Allocate(std::size_t size) noexcept {
    void* block = std::malloc(size + kHeader);
    if (block == nullptr) {
        return nullptr;
    }
    *static_cast<std::size_t*>(block) = size;
    Counts& counts = TheCounts();
    counts.live += size;
    if (counts.live > counts.peak) {
        counts.peak = counts.live;
    }
    return static_cast<char*>(block) + kHeader;
}

void Release(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<char*>(pointer) - kHeader;
    TheCounts().live -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
    void* pointer = Allocate(size);
    if (pointer == nullptr) {
        throw std::bad_alloc();
    }
    return pointer;
}

}  // namespace

namespace bench {

std::size_t LiveHeapBytes() {
    return TheCounts().live;
}

void ResetPeakHeap() {
    TheCounts().peak = TheCounts().live;
}

std::size_t PeakHeapBytes() {
    return TheCounts().peak;
}

}  // namespace bench

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void operator delete(void* pointer) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, std::size_t) noexcept {
    Release(pointer);
}
void operator delete(void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer);
}
void operator delete[](void* pointer, const std::nothrow_t&) noexcept {
    Release(pointer);
}
