// Nearest-ratio assignment: for eight points or more, every point independently takes the
// candidate size whose ratio to the largest size lies nearest to the point's own ratio.
#ifndef KORVAN_SOLVER_NEAREST_RATIO_H
#define KORVAN_SOLVER_NEAREST_RATIO_H

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Sets every point's valveSize to the size of the first candidate, in candidate order, whose ratio
// has the least absolute difference from the point's ratio; a tie goes to the earlier candidate.
// A ratio that is infinite or not a number takes candidate 0. Reads only ratio and writes only
// valveSize. std::out_of_range when there is a point and no candidate.
void AssignNearestRatio(SolutionVector& solution, const ValveGroup& candidates);

}  // namespace korvan

#endif  // KORVAN_SOLVER_NEAREST_RATIO_H
