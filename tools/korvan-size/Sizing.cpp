#include "Sizing.h"

#include <cstdint>
#include <cstring>
#include <deque>
#include <exception>
#include <limits>
#include <map>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include <fmt/core.h>

#include "Failure.h"

namespace korvan_size {
namespace {

constexpr std::uint32_t kLargestType = 3;

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
    return fmt::format("the library returned the unknown result code {}", result);
}

// Runs `call` and turns every exception that leaves the library into a Failure; `items` names
// what the call was given, `outOfRange` words a std::out_of_range for it.
template <typename Call, typename OutOfRange>
std::int32_t CallLibrary(const Call& call, const char* items, const OutOfRange& outOfRange) {
    try {
        return call();
    } catch (const std::out_of_range& error) {
        ThrowRefused(outOfRange(fmt::format("std::out_of_range: {}", error.what())));
    } catch (const std::length_error& error) {
        ThrowRefused(
            fmt::format("too many {} to hold (std::length_error: {})", items, error.what()));
    } catch (const std::bad_alloc& error) {
        ThrowRefused(fmt::format("out of memory (std::bad_alloc: {})", error.what()));
    } catch (const std::exception& error) {
        ThrowRefused(fmt::format("the library failed: {}", error.what()));
    } catch (...) {
        ThrowRefused("the library failed with an exception that is not a std::exception");
    }
}

std::string PointName(const PointTable& points, std::size_t index) {
    const std::size_t line = points.rows[index].line;
    if (line == 0) {
        return fmt::format("point {}", index + 1);
    }
    return fmt::format("point {} (line {})", index + 1, line);
}

std::int32_t Generate(const LibraryFunctions& library, std::int32_t count,
                      const std::uint32_t* types, const double* inputValues, Outputs& outputs,
                      SolutionVector& solution) {
    return library.generateSolutionVector(count, types, inputValues, &outputs.deviationMax,
                                          &outputs.deviationMin, &outputs.scaleFactor,
                                          &outputs.reducedScaleFactor, &solution);
}

// The library checks every demand before it solves, so a point it refuses alone is one that
// made the whole call fail.
bool RefusesDemandOf(const LibraryFunctions& library, const PointRow& row) {
    Outputs outputs;
    SolutionVector solution;
    try {
        return Generate(library, 1, &row.type, &row.inputValue, outputs, solution) == 13;
    } catch (...) {
        return false;
    }
}

std::string UnsolvableDemandMessage(const LibraryFunctions& library, const PointTable& points) {
    for (std::size_t index = 0; index < points.rows.size(); ++index) {
        if (RefusesDemandOf(library, points.rows[index])) {
            return fmt::format(
                "{}: input value {} does not give a positive, finite demand (result code 13: "
                "unsolvable input)",
                PointName(points, index), points.rows[index].inputValue);
        }
    }
    return "a demand is not positive and finite (result code 13: unsolvable input)";
}

std::string SizingResultMessage(std::int32_t result, const LibraryFunctions& library,
                                const PointTable& points) {
    switch (result) {
        case 10:
            return "out of memory while creating the points (result code 10: out of memory)";
        case 11:
            return "no points to size (result code 11: empty solution)";
        case 13:
            return UnsolvableDemandMessage(library, points);
        case 160:
            return "the library refused its arguments (result code 160: invalid argument)";
        default:
            return UnknownResult(result);
    }
}

std::string TypeOutOfRangeMessage(const PointTable& points, const std::string& cause) {
    for (std::size_t index = 0; index < points.rows.size(); ++index) {
        if (points.rows[index].type > kLargestType) {
            return fmt::format("{}: type {} is not one of 0 to 3 ({})", PointName(points, index),
                               points.rows[index].type, cause);
        }
    }
    return fmt::format("the library read past the end of a table ({})", cause);
}

std::uint64_t BitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// The library reorders the points and keeps only type and input value of each; points equal in
// both are matched in input order.
std::vector<SizedPoint> MatchRows(const SolutionVector& solution, const PointTable& points) {
    std::map<std::pair<std::uint32_t, std::uint64_t>, std::deque<std::size_t>> unmatched;
    for (std::size_t index = 0; index < points.rows.size(); ++index) {
        const PointRow& row = points.rows[index];
        unmatched[{row.type, BitsOf(row.inputValue)}].push_back(index);
    }
    std::vector<SizedPoint> sized;
    for (const SolutionEntry& entry : solution) {
        const auto found =
            unmatched.find({static_cast<std::uint32_t>(entry.type), BitsOf(entry.inputValue)});
        if (found == unmatched.end() || found->second.empty()) {
            ThrowRefused("the library returned a point that was not given");
        }
        sized.push_back({entry, found->second.front()});
        found->second.pop_front();
    }
    return sized;
}

std::string ReductionResultMessage(std::int32_t result, const std::vector<double>& sizes) {
    switch (result) {
        case 10:
            return "out of memory while reducing the sizes (result code 10: out of memory)";
        case 13:
            return "no group of the valve series holds these ratios: the largest size divided by "
                   "each other size must be a ratio between two sizes of the series 0.5, 0.3, "
                   "0.2, 0.16, 0.1, 0.06, 0.03 (result code 13: unsolvable input)";
        case 160:
            for (std::size_t index = 0; index < sizes.size(); ++index) {
                if (sizes[index] <= 0.0) {
                    return fmt::format(
                        "size {} is {}: a valve size must be more than zero (result code 160: "
                        "invalid argument)",
                        index + 1, sizes[index]);
                }
            }
            return "the library refused its arguments (result code 160: invalid argument)";
        default:
            return UnknownResult(result);
    }
}

}  // namespace

Sizing SizePoints(const LibraryFunctions& library, const PointTable& points) {
    if (points.rows.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Failure(kBadInput, fmt::format("too many points: at most {} can be sized at once",
                                             std::numeric_limits<std::int32_t>::max()));
    }
    std::vector<std::uint32_t> types;
    std::vector<double> inputValues;
    for (const PointRow& row : points.rows) {
        types.push_back(row.type);
        inputValues.push_back(row.inputValue);
    }
    Outputs outputs;
    SolutionVector solution;
    const std::int32_t result = CallLibrary(
        [&] {
            return Generate(library, static_cast<std::int32_t>(types.size()), types.data(),
                            inputValues.data(), outputs, solution);
        },
        "points", [&](const std::string& cause) { return TypeOutOfRangeMessage(points, cause); });
    if (result != 0) {
        ThrowRefused(SizingResultMessage(result, library, points));
    }
    return {MatchRows(solution, points), outputs.deviationMax, outputs.deviationMin,
            outputs.scaleFactor, outputs.reducedScaleFactor};
}

Reduction ReduceSizes(const LibraryFunctions& library, const std::vector<double>& sizes) {
    Reduction reduction{sizes, {}};
    const std::int32_t result = CallLibrary(
        [&] { return library.getSmallestPossibleValves(&reduction.sizes, &reduction.smallest); },
        "sizes",
        [](const std::string& cause) {
            return fmt::format("no sizes to reduce: give one or more ({})", cause);
        });
    if (result != 0) {
        ThrowRefused(ReductionResultMessage(result, sizes));
    }
    return reduction;
}

}  // namespace korvan_size
