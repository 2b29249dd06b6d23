// Reduction to the smallest valves: the same set of sizes expressed with the smallest sizes of the
// series that keep exactly the ratio of the largest size to every other size.
#ifndef KORVAN_SOLVER_SMALLEST_POSSIBLE_VALVES_H
#define KORVAN_SOLVER_SMALLEST_POSSIBLE_VALVES_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "tables/CheckedAccess.h"
#include "tables/ResultCodes.h"
#include "tables/ValveTables.h"

namespace korvan {

// Sorts `values` largest first, with values that are not a number after all others. Any two
// orders that this allows are equal bit for bit but for the signs of zeros and NaN payloads.
void SortLargestFirst(Span<double> values);

// Sorts `sizes` largest first (not-a-number last), then finds the group of a ratio table built for
// the call with the highest base index that holds, exactly, the ratio of the largest size to every
// other one, and appends to `smallest`, position by position, the size standing at that ratio in
// that group: equal sizes get equal values, and the values appended do not increase.
// Returns 0; 160 when a size is zero or less; 10 when a ratio slot or table entry cannot be
// allocated; 13 when no group holds every ratio. Appends nothing unless it returns 0.
// std::out_of_range for an empty `sizes`; std::bad_alloc or std::length_error when `smallest`
// cannot grow, before anything is appended.
std::int32_t GetSmallestPossibleValves(std::vector<double>& sizes, std::vector<double>& smallest);

// The same reduction into the caller's array: on 0 writes smallest[i] for every i below
// sizes.size(), and nothing otherwise. std::out_of_range for no size.
std::int32_t GetSmallestPossibleValves(Span<double> sizes, double* smallest);

// The reduction of `count` (1 to 7) distinct sizes, largest first, against `table`, a table built
// by BuildValveRatioTable: reduced[i] receives the size standing for sizes[i]. The same ratio
// slots and scan as GetSmallestPossibleValves. Returns 0; 160 when a size is zero or less; 10
// when a ratio slot cannot be allocated; 13 when no group holds every ratio. std::out_of_range
// for no size or more than seven.
std::int32_t ReduceDistinctSizes(const double* sizes, std::size_t count,
                                 const ValveRatioTable& table, double* reduced);

// The verdict on `sizes`, in the order given, by the rules GetSmallestPossibleValves applies: 11
// for no size; 160 naming the first size of zero or less; 13, naming no size, when no group holds
// every ratio; 10, with no rule, when the table cannot be built. Reads `sizes` only.
Diagnosis DiagnoseSizes(Span<const double> sizes);

}  // namespace korvan

#endif  // KORVAN_SOLVER_SMALLEST_POSSIBLE_VALVES_H
