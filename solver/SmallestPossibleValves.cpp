#include "solver/SmallestPossibleValves.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>

#include "tables/ResultCodes.h"
#include "tables/SeparateRecord.h"

namespace korvan {
namespace {

// A group holds at most seven entries, so no more than seven distinct sizes can ever be matched.
constexpr std::size_t kMaxSlots = kSeriesLength;

struct RatioSlot {
    double ratio;              // the largest distinct size divided by this slot's size
    std::uint32_t tableIndex;  // table position matched to `ratio`; 0 until matched
};

using RatioSlots = std::array<RatioSlot, kMaxSlots>;

// The distinct values of the sorted sizes, largest first. Only the first kMaxSlots are kept;
// `count` counts them all.
struct DistinctSizes {
    std::array<double, kMaxSlots> values;
    std::size_t count;
    bool anyNotPositive;
};

DistinctSizes CollectDistinctSizes(Span<const double> sorted) {
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

// One slot per distinct size (at most seven), met largest first; a size of zero or less ends it
// with 160, a slot that cannot be allocated with 10.
std::int32_t MakeRatioSlots(const double* distinct, std::size_t count, RatioSlots& slots) {
    const double largest = distinct[0];
    for (std::size_t i = 0; i < count; ++i) {
        const double size = distinct[i];
        if (size <= 0.0) {
            return kInvalidArgument;
        }
        const std::int32_t result = StoreSeparateRecord(
            RatioSlot{largest / size, 0}, [&](const RatioSlot& slot) { slots[i] = slot; });
        if (result != kSuccess) {
            return result;
        }
    }
    return kSuccess;
}

// Walks the table from its last entry down, matching the slots from the largest ratio down to
// slot 0. A group that lacks a needed ratio reaches its step-0 entry with slots still open, which
// starts the next group afresh; the first group, counting down, that holds every ratio wins.
bool MatchSlotsToHighestGroup(const ValveRatioTable& table, RatioSlots& slots,
                              std::size_t slotCount) {
    if (table.empty()) {
        ThrowSubscriptOutOfRange();
    }
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

// The matched slots' sizes into reduced[0 .. slotCount); 13 when no group holds every ratio.
std::int32_t ReduceMatched(const ValveRatioTable& table, RatioSlots& slots, std::size_t slotCount,
                           double* reduced) {
    if (!MatchSlotsToHighestGroup(table, slots, slotCount)) {
        return kUnsolvableInput;
    }
    for (std::size_t i = 0; i < slotCount; ++i) {
        reduced[i] = At(table, slots[i].tableIndex).size;
    }
    return kSuccess;
}

// Sorts `sizes` and reduces them up to the values standing for their distinct sizes: the sort,
// the checks, the slots, the call's own table and the scan, in this order. std::out_of_range for
// no size, which has no largest, once the sort has done nothing.
std::int32_t SortAndReduce(Span<double> sizes, std::array<double, kMaxSlots>& reduced) {
    SortLargestFirst(sizes);
    sizes[0];
    const DistinctSizes distinct = CollectDistinctSizes(sizes);
    if (distinct.count > kMaxSlots) {
        return distinct.anyNotPositive ? kInvalidArgument : kUnsolvableInput;
    }
    RatioSlots slots{};
    std::int32_t result = MakeRatioSlots(distinct.values.data(), distinct.count, slots);
    if (result != kSuccess) {
        return result;
    }
    ValveRatioTable table;
    result = BuildValveRatioTable(table);
    if (result != kSuccess) {
        return result;
    }
    return ReduceMatched(table, slots, distinct.count, reduced.data());
}

// Hands `emit` each run of equal sorted sizes as (its reduced value, its length), in order: one
// run per distinct size.
template <typename Emit>
void ForEachReducedRun(Span<const double> sorted, const std::array<double, kMaxSlots>& reduced,
                       const Emit& emit) {
    std::size_t run = 0;
    std::size_t runStart = 0;
    for (std::size_t i = 1; i <= sorted.size(); ++i) {
        if (i == sorted.size() || !(sorted[i] == sorted[i - 1])) {
            emit(reduced.at(run), i - runStart);
            ++run;
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
bool CountPatterns(Span<const double> values, Patterns& patterns) {
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
bool SortByCountingPatterns(Span<double> values) {
    Patterns patterns{};
    if (!CountPatterns(values, patterns)) {
        return false;
    }
    const auto first = patterns.found.begin();
    std::sort(first, first + static_cast<std::ptrdiff_t>(patterns.count),
              [](const Pattern& left, const Pattern& right) {
                  return LargerFirstNotANumberLast(left.value, right.value);
              });
    double* out = values.begin();
    for (std::size_t i = 0; i < patterns.count; ++i) {
        out = std::fill_n(out, patterns.found[i].count, patterns.found[i].value);
    }
    return true;
}

}  // namespace

void SortLargestFirst(Span<double> values) {
    if (SortByCountingPatterns(values)) {
        return;
    }
    const auto numbers = std::partition(values.begin(), values.end(),
                                        [](double value) { return !std::isnan(value); });
    std::sort(values.begin(), numbers, std::greater<>());
}

std::int32_t GetSmallestPossibleValves(std::vector<double>& sizes, std::vector<double>& smallest) {
    const Span<double> sorted = SpanOf(sizes);
    std::array<double, kMaxSlots> reduced{};
    const std::int32_t result = SortAndReduce(sorted, reduced);
    if (result != kSuccess) {
        return result;
    }
    ReserveAdditional(smallest, sizes.size());
    ForEachReducedRun(sorted, reduced, [&](double value, std::size_t length) {
        smallest.insert(smallest.end(), length, value);
    });
    return kSuccess;
}

std::int32_t GetSmallestPossibleValves(Span<double> sizes, double* smallest) {
    std::array<double, kMaxSlots> reduced{};
    const std::int32_t result = SortAndReduce(sizes, reduced);
    if (result != kSuccess) {
        return result;
    }
    double* out = smallest;
    ForEachReducedRun(sizes, reduced, [&](double value, std::size_t length) {
        out = std::fill_n(out, length, value);
    });
    return kSuccess;
}

Diagnosis DiagnoseSizes(Span<const double> sizes) {
    if (sizes.empty()) {
        return Refused(kNothingToSolve, KORVAN_RULE_NOTHING_TO_SOLVE);
    }
    std::size_t point = 0;
    for (const double size : sizes) {
        if (size <= 0.0) {
            return Refused(kInvalidArgument, KORVAN_RULE_SIZE_NOT_POSITIVE, point);
        }
        ++point;
    }
    // The distinct sizes as the sorted sizes would give them: a value that is not a number is
    // distinct from every other, and more than kMaxSlots of them fit no group.
    std::array<double, kMaxSlots> distinct{};
    std::size_t count = 0;
    for (const double size : sizes) {
        const auto known = distinct.begin() + static_cast<std::ptrdiff_t>(count);
        if (std::find(distinct.begin(), known, size) != known) {
            continue;
        }
        if (count == kMaxSlots) {
            return Refused(kUnsolvableInput, KORVAN_RULE_RATIOS_IN_NO_GROUP);
        }
        distinct[count++] = size;
    }
    SortLargestFirst(Span<double>{distinct.data(), count});
    ValveRatioTable table;
    std::int32_t result = BuildValveRatioTable(table);
    if (result == kSuccess) {
        std::array<double, kMaxSlots> reduced{};
        result = ReduceDistinctSizes(distinct.data(), count, table, reduced.data());
    }
    if (result == kUnsolvableInput) {
        return Refused(kUnsolvableInput, KORVAN_RULE_RATIOS_IN_NO_GROUP);
    }
    return result == kSuccess ? Accepted() : Refused(result, KORVAN_RULE_NONE);
}

std::int32_t ReduceDistinctSizes(const double* sizes, std::size_t count,
                                 const ValveRatioTable& table, double* reduced) {
    if (count == 0 || count > kMaxSlots) {
        ThrowSubscriptOutOfRange();
    }
    RatioSlots slots{};
    const std::int32_t result = MakeRatioSlots(sizes, count, slots);
    if (result != kSuccess) {
        return result;
    }
    return ReduceMatched(table, slots, count, reduced);
}

}  // namespace korvan
