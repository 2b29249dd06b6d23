#include "solver/SolveValves.h"

#include "solver/DeviationEvaluation.h"
#include "solver/NearestRatio.h"
#include "solver/OrderByDemand.h"
#include "solver/ReduceChosenSizes.h"
#include "solver/ToleranceSearch.h"
#include "tables/ResultCodes.h"

namespace korvan {
namespace {

// A point's ratio: the largest demand divided by its own.
void SetRatio(SolutionEntry& point, double largestDemand) {
    point.ratio = largestDemand / point.demand;
}

void SetRatios(EntryRange entries, double largestDemand) {
    for (SolutionEntry& point : entries) {
        SetRatio(point, largestDemand);
    }
}

// The nearest path's ratios, sizes and their tally for one stretch, fused into one visit per point
// while the stretch is in cache.
void SetRatiosAssignNearestRatioAndTally(EntryRange stretch, double largestDemand,
                                         const GroupZero& groupZero, ChosenSizes& chosen) {
    for (SolutionEntry& point : stretch) {
        SetRatio(point, largestDemand);
        chosen.Tally(point, AssignNearestRatio(point, groupZero));
    }
}

// Ordering, ratios and the tolerance search, for up to seven points. Entry 0 is read for the
// largest demand, so that no entries end here with std::out_of_range.
template <typename Demands>
ChosenSizes OrderAndSearchWithinTolerance(EntryRange entries, const Demands& demands,
                                          const ValveRatioTable& table) {
    OrderByDemand(entries, demands);
    SetRatios(entries, entries[0].demand);
    SearchWithinTolerance(entries, table);
    return TallyChosenSizes(entries);
}

// Ordering, ratios and the nearest-ratio assignment, for eight points or more, done a stretch at a
// time while it is in cache: the stretches follow one another in the final order, so once the
// first of them is ordered, entry 0 holds the largest demand.
template <typename Demands>
ChosenSizes AssignNearestRatioByStretch(DemandStretches& stretches, const Demands& demands,
                                        const GroupZero& groupZero) {
    const EntryRange entries = stretches.entries;
    ChosenSizes chosen;
    for (std::size_t index = 0; index < stretches.count; ++index) {
        const EntryRange stretch = OrderStretch(stretches, index, demands);
        if (stretch.empty()) {
            continue;
        }
        SetRatiosAssignNearestRatioAndTally(stretch, entries[0].demand, groupZero, chosen);
    }
    return chosen;
}

// The reduction of the chosen sizes and the evaluation, once every point has its size.
std::int32_t ReduceAndEvaluate(EntryRange entries, const ChosenSizes& chosen,
                               const ValveRatioTable& table, const GroupZero& groupZero,
                               SolutionTotals& totals) {
    double sumOfQuotients = 0.0;
    const std::int32_t result = ReduceChosenSizes(entries, chosen, table, sumOfQuotients);
    if (result != kSuccess) {
        return result;
    }
    return EvaluateAndRefine(entries, groupZero, sumOfQuotients, totals);
}

// The nearest-ratio path over stretches already prepared.
template <typename Demands>
std::int32_t SolveStretches(DemandStretches& stretches, const Demands& demands,
                            const ValveRatioTable& table, SolutionTotals& totals) {
    const GroupZero groupZero = CollectGroupZero(table);
    const ChosenSizes chosen = AssignNearestRatioByStretch(stretches, demands, groupZero);
    return ReduceAndEvaluate(stretches.entries, chosen, table, groupZero, totals);
}

template <typename Demands>
std::int32_t Solve(EntryRange entries, const ValveRatioTable& table, const Demands& demands,
                   SolutionTotals& totals) {
    if (entries.size() > kSeriesLength) {
        DemandStretches stretches = PrepareStretches(entries, demands);
        return SolveStretches(stretches, demands, table, totals);
    }
    const GroupZero groupZero = CollectGroupZero(table);
    const ChosenSizes chosen = OrderAndSearchWithinTolerance(entries, demands, table);
    return ReduceAndEvaluate(entries, chosen, table, groupZero, totals);
}

// A batch spread by a plan counted beforehand is always a large one: the nearest-ratio path.
template <typename Demands>
std::int32_t SolveByPlan(EntryRange entries, SpreadPlan& plan, const ValveRatioTable& table,
                         const Demands& demands, SolutionTotals& totals) {
    if (entries.size() <= kSeriesLength) {
        ThrowSubscriptOutOfRange();
    }
    DemandStretches stretches = SpreadByPlan(entries, plan);
    return SolveStretches(stretches, demands, table, totals);
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

std::int32_t SolveValvesByPlan(EntryRange entries, SpreadPlan& plan, const ValveRatioTable& table,
                               SolutionTotals& totals) {
    return SolveByPlan(entries, plan, table, DemandsAsSet{}, totals);
}

std::int32_t RecomputeDemandsAndSolveValvesByPlan(EntryRange entries, SpreadPlan& plan,
                                                  const ValveRatioTable& table,
                                                  const TypeFactorTable& factors,
                                                  SolutionTotals& totals) {
    return SolveByPlan(entries, plan, table, DemandsRecomputed{&factors}, totals);
}

}  // namespace korvan
