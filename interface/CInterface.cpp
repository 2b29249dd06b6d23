// The plain-C boundary: the same checks and steps as the C++ one, on the caller's arrays in place,
// with every outcome a result code. Nothing is written to the caller's counts or totals unless the
// call succeeds, and no exception leaves it.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>

#include "interface/CallSteps.h"
#include "interface/KorvanCalcValueProviderC.h"
#include "solver/SmallestPossibleValves.h"

namespace {

// Runs a call and turns what it raises into a code: running out of memory, or a vector that would
// outgrow its maximum, is 10. The checks before the steps leave the steps nothing else to raise;
// should a bound still be violated, the input was not one the solver can carry.
template <typename Call>
std::int32_t Guarded(const Call& call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return korvan::kOutOfMemory;
    } catch (const std::length_error&) {
        return korvan::kOutOfMemory;
    } catch (...) {
        return korvan::kUnsolvableInput;
    }
}

// The memory of `count` objects from `first`, as addresses: where it begins and where it ends. A
// count too large for the address space ends at the top of it.
struct Extent {
    std::uintptr_t begin;
    std::uintptr_t end;
};

template <typename T>
Extent ExtentOf(const T* first, std::size_t count) {
    const auto begin = reinterpret_cast<std::uintptr_t>(first);
    const std::uintptr_t room = std::numeric_limits<std::uintptr_t>::max() - begin;
    const std::uintptr_t bytes =
        count > room / sizeof(T) ? room : static_cast<std::uintptr_t>(count * sizeof(T));
    return Extent{begin, begin + bytes};
}

// Whether the `length` objects from `first` share memory with the `otherLength` from `other`. A
// null or empty array overlaps nothing.
template <typename T, typename U>
bool Overlap(const T* first, std::size_t length, const U* other, std::size_t otherLength) {
    if (first == nullptr || other == nullptr || length == 0 || otherLength == 0) {
        return false;
    }
    const Extent one = ExtentOf(first, length);
    const Extent two = ExtentOf(other, otherLength);
    return one.begin < two.end && two.begin < one.end;
}

// Whether any array a generating call reads, or an output it writes, lies in the entries' room,
// which the call rewrites.
bool AnyInEntriesRoom(const KorvanSolutionEntry* entries, std::size_t capacity, std::size_t count,
                      const uint32_t* types, const double* inputValues, const uint64_t* callerData,
                      const size_t* entryCount, const KorvanSolutionTotals* totals) {
    return Overlap(entries, capacity, types, count) ||
           Overlap(entries, capacity, inputValues, count) ||
           Overlap(entries, capacity, callerData, count) ||
           Overlap(entries, capacity, entryCount, 1) || Overlap(entries, capacity, totals, 1);
}

// The caller's array as a generating call's storage: the held entries, then the room after them
// for the new points.
struct CallerArray {
    korvan::SolutionEntry* entries;
    std::size_t held;
    korvan::EntryRange room;
    std::size_t made;

    [[nodiscard]] korvan::Span<const korvan::SolutionEntry> Held() const { return {entries, held}; }
    void MakeRoom(std::size_t /*count*/) const {}
    void Store(const korvan::SolutionEntry& entry) { room[made++] = entry; }
    [[nodiscard]] korvan::EntryRange Entries() const { return {entries, held + made}; }
};

}  // namespace

extern "C" {

KORVAN_API int32_t KorvanGenerateSolution(int32_t count, const uint32_t* types,
                                          const double* inputValues, const uint64_t* callerData,
                                          KorvanSolutionEntry* entries, size_t capacity,
                                          size_t* entryCount, KorvanSolutionTotals* totals) {
    if (entryCount == nullptr || totals == nullptr || count < 0 ||
        (count > 0 && (types == nullptr || inputValues == nullptr))) {
        return korvan::kInvalidArgument;
    }
    const std::size_t held = *entryCount;
    const auto points = static_cast<std::size_t>(count);
    if (held > capacity || points > capacity - held) {
        return korvan::kInvalidArgument;
    }
    if (held + points == 0) {
        return korvan::kNothingToSolve;
    }
    if (entries == nullptr || AnyInEntriesRoom(entries, capacity, points, types, inputValues,
                                               callerData, entryCount, totals)) {
        return korvan::kInvalidArgument;
    }
    return Guarded([&] {
        CallerArray storage{entries, held, {entries + held, points}, 0};
        korvan::SolutionTotals solved{};
        const std::int32_t result = korvan::GenerateAndSolve(
            storage, korvan::NewPoints{points, types, inputValues, callerData}, solved);
        if (result == korvan::kSuccess) {
            *entryCount = held + points;
            *totals = solved;
        }
        return result;
    });
}

KORVAN_API int32_t KorvanFillSolution(KorvanSolutionEntry* entries, size_t entryCount,
                                      KorvanSolutionTotals* totals) {
    if (totals == nullptr) {
        return korvan::kInvalidArgument;
    }
    if (entryCount == 0) {
        return korvan::kNothingToSolve;
    }
    if (entries == nullptr || Overlap(entries, entryCount, totals, 1)) {
        return korvan::kInvalidArgument;
    }
    return Guarded([&] {
        korvan::SolutionTotals solved{};
        const std::int32_t result =
            korvan::RecomputeAndSolve(korvan::EntryRange{entries, entryCount}, solved);
        if (result == korvan::kSuccess) {
            *totals = solved;
        }
        return result;
    });
}

KORVAN_API int32_t KorvanGetSmallestPossibleValves(double* sizes, size_t count, double* smallest) {
    if (count == 0) {
        return korvan::kNothingToSolve;
    }
    if (sizes == nullptr || smallest == nullptr ||
        (sizes != smallest && Overlap(sizes, count, smallest, count))) {
        return korvan::kInvalidArgument;
    }
    return Guarded([&] {
        return korvan::GetSmallestPossibleValves(korvan::Span<double>{sizes, count}, smallest);
    });
}

KORVAN_API const char* KorvanDescribeResult(int32_t result) {
    switch (result) {
        case KORVAN_SUCCESS:
            return "success";
        case KORVAN_OUT_OF_MEMORY:
            return "memory ran out";
        case KORVAN_NOTHING_TO_SOLVE:
            return "there is nothing to solve: no point, or no size";
        case KORVAN_INVALID_TYPE:
            return "a point's type is not one of 0 to 3";
        case KORVAN_UNSOLVABLE_INPUT:
            return "the input cannot be solved: a demand outside 1e-150 to 1e150, demands too far "
                   "apart for the nearest sizes to follow them, or sizes whose ratios no group of "
                   "the valve series holds";
        case KORVAN_INVALID_ARGUMENT:
            return "an argument is invalid: a null pointer, a negative count, a capacity too small "
                   "for the entries, or a size of zero or less";
        default:
            return "unknown result code";
    }
}

KORVAN_API int32_t KorvanDiagnose(const KorvanCallPoints* points, KorvanDiagnosis* diagnosis) {
    if (points == nullptr || diagnosis == nullptr) {
        return korvan::kInvalidArgument;
    }
    const bool entriesMissing = points->entryCount > 0 && points->entries == nullptr;
    const bool valuesMissing = points->count > 0 && points->values == nullptr;
    const korvan::Span<const korvan::SolutionEntry> entries{points->entries, points->entryCount};
    korvan::Diagnosis verdict{};
    switch (points->call) {
        case KORVAN_CALL_GENERATE:
            if (entriesMissing || valuesMissing ||
                (points->count > 0 && points->types == nullptr)) {
                return korvan::kInvalidArgument;
            }
            verdict = korvan::DiagnoseGenerate(
                entries, korvan::NewPoints{points->count, points->types, points->values, nullptr});
            break;
        case KORVAN_CALL_FILL:
            if (entriesMissing) {
                return korvan::kInvalidArgument;
            }
            verdict = korvan::DiagnoseFill(entries);
            break;
        case KORVAN_CALL_SMALLEST:
            if (valuesMissing) {
                return korvan::kInvalidArgument;
            }
            verdict = korvan::DiagnoseSizes({points->values, points->count});
            break;
        default:
            return korvan::kInvalidArgument;
    }
    *diagnosis = verdict;
    return verdict.result;
}

KORVAN_API const char* KorvanDescribeRule(int32_t rule) {
    switch (rule) {
        case KORVAN_RULE_NONE:
            return "no rule is broken";
        case KORVAN_RULE_NOTHING_TO_SOLVE:
            return "there is nothing to solve: no point, or no size";
        case KORVAN_RULE_TYPE_UNKNOWN:
            return "type must be one of 0 to 3";
        case KORVAN_RULE_INPUT_NOT_POSITIVE:
            return "input value must be positive";
        case KORVAN_RULE_INPUT_NOT_A_NUMBER:
            return "input value must be a number";
        case KORVAN_RULE_DEMAND_OUT_OF_RANGE:
            return "demand must lie within 1e-150 to 1e150";
        case KORVAN_RULE_DEMANDS_TOO_FAR_APART:
            return "demand too far below the largest: its nearest size would be larger than "
                   "that of a point of larger demand";
        case KORVAN_RULE_SIZE_NOT_POSITIVE:
            return "size must be positive";
        case KORVAN_RULE_RATIOS_IN_NO_GROUP:
            return "no group of the valve series holds every ratio of the largest size to the "
                   "others";
        default:
            return "unknown rule";
    }
}

KORVAN_API uint32_t KorvanGetLibraryVersion(void) {
    return KORVAN_VERSION_NUMBER;
}

}  // extern "C"
