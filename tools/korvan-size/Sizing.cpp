#include "Sizing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <iterator>
#include <limits>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "Failure.h"
#include "Numbers.h"

namespace korvan_size {
namespace {

constexpr std::int32_t kUnsolvableInput = 13;
constexpr std::size_t kMostTypes = 4;
// Batches of more points than this are sized by nearest ratio, where demands too far apart
// cannot be told apart.
constexpr std::size_t kLargestTolerancePathBatch = 7;
// How far apart demands are when a bounds violation of the nearest-ratio path is their doing.
constexpr double kFarApartDemands = 1e15;

struct Outputs {
    double deviationMax = 0.0;
    double deviationMin = 0.0;
    double scaleFactor = 0.0;
    double reducedScaleFactor = 0.0;
};

[[noreturn]] void ThrowRefused(const std::string& message) {
    throw Failure(kLibraryRefused, message);
}

std::string UnknownResult(std::int32_t result) {
    return "the library returned the unknown result code " + std::to_string(result);
}

// Runs `call` and turns every exception that leaves the library into a Failure; `items` names
// what the call was given, `outOfRange` words a std::out_of_range for it.
template <typename Call, typename OutOfRange>
std::int32_t CallLibrary(const Call& call, const char* items, const OutOfRange& outOfRange) {
    try {
        return call();
    } catch (const std::out_of_range& error) {
        ThrowRefused(outOfRange(std::string("std::out_of_range: ") + error.what()));
    } catch (const std::length_error& error) {
        ThrowRefused(std::string("too many ") + items +
                     " to hold (std::length_error: " + error.what() + ")");
    } catch (const std::bad_alloc& error) {
        ThrowRefused(std::string("out of memory (std::bad_alloc: ") + error.what() + ")");
    } catch (const std::exception& error) {
        ThrowRefused(std::string("the library failed: ") + error.what());
    } catch (...) {
        ThrowRefused("the library failed with an exception that is not a std::exception");
    }
}

std::int32_t Generate(const LibraryFunctions& library, std::int32_t count,
                      const std::uint32_t* types, const double* inputValues, Outputs& outputs,
                      SolutionVector& solution) {
    return library.generateSolutionVector(count, types, inputValues, &outputs.deviationMax,
                                          &outputs.deviationMin, &outputs.scaleFactor,
                                          &outputs.reducedScaleFactor, &solution);
}

enum class Alone { kSolved, kRefused, kFailed };

struct AloneResult {
    Alone outcome;
    double demand;
};

// One point sized by itself: the library checks every demand before it solves, so a point it
// refuses alone is one that made the whole batch fail.
AloneResult SizeAlone(const LibraryFunctions& library, const PointTable& points,
                      std::size_t index) {
    Outputs outputs;
    SolutionVector solution;
    try {
        const std::int32_t result = Generate(library, 1, &points.types[index],
                                             &points.inputValues[index], outputs, solution);
        if (result == kUnsolvableInput) {
            return {Alone::kRefused, 0.0};
        }
        if (result == 0 && solution.size() == 1) {
            return {Alone::kSolved, solution.front().demand};
        }
    } catch (...) {
        // Whatever the library does with one point, the batch's own outcome is reported.
    }
    return {Alone::kFailed, 0.0};
}

// For each type the first point whose input value is not a number, the first of the smallest
// and the first of the largest, in input order. A demand grows with its input value, so when the
// library refuses demands beyond a range, it refuses one of these.
std::vector<std::size_t> OutlyingPoints(const PointTable& points) {
    constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
    std::array<std::array<std::size_t, 3>, kMostTypes> outlying{};
    for (auto& ofType : outlying) {
        ofType.fill(kNone);
    }
    const std::vector<double>& values = points.inputValues;
    for (std::size_t index = 0; index < values.size(); ++index) {
        if (points.types[index] >= kMostTypes) {
            continue;
        }
        auto& [notANumber, smallest, largest] = outlying[points.types[index]];
        if (std::isnan(values[index])) {
            notANumber = notANumber == kNone ? index : notANumber;
            continue;
        }
        if (smallest == kNone || values[index] < values[smallest]) {
            smallest = index;
        }
        if (largest == kNone || values[index] > values[largest]) {
            largest = index;
        }
    }
    std::vector<std::size_t> found;
    for (const auto& ofType : outlying) {
        std::copy_if(ofType.begin(), ofType.end(), std::back_inserter(found),
                     [](std::size_t index) { return index != kNone; });
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

std::string PointValueName(const PointTable& points, std::size_t index) {
    return PointName(points, index) + ": input value " +
           std::string(Shortest(points.inputValues[index]).View()) + " of type " +
           std::to_string(points.types[index]);
}

// Explains a batch the library refused as unsolvable (`cause` says how): the point whose demand
// it refuses, or demands too far apart to size together.
std::string UnsolvableMessage(const LibraryFunctions& library, const PointTable& points,
                              const std::string& cause, bool boundsViolation) {
    std::optional<std::size_t> largest;
    std::optional<std::size_t> smallest;
    double largestDemand = 0.0;
    double smallestDemand = 0.0;
    for (const std::size_t index : OutlyingPoints(points)) {
        const AloneResult alone = SizeAlone(library, points, index);
        if (alone.outcome == Alone::kRefused) {
            return "the library refused the input: " + PointValueName(points, index) +
                   " gives a demand outside the range it sizes (" + cause + ")";
        }
        if (alone.outcome != Alone::kSolved) {
            continue;
        }
        if (!largest || alone.demand > largestDemand) {
            largest = index;
            largestDemand = alone.demand;
        }
        if (!smallest || alone.demand < smallestDemand) {
            smallest = index;
            smallestDemand = alone.demand;
        }
    }
    const double apart = largest ? largestDemand / smallestDemand : 0.0;
    if (points.types.size() > kLargestTolerancePathBatch && largest &&
        (!boundsViolation || apart >= kFarApartDemands)) {
        return "the library refused the input: the demands are too far apart to size together: "
               "the largest, of " +
               PointName(points, *largest) + ", is " + std::string(SixDigits(apart).View()) +
               " times the smallest, of " + PointName(points, *smallest) + " (" + cause + ")";
    }
    if (boundsViolation) {
        return "the library read past the end of a table (" + cause + ")";
    }
    return "the library refused the input (" + cause + ")";
}

std::string SizingResultMessage(std::int32_t result, const LibraryFunctions& library,
                                const PointTable& points) {
    switch (result) {
        case 10:
            return "out of memory while creating the points (result code 10: out of memory)";
        case 11:
            return "no points to size (result code 11: empty solution)";
        case kUnsolvableInput:
            return UnsolvableMessage(library, points, "result code 13: unsolvable input", false);
        case 160:
            return "the library refused its arguments (result code 160: invalid argument)";
        default:
            return UnknownResult(result);
    }
}

// The bits of `value`, as an unsigned number that orders like the doubles it stands for.
std::uint64_t OrderedBits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    constexpr std::uint64_t kSign = std::uint64_t{1} << 63U;
    return (bits & kSign) != 0 ? ~bits : bits | kSign;
}

// A point by what the library keeps of it, and where it stands.
struct PointKey {
    std::uint64_t inputValue;  // OrderedBits of the input value
    std::uint32_t type;
    std::uint32_t position;
};

// By type, then by input value from the largest, then by position: the order in which the
// library returns the points of one type, since their demands grow with the input value.
struct InReturnOrder {
    bool operator()(const PointKey& left, const PointKey& right) const {
        return std::tie(left.type, right.inputValue, left.position) <
               std::tie(right.type, left.inputValue, right.position);
    }
};

using TypeStarts = std::array<std::size_t, kMostTypes + 1>;

// Where each type's keys start once `keys` are grouped by type; the last is the end.
template <typename TypeOf>
TypeStarts CountTypes(std::size_t count, const TypeOf& typeOf) {
    TypeStarts starts{};
    for (std::size_t index = 0; index < count; ++index) {
        ++starts[typeOf(index) + 1];
    }
    for (std::size_t type = 1; type < starts.size(); ++type) {
        starts[type] += starts[type - 1];
    }
    return starts;
}

// Orders one type's keys by input value from the largest, 16 bits at a time from the lowest;
// each pass keeps the order of equal digits, so equal values stay in input order. A pass in
// which every key has the same digit is skipped.
void SortByValueDescending(PointKey* keys, std::size_t count, std::vector<PointKey>& spare) {
    constexpr unsigned kDigitBits = 16;
    std::vector<std::size_t> slots(std::size_t{1} << kDigitBits);
    const auto digit = [](const PointKey& key, unsigned shift) {
        return static_cast<std::size_t>((~key.inputValue >> shift) & 0xFFFFU);
    };
    PointKey* from = keys;
    PointKey* to = spare.data();
    for (unsigned shift = 0; shift < 64 && count > 1; shift += kDigitBits) {
        std::fill(slots.begin(), slots.end(), 0);
        for (std::size_t index = 0; index < count; ++index) {
            ++slots[digit(from[index], shift)];
        }
        if (slots[digit(from[0], shift)] == count) {
            continue;
        }
        std::size_t next = 0;
        for (std::size_t& slot : slots) {
            next += std::exchange(slot, next);
        }
        for (std::size_t index = 0; index < count; ++index) {
            to[slots[digit(from[index], shift)]++] = from[index];
        }
        std::swap(from, to);
    }
    if (from != keys) {
        std::copy(from, from + count, keys);
    }
}

// The points given, grouped by type and in return order within each type.
std::vector<PointKey> GivenInReturnOrder(const PointTable& points, const TypeStarts& starts) {
    const std::size_t count = points.types.size();
    std::vector<PointKey> keys(count);
    TypeStarts next = starts;
    for (std::size_t index = 0; index < count; ++index) {
        const std::uint32_t type = points.types[index];
        keys[next[type]++] = {OrderedBits(points.inputValues[index]), type,
                              static_cast<std::uint32_t>(index)};
    }
    std::vector<PointKey> spare(count);
    for (std::size_t type = 0; type < kMostTypes; ++type) {
        SortByValueDescending(keys.data() + starts[type], starts[type + 1] - starts[type], spare);
    }
    return keys;
}

// The returned entries' keys in return order. Each type's entries come in that order already,
// but where two input values round to one demand; those are put right here.
std::vector<PointKey> ReturnedInReturnOrder(const SolutionVector& entries,
                                            const TypeStarts& starts) {
    std::vector<PointKey> keys(entries.size());
    TypeStarts next = starts;
    for (std::size_t position = 0; position < entries.size(); ++position) {
        const auto type = static_cast<std::uint32_t>(entries[position].type);
        keys[next[type]++] = {OrderedBits(entries[position].inputValue), type,
                              static_cast<std::uint32_t>(position)};
    }
    std::sort(keys.begin(), keys.end(), InReturnOrder{});
    return keys;
}

// Tags each entry with the given point of the same rank in return order; false where the
// entries of one type do not stand in return order.
bool TagInPlace(SolutionVector& entries, const std::vector<PointKey>& given, TypeStarts next) {
    for (SolutionEntry& entry : entries) {
        const auto type = static_cast<std::uint32_t>(entry.type);
        const PointKey& key = given[next[type]++];
        if (key.inputValue != OrderedBits(entry.inputValue)) {
            return false;
        }
        entry.callerData = key.position;
    }
    return true;
}

// The library reorders the points and keeps only the type and input value of each, so each
// returned entry is tagged, in callerData, with the point it came from: equal points are matched
// in input order. Both sides are ranked in return order, the given points by a radix sort.
void TagEntriesWithPoints(SolutionVector& entries, const PointTable& points) {
    const std::size_t count = points.types.size();
    if (entries.size() != count) {
        ThrowRefused("the library returned " + std::to_string(entries.size()) + " points for the " +
                     std::to_string(count) + " given");
    }
    const auto notGiven = [] { ThrowRefused("the library returned a point that was not given"); };
    const TypeStarts starts =
        CountTypes(count, [&](std::size_t index) { return points.types[index]; });
    const TypeStarts returnedStarts = CountTypes(count, [&](std::size_t position) {
        const auto type = static_cast<std::uint32_t>(entries[position].type);
        if (type >= kMostTypes) {
            notGiven();
        }
        return type;
    });
    if (returnedStarts != starts) {
        notGiven();
    }
    const std::vector<PointKey> given = GivenInReturnOrder(points, starts);
    if (TagInPlace(entries, given, starts)) {
        return;
    }
    const std::vector<PointKey> returned = ReturnedInReturnOrder(entries, starts);
    for (std::size_t rank = 0; rank < count; ++rank) {
        if (given[rank].inputValue != returned[rank].inputValue) {
            notGiven();
        }
        entries[returned[rank].position].callerData = given[rank].position;
    }
}

std::string ReductionResultMessage(std::int32_t result, const std::vector<double>& sizes) {
    switch (result) {
        case 10:
            return "out of memory while reducing the sizes (result code 10: out of memory)";
        case kUnsolvableInput:
            return "no group of the valve series holds these ratios: the largest size divided by "
                   "each other size must be a ratio between two sizes of the series 0.5, 0.3, "
                   "0.2, 0.16, 0.1, 0.06, 0.03 (result code 13: unsolvable input)";
        case 160:
            for (std::size_t index = 0; index < sizes.size(); ++index) {
                if (sizes[index] <= 0.0) {
                    return "size " + std::to_string(index + 1) + " is " +
                           std::string(Shortest(sizes[index]).View()) +
                           ": a valve size must be more than zero (result code 160: invalid "
                           "argument)";
                }
            }
            return "the library refused its arguments (result code 160: invalid argument)";
        default:
            return UnknownResult(result);
    }
}

}  // namespace

Sizing SizePoints(const LibraryFunctions& library, const PointTable& points) {
    const std::size_t count = points.types.size();
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Failure(kBadInput, "too many points: at most " +
                                     std::to_string(std::numeric_limits<std::int32_t>::max()) +
                                     " can be sized at once");
    }
    Sizing sizing{{}, 0.0, 0.0, 0.0, 0.0};
    sizing.entries.reserve(count);  // the library appends without growing the vector again
    Outputs outputs;
    const std::int32_t result = CallLibrary(
        [&] {
            return Generate(library, static_cast<std::int32_t>(count), points.types.data(),
                            points.inputValues.data(), outputs, sizing.entries);
        },
        "points",
        [&](const std::string& cause) { return UnsolvableMessage(library, points, cause, true); });
    if (result != 0) {
        ThrowRefused(SizingResultMessage(result, library, points));
    }
    TagEntriesWithPoints(sizing.entries, points);
    sizing.deviationMax = outputs.deviationMax;
    sizing.deviationMin = outputs.deviationMin;
    sizing.scaleFactor = outputs.scaleFactor;
    sizing.reducedScaleFactor = outputs.reducedScaleFactor;
    return sizing;
}

Reduction ReduceSizes(const LibraryFunctions& library, const std::vector<double>& sizes) {
    Reduction reduction{sizes, {}};
    const std::int32_t result = CallLibrary(
        [&] { return library.getSmallestPossibleValves(&reduction.sizes, &reduction.smallest); },
        "sizes",
        [](const std::string& cause) {
            return "the library read past the end of a table (" + cause + ")";
        });
    if (result != 0) {
        ThrowRefused(ReductionResultMessage(result, sizes));
    }
    if (reduction.smallest.size() != reduction.sizes.size()) {
        ThrowRefused("the library returned " + std::to_string(reduction.smallest.size()) +
                     " reduced sizes for the " + std::to_string(reduction.sizes.size()) + " given");
    }
    return reduction;
}

}  // namespace korvan_size
