#include "FailingAllocator.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <new>

namespace korvan_test {
namespace failing_allocator {
namespace {

constexpr std::size_t kTracked = 1024;

// Plain data, zero before the first allocation of the program; the test runs on one thread.
struct State {
    bool armed;
    bool failureMet;
    std::size_t failAt;
    std::size_t count;
    std::size_t foreignReleases;
    std::size_t liveCount;
    std::array<Allocation, kRecorded> records;
    std::array<const void*, kTracked> live;
};

State state{};

void Track(const void* block) {
    if (state.liveCount == kTracked) {
        std::fputs("failing allocator: too many blocks outstanding\n", stderr);
        std::abort();
    }
    state.live[state.liveCount++] = block;
}

bool Untrack(const void* block) {
    for (std::size_t i = 0; i < state.liveCount; ++i) {
        if (state.live[i] == block) {
            state.live[i] = state.live[--state.liveCount];
            return true;
        }
    }
    return false;
}

void* Allocate(std::size_t size, bool nothrow) {
    if (state.armed) {
        const std::size_t index = state.count++;
        if (index < kRecorded) {
            state.records[index] = Allocation{size, nothrow};
        }
        if (state.count == state.failAt) {
            state.failureMet = true;
            return nullptr;
        }
    }
    void* const block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr && state.armed) {
        Track(block);
    }
    return block;
}

void Release(void* block) {
    if (block == nullptr) {
        return;
    }
    // Blocks taken during a call and given back after it (the host's vectors) leave the record
    // too, so that only what a call itself left behind stays in it.
    if (!Untrack(block) && state.armed) {
        ++state.foreignReleases;
    }
    std::free(block);
}

}  // namespace

void Reset(std::size_t failAt) {
    state.armed = false;
    state.failureMet = false;
    state.failAt = failAt;
    state.count = 0;
    state.foreignReleases = 0;
    state.liveCount = 0;
}

void SetArmed(bool armed) {
    state.armed = armed;
}

std::size_t Count() {
    return state.count;
}

Allocation At(std::size_t index) {
    return state.records.at(index);
}

bool FailureMet() {
    return state.failureMet;
}

std::vector<const void*> Outstanding() {
    return std::vector<const void*>(state.live.begin(), state.live.begin() + state.liveCount);
}

std::size_t ForeignReleases() {
    return state.foreignReleases;
}

}  // namespace failing_allocator
}  // namespace korvan_test

namespace alloc = korvan_test::failing_allocator;

void* operator new(std::size_t size) {
    void* const block = alloc::Allocate(size, false);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return block;
}

void* operator new[](std::size_t size) {
    return ::operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return alloc::Allocate(size, true);
}

void* operator new[](std::size_t size, const std::nothrow_t& /*tag*/) noexcept {
    return alloc::Allocate(size, true);
}

void operator delete(void* block) noexcept {
    alloc::Release(block);
}
void operator delete[](void* block) noexcept {
    alloc::Release(block);
}
void operator delete(void* block, std::size_t /*size*/) noexcept {
    alloc::Release(block);
}
void operator delete[](void* block, std::size_t /*size*/) noexcept {
    alloc::Release(block);
}
void operator delete(void* block, const std::nothrow_t& /*tag*/) noexcept {
    alloc::Release(block);
}
void operator delete[](void* block, const std::nothrow_t& /*tag*/) noexcept {
    alloc::Release(block);
}
