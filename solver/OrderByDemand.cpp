// Ordering the entries by demand, largest first. A batch of a thousand points or more is first
// spread into buckets of neighbouring demands, in place, and each bucket is then sorted on its own
// while it is in cache; smaller vectors, and demands that are not positive and finite, go straight
// to std::sort.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "solver/SolveValves.h"
#include "tables/EntryPreparation.h"

namespace korvan {
namespace {

// Below this many entries a plain sort is as fast, and the buckets would not pay for themselves.
constexpr std::size_t kBucketSortThreshold = 1024;
// The vector is spread into at most 2^8 buckets: few enough that writing into all of them at once
// stays within cache and the address translation buffers, many enough that a bucket of a large
// batch fits in cache.
constexpr int kMaxBucketBits = 8;
// With one bucket either side for demands outside the range the samples found.
constexpr std::size_t kMaxBuckets = (std::size_t{1} << kMaxBucketBits) + 2;
// Entries read to find the range of demands, instead of a pass over all of them: at most this
// many, and no more than one in kEntriesPerSample.
constexpr std::size_t kRangeSamples = 4096;
constexpr std::size_t kEntriesPerSample = 4;
// A bucket of this many entries or fewer has its keys sorted by comparison; more, by radix.
constexpr std::size_t kComparisonSortLimit = 64;
constexpr int kDigitBits = 8;
// The high bits of a bucket's keys that the radix passes sort.
constexpr int kRadixBits = 3 * kDigitBits;
constexpr std::size_t kDigitValues = std::size_t{1} << kDigitBits;

constexpr std::uint64_t kInfinityBits = 0x7FF0000000000000;

bool LargerDemandFirst(const SolutionEntry& left, const SolutionEntry& right) {
    if (std::isnan(left.demand)) {
        return false;
    }
    return std::isnan(right.demand) || left.demand > right.demand;
}

// The bit pattern of a demand. For positive finite doubles (subnormals included) it orders like
// the value: a larger demand has a larger pattern, and equal demands have equal patterns.
std::uint64_t DemandBits(const SolutionEntry& entry) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &entry.demand, sizeof bits);
    return bits;
}

bool IsPositiveFinite(std::uint64_t bits) {
    return bits != 0 && bits < kInfinityBits;
}

struct BitRange {
    std::uint64_t smallest;
    std::uint64_t largest;
};

// The range of the demands' patterns over entries spread evenly through the vector; false when one
// of them is not positive and finite, whose pattern would not order like its value.
// Readies an entry before its demand is first read. Readying it again changes nothing more.
struct DemandsSet {
    void operator()(SolutionEntry& /*entry*/) const {}
};

struct DemandsToRecompute {
    const TypeFactorTable* factors;

    void operator()(SolutionEntry& entry) const { RecomputeDemand(entry, *factors); }
};

template <typename Ready>
bool SampledRange(SolutionVector& solution, const Ready& ready, BitRange& range) {
    range = {std::numeric_limits<std::uint64_t>::max(), 0};
    const std::size_t samples = std::min(solution.size() / kEntriesPerSample, kRangeSamples);
    for (std::size_t i = 0; i < samples; ++i) {
        SolutionEntry& sample = solution[i * (solution.size() / samples)];
        ready(sample);
        const std::uint64_t bits = DemandBits(sample);
        if (!IsPositiveFinite(bits)) {
            return false;
        }
        range.smallest = std::min(range.smallest, bits);
        range.largest = std::max(range.largest, bits);
    }
    return true;
}

int BitWidth(std::uint64_t value) {
    int width = 0;
    while (value != 0) {
        ++width;
        value >>= 1;
    }
    return width;
}

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
    [[nodiscard]] std::size_t Of(const SolutionEntry& entry) const { return Of(DemandBits(entry)); }
    [[nodiscard]] bool InRange(std::size_t bucket) const {
        return bucket > 0 && bucket + 1 < count;
    }
};

Buckets ChooseBuckets(const BitRange& range, std::size_t entries) {
    int bits = 1;
    while (bits < kMaxBucketBits && (entries >> (bits + 1)) >= kComparisonSortLimit) {
        ++bits;
    }
    const std::uint64_t span = range.largest - range.smallest;
    const int shift = std::max(0, BitWidth(span) - bits);
    return Buckets{range, shift, static_cast<std::size_t>(span >> shift) + 3};
}

// Moves every entry into its bucket's part of the vector, one carried entry at a time: each entry
// is copied out and in once. `next` holds each bucket's first unplaced position, `end` its end.
void DistributeIntoBuckets(SolutionVector& solution, const Buckets& buckets, std::size_t* next,
                           const std::size_t* end) {
    for (std::size_t bucket = 0; bucket < buckets.count; ++bucket) {
        while (next[bucket] < end[bucket]) {
            const std::size_t start = next[bucket];
            std::size_t target = buckets.Of(solution[start]);
            if (target == bucket) {
                ++next[bucket];
                continue;
            }
            SolutionEntry carried = solution[start];
            do {
                std::swap(carried, solution[next[target]++]);
                target = buckets.Of(carried);
            } while (target != bucket);
            solution[start] = carried;
            ++next[bucket];
        }
    }
}

// An entry's place in its bucket with the part of its demand's order that the bucket leaves open:
// the smaller `key`, the larger the demand.
struct KeyedPosition {
    std::uint64_t key;
    std::size_t position;
};

// Sorts `keys` by key, ascending, in passes of kDigitBits over the bits from `lowBit` up to
// `keyBits`, with `scratch` as large as `keys`; a pass whose digit is the same in every key is
// skipped. Keys equal in those bits keep their order.
void RadixSortKeys(KeyedPosition* keys, KeyedPosition* scratch, std::size_t count, int lowBit,
                   int keyBits) {
    const int passes = (keyBits - lowBit + kDigitBits - 1) / kDigitBits;
    std::size_t counts[64 / kDigitBits + 1][kDigitValues] = {};
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
    return left.key < right.key;
}

// Finishes keys that are ordered by their bits from `lowBit` up: each run of keys equal in those
// bits is sorted on its own. The runs are short unless many demands lie extremely close together,
// and even then the work stays n log n.
void SortRunsOfEqualHighBits(KeyedPosition* keys, std::size_t count, int lowBit) {
    std::size_t begin = 0;
    while (begin < count) {
        const std::uint64_t high = keys[begin].key >> lowBit;
        std::size_t end = begin + 1;
        while (end < count && (keys[end].key >> lowBit) == high) {
            ++end;
        }
        if (end - begin > 1) {
            std::sort(keys + begin, keys + end, SmallerKey);
        }
        begin = end;
    }
}

// Reorders `entries` so that place j receives the entry that stood at keys[j].position, following
// each cycle of the permutation with one entry carried.
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

// Orders one bucket through the keys of its entries: the keys are sorted, then the entries move
// once. `keys` and `scratch` have room for the bucket.
void SortBucket(SolutionEntry* entries, std::size_t count, const Buckets& buckets,
                KeyedPosition* keys, KeyedPosition* scratch) {
    // Within a bucket the low `shift` bits of (largest - bits) order the demands.
    const std::uint64_t mask = (std::uint64_t{1} << buckets.shift) - 1;
    for (std::size_t i = 0; i < count; ++i) {
        keys[i] = KeyedPosition{(buckets.range.largest - DemandBits(entries[i])) & mask, i};
    }
    if (count <= kComparisonSortLimit) {
        std::sort(keys, keys + count, SmallerKey);
    } else {
        // The high bits spread a bucket's keys so far that hardly two share them; sorting what
        // they leave open then costs little.
        const int lowBit = std::max(0, buckets.shift - kRadixBits);
        RadixSortKeys(keys, scratch, count, lowBit, buckets.shift);
        if (lowBit > 0) {
            SortRunsOfEqualHighBits(keys, count, lowBit);
        }
    }
    PermuteEntries(entries, keys, count);
}

std::size_t LargestBucket(const std::size_t* end, std::size_t count) {
    std::size_t largest = 0;
    std::size_t begin = 0;
    for (std::size_t bucket = 0; bucket < count; ++bucket) {
        largest = std::max(largest, end[bucket] - begin);
        begin = end[bucket];
    }
    return largest;
}

// Counts the entries of every bucket into end[] (which starts at zero); false when a demand is not
// positive and finite.
template <typename Ready>
bool CountBuckets(SolutionVector& solution, const Ready& ready, const Buckets& buckets,
                  std::size_t* end) {
    for (SolutionEntry& entry : solution) {
        ready(entry);
        const std::uint64_t bits = DemandBits(entry);
        if (!IsPositiveFinite(bits)) {
            return false;
        }
        ++end[buckets.Of(bits)];
    }
    return true;
}

// Sorts by buckets, handing each bucket to `visitor` once it is in order; false, with nothing
// moved, when a demand is not positive and finite or the work memory cannot be allocated.
template <typename Ready>
bool SortInBuckets(SolutionVector& solution, const Ready& ready,
                   const OrderedStretchVisitor& visitor) {
    BitRange sampled{};
    if (!SampledRange(solution, ready, sampled)) {
        return false;
    }
    const Buckets buckets = ChooseBuckets(sampled, solution.size());
    std::size_t next[kMaxBuckets];
    std::size_t end[kMaxBuckets] = {};
    if (!CountBuckets(solution, ready, buckets, end)) {
        return false;
    }
    std::size_t position = 0;
    for (std::size_t bucket = 0; bucket < buckets.count; ++bucket) {
        next[bucket] = position;
        position += end[bucket];
        end[bucket] = position;
    }
    // Keys for the largest bucket. Ordering never failed for want of memory, and must not now: the
    // plain sort needs none. A bucket of more than half the entries (demands bunched in one
    // narrow range) is sorted in place instead, which caps the keys at 16 bytes per entry.
    const std::size_t keyRoom = std::min(LargestBucket(end, buckets.count), solution.size() / 2);
    const std::unique_ptr<KeyedPosition[]> keys(new (std::nothrow) KeyedPosition[2 * keyRoom]);
    if (!keys) {
        return false;
    }
    DistributeIntoBuckets(solution, buckets, next, end);

    std::size_t begin = 0;
    for (std::size_t bucket = 0; bucket < buckets.count; ++bucket) {
        const std::size_t count = end[bucket] - begin;
        SolutionEntry* const first = solution.data() + begin;
        if (count > keyRoom || (count > 1 && !buckets.InRange(bucket))) {
            // Every demand is a number here, so the plain comparison orders like LargerDemandFirst.
            std::sort(first, first + count,
                      [](const SolutionEntry& left, const SolutionEntry& right) {
                          return left.demand > right.demand;
                      });
        } else if (count > 1 && buckets.shift > 0) {
            SortBucket(first, count, buckets, keys.get(), keys.get() + keyRoom);
        }
        if (count > 0) {
            visitor.visit(visitor.context, first, count);
        }
        begin = end[bucket];
    }
    return true;
}

template <typename Ready>
void Order(SolutionVector& solution, const Ready& ready, const OrderedStretchVisitor& visitor) {
    if (solution.size() >= kBucketSortThreshold && SortInBuckets(solution, ready, visitor)) {
        return;
    }
    // Whatever the buckets readied, readying every entry again changes nothing more.
    for (SolutionEntry& entry : solution) {
        ready(entry);
    }
    std::sort(solution.begin(), solution.end(), LargerDemandFirst);
    if (!solution.empty()) {
        visitor.visit(visitor.context, solution.data(), solution.size());
    }
}

}  // namespace

void OrderByDemand(SolutionVector& solution) {
    OrderByDemand(solution,
                  OrderedStretchVisitor{[](void*, SolutionEntry*, std::size_t) {}, nullptr});
}

void OrderByDemand(SolutionVector& solution, const OrderedStretchVisitor& visitor) {
    Order(solution, DemandsSet{}, visitor);
}

void RecomputeAndOrderByDemand(SolutionVector& solution, const TypeFactorTable& factors,
                               const OrderedStretchVisitor& visitor) {
    Order(solution, DemandsToRecompute{&factors}, visitor);
}

}  // namespace korvan
