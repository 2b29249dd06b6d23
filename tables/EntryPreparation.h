// Entry preparation: every point gets its demand before the solver runs, either as a new entry
// made from the host's arrays or by recomputing the entries the caller already holds; and the
// checks that refuse, before anything changes, the points the solver could not size.
#ifndef KORVAN_TABLES_ENTRY_PREPARATION_H
#define KORVAN_TABLES_ENTRY_PREPARATION_H

#include <cstddef>
#include <cstdint>

#include "tables/SeparateRecord.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// Demand of a new point: ((factor × inputValue) × 0.001) × 4, in this order.
double NewEntryDemand(double factor, double inputValue);

// Demand of an existing point when recomputed: ((inputValue × factor) × 0.001) × 2. Half of a new
// point's demand for the same type and input value.
double RecomputedDemand(double inputValue, double factor);

// The demands the solver carries: from 1e-150 to 1e150, both included. Within that range every
// figure of a solve is finite: 100 / demand, the ratios and their windows, the sum behind the
// scale factor and every deviation. Zero, negative, infinite and not-a-number demands lie outside.
constexpr double kSmallestDemand = 1e-150;
constexpr double kLargestDemand = 1e150;
bool IsSolvableDemand(double demand);

// The factor of `type`, by position; std::out_of_range for a type of 4 or more.
double FactorOf(const TypeFactorTable& factors, std::uint32_t type);

// Position of the first of `count` types that is not a type of `factors`, or `count`.
std::size_t FirstUnknownType(const TypeFactorTable& factors, const std::uint32_t* types,
                             std::size_t count);

// Position of the first entry whose type, read as unsigned, is not a type of `factors`, or the
// number of entries.
std::size_t FirstUnknownType(const TypeFactorTable& factors, Span<const SolutionEntry> entries);

// The demands a generating call will solve, told before any entry is written: those the held
// entries carry, then those the new points will get. Every type must be known.
struct NewDemands {
    Span<const SolutionEntry> held;
    const TypeFactorTable* factors;
    const std::uint32_t* types;
    const double* inputValues;
    std::size_t count;

    template <typename Visit>
    void ForEach(const Visit& visit) const {
        for (const SolutionEntry& entry : held) {
            visit(entry.demand);
        }
        for (std::size_t i = 0; i < count; ++i) {
            visit(NewEntryDemand(FactorOf(*factors, types[i]), inputValues[i]));
        }
    }
};

// The demands a re-solving call will solve: every entry's, recomputed. Every type must be known.
struct RecomputedDemands {
    Span<const SolutionEntry> entries;
    const TypeFactorTable* factors;

    template <typename Visit>
    void ForEach(const Visit& visit) const {
        for (const SolutionEntry& entry : entries) {
            visit(RecomputedDemand(entry.inputValue,
                                   FactorOf(*factors, static_cast<std::uint32_t>(entry.type))));
        }
    }
};

// The new entry made for one point: type, input value and demand set, callerData `tag`, every
// other field zero.
SolutionEntry NewEntry(const TypeFactorTable& factors, std::uint32_t type, double inputValue,
                       std::uint64_t tag);

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

// Recomputes every entry's demand and clears ratio, ratioMax, ratioMin and valveSize; type,
// inputValue, deviation and callerData stay. Returns 0.
std::int32_t RecomputeDemands(EntryRange entries, const TypeFactorTable& factors);

// What RecomputeDemands does to one entry. Doing it again changes nothing more.
void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors);

}  // namespace korvan

#endif  // KORVAN_TABLES_ENTRY_PREPARATION_H
