#include "solver/SmallestPossibleValves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <new>

#include "interface/ResultCodes.h"
#include "tables/CheckedVector.h"
#include "tables/ValveTables.h"

namespace korvan {
namespace {

// A group holds at most seven entries, so no more than seven distinct sizes can ever be matched.
constexpr std::size_t kMaxSlots = kSeriesLength;

struct RatioSlot {
    double ratio;              // the largest distinct size divided by this slot's size
    std::uint32_t tableIndex;  // table position matched to `ratio`; 0 until matched
};

// The distinct values of the sorted sizes, largest first. Only the first kMaxSlots are kept;
// `count` counts them all.
struct DistinctSizes {
    std::array<double, kMaxSlots> values;
    std::size_t count;
    bool anyNotPositive;
};

DistinctSizes CollectDistinctSizes(const std::vector<double>& sorted) {
    DistinctSizes distinct{};
    const double* previous = nullptr;
    for (const double& size : sorted) {
        // A NaN is unequal to everything, itself included, and so always counts as distinct.
        if (previous == nullptr || !(size == *previous)) {
            if (distinct.count < kMaxSlots) {
                distinct.values[distinct.count] = size;
            }
            ++distinct.count;
        }
        distinct.anyNotPositive = distinct.anyNotPositive || size <= 0.0;
        previous = &size;
    }
    return distinct;
}

// One slot per distinct size, met largest first; a size of zero or less ends it with 160.
std::int32_t MakeRatioSlots(const DistinctSizes& distinct,
                            std::array<RatioSlot, kMaxSlots>& slots) {
    const double largest = distinct.values[0];
    for (std::size_t i = 0; i < distinct.count; ++i) {
        const double size = distinct.values[i];
        if (size <= 0.0) {
            return kInvalidArgument;
        }
        // Made on its own so that running out of memory is reported as 10.
        const std::unique_ptr<RatioSlot> slot(new (std::nothrow) RatioSlot{});
        if (!slot) {
            return kOutOfMemory;
        }
        slot->ratio = largest / size;
        slots[i] = *slot;
    }
    return kSuccess;
}

// Walks the table from its last entry down, matching the slots from the largest ratio down to
// slot 0. A group that lacks a needed ratio reaches its step-0 entry with slots still open, which
// starts the next group afresh; the first group, counting down, that holds every ratio wins.
bool MatchSlotsToHighestGroup(const ValveRatioTable& table, std::array<RatioSlot, kMaxSlots>& slots,
                              std::size_t slotCount) {
    if (table.empty()) {
        ThrowSubscriptOutOfRange();
    }
    // Every position from the last down to 0 lies within the table.
    std::size_t position = table.size() - 1;
    std::size_t slot = slotCount - 1;
    for (;;) {
        const ValveRatioEntry& entry = table[position];
        if (entry.ratio == slots[slot].ratio) {
            slots[slot].tableIndex = static_cast<std::uint32_t>(position);
            if (slot == 0) {
                return true;
            }
            --slot;
        } else if (entry.step == 0) {
            slot = slotCount - 1;
        }
        if (position == 0) {
            return false;
        }
        --position;
    }
}

void AppendReducedSizes(const std::vector<double>& sorted, const ValveRatioTable& table,
                        const std::array<RatioSlot, kMaxSlots>& slots,
                        std::vector<double>& smallest) {
    ReserveAdditional(smallest, sorted.size());
    // One run of equal sizes per slot, in slot order.
    std::size_t slot = 0;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= sorted.size(); ++i) {
        if (i == sorted.size() || !(sorted[i] == sorted[i - 1])) {
            smallest.insert(smallest.end(), i - runStart,
                            At(table, slots.at(slot).tableIndex).size);
            ++slot;
            runStart = i;
        }
    }
}

// Sizes are mostly a handful of values of the series: counting each bit pattern and writing the
// patterns back in order sorts them in one pass. More patterns than this, and the plain sort runs.
constexpr std::size_t kMaxPatterns = 16;

struct Pattern {
    std::uint64_t bits;
    double value;
    std::size_t count;
};

struct Patterns {
    std::array<Pattern, kMaxPatterns> found;
    std::size_t count;
};

bool LargerFirstNotANumberLast(double left, double right) {
    if (std::isnan(left)) {
        return false;
    }
    return std::isnan(right) || left > right;
}

// The patterns met so far, found by a hash of their bits: with at most kMaxPatterns of them in
// four times as many places, the first place probed nearly always holds the pattern, so that
// sizes in random order cost no mispredicted branch.
constexpr std::size_t kPatternPlaces = 4 * kMaxPatterns;

struct PatternPlaces {
    std::array<std::uint64_t, kPatternPlaces> bits;
    std::array<std::size_t, kPatternPlaces> count;
    std::array<bool, kPatternPlaces> used;
    std::size_t distinct;
};

std::size_t PlaceOf(std::uint64_t bits) {
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15U) >> 58) % kPatternPlaces;
}

// Counts the bit patterns of `values`; false as soon as there are more than kMaxPatterns.
bool CountPatterns(const std::vector<double>& values, Patterns& patterns) {
    PatternPlaces places{};
    for (const double value : values) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        std::size_t place = PlaceOf(bits);
        while (places.used[place] && places.bits[place] != bits) {
            place = (place + 1) % kPatternPlaces;
        }
        if (!places.used[place]) {
            if (places.distinct == kMaxPatterns) {
                return false;
            }
            places.used[place] = true;
            places.bits[place] = bits;
            ++places.distinct;
        }
        ++places.count[place];
    }
    patterns.count = 0;
    for (std::size_t place = 0; place < kPatternPlaces; ++place) {
        if (places.used[place]) {
            double value = 0.0;
            std::memcpy(&value, &places.bits[place], sizeof value);
            patterns.found[patterns.count++] =
                Pattern{places.bits[place], value, places.count[place]};
        }
    }
    return true;
}

// Sorts by counting the few distinct bit patterns. The values come back bit for bit, each as often
// as it was given; equal values (zeros of either sign) and not-a-number values may change places
// among themselves, as in any sort.
bool SortByCountingPatterns(std::vector<double>& values) {
    Patterns patterns{};
    if (!CountPatterns(values, patterns)) {
        return false;
    }
    const auto first = patterns.found.begin();
    std::sort(first, first + static_cast<std::ptrdiff_t>(patterns.count),
              [](const Pattern& left, const Pattern& right) {
                  return LargerFirstNotANumberLast(left.value, right.value);
              });
    auto out = values.begin();
    for (std::size_t i = 0; i < patterns.count; ++i) {
        out = std::fill_n(out, patterns.found[i].count, patterns.found[i].value);
    }
    return true;
}

}  // namespace

void SortLargestFirst(std::vector<double>& values) {
    if (SortByCountingPatterns(values)) {
        return;
    }
    const auto numbers = std::partition(values.begin(), values.end(),
                                        [](double value) { return !std::isnan(value); });
    std::sort(values.begin(), numbers, std::greater<>());
}

std::int32_t GetSmallestPossibleValves(std::vector<double>& sizes, std::vector<double>& smallest) {
    SortLargestFirst(sizes);
    At(sizes, 0);  // an empty set has no largest size

    const DistinctSizes distinct = CollectDistinctSizes(sizes);
    if (distinct.count > kMaxSlots) {
        return distinct.anyNotPositive ? kInvalidArgument : kUnsolvableInput;
    }
    std::array<RatioSlot, kMaxSlots> slots{};
    std::int32_t result = MakeRatioSlots(distinct, slots);
    if (result != kSuccess) {
        return result;
    }
    ValveRatioTable table;
    result = BuildValveRatioTable(table);
    if (result != kSuccess) {
        return result;
    }
    if (!MatchSlotsToHighestGroup(table, slots, distinct.count)) {
        return kUnsolvableInput;
    }
    AppendReducedSizes(sizes, table, slots, smallest);
    return kSuccess;
}

std::int32_t ReduceDistinctSizes(const double* sizes, std::size_t count,
                                 const ValveRatioTable& table, double* reduced) {
    if (count == 0 || count > kMaxSlots) {
        ThrowSubscriptOutOfRange();
    }
    DistinctSizes distinct{};
    std::copy(sizes, sizes + count, distinct.values.begin());
    distinct.count = count;
    std::array<RatioSlot, kMaxSlots> slots{};
    const std::int32_t result = MakeRatioSlots(distinct, slots);
    if (result != kSuccess) {
        return result;
    }
    if (!MatchSlotsToHighestGroup(table, slots, count)) {
        return kUnsolvableInput;
    }
    for (std::size_t i = 0; i < count; ++i) {
        reduced[i] = At(table, slots[i].tableIndex).size;
    }
    return kSuccess;
}

}  // namespace korvan
