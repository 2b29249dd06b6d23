#include "solver/OrderByDemand.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <tuple>

namespace korvan {
namespace {

// Up to this many entries an insertion sort, beyond it a heap sort: both bounded by the range.
constexpr std::size_t kInsertionSortLimit = 16;
// A bucket of this many entries or fewer has its keys sorted by comparison; more, by radix.
constexpr std::size_t kComparisonSortLimit = 64;
constexpr int kDigitBits = 8;
// The high bits of a bucket's keys that the radix passes sort.
constexpr int kRadixBits = 3 * kDigitBits;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;

}  // namespace

bool OrdersBefore(const SolutionEntry& left, const SolutionEntry& right) {
    const bool leftIsNaN = std::isnan(left.demand);
    const bool rightIsNaN = std::isnan(right.demand);
    if (leftIsNaN != rightIsNaN) {
        return rightIsNaN;
    }
    if (!leftIsNaN && left.demand != right.demand) {
        return left.demand > right.demand;
    }
    return std::make_tuple(left.type, DemandBits(left.inputValue), left.callerData) <
           std::make_tuple(right.type, DemandBits(right.inputValue), right.callerData);
}

namespace {

// Moves every entry into its bucket's part of the batch, one carried entry at a time, each with
// the bucket the plan gave it: the call's own copy travels with the entry, so the places written
// follow from the plan's counts alone.
void DistributeIntoBuckets(SolutionEntry* entries, SpreadPlan& plan) {
    std::uint16_t* const bucketOf = plan.bucketOf.get();
    for (std::size_t bucket = 0; bucket < plan.buckets.count; ++bucket) {
        while (plan.next[bucket] < plan.ends[bucket]) {
            const std::size_t start = plan.next[bucket];
            if (bucketOf[start] == bucket) {
                ++plan.next[bucket];
                continue;
            }
            SolutionEntry carried = entries[start];
            std::uint16_t carriedBucket = bucketOf[start];
            do {
                const std::size_t place = plan.next[carriedBucket]++;
                if (place >= plan.ends[carriedBucket]) {
                    ThrowSubscriptOutOfRange();
                }
                std::swap(carried, entries[place]);
                std::swap(carriedBucket, bucketOf[place]);
            } while (carriedBucket != bucket);
            entries[start] = carried;
            bucketOf[start] = carriedBucket;
            ++plan.next[bucket];
        }
    }
}

// Sorts `keys` by key, ascending, in passes of kDigitBits over the bits from `lowBit` up to
// `keyBits`, with `scratch` as large as `keys`; a pass whose digit is the same in every key is
// skipped. Keys equal in those bits keep their order.
void RadixSortKeys(KeyedPosition* keys, KeyedPosition* scratch, std::size_t count, int lowBit,
                   int keyBits) {
    const int passes = (keyBits - lowBit + kDigitBits - 1) / kDigitBits;
    // Only the rows of the passes that run are cleared: a bucket is small, and clearing every
    // row would cost as much as counting its keys.
    std::size_t counts[64 / kDigitBits + 1][kDigitValues];
    for (int pass = 0; pass < passes; ++pass) {
        std::fill(std::begin(counts[pass]), std::end(counts[pass]), std::size_t{0});
    }
    for (std::size_t i = 0; i < count; ++i) {
        for (int pass = 0; pass < passes; ++pass) {
            ++counts[pass][(keys[i].key >> (lowBit + pass * kDigitBits)) & (kDigitValues - 1)];
        }
    }
    KeyedPosition* from = keys;
    KeyedPosition* to = scratch;
    for (int pass = 0; pass < passes; ++pass) {
        std::size_t* const digitCounts = counts[pass];
        const int shift = lowBit + pass * kDigitBits;
        if (digitCounts[(from[0].key >> shift) & (kDigitValues - 1)] == count) {
            continue;
        }
        std::size_t offset = 0;
        for (std::size_t digit = 0; digit < kDigitValues; ++digit) {
            const std::size_t digitCount = digitCounts[digit];
            digitCounts[digit] = offset;
            offset += digitCount;
        }
        for (std::size_t i = 0; i < count; ++i) {
            to[digitCounts[(from[i].key >> shift) & (kDigitValues - 1)]++] = from[i];
        }
        std::swap(from, to);
    }
    if (from != keys) {
        std::copy(from, from + count, keys);
    }
}

bool SmallerKey(const KeyedPosition& left, const KeyedPosition& right) {
    return left.key < right.key || (left.key == right.key && left.position < right.position);
}

// Hands `visit` every run of keys equal in their bits from `lowBit` up, as (begin, end), in order.
template <typename Visit>
void ForEachRunOfEqualKeys(const KeyedPosition* keys, std::size_t count, int lowBit,
                           const Visit& visit) {
    std::size_t begin = 0;
    while (begin < count) {
        const std::uint64_t high = keys[begin].key >> lowBit;
        std::size_t end = begin + 1;
        while (end < count && (keys[end].key >> lowBit) == high) {
            ++end;
        }
        visit(begin, end);
        begin = end;
    }
}

// Finishes keys that are ordered by their bits from `lowBit` up: each run of keys equal in those
// bits is sorted on its own. The runs are short unless many demands lie extremely close together,
// and even then the work stays n log n.
void SortRunsOfEqualHighBits(KeyedPosition* keys, std::size_t count, int lowBit) {
    ForEachRunOfEqualKeys(keys, count, lowBit, [keys](std::size_t begin, std::size_t end) {
        if (end - begin > 1) {
            std::sort(keys + begin, keys + end, SmallerKey);
        }
    });
}

// Reorders `entries` so that place j receives the entry that stood at keys[j].position, following
// each cycle of the permutation with one entry carried. The keys are the call's own, and each
// position below `count`, so every write lands within the bucket.
void PermuteEntries(SolutionEntry* entries, KeyedPosition* keys, std::size_t count) {
    for (std::size_t start = 0; start < count; ++start) {
        if (keys[start].position == start) {
            continue;
        }
        const SolutionEntry carried = entries[start];
        std::size_t place = start;
        for (;;) {
            const std::size_t source = keys[place].position;
            keys[place].position = place;
            if (source == start) {
                entries[place] = carried;
                break;
            }
            entries[place] = entries[source];
            place = source;
        }
    }
}

// Sorts the keys of bucket `bucket`, whose `key` fields hold demand patterns: larger demand first,
// equal demands by position. Afterwards two keys are equal exactly where their demands are. A
// bucket within the sampled range is ordered by the low bits its demands leave open, by radix
// when it is large and `scratch` has room for it; any other by comparison of the whole pattern.
void SortBucketKeys(KeyedPosition* keys, std::size_t count, const Buckets& buckets,
                    std::size_t bucket, KeyedPosition* scratch, std::size_t scratchRoom) {
    if (!buckets.InRange(bucket) || buckets.shift == 0 || count > scratchRoom) {
        for (std::size_t i = 0; i < count; ++i) {
            keys[i].key = ~keys[i].key;
        }
        std::sort(keys, keys + count, SmallerKey);
        return;
    }
    // Within a bucket the low `shift` bits of (largest - bits) order the demands.
    const std::uint64_t mask = (std::uint64_t{1} << buckets.shift) - 1;
    for (std::size_t i = 0; i < count; ++i) {
        keys[i].key = (buckets.range.largest - keys[i].key) & mask;
    }
    if (count <= kComparisonSortLimit) {
        std::sort(keys, keys + count, SmallerKey);
        return;
    }
    // The high bits spread a bucket's keys so far that hardly two share them; sorting what they
    // leave open then costs little.
    const int lowBit = std::max(0, buckets.shift - kRadixBits);
    RadixSortKeys(keys, scratch, count, lowBit, buckets.shift);
    if (lowBit > 0) {
        SortRunsOfEqualHighBits(keys, count, lowBit);
    }
}

// Orders the entries of one bucket through keys: each entry's demand is read once into the
// keys, the keys are sorted, then the entries move once; entries of equal demand are then put in
// the order of the result among themselves. `keys` and `scratch` have room for the bucket.
void SortBucket(EntryRange stretch, const Buckets& buckets, std::size_t bucket, KeyedPosition* keys,
                KeyedPosition* scratch) {
    const std::size_t count = stretch.size();
    SolutionEntry* const entries = stretch.data();
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = KeyedPosition{DemandBits(entries[i].demand), i};
    }
    SortBucketKeys(keys, count, buckets, bucket, scratch, count);
    PermuteEntries(entries, keys, count);
    ForEachRunOfEqualKeys(keys, count, 0, [stretch](std::size_t begin, std::size_t end) {
        if (end - begin > 1) {
            SortInOrder(stretch.Part(begin, end - begin));
        }
    });
}

std::size_t LargestBucket(const std::array<std::size_t, kMaxBuckets>& ends, std::size_t count) {
    std::size_t largest = 0;
    std::size_t begin = 0;
    for (std::size_t bucket = 0; bucket < count; ++bucket) {
        largest = std::max(largest, ends[bucket] - begin);
        begin = ends[bucket];
    }
    return largest;
}

// The stretches of `entries` once spread by `plan`: the buckets of the plan, each still to be put
// in order.
DemandStretches StretchesOfPlan(EntryRange entries, const SpreadPlan& plan) {
    if (entries.size() != plan.count) {
        ThrowSubscriptOutOfRange();
    }
    DemandStretches stretches;
    stretches.entries = entries;
    stretches.count = plan.buckets.count;
    stretches.ends = plan.ends;
    stretches.inBuckets = true;
    stretches.buckets = plan.buckets;
    // Keys for the largest bucket. A bucket of more than half the entries (demands bunched in one
    // narrow range) is heap-sorted in place instead, which caps the keys at 16 bytes per entry;
    // without memory for the keys, every bucket is.
    stretches.keyRoom = std::min(LargestBucket(plan.ends, plan.buckets.count), entries.size() / 2);
    stretches.keys.reset(new (std::nothrow) KeyedPosition[2 * stretches.keyRoom]);
    if (!stretches.keys) {
        stretches.keyRoom = 0;
    }
    return stretches;
}

int BitWidth(std::uint64_t value) {
    int width = 0;
    while (value != 0) {
        ++width;
        value >>= 1;
    }
    return width;
}

}  // namespace

namespace detail {

Buckets ChooseBuckets(const BitRange& range, std::size_t entries) {
    int bits = 1;
    while (bits < kMaxBucketBits && (entries >> (bits + 1)) >= kComparisonSortLimit) {
        ++bits;
    }
    const std::uint64_t span = range.largest - range.smallest;
    const int shift = std::max(0, BitWidth(span) - bits);
    return Buckets{range, shift, static_cast<std::size_t>(span >> shift) + 3};
}

}  // namespace detail

void SortInOrder(EntryRange range) {
    if (range.size() > kInsertionSortLimit) {
        std::make_heap(range.begin(), range.end(), OrdersBefore);
        std::sort_heap(range.begin(), range.end(), OrdersBefore);
        return;
    }
    SolutionEntry* const first = range.begin();
    for (std::size_t i = 1; i < range.size(); ++i) {
        const SolutionEntry moving = first[i];
        std::size_t place = i;
        while (place > 0 && OrdersBefore(moving, first[place - 1])) {
            first[place] = first[place - 1];
            --place;
        }
        first[place] = moving;
    }
}

bool SpreadPlan::Finish() {
    std::size_t position = 0;
    for (std::size_t bucket = 0; bucket < buckets.count; ++bucket) {
        next[bucket] = position;
        position += ends[bucket];
        ends[bucket] = position;
    }
    return allPositiveFinite;
}

DemandStretches SpreadByPlan(EntryRange entries, SpreadPlan& plan) {
    if (entries.size() != plan.count) {
        ThrowSubscriptOutOfRange();
    }
    DistributeIntoBuckets(entries.data(), plan);
    return StretchesOfPlan(entries, plan);
}

template <typename Demands>
DemandStretches PrepareStretches(EntryRange entries, const Demands& demands) {
    if (entries.size() >= kBucketSortThreshold) {
        SolutionEntry* const first = entries.data();
        SpreadPlan plan;
        if (PlanSpread(
                entries.size(), [&](std::size_t i) { return demands.DemandOf(first[i]); }, plan)) {
            return SpreadByPlan(entries, plan);
        }
    }
    // Left uninitialised but for what this way out sets: the bucket ends are as many as the
    // largest batch's buckets, and a solve of three points need not clear them.
    DemandStretches stretches;
    stretches.entries = entries;
    stretches.buckets = Buckets{};
    for (SolutionEntry& entry : entries) {
        demands.Ready(entry);
    }
    SortInOrder(entries);
    stretches.count = 1;
    stretches.ends[0] = entries.size();
    stretches.inBuckets = false;
    stretches.keyRoom = 0;
    return stretches;
}

template DemandStretches PrepareStretches(EntryRange, const DemandsAsSet&);
template DemandStretches PrepareStretches(EntryRange, const DemandsRecomputed&);

EntryRange StretchAt(const DemandStretches& stretches, std::size_t index) {
    const std::size_t begin = index == 0 ? 0 : stretches.ends.at(index - 1);
    return stretches.entries.Part(begin, stretches.ends.at(index) - begin);
}

void OrderBucket(DemandStretches& stretches, std::size_t index, EntryRange stretch) {
    if (stretch.size() < 2) {
        return;
    }
    if (stretch.size() > stretches.keyRoom) {
        SortInOrder(stretch);
        return;
    }
    KeyedPosition* const keys = stretches.keys.get();
    SortBucket(stretch, stretches.buckets, index, keys, keys + stretches.keyRoom);
}

}  // namespace korvan
