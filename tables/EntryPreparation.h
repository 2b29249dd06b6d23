// Entry preparation: every point gets its demand before the solver runs, either as a new entry
// made from the host's arrays or by recomputing the entries the host's vector already holds.
#ifndef KORVAN_TABLES_ENTRY_PREPARATION_H
#define KORVAN_TABLES_ENTRY_PREPARATION_H

#include <cstdint>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Demand of a new point: ((factor × inputValue) × 0.001) × 4, in this order.
double NewEntryDemand(double factor, double inputValue);

// Demand of an existing point when recomputed: ((inputValue × factor) × 0.001) × 2. Half of a new
// point's demand for the same type and input value.
double RecomputedDemand(double inputValue, double factor);

// Whether the solver can work with `demand`: positive and finite.
bool IsSolvableDemand(double demand);

// The factor of `type`, by position; std::out_of_range for a type of 4 or more.
double FactorOf(const TypeFactorTable& factors, std::uint32_t type);

// Refuses what AppendEntries and the solver cannot handle, before anything changes: throws
// std::out_of_range for a type of 4 or more (every type is checked before any demand), returns 13
// when a new demand or a demand `solution` already holds is not positive and finite, else 0.
std::int32_t CheckNewPoints(const SolutionVector& solution, const TypeFactorTable& factors,
                            std::uint32_t count, const std::uint32_t* types,
                            const double* inputValues);

// The same for RecomputeDemands: throws std::out_of_range for an entry whose type, read as
// unsigned, is 4 or more; returns 13 when a recomputed demand is not positive and finite, else 0.
std::int32_t CheckRecomputedPoints(const SolutionVector& solution, const TypeFactorTable& factors);

// Appends one new entry per array element to `solution`, after what it holds: type, input value
// and demand set, every other field zero. Returns 0, or 10 when an entry cannot be allocated, with
// the entries appended before it left in place. Room for all `count` entries is made first, so
// growth fails (std::bad_alloc, std::length_error) before anything is appended.
std::int32_t AppendEntries(SolutionVector& solution, const TypeFactorTable& factors,
                           std::uint32_t count, const std::uint32_t* types,
                           const double* inputValues);

// Recomputes every entry's demand and clears ratio, ratioMax, ratioMin and valveSize; type,
// inputValue, deviation and callerData stay. Returns 0.
std::int32_t RecomputeDemands(SolutionVector& solution, const TypeFactorTable& factors);

// What RecomputeDemands does to one entry. Doing it again changes nothing more.
void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors);

}  // namespace korvan

#endif  // KORVAN_TABLES_ENTRY_PREPARATION_H
