#include "solver/NearestRatio.h"

#include <cmath>
#include <cstddef>

namespace korvan {
namespace {

// Walks the adjacent pairs of candidates: the nearer of each pair (the first on a tie) becomes the
// best when it is strictly nearer than the best so far, and an exact hit ends the walk.
const ValveRatioEntry& NearestCandidate(const ValveGroup& candidates, double ratio) {
    const ValveRatioEntry* best = &candidates[0];
    for (std::size_t p = 0; p + 1 < candidates.size(); ++p) {
        const ValveRatioEntry& first = candidates[p];
        const ValveRatioEntry& second = candidates[p + 1];
        const double firstDistance = std::fabs(ratio - first.ratio);
        const double secondDistance = std::fabs(ratio - second.ratio);
        const bool secondNearer = secondDistance < firstDistance;
        const ValveRatioEntry& taken = secondNearer ? second : first;
        const double takenDistance = secondNearer ? secondDistance : firstDistance;
        if (taken.ratio == ratio) {
            return taken;
        }
        if (takenDistance < std::fabs(ratio - best->ratio)) {
            best = &taken;
        }
    }
    return *best;
}

}  // namespace

void AssignNearestRatio(SolutionVector& solution, const ValveGroup& candidates) {
    for (SolutionEntry& point : solution) {
        point.valveSize = NearestCandidate(candidates, point.ratio).size;
    }
}

}  // namespace korvan
