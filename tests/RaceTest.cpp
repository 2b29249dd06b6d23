// A host that breaks the threading rule: while a call solves an array, other threads write
// garbage into the same entries or input arrays, or solve the same array at once. The values that
// come back are meaningless, but the library must never read or write outside the memory it was
// given: each array stands between guard zones that must come through untouched, and under
// AddressSanitizer (the asan preset) any stray access ends the test. Intentionally racy, so not
// built for ThreadSanitizer.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <limits>
#include <random>
#include <thread>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace {

constexpr std::size_t kGuard = 64;  // guard entries either side of an array
constexpr std::uint64_t kGuardTag = 0x6A7D6A7D6A7D6A7DULL;
constexpr int kRounds = 60;

// Large enough to be spread into buckets, which is where a count taken in one pass and trusted in
// another could go wrong.
constexpr std::size_t kPoints = 6000;

double Garbage(std::mt19937_64& random) {
    switch (random() % 8) {
        case 0:
            return std::numeric_limits<double>::quiet_NaN();
        case 1:
            return -1.0;
        case 2:
            return 0.0;
        case 3:
            return 1e300;
        case 4:
            return std::numeric_limits<double>::denorm_min();
        default:
            return 1.0 + static_cast<double>(random() % 1000000) * 1e-3;
    }
}

// An array of `count` entries between guard zones, each guard entry filled with a known pattern.
class GuardedEntries {
public:
    explicit GuardedEntries(std::size_t count) : storage_(count + 2 * kGuard), count_(count) {
        for (SolutionEntry& entry : storage_) {
            std::memset(&entry, 0x5A, sizeof entry);
            entry.callerData = kGuardTag;
        }
    }
    SolutionEntry* data() { return storage_.data() + kGuard; }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] bool GuardsIntact() const {
        SolutionEntry guard;
        std::memset(&guard, 0x5A, sizeof guard);
        guard.callerData = kGuardTag;
        for (std::size_t i = 0; i < storage_.size(); ++i) {
            if ((i < kGuard || i >= kGuard + count_) &&
                std::memcmp(&storage_[i], &guard, sizeof guard) != 0) {
                return false;
            }
        }
        return true;
    }

private:
    std::vector<SolutionEntry> storage_;
    std::size_t count_;
};

void FillWithPoints(SolutionEntry* entries, std::size_t count, std::mt19937_64& random) {
    for (std::size_t i = 0; i < count; ++i) {
        entries[i] = SolutionEntry{};
        entries[i].type = static_cast<std::int32_t>(random() % 4);
        entries[i].inputValue = 1.0 + static_cast<double>(random() % 200000) * 1e-2;
        entries[i].demand = entries[i].inputValue * 0.01;
        entries[i].callerData = i;
    }
}

// Writes garbage into the fields the library reads until told to stop: demands, input values,
// now and then a type, and the sizes a solve has written.
void Scribble(SolutionEntry* entries, std::size_t count, const std::atomic<bool>& stop,
              std::uint64_t seed) {
    std::mt19937_64 random(seed);
    while (!stop.load(std::memory_order_relaxed)) {
        SolutionEntry& entry = entries[random() % count];
        switch (random() % 5) {
            case 0:
                entry.inputValue = Garbage(random);
                break;
            case 1:
                entry.valveSize = Garbage(random);
                break;
            case 2:
                entry.type = static_cast<std::int32_t>(random() % 5);
                break;
            default:
                entry.demand = Garbage(random);
                break;
        }
    }
}

template <typename Call>
void RaceAgainstScribbler(GuardedEntries& entries, const Call& call, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    for (int round = 0; round < kRounds; ++round) {
        FillWithPoints(entries.data(), entries.size(), random);
        std::atomic<bool> stop{false};
        std::thread scribbler(Scribble, entries.data(), entries.size(), std::cref(stop), seed + 1);
        std::thread second([&] { call(); });
        call();
        second.join();
        stop = true;
        scribbler.join();
        ASSERT_TRUE(entries.GuardsIntact()) << "round " << round;
    }
}

TEST(Race, FillThroughCWritesOnlyItsArray) {
    GuardedEntries entries(kPoints);
    KorvanSolutionTotals totals[2] = {};
    std::atomic<int> next{0};
    RaceAgainstScribbler(
        entries,
        [&] {
            KorvanSolutionTotals& mine = totals[next.fetch_add(1) % 2];
            static_cast<void>(KorvanFillSolution(entries.data(), entries.size(), &mine));
        },
        11);
}

TEST(Race, GenerateThroughCOntoHeldEntriesWritesOnlyItsArray) {
    constexpr std::size_t kHeld = 2000;
    GuardedEntries entries(kPoints);
    std::vector<std::uint32_t> types(kPoints - kHeld);
    std::vector<double> values(kPoints - kHeld);
    std::mt19937_64 random(12);
    for (std::size_t i = 0; i < types.size(); ++i) {
        types[i] = static_cast<std::uint32_t>(random() % 4);
        values[i] = 1.0 + static_cast<double>(random() % 2000);
    }
    RaceAgainstScribbler(
        entries,
        [&] {
            std::size_t count = kHeld;
            KorvanSolutionTotals totals{};
            static_cast<void>(KorvanGenerateSolution(
                static_cast<std::int32_t>(types.size()), types.data(), values.data(), nullptr,
                entries.data(), entries.size(), &count, &totals));
        },
        13);
}

// New points onto no held entries are ordered from the call's own copy of their demands; another
// thread changes the host's input arrays while two calls make their entries from them.
TEST(Race, GenerateThroughCFromChangingInputsWritesOnlyItsArrays) {
    GuardedEntries first(kPoints);
    GuardedEntries second(kPoints);
    std::vector<std::uint32_t> types(kPoints);
    std::vector<double> values(kPoints);
    std::mt19937_64 random(14);
    for (int round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            types[i] = static_cast<std::uint32_t>(random() % 4);
            values[i] = 1.0 + static_cast<double>(random() % 2000);
        }
        std::atomic<bool> stop{false};
        std::thread scribbler([&] {
            std::mt19937_64 mine(15);
            while (!stop.load(std::memory_order_relaxed)) {
                const std::size_t i = mine() % kPoints;
                values[i] = Garbage(mine);
                types[i] = static_cast<std::uint32_t>(mine() % 5);
            }
        });
        const auto generate = [&](GuardedEntries& entries) {
            std::size_t count = 0;
            KorvanSolutionTotals totals{};
            static_cast<void>(KorvanGenerateSolution(
                static_cast<std::int32_t>(kPoints), types.data(), values.data(), nullptr,
                entries.data(), entries.size(), &count, &totals));
        };
        std::thread other([&] { generate(second); });
        generate(first);
        other.join();
        stop = true;
        scribbler.join();
        ASSERT_TRUE(first.GuardsIntact()) << "round " << round;
        ASSERT_TRUE(second.GuardsIntact()) << "round " << round;
    }
}

// The C++ boundary on a host's vector: whatever the library raises is the host's to catch, and the
// memory around the vector's elements (their own allocation) is checked by AddressSanitizer.
TEST(Race, FillThroughCppWritesOnlyItsVector) {
    std::mt19937_64 random(16);
    for (int round = 0; round < kRounds; ++round) {
        SolutionVector solution(kPoints);
        FillWithPoints(solution.data(), solution.size(), random);
        std::atomic<bool> stop{false};
        std::thread scribbler(Scribble, solution.data(), solution.size(), std::cref(stop), 17);
        const auto fill = [&] {
            double outputs[4];
            try {
                static_cast<void>(FillSolutionVector(&solution, &outputs[0], &outputs[1],
                                                     &outputs[2], &outputs[3]));
            } catch (const std::exception&) {
                // A type changed to 4 after the check: the type table's bound is hit, as it must.
            }
        };
        std::thread second(fill);
        fill();
        second.join();
        stop = true;
        scribbler.join();
        ASSERT_EQ(solution.size(), kPoints);
    }
}

}  // namespace
