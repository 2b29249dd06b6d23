#include "solver/OrderByDemand.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <tuple>

namespace korvan {
namespace {

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

std::uint64_t BitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The order of the result: larger demand first, a demand that is not a number last, and entries
// of equal demand by type, input value and callerData. Every standard library's sort then leaves
// the entries in the same order on every platform; entries equal in all four are equal in every
// field once solved.
bool OrdersBefore(const SolutionEntry& left, const SolutionEntry& right) {
    const bool leftIsNaN = std::isnan(left.demand);
    const bool rightIsNaN = std::isnan(right.demand);
    if (leftIsNaN != rightIsNaN) {
        return rightIsNaN;
    }
    if (!leftIsNaN && left.demand != right.demand) {
        return left.demand > right.demand;
    }
    return std::make_tuple(left.type, BitsOf(left.inputValue), left.callerData) <
           std::make_tuple(right.type, BitsOf(right.inputValue), right.callerData);
}

// The bit pattern of a demand. For positive finite doubles (subnormals included) it orders like
// the value: a larger demand has a larger pattern, and equal demands have equal patterns.
std::uint64_t DemandBits(const SolutionEntry& entry) {
    // Read from the entry's memory rather than through a double: the spreading loop carries
    // entries in registers, and a round trip through a floating-point register there costs a
    // tenth of the whole ordering.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &entry.demand, sizeof bits);
    return bits;
}

bool IsPositiveFinite(std::uint64_t bits) {
    return bits != 0 && bits < kInfinityBits;
}

// The range of the demands' patterns over entries spread evenly through the batch, each readied
// first; false when one of them is not positive and finite, whose pattern would not order like its
// value.
template <typename Ready>
bool SampledRange(EntryRange entries, const Ready& ready, BitRange& range) {
    range = {std::numeric_limits<std::uint64_t>::max(), 0};
    const std::size_t samples = std::min(entries.size() / kEntriesPerSample, kRangeSamples);
    for (std::size_t i = 0; i < samples; ++i) {
        SolutionEntry& sample = entries.data()[i * (entries.size() / samples)];
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

Buckets ChooseBuckets(const BitRange& range, std::size_t entries) {
    int bits = 1;
    while (bits < kMaxBucketBits && (entries >> (bits + 1)) >= kComparisonSortLimit) {
        ++bits;
    }
    const std::uint64_t span = range.largest - range.smallest;
    const int shift = std::max(0, BitWidth(span) - bits);
    return Buckets{range, shift, static_cast<std::size_t>(span >> shift) + 3};
}

// Moves every entry into its bucket's part of the batch, one carried entry at a time: each entry
// is copied out and in once. `next` holds each bucket's first unplaced position, `end` its end.
void DistributeIntoBuckets(SolutionEntry* entries, const Buckets& buckets, std::size_t* next,
                           const std::size_t* end) {
    for (std::size_t bucket = 0; bucket < buckets.count; ++bucket) {
        while (next[bucket] < end[bucket]) {
            const std::size_t start = next[bucket];
            std::size_t target = buckets.Of(DemandBits(entries[start]));
            if (target == bucket) {
                ++next[bucket];
                continue;
            }
            SolutionEntry carried = entries[start];
            do {
                std::swap(carried, entries[next[target]++]);
                target = buckets.Of(DemandBits(carried));
            } while (target != bucket);
            entries[start] = carried;
            ++next[bucket];
        }
    }
}

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

// Keys of equal demand keep the order of their positions, which the same steps on every platform
// gave them.
bool SmallerKey(const KeyedPosition& left, const KeyedPosition& right) {
    return left.key < right.key || (left.key == right.key && left.position < right.position);
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
bool CountBuckets(EntryRange entries, const Ready& ready, const Buckets& buckets,
                  std::size_t* end) {
    for (SolutionEntry& entry : entries) {
        ready(entry);
        const std::uint64_t bits = DemandBits(entry);
        if (!IsPositiveFinite(bits)) {
            return false;
        }
        ++end[buckets.Of(bits)];
    }
    return true;
}

// Spreads the entries into buckets; false, with nothing moved, when a demand is not positive and
// finite or the memory for the keys cannot be had.
template <typename Ready>
bool SpreadIntoBuckets(EntryRange entries, const Ready& ready, DemandStretches& stretches) {
    BitRange sampled{};
    if (!SampledRange(entries, ready, sampled)) {
        return false;
    }
    const Buckets buckets = ChooseBuckets(sampled, entries.size());
    std::size_t next[kMaxBuckets];
    std::array<std::size_t, kMaxBuckets>& end = stretches.ends;
    end.fill(0);
    if (!CountBuckets(entries, ready, buckets, end.data())) {
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
    const std::size_t keyRoom =
        std::min(LargestBucket(end.data(), buckets.count), entries.size() / 2);
    stretches.keys.reset(new (std::nothrow) KeyedPosition[2 * keyRoom]);
    if (!stretches.keys) {
        return false;
    }
    DistributeIntoBuckets(entries.data(), buckets, next, end.data());
    stretches.count = buckets.count;
    stretches.inBuckets = true;
    stretches.buckets = buckets;
    stretches.keyRoom = keyRoom;
    return true;
}

}  // namespace

template <typename Ready>
DemandStretches PrepareStretches(EntryRange entries, const Ready& ready) {
    // Left uninitialised but for what each way out sets: the bucket ends are as many as the
    // largest batch's buckets, and a solve of three points need not clear them.
    DemandStretches stretches;
    stretches.entries = entries;
    if (entries.size() >= kBucketSortThreshold && SpreadIntoBuckets(entries, ready, stretches)) {
        return stretches;
    }
    // Whatever the buckets readied, readying every entry again changes nothing more.
    for (SolutionEntry& entry : entries) {
        ready(entry);
    }
    std::sort(entries.begin(), entries.end(), OrdersBefore);
    stretches.count = 1;
    stretches.ends[0] = entries.size();
    stretches.inBuckets = false;
    stretches.keyRoom = 0;
    return stretches;
}

template DemandStretches PrepareStretches(EntryRange, const DemandsAsSet&);
template DemandStretches PrepareStretches(EntryRange, const DemandsRecomputed&);

EntryRange OrderStretch(DemandStretches& stretches, std::size_t index) {
    const std::size_t begin = index == 0 ? 0 : stretches.ends.at(index - 1);
    const EntryRange stretch = stretches.entries.Part(begin, stretches.ends.at(index) - begin);
    if (!stretches.inBuckets || stretch.size() < 2) {
        return stretch;
    }
    if (stretch.size() > stretches.keyRoom || !stretches.buckets.InRange(index)) {
        std::sort(stretch.begin(), stretch.end(), OrdersBefore);
    } else if (stretches.buckets.shift > 0) {
        KeyedPosition* const keys = stretches.keys.get();
        SortBucket(stretch.data(), stretch.size(), stretches.buckets, keys,
                   keys + stretches.keyRoom);
    }
    return stretch;
}

}  // namespace korvan
