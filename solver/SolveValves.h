// The solver driver behind both solving functions: orders the points, sets their ratios, chooses
// a size for every point, reduces the sizes to the smallest equivalent ones, then evaluates and
// refines the deviations and writes the four outputs.
#ifndef KORVAN_SOLVER_SOLVE_VALVES_H
#define KORVAN_SOLVER_SOLVE_VALVES_H

#include <cstddef>
#include <cstdint>

#include "interface/KorvanCalcValueProvider.h"
#include "tables/ValveTables.h"

namespace korvan {

// Sorts the entries by demand, largest first, each moving whole (not stable: entries of equal
// demand may end in any order); a demand that is not a number sorts last.
void OrderByDemand(SolutionVector& solution);

// Receives `count` entries from `first` on, a stretch of the vector in its final order.
struct OrderedStretchVisitor {
    void (*visit)(void* context, SolutionEntry* first, std::size_t count);
    void* context;
};

// OrderByDemand, handing the vector to `visitor` a stretch at a time from the front, each as soon
// as it is final: all at once after a plain sort, a bucket at a time (while it is still in cache)
// after a sort in buckets. The stretches are not empty and cover the vector in order.
void OrderByDemand(SolutionVector& solution, const OrderedStretchVisitor& visitor);

// RecomputeDemands followed by OrderByDemand with a visitor: each entry's demand is recomputed
// before it is first read, which in a sort in buckets is the pass that counts them.
void RecomputeAndOrderByDemand(SolutionVector& solution, const TypeFactorTable& factors,
                               const OrderedStretchVisitor& visitor);

// Sets every entry's ratio to entry 0's demand divided by its own.
void SetRatios(SolutionVector& solution);

// Replaces every chosen valveSize by its counterpart in the highest group of `table` that holds
// exactly the same ratios, walking the entries in order against the chosen sizes sorted largest
// first. Returns 0, or 10 when a ratio slot cannot be allocated, with no entry changed.
// std::out_of_range for a size outside the series, or sizes that grow along the entries.
std::int32_t ReduceChosenSizes(SolutionVector& solution, const ValveRatioTable& table);

// Solves `solution`, whose demands are set and positive and finite, with the call's `table`.
// Writes the four outputs only when it returns 0. Returns 0, or 10 when memory for the reduction
// ran out. std::out_of_range for an empty `solution`.
std::int32_t SolveValves(SolutionVector& solution, const ValveRatioTable& table,
                         double* deviationMax, double* deviationMin, double* scaleFactor,
                         double* reducedScaleFactor);

// RecomputeDemands followed by SolveValves, for entries that CheckRecomputedPoints accepted, with
// the same results: a large batch recomputes its demands in the pass that counts its buckets
// rather than in a pass of its own.
std::int32_t SolveValvesRecomputing(SolutionVector& solution, const ValveRatioTable& table,
                                    const TypeFactorTable& factors, double* deviationMax,
                                    double* deviationMin, double* scaleFactor,
                                    double* reducedScaleFactor);

}  // namespace korvan

#endif  // KORVAN_SOLVER_SOLVE_VALVES_H
