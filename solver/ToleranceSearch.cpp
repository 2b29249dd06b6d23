#include "solver/ToleranceSearch.h"

#include <cstddef>

#include "interface/ResultCodes.h"
#include "tables/CheckedVector.h"

namespace korvan {
namespace {

void SetWindows(SolutionVector& solution, double plusPercent, double minusPercent) {
    for (SolutionEntry& point : solution) {
        point.ratioMax = (plusPercent / 100.0 + 1.0) * point.ratio;
        point.ratioMin = (minusPercent / 100.0 + 1.0) * point.ratio;
    }
}

bool GroupHoldsWindow(const ValveGroup& group, const SolutionEntry& point) {
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (FitsWindow(group[i], point)) {
            return true;
        }
    }
    return false;
}

// Points are tested from entry 0 on, and the first that fails ends the test. Entry 0 is read
// even when the vector is empty, so an empty solution ends here with std::out_of_range.
bool GroupFitsEveryPoint(const SolutionVector& solution, const ValveGroup& group) {
    std::size_t index = 0;
    do {
        if (!GroupHoldsWindow(group, At(solution, index))) {
            return false;
        }
    } while (++index < solution.size());
    return true;
}

}  // namespace

bool FitsWindow(const ValveRatioEntry& entry, const SolutionEntry& point) {
    return entry.ratio >= point.ratioMin && entry.ratio <= point.ratioMax;
}

std::int32_t MatchWithinTolerance(SolutionVector& solution, const ValveRatioTable& table,
                                  double plusPercent, double minusPercent, std::int32_t& group) {
    SetWindows(solution, plusPercent, minusPercent);
    for (std::size_t candidate = 0; candidate < kGroupCount; ++candidate) {
        const ValveGroup entries = GroupOf(table, candidate);
        if (candidate > 0 && solution.size() > entries.size()) {
            return kNoGroupFits;
        }
        if (GroupFitsEveryPoint(solution, entries)) {
            group = static_cast<std::int32_t>(candidate);
            return kSuccess;
        }
    }
    return kNoGroupFits;
}

void AssignFromGroup(SolutionVector& solution, const ValveRatioTable& table, std::int32_t group) {
    const ValveGroup entries = GroupOf(table, static_cast<std::size_t>(group));
    for (SolutionEntry& point : solution) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (FitsWindow(entries[i], point)) {
                point.valveSize = entries[i].size;
                break;
            }
        }
    }
}

void ChooseSizesWithinTolerance(SolutionVector& solution, const ValveRatioTable& table) {
    double plusPercent = 0.0;
    double minusPercent = 0.0;
    std::int32_t group = 0;
    while (MatchWithinTolerance(solution, table, plusPercent, minusPercent, group) ==
           kNoGroupFits) {
        plusPercent += 1.0;
        minusPercent += -1.0;
    }
    AssignFromGroup(solution, table, group);
}

}  // namespace korvan
