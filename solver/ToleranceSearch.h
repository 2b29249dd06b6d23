// The tolerance search: for up to seven points, the lowest tolerance, widened by one percent a
// pass, at which one group of the ratio table holds a ratio inside every point's window, and the
// sizes that group gives.
#ifndef KORVAN_SOLVER_TOLERANCE_SEARCH_H
#define KORVAN_SOLVER_TOLERANCE_SEARCH_H

#include <cstdint>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Whether `entry` lies inside `point`'s window [ratioMin, ratioMax]; false when either bound or
// the entry's ratio is not a number.
bool FitsWindow(const ValveRatioEntry& entry, const SolutionEntry& point);

// One pass at one tolerance. Sets every point's window to
//   ratioMax = (plusPercent / 100 + 1) × ratio,  ratioMin = (minusPercent / 100 + 1) × ratio
// and tests the groups in ascending order; a group is tested only while it has at least as many
// entries as there are points (group 0 always). Returns 0 with `group` set to the first group in
// which every point's window holds some entry, or 1168 with `group` unchanged. Expects at most
// seven points; std::out_of_range for an empty `solution`.
std::int32_t MatchWithinTolerance(SolutionVector& solution, const ValveRatioTable& table,
                                  double plusPercent, double minusPercent, std::int32_t& group);

// Gives every point the size of the first entry of `group`, in table order, that lies in its
// window: the smallest fitting ratio, that is the largest fitting size. A point whose window holds
// no entry keeps its size.
void AssignFromGroup(SolutionVector& solution, const ValveRatioTable& table, std::int32_t group);

// The widening loop: pass r runs MatchWithinTolerance with plusPercent r and minusPercent -r until
// a group fits, then AssignFromGroup. Ends by pass 101 when every demand is positive and finite.
void ChooseSizesWithinTolerance(SolutionVector& solution, const ValveRatioTable& table);

}  // namespace korvan

#endif  // KORVAN_SOLVER_TOLERANCE_SEARCH_H
