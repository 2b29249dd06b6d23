// Ordering the entries by demand, largest first. A batch of kBucketSortThreshold points or more
// is spread into buckets of neighbouring demands and each bucket is then put in order on its own,
// so that a caller can work on a bucket while it is still in cache; smaller batches are sorted
// whole.
//
// The entries live in the host's memory, where a misbehaving host may change them while the call
// runs. So every position the ordering writes to comes from data the call holds itself: each
// entry's bucket is read once into the call's own memory, the counts come from there, and the
// keys that order a bucket are the call's own copies. Sorts that do compare the host's entries
// stay within their range whatever the comparisons answer. A host that changes the entries gets
// them in a meaningless order, never a write outside them.
#ifndef KORVAN_SOLVER_ORDER_BY_DEMAND_H
#define KORVAN_SOLVER_ORDER_BY_DEMAND_H

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "tables/CheckedAccess.h"
#include "tables/EntryPreparation.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// Where the demands of a solve come from: DemandOf(entry) tells an entry's demand without changing
// it; Ready(entry) stores it in the entry before the entry is ordered. Readying an entry again
// changes nothing more.
struct DemandsAsSet {
    [[nodiscard]] static double DemandOf(const SolutionEntry& entry) { return entry.demand; }
    static void Ready(SolutionEntry& /*entry*/) {}
};

struct DemandsRecomputed {
    const TypeFactorTable* factors;

    [[nodiscard]] double DemandOf(const SolutionEntry& entry) const {
        return RecomputedDemandOf(entry, *factors);
    }
    void Ready(SolutionEntry& entry) const { RecomputeDemand(entry, *factors); }
};

// Below this many entries a plain sort is as fast, and the buckets would not pay for themselves.
constexpr std::size_t kBucketSortThreshold = 1024;
// At most 2^8 buckets: few enough that writing into all of them at once stays within cache and
// the address translation buffers, many enough that a bucket of a large batch fits in cache.
constexpr int kMaxBucketBits = 8;
// With one bucket either side for demands outside the range the samples found.
constexpr std::size_t kMaxBuckets = (std::size_t{1} << kMaxBucketBits) + 2;

// The bit pattern of a demand. For positive finite doubles (subnormals included) it orders like
// the value: a larger demand has a larger pattern, and equal demands have equal patterns.
inline std::uint64_t DemandBits(double demand) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &demand, sizeof bits);
    return bits;
}

inline bool IsPositiveFinite(std::uint64_t bits) {
    constexpr std::uint64_t kInfinityBits = 0x7FF0000000000000;
    return bits != 0 && bits < kInfinityBits;
}

// The patterns of the demands a bucketing was planned for.
struct BitRange {
    std::uint64_t smallest;
    std::uint64_t largest;
};

// Buckets in the order of the result. Bucket 0 holds the demands above the sampled range and the
// last bucket those below it; between them, bucket b holds the patterns of the (b - 1)-th slice,
// counted from the largest, of equal width. Every demand of a bucket is at least every demand of
// the next.
struct Buckets {
    BitRange range;
    int shift;
    std::size_t count;

    // The bucket of a demand's pattern: below `count` for any pattern at all.
    [[nodiscard]] std::size_t Of(std::uint64_t bits) const {
        if (bits > range.largest) {
            return 0;
        }
        if (bits < range.smallest) {
            return count - 1;
        }
        return static_cast<std::size_t>((range.largest - bits) >> shift) + 1;
    }
    [[nodiscard]] bool InRange(std::size_t bucket) const {
        return bucket > 0 && bucket + 1 < count;
    }
};

// A batch's buckets, planned from its demands before any entry moves: each entry's bucket, in the
// call's own memory, and where each bucket ends. Made in three steps: StartSpread from samples of
// the demands, Count for every entry once, then Finish.
struct SpreadPlan {
    Buckets buckets;
    std::array<std::size_t, kMaxBuckets> ends;
    std::array<std::size_t, kMaxBuckets> next;  // each bucket's first unfilled place
    std::unique_ptr<std::uint16_t[]> bucketOf;
    std::size_t count;
    bool allPositiveFinite;

    // Counts entry `index`, whose demand is `demand`, into its bucket.
    void Count(std::size_t index, double demand) {
        if (index >= count) {
            ThrowSubscriptOutOfRange();
        }
        const std::uint64_t bits = DemandBits(demand);
        allPositiveFinite = allPositiveFinite && IsPositiveFinite(bits);
        const std::size_t bucket = buckets.Of(bits);
        bucketOf[index] = static_cast<std::uint16_t>(bucket);
        ++ends[bucket];
    }
    // Readies the places once every entry is counted. False when a demand was not positive and
    // finite, whose pattern does not order like its value: the plan is then of no use.
    bool Finish();
};

// Starts the plan for `count` entries from the demands of a few of them, which `sampleDemandOf(i)`
// gives (NaN for one it cannot tell). False when a sampled demand is not positive and finite or
// the plan's memory cannot be had.
template <typename DemandOf>
bool StartSpread(std::size_t count, const DemandOf& sampleDemandOf, SpreadPlan& plan);

// Plans the spreading of `count` entries whose demands `demandOf(i)` gives, each read once for its
// bucket (and the sampled ones once more). False when StartSpread or Finish is.
template <typename DemandOf>
bool PlanSpread(std::size_t count, const DemandOf& demandOf, SpreadPlan& plan) {
    if (!StartSpread(count, demandOf, plan)) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        plan.Count(i, demandOf(i));
    }
    return plan.Finish();
}

// An entry's place in its bucket with the part of its demand's order that the bucket leaves open:
// the smaller `key`, the larger the demand.
struct KeyedPosition {
    std::uint64_t key;
    std::size_t position;
};

// The entries split into stretches that follow one another in the order of the result: every
// demand of a stretch is at least every demand of the next. A stretch is put in order on its own.
struct DemandStretches {
    EntryRange entries;
    std::size_t count;                          // stretches
    std::array<std::size_t, kMaxBuckets> ends;  // position after the last entry of each stretch
    bool inBuckets;                             // false: one stretch, readied and sorted already
    Buckets buckets;
    std::unique_ptr<KeyedPosition[]> keys;  // room for keyRoom keys and as many in scratch
    std::size_t keyRoom;
};

// Splits the entries into stretches: into buckets when they are many and their demands, as
// `demands` tells them, positive and finite, else into one stretch, readied and sorted whole.
// Each entry moves whole; the entries of a bucket are readied when it is ordered.
template <typename Demands>
DemandStretches PrepareStretches(EntryRange entries, const Demands& demands);
extern template DemandStretches PrepareStretches(EntryRange, const DemandsAsSet&);
extern template DemandStretches PrepareStretches(EntryRange, const DemandsRecomputed&);

// Moves every entry into the bucket `plan` counted it into, and returns the buckets as stretches,
// each still to be readied and put in order.
DemandStretches SpreadByPlan(EntryRange entries, SpreadPlan& plan);

// Stretch `index`, as it stands.
EntryRange StretchAt(const DemandStretches& stretches, std::size_t index);

// Puts bucket `index`, the readied `stretch`, in order.
void OrderBucket(DemandStretches& stretches, std::size_t index, EntryRange stretch);

// Readies stretch `index` with `demands`, puts it in order and returns it; it may be empty. Each
// stretch is ordered once.
template <typename Demands>
EntryRange OrderStretch(DemandStretches& stretches, std::size_t index, const Demands& demands) {
    const EntryRange stretch = StretchAt(stretches, index);
    if (stretches.inBuckets) {
        for (SolutionEntry& entry : stretch) {
            demands.Ready(entry);
        }
        OrderBucket(stretches, index, stretch);
    }
    return stretch;
}

// The order of the result: larger demand first, a demand that is not a number last, and entries
// of equal demand by type, input value and callerData. Entries equal in all four are equal in
// every field once solved, so any sort by this order leaves the same entries in the same places,
// on every platform, whatever order they came in.
bool OrdersBefore(const SolutionEntry& left, const SolutionEntry& right);

// Sorts the host's entries into that order by comparing them where they stand: an insertion sort
// for a few, a heap sort for more. Every step of either stays within the range whatever the
// comparisons answer, so entries that another thread changes meanwhile end in a meaningless order
// but are never written outside the range.
void SortInOrder(EntryRange range);

// Readies and orders every entry into the order of the result.
template <typename Demands>
void OrderByDemand(EntryRange entries, const Demands& demands) {
    DemandStretches stretches = PrepareStretches(entries, demands);
    for (std::size_t index = 0; index < stretches.count; ++index) {
        OrderStretch(stretches, index, demands);
    }
}

// ---- implementation of the templates ----

namespace detail {

// Entries read to find the range of demands, instead of a pass over all of them: at most this
// many, and no more than one in kEntriesPerSample.
constexpr std::size_t kRangeSamples = 4096;
constexpr std::size_t kEntriesPerSample = 4;

Buckets ChooseBuckets(const BitRange& range, std::size_t entries);

}  // namespace detail

template <typename DemandOf>
bool StartSpread(std::size_t count, const DemandOf& sampleDemandOf, SpreadPlan& plan) {
    BitRange range{~std::uint64_t{0}, 0};
    const std::size_t samples = std::min(count / detail::kEntriesPerSample, detail::kRangeSamples);
    if (samples == 0) {
        return false;
    }
    for (std::size_t i = 0; i < samples; ++i) {
        const std::uint64_t bits = DemandBits(sampleDemandOf(i * (count / samples)));
        if (!IsPositiveFinite(bits)) {
            return false;
        }
        range.smallest = std::min(range.smallest, bits);
        range.largest = std::max(range.largest, bits);
    }
    plan.bucketOf.reset(new (std::nothrow) std::uint16_t[count]);
    if (!plan.bucketOf) {
        return false;
    }
    plan.buckets = detail::ChooseBuckets(range, count);
    plan.count = count;
    plan.ends.fill(0);
    plan.allPositiveFinite = true;
    return true;
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_ORDER_BY_DEMAND_H
