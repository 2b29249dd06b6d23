// Entries made straight from demands, for tests of the solver's steps.
#ifndef KORVAN_TESTS_SOLVER_FIXTURES_H
#define KORVAN_TESTS_SOLVER_FIXTURES_H

#include <vector>

#include "interface/KorvanCalcValueProvider.h"
#include "solver/OrderByDemand.h"
#include "tables/ResultCodes.h"
#include "tables/ValveTables.h"

namespace korvan {

inline EntryRange Entries(SolutionVector& solution) {
    return SpanOf(solution);
}

// Entries with `demands`, ordered and with their ratios set, as the driver hands them on.
inline SolutionVector PreparedEntries(const std::vector<double>& demands) {
    SolutionVector solution;
    for (const double demand : demands) {
        SolutionEntry entry{};
        entry.demand = demand;
        solution.push_back(entry);
    }
    OrderByDemand(Entries(solution), DemandsAsSet{});
    for (SolutionEntry& entry : solution) {
        entry.ratio = solution.front().demand / entry.demand;
    }
    return solution;
}

inline ValveRatioTable RatioTable() {
    ValveRatioTable table;
    BuildValveRatioTable(table);
    return table;
}

inline std::vector<double> SizesOf(const SolutionVector& solution) {
    std::vector<double> sizes;
    for (const SolutionEntry& entry : solution) {
        sizes.push_back(entry.valveSize);
    }
    return sizes;
}

}  // namespace korvan

#endif  // KORVAN_TESTS_SOLVER_FIXTURES_H
