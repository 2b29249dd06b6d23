// The solver driver behind both solving calls: orders the points, sets their ratios, chooses a
// size for every point (the tolerance search for up to seven, the nearest ratio for more),
// reduces the sizes to the smallest equivalent ones, then evaluates and refines the deviations.
#ifndef KORVAN_SOLVER_SOLVE_VALVES_H
#define KORVAN_SOLVER_SOLVE_VALVES_H

#include <cstdint>

#include "solver/OrderByDemand.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// Solves `entries`, whose demands are set and within the range the solver carries, in place with
// the call's `table`, and writes `totals`. Returns 0, or 10 when memory for the reduction ran
// out, with `totals` untouched and the entries reordered but whole. std::out_of_range for no
// entries, and for eight or more whose nearest sizes grow along the order of decreasing demand.
// Another thread changing the entries meanwhile makes the figures meaningless, but nothing is
// written outside the entries and the call's own memory.
std::int32_t SolveValves(EntryRange entries, const ValveRatioTable& table, SolutionTotals& totals);

// RecomputeDemand on every entry followed by SolveValves, with the same results: a large batch
// recomputes each demand once its bucket is in cache rather than in a pass of its own.
std::int32_t RecomputeDemandsAndSolveValves(EntryRange entries, const ValveRatioTable& table,
                                            const TypeFactorTable& factors, SolutionTotals& totals);

// The same two for a large batch whose spreading into buckets, `plan`, was counted while its
// points were checked (StartSpread, Count, Finish, over the entries' demands as they will be
// solved), so that the solve need not read every entry once more to count it.
std::int32_t SolveValvesByPlan(EntryRange entries, SpreadPlan& plan, const ValveRatioTable& table,
                               SolutionTotals& totals);
std::int32_t RecomputeDemandsAndSolveValvesByPlan(EntryRange entries, SpreadPlan& plan,
                                                  const ValveRatioTable& table,
                                                  const TypeFactorTable& factors,
                                                  SolutionTotals& totals);

}  // namespace korvan

#endif  // KORVAN_SOLVER_SOLVE_VALVES_H
