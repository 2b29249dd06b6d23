// Ordering the entries by demand, largest first. A batch of kBucketSortThreshold points or more
// is spread into buckets of neighbouring demands, in place, and each bucket is then put in order
// on its own, so that a caller can work on a bucket while it is still in cache; smaller batches,
// and demands that are not positive and finite, go straight to std::sort.
#ifndef KORVAN_SOLVER_ORDER_BY_DEMAND_H
#define KORVAN_SOLVER_ORDER_BY_DEMAND_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "tables/EntryPreparation.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// What readies an entry's demand before the ordering first reads it. Readying an entry again
// changes nothing more.
struct DemandsAsSet {
    void operator()(SolutionEntry& /*entry*/) const {}
};

struct DemandsRecomputed {
    const TypeFactorTable* factors;

    void operator()(SolutionEntry& entry) const { RecomputeDemand(entry, *factors); }
};

// Below this many entries a plain sort is as fast, and the buckets would not pay for themselves.
constexpr std::size_t kBucketSortThreshold = 1024;
// At most 2^8 buckets: few enough that writing into all of them at once stays within cache and
// the address translation buffers, many enough that a bucket of a large batch fits in cache.
constexpr int kMaxBucketBits = 8;
// With one bucket either side for demands outside the range the samples found.
constexpr std::size_t kMaxBuckets = (std::size_t{1} << kMaxBucketBits) + 2;

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
    bool inBuckets;                             // false: one stretch, sorted whole already
    Buckets buckets;
    std::unique_ptr<KeyedPosition[]> keys;  // room for keyRoom keys and as many in scratch
    std::size_t keyRoom;
};

// Readies every entry with `ready` and splits the entries into stretches: into buckets when they
// are many and their demands positive and finite, else into one stretch sorted whole. Each entry
// moves whole. Entries of equal demand end in an order that these steps alone decide, the same
// with every standard library: sorted whole, by type, input value and callerData.
template <typename Ready>
DemandStretches PrepareStretches(EntryRange entries, const Ready& ready);
extern template DemandStretches PrepareStretches(EntryRange, const DemandsAsSet&);
extern template DemandStretches PrepareStretches(EntryRange, const DemandsRecomputed&);

// Puts stretch `index` in order and returns it; it may be empty. Each stretch is ordered once.
EntryRange OrderStretch(DemandStretches& stretches, std::size_t index);

// Readies and orders every entry: largest demand first, a demand that is not a number last.
template <typename Ready>
void OrderByDemand(EntryRange entries, const Ready& ready) {
    DemandStretches stretches = PrepareStretches(entries, ready);
    for (std::size_t index = 0; index < stretches.count; ++index) {
        OrderStretch(stretches, index);
    }
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_ORDER_BY_DEMAND_H
