// Entry preparation: every point gets its demand before the solver runs, either as a new entry
// made from the host's arrays or by recomputing the entries the caller already holds; and the
// checks that refuse, before anything changes, the points the solver could not size.
#ifndef KORVAN_TABLES_ENTRY_PREPARATION_H
#define KORVAN_TABLES_ENTRY_PREPARATION_H

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "tables/ResultCodes.h"
#include "tables/SeparateRecord.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// Demand of a new point: ((factor × inputValue) × 0.001) × 4, in this order.
inline double NewEntryDemand(double factor, double inputValue) {
    return ((factor * inputValue) * 0.001) * 4.0;
}

// Demand of an existing point when recomputed: ((inputValue × factor) × 0.001) × 2. Half of a new
// point's demand for the same type and input value.
inline double RecomputedDemand(double inputValue, double factor) {
    return ((inputValue * factor) * 0.001) * 2.0;
}

// The demands the solver carries: from 1e-150 to 1e150, both included. Within that range every
// figure of a solve is finite: 100 / demand, the ratios and their windows, the sum behind the
// scale factor and every deviation. Zero, negative, infinite and not-a-number demands lie outside.
constexpr double kSmallestDemand = 1e-150;
constexpr double kLargestDemand = 1e150;
inline bool IsSolvableDemand(double demand) {
    return demand >= kSmallestDemand && demand <= kLargestDemand;
}

// The factor of `type`, by position; std::out_of_range for a type of 4 or more.
inline double FactorOf(const TypeFactorTable& factors, std::uint32_t type) {
    return At(factors, type).factor;
}

// Whether `type` is one of the types `factors` holds. An entry's int32 type is read as unsigned.
inline bool IsKnownType(const TypeFactorTable& factors, std::uint32_t type) {
    return type < factors.size();
}

// The demand of a new point of `type` and `inputValue`; std::out_of_range for an unknown type.
inline double NewPointDemand(const TypeFactorTable& factors, std::uint32_t type,
                             double inputValue) {
    return NewEntryDemand(FactorOf(factors, type), inputValue);
}

// The demand a recomputation gives `entry`; std::out_of_range for an unknown type.
inline double RecomputedDemandOf(const SolutionEntry& entry, const TypeFactorTable& factors) {
    return RecomputedDemand(entry.inputValue,
                            FactorOf(factors, static_cast<std::uint32_t>(entry.type)));
}

// Why an input value gives a demand the solver cannot carry: it is zero or less, it is not a
// number, or it is a number too small, too large or infinite. The rule codes are the C
// interface's.
inline std::int32_t RuleForInputValue(double inputValue) {
    if (std::isnan(inputValue)) {
        return KORVAN_RULE_INPUT_NOT_A_NUMBER;
    }
    return inputValue > 0.0 ? KORVAN_RULE_DEMAND_OUT_OF_RANGE : KORVAN_RULE_INPUT_NOT_POSITIVE;
}

// The demands a generating call will solve, told before any entry is written: those the held
// entries carry (points 0 to held - 1), then those the new points will get (points held + i).
// ForEach hands each point's number and demand to `visit` and returns kNoPoint, or stops at the
// first new point of unknown type, whose demand it cannot tell, and returns its number.
struct NewDemands {
    Span<const SolutionEntry> held;
    const TypeFactorTable* factors;
    const std::uint32_t* types;
    const double* inputValues;
    std::size_t count;

    template <typename Visit>
    [[nodiscard]] std::size_t ForEach(const Visit& visit) const {
        std::size_t point = 0;
        for (const SolutionEntry& entry : held) {
            visit(point++, entry.demand);
        }
        for (std::size_t i = 0; i < count; ++i, ++point) {
            if (!IsKnownType(*factors, types[i])) {
                return point;
            }
            visit(point, NewPointDemand(*factors, types[i], inputValues[i]));
        }
        return kNoPoint;
    }

    // The demand of point `point`, or NaN when its type is unknown.
    [[nodiscard]] double DemandOfPoint(std::size_t point) const {
        if (point < held.size()) {
            return held[point].demand;
        }
        const std::size_t i = point - held.size();
        return IsKnownType(*factors, types[i]) ? NewPointDemand(*factors, types[i], inputValues[i])
                                               : std::numeric_limits<double>::quiet_NaN();
    }

    // The rule point `point` breaks when its demand is refused: a held entry's demand is taken as
    // it stands, a new point's follows from its input value.
    [[nodiscard]] std::int32_t RuleOfRefusedDemand(std::size_t point) const {
        if (point < held.size()) {
            return KORVAN_RULE_DEMAND_OUT_OF_RANGE;
        }
        return RuleForInputValue(inputValues[point - held.size()]);
    }
};

// The demands a re-solving call will solve: every entry's, recomputed; ForEach and
// DemandOfPoint and RuleOfRefusedDemand as for NewDemands.
struct RecomputedDemands {
    Span<const SolutionEntry> entries;
    const TypeFactorTable* factors;

    template <typename Visit>
    [[nodiscard]] std::size_t ForEach(const Visit& visit) const {
        std::size_t point = 0;
        for (const SolutionEntry& entry : entries) {
            if (!IsKnownType(*factors, static_cast<std::uint32_t>(entry.type))) {
                return point;
            }
            visit(point++, RecomputedDemandOf(entry, *factors));
        }
        return kNoPoint;
    }

    [[nodiscard]] double DemandOfPoint(std::size_t point) const {
        const SolutionEntry& entry = entries[point];
        return IsKnownType(*factors, static_cast<std::uint32_t>(entry.type))
                   ? RecomputedDemandOf(entry, *factors)
                   : std::numeric_limits<double>::quiet_NaN();
    }

    [[nodiscard]] std::int32_t RuleOfRefusedDemand(std::size_t point) const {
        return RuleForInputValue(entries[point].inputValue);
    }
};

// The new entry made for one point: type, input value and demand set, callerData `tag`, every
// other field zero.
inline SolutionEntry NewEntry(const TypeFactorTable& factors, std::uint32_t type, double inputValue,
                              std::uint64_t tag) {
    SolutionEntry entry{};
    entry.type = static_cast<std::int32_t>(type);
    entry.inputValue = inputValue;
    entry.demand = NewPointDemand(factors, type, inputValue);
    entry.callerData = tag;
    return entry;
}

// The new entry for point `i` of the host's arrays; `tags` may be null (every tag 0).
inline SolutionEntry NewEntryAt(const TypeFactorTable& factors, const std::uint32_t* types,
                                const double* inputValues, const std::uint64_t* tags,
                                std::size_t i) {
    return NewEntry(factors, types[i], inputValues[i], tags == nullptr ? 0 : tags[i]);
}

// Makes one new entry per point, each as a separately allocated record, and hands it to `store`
// in point order. Returns 0, or 10 when an entry cannot be allocated, with the entries stored
// before it left in place.
template <typename Store>
std::int32_t MakeNewEntries(const TypeFactorTable& factors, std::size_t count,
                            const std::uint32_t* types, const double* inputValues,
                            const std::uint64_t* tags, Store&& store) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::int32_t result =
            StoreSeparateRecord(NewEntryAt(factors, types, inputValues, tags, i), store);
        if (result != kSuccess) {
            return result;
        }
    }
    return kSuccess;
}

// Recomputes the entry's demand from its type and input value and clears ratio, ratioMax, ratioMin
// and valveSize; type, inputValue, deviation and callerData stay. Returns the demand it stored.
// Doing it again changes nothing more.
double RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors);

}  // namespace korvan

#endif  // KORVAN_TABLES_ENTRY_PREPARATION_H
