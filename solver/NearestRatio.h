// Nearest-ratio assignment: for eight points or more, every point independently takes the size of
// group zero whose ratio to the largest size lies nearest to the point's own ratio.
#ifndef KORVAN_SOLVER_NEAREST_RATIO_H
#define KORVAN_SOLVER_NEAREST_RATIO_H

#include <cmath>
#include <cstddef>

#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// Position in `candidates` of the candidate a point of ratio `ratio` takes: the first, in
// candidate order, whose ratio has the least absolute difference from `ratio`.
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
inline std::size_t NearestCandidate(const GroupZero& candidates, double ratio) {
    std::size_t best = 0;
    double bestDistance = std::fabs(ratio - candidates[0].ratio);
    for (std::size_t k = 1; k < candidates.size(); ++k) {
        const double distance = std::fabs(ratio - candidates[k].ratio);
        const bool nearer = distance < bestDistance;
        best = nearer ? k : best;
        bestDistance = nearer ? distance : bestDistance;
    }
    return best;
}

// Sets the point's valveSize to the size of its NearestCandidate in `groupZero` and returns that
// candidate's position, which is the size's series index. Reads only ratio and writes only
// valveSize: no point's size depends on another point's.
inline std::size_t AssignNearestRatio(SolutionEntry& point, const GroupZero& groupZero) {
    const std::size_t candidate = NearestCandidate(groupZero, point.ratio);
    point.valveSize = groupZero[candidate].size;
    return candidate;
}

}  // namespace korvan

#endif  // KORVAN_SOLVER_NEAREST_RATIO_H
