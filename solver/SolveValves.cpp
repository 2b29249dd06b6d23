#include "solver/SolveValves.h"

#include "solver/DeviationEvaluation.h"
#include "solver/NearestRatio.h"
#include "solver/OrderByDemand.h"
#include "solver/ReduceChosenSizes.h"
#include "solver/ToleranceSearch.h"
#include "tables/ResultCodes.h"

namespace korvan {
namespace {

// Sets every entry's ratio to the largest demand divided by its own.
void SetRatios(EntryRange entries, double largestDemand) {
    for (SolutionEntry& entry : entries) {
        entry.ratio = largestDemand / entry.demand;
    }
}

// Ordering, ratios and the tolerance search, for up to seven points. Entry 0 is read for the
// largest demand, so that no entries end here with std::out_of_range.
template <typename Ready>
ChosenSizes OrderAndSearchWithinTolerance(EntryRange entries, const Ready& ready,
                                          const ValveRatioTable& table) {
    OrderByDemand(entries, ready);
    SetRatios(entries, entries[0].demand);
    SearchWithinTolerance(entries, table);
    ChosenSizes chosen;
    chosen.Tally(entries);
    return chosen;
}

// Ordering, ratios and the nearest-ratio assignment, for eight points or more, done a stretch at a
// time while it is in cache: the stretches follow one another in the final order, so once the
// first of them is ordered, entry 0 holds the largest demand.
template <typename Ready>
ChosenSizes OrderAndAssignNearestRatioByStretch(EntryRange entries, const Ready& ready,
                                                const GroupZero& groupZero) {
    DemandStretches stretches = PrepareStretches(entries, ready);
    ChosenSizes chosen;
    for (std::size_t index = 0; index < stretches.count; ++index) {
        const EntryRange stretch = OrderStretch(stretches, index);
        if (stretch.empty()) {
            continue;
        }
        SetRatios(stretch, entries[0].demand);
        AssignNearestRatio(stretch, groupZero);
        chosen.Tally(stretch);
    }
    return chosen;
}

template <typename Ready>
std::int32_t Solve(EntryRange entries, const ValveRatioTable& table, const Ready& ready,
                   SolutionTotals& totals) {
    const GroupZero groupZero = CollectGroupZero(table);
    const ChosenSizes chosen = entries.size() > groupZero.size()
                                   ? OrderAndAssignNearestRatioByStretch(entries, ready, groupZero)
                                   : OrderAndSearchWithinTolerance(entries, ready, table);
    double sumOfQuotients = 0.0;
    const std::int32_t result = ReduceChosenSizes(entries, chosen, table, sumOfQuotients);
    if (result != kSuccess) {
        return result;
    }
    return EvaluateAndRefine(entries, groupZero, sumOfQuotients, totals);
}

}  // namespace

std::int32_t SolveValves(EntryRange entries, const ValveRatioTable& table, SolutionTotals& totals) {
    return Solve(entries, table, DemandsAsSet{}, totals);
}

std::int32_t RecomputeDemandsAndSolveValves(EntryRange entries, const ValveRatioTable& table,
                                            const TypeFactorTable& factors,
                                            SolutionTotals& totals) {
    return Solve(entries, table, DemandsRecomputed{&factors}, totals);
}

}  // namespace korvan
