// The tolerance search: for up to seven points, the lowest tolerance, widened by one percent a
// pass, at which one group of the ratio table holds a ratio inside every point's window, and the
// sizes that group gives.
#ifndef KORVAN_SOLVER_TOLERANCE_SEARCH_H
#define KORVAN_SOLVER_TOLERANCE_SEARCH_H

#include <cstdint>

#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// MatchWithinTolerance's answer when no group fits at the tolerance it was given; never leaves
// the library.
constexpr std::int32_t kNoGroupFits = 1168;

// The window of a point of ratio `ratio` at one tolerance, in this order of operations:
//   ratioMax = (plusPercent / 100 + 1) × ratio,  ratioMin = (minusPercent / 100 + 1) × ratio.
struct Window {
    double ratioMin;
    double ratioMax;
};
inline Window WindowAt(double ratio, double plusPercent, double minusPercent) {
    return Window{(minusPercent / 100.0 + 1.0) * ratio, (plusPercent / 100.0 + 1.0) * ratio};
}

// Whether a table ratio lies in the closed window [ratioMin, ratioMax]; false when any of the
// three is not a number.
inline bool FitsWindow(double tableRatio, double ratioMin, double ratioMax) {
    return tableRatio >= ratioMin && tableRatio <= ratioMax;
}

// One pass at one tolerance. Sets every point's ratioMin and ratioMax to its WindowAt, then tests
// the groups in ascending order, each only while it has at least as many entries as there are
// points (group 0 always), the points from entry 0 on. Returns 0 with `group` set to the first
// group in which every point's window holds some entry, or 1168 with `group` unchanged.
// std::out_of_range for no entries (entry 0 is read).
std::int32_t MatchWithinTolerance(EntryRange entries, const ValveRatioTable& table,
                                  double plusPercent, double minusPercent, std::int32_t& group);

// Gives every point the size of the first entry of `group`, in table order, that lies in its
// window: the smallest fitting ratio, that is the largest fitting size. A point whose window holds
// no entry keeps its size.
void AssignFromGroup(EntryRange entries, const ValveRatioTable& table, std::int32_t group);

// The widening loop: pass r runs MatchWithinTolerance with plusPercent r and minusPercent -r
// until a group fits, then AssignFromGroup. Ends by pass 101 when every ratio is at least 1 or
// infinite. The passes before the first that can succeed are not run: each would return 1168
// and leave windows that the next pass overwrites.
void SearchWithinTolerance(EntryRange entries, const ValveRatioTable& table);

}  // namespace korvan

#endif  // KORVAN_SOLVER_TOLERANCE_SEARCH_H
