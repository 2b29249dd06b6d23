#include "solver/NearestRatio.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace korvan {
namespace {

// The candidates' ratios and sizes side by side, read once through the checked group.
struct Candidates {
    std::array<double, kSeriesLength> ratios;
    std::array<double, kSeriesLength> sizes;
    std::size_t count;
};

Candidates CopyCandidates(const ValveGroup& group) {
    Candidates candidates{};
    candidates.count = group.size();
    for (std::size_t k = 0; k < candidates.count; ++k) {
        candidates.ratios[k] = group[k].ratio;
        candidates.sizes[k] = group[k].size;
    }
    return candidates;
}

// The rule walks the adjacent pairs of candidates: the nearer of each pair (the first on a tie)
// becomes the best when it is strictly nearer than the best so far, and an exact hit ends the walk.
// After pair (p, p + 1) the best is the first candidate of least distance among 0 to p + 1: a
// second of the pair strictly nearer than the first is taken exactly when it is strictly nearer
// than every earlier one, and a first of the pair never beats the best, which was chosen over it.
// An exact hit has distance 0, which only an equal ratio has, so ending there changes nothing.
// The walk therefore keeps the first candidate of least distance, and this scan finds the same one
// from the same distances: a ratio that is not a number has no distance less than another, and one
// that is infinite is at the same infinite distance from every candidate, so both keep the first.
template <typename RatioAt>
std::size_t NearestIndex(const RatioAt& ratioAt, std::size_t count, double ratio) {
    std::size_t best = 0;
    double bestDistance = std::fabs(ratio - ratioAt(0));
    for (std::size_t k = 1; k < count; ++k) {
        const double distance = std::fabs(ratio - ratioAt(k));
        const bool nearer = distance < bestDistance;
        best = nearer ? k : best;
        bestDistance = nearer ? distance : bestDistance;
    }
    return best;
}

}  // namespace

void AssignNearestRatio(SolutionVector& solution, const ValveGroup& candidates) {
    if (solution.empty()) {
        return;
    }
    if (candidates.size() == 0 || candidates.size() > kSeriesLength) {
        // Read in place: no candidate raises std::out_of_range, and no group has more than seven.
        const auto ratioAt = [&](std::size_t k) { return candidates[k].ratio; };
        for (SolutionEntry& point : solution) {
            point.valveSize =
                candidates[NearestIndex(ratioAt, candidates.size(), point.ratio)].size;
        }
        return;
    }
    const Candidates copied = CopyCandidates(candidates);
    const auto ratioAt = [&](std::size_t k) { return copied.ratios[k]; };
    for (SolutionEntry& point : solution) {
        point.valveSize = copied.sizes[NearestIndex(ratioAt, copied.count, point.ratio)];
    }
}

}  // namespace korvan
