#include "solver/NearestRatio.h"

#include <cmath>
#include <cstddef>

namespace korvan {

bool CopyCandidates(const ValveGroup& group, CandidateList& list) {
    if (group.size() == 0 || group.size() > kSeriesLength) {
        return false;
    }
    list.count = group.size();
    for (std::size_t k = 0; k < list.count; ++k) {
        list.ratios[k] = group[k].ratio;
        list.sizes[k] = group[k].size;
    }
    return true;
}

void AssignNearestRatio(SolutionVector& solution, const ValveGroup& candidates) {
    if (solution.empty()) {
        return;
    }
    CandidateList list{};
    if (CopyCandidates(candidates, list)) {
        for (SolutionEntry& point : solution) {
            point.valveSize = list.sizes[NearestCandidate(list, point.ratio)];
        }
        return;
    }
    // No group has more than seven candidates; a list of none raises std::out_of_range here.
    for (SolutionEntry& point : solution) {
        std::size_t best = 0;
        double bestDistance = std::fabs(point.ratio - candidates[0].ratio);
        for (std::size_t k = 1; k < candidates.size(); ++k) {
            const double distance = std::fabs(point.ratio - candidates[k].ratio);
            if (distance < bestDistance) {
                best = k;
                bestDistance = distance;
            }
        }
        point.valveSize = candidates[best].size;
    }
}

}  // namespace korvan
