// Entry preparation: every point gets its demand before the solver runs, either as a new entry
// made from the host's arrays or by recomputing the entries the caller already holds; and the
// checks that refuse, before anything changes, the points the solver could not size.
#ifndef KORVAN_TABLES_ENTRY_PREPARATION_H
#define KORVAN_TABLES_ENTRY_PREPARATION_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

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

// The demands a generating call will solve, told before any entry is written: those the held
// entries carry, then those the new points will get. ForEach hands each to `visit` and returns
// true, or returns false as soon as it meets a new point of unknown type, whose demand it cannot
// tell.
struct NewDemands {
    Span<const SolutionEntry> held;
    const TypeFactorTable* factors;
    const std::uint32_t* types;
    const double* inputValues;
    std::size_t count;

    template <typename Visit>
    [[nodiscard]] bool ForEach(const Visit& visit) const {
        for (const SolutionEntry& entry : held) {
            visit(entry.demand);
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!IsKnownType(*factors, types[i])) {
                return false;
            }
            visit(NewEntryDemand(FactorOf(*factors, types[i]), inputValues[i]));
        }
        return true;
    }
};

// The demands a re-solving call will solve: every entry's, recomputed; ForEach as for NewDemands.
struct RecomputedDemands {
    Span<const SolutionEntry> entries;
    const TypeFactorTable* factors;

    template <typename Visit>
    [[nodiscard]] bool ForEach(const Visit& visit) const {
        return std::all_of(entries.begin(), entries.end(), [&](const SolutionEntry& entry) {
            const auto type = static_cast<std::uint32_t>(entry.type);
            if (!IsKnownType(*factors, type)) {
                return false;
            }
            visit(RecomputedDemand(entry.inputValue, FactorOf(*factors, type)));
            return true;
        });
    }
};

// The new entry made for one point: type, input value and demand set, callerData `tag`, every
// other field zero.
inline SolutionEntry NewEntry(const TypeFactorTable& factors, std::uint32_t type, double inputValue,
                              std::uint64_t tag) {
    SolutionEntry entry{};
    entry.type = static_cast<std::int32_t>(type);
    entry.inputValue = inputValue;
    entry.demand = NewEntryDemand(FactorOf(factors, type), inputValue);
    entry.callerData = tag;
    return entry;
}

// Makes one new entry per point, each as a separately allocated record, and hands it to `store`
// in point order; `tags` may be null (every tag 0). Returns 0, or 10 when an entry cannot be
// allocated, with the entries stored before it left in place.
template <typename Store>
std::int32_t MakeNewEntries(const TypeFactorTable& factors, std::size_t count,
                            const std::uint32_t* types, const double* inputValues,
                            const std::uint64_t* tags, Store&& store) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t tag = tags == nullptr ? 0 : tags[i];
        const std::int32_t result =
            StoreSeparateRecord(NewEntry(factors, types[i], inputValues[i], tag), store);
        if (result != kSuccess) {
            return result;
        }
    }
    return kSuccess;
}

// Recomputes the entry's demand from its type and input value and clears ratio, ratioMax, ratioMin
// and valveSize; type, inputValue, deviation and callerData stay. Doing it again changes nothing
// more.
void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors);

}  // namespace korvan

#endif  // KORVAN_TABLES_ENTRY_PREPARATION_H
