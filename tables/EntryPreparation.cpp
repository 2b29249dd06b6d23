#include "tables/EntryPreparation.h"

#include <limits>
#include <memory>
#include <new>

#include "interface/ResultCodes.h"
#include "tables/CheckedVector.h"

namespace korvan {

double NewEntryDemand(double factor, double inputValue) {
    return ((factor * inputValue) * 0.001) * 4.0;
}

double RecomputedDemand(double inputValue, double factor) {
    return ((inputValue * factor) * 0.001) * 2.0;
}

bool IsSolvableDemand(double demand) {
    return demand > 0.0 && demand <= std::numeric_limits<double>::max();
}

double FactorOf(const TypeFactorTable& factors, std::uint32_t type) {
    return At(factors, type).factor;
}

std::int32_t CheckNewPoints(const SolutionVector& solution, const TypeFactorTable& factors,
                            std::uint32_t count, const std::uint32_t* types,
                            const double* inputValues) {
    for (std::uint32_t i = 0; i < count; ++i) {
        FactorOf(factors, types[i]);
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        if (!IsSolvableDemand(NewEntryDemand(FactorOf(factors, types[i]), inputValues[i]))) {
            return kUnsolvableInput;
        }
    }
    for (const SolutionEntry& entry : solution) {
        if (!IsSolvableDemand(entry.demand)) {
            return kUnsolvableInput;
        }
    }
    return kSuccess;
}

std::int32_t CheckRecomputedPoints(const SolutionVector& solution, const TypeFactorTable& factors) {
    // One pass: a bad type anywhere still raises before 13 is returned for a bad demand anywhere.
    bool solvable = true;
    for (const SolutionEntry& entry : solution) {
        const double factor = FactorOf(factors, static_cast<std::uint32_t>(entry.type));
        solvable = solvable && IsSolvableDemand(RecomputedDemand(entry.inputValue, factor));
    }
    return solvable ? kSuccess : kUnsolvableInput;
}

std::int32_t AppendEntries(SolutionVector& solution, const TypeFactorTable& factors,
                           std::uint32_t count, const std::uint32_t* types,
                           const double* inputValues) {
    ReserveAdditional(solution, count);
    for (std::uint32_t i = 0; i < count; ++i) {
        // Made on its own and zeroed, so that running out of memory is reported as 10 and every
        // field the host does not set, callerData included, starts at zero.
        const std::unique_ptr<SolutionEntry> entry(new (std::nothrow) SolutionEntry());
        if (!entry) {
            return kOutOfMemory;
        }
        entry->type = static_cast<std::int32_t>(types[i]);
        entry->inputValue = inputValues[i];
        entry->demand = NewEntryDemand(FactorOf(factors, types[i]), inputValues[i]);
        Append(solution, *entry);
    }
    return kSuccess;
}

std::int32_t RecomputeDemands(SolutionVector& solution, const TypeFactorTable& factors) {
    for (SolutionEntry& entry : solution) {
        RecomputeDemand(entry, factors);
    }
    return kSuccess;
}

void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors) {
    const double factor = FactorOf(factors, static_cast<std::uint32_t>(entry.type));
    entry.demand = RecomputedDemand(entry.inputValue, factor);
    entry.ratio = 0.0;
    entry.ratioMax = 0.0;
    entry.ratioMin = 0.0;
    entry.valveSize = 0.0;
}

}  // namespace korvan
