// Nearest-ratio assignment: for eight points or more, every point independently takes the
// candidate size whose ratio to the largest size lies nearest to the point's own ratio.
#ifndef KORVAN_SOLVER_NEAREST_RATIO_H
#define KORVAN_SOLVER_NEAREST_RATIO_H

#include <array>
#include <cmath>
#include <cstddef>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Sets every point's valveSize to the size of the first candidate, in candidate order, whose ratio
// has the least absolute difference from the point's ratio; a tie goes to the earlier candidate.
// A ratio that is infinite or not a number takes candidate 0. Reads only ratio and writes only
// valveSize. std::out_of_range when there is a point and no candidate.
void AssignNearestRatio(SolutionVector& solution, const ValveGroup& candidates);

// The ratios and sizes of one to seven candidates, copied once for many lookups.
struct CandidateList {
    std::array<double, kSeriesLength> ratios;
    std::array<double, kSeriesLength> sizes;
    std::size_t count;
};

// Copies `group` into `list`; false, with nothing copied, for no candidate or more than seven.
bool CopyCandidates(const ValveGroup& group, CandidateList& list);

// Position in `list` of the candidate AssignNearestRatio gives a point of ratio `ratio`.
//
// The rule walks the adjacent pairs of candidates: the nearer of each pair (the first on a tie)
// becomes the best when it is strictly nearer than the best so far, and an exact hit ends the
// walk. After pair (p, p + 1) the best is the first candidate of least distance among 0 to p + 1:
// a second of the pair strictly nearer than the first is taken exactly when it is strictly nearer
// than every earlier one, and a first of the pair never beats the best, which was chosen over it.
// An exact hit has distance 0, which only an equal ratio has, so ending there changes nothing.
// The walk therefore keeps the first candidate of least distance, and this scan finds the same
// one from the same distances: a ratio that is not a number has no distance less than another,
// and one that is infinite is at the same infinite distance from every candidate, so both keep
// the first.
inline std::size_t NearestCandidate(const CandidateList& list, double ratio) {
    std::size_t best = 0;
    double bestDistance = std::fabs(ratio - list.ratios[0]);
    for (std::size_t k = 1; k < list.count; ++k) {
        const double distance = std::fabs(ratio - list.ratios[k]);
        const bool nearer = distance < bestDistance;
        best = nearer ? k : best;
        bestDistance = nearer ? distance : bestDistance;
    }
    return best;
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_NEAREST_RATIO_H
