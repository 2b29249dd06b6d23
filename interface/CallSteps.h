// The steps of the two solving calls once their arguments are checked, shared by both
// boundaries: the call's own tables, the check of every point before anything changes, the new
// entries, and the solve. The tables live in the call's frame and are released on every way out
// of it, an exception included.
#ifndef KORVAN_INTERFACE_CALL_STEPS_H
#define KORVAN_INTERFACE_CALL_STEPS_H

#include <cstddef>
#include <cstdint>

#include "solver/OrderByDemand.h"
#include "solver/SolvableDemands.h"
#include "solver/SolveValves.h"
#include "tables/EntryPreparation.h"
#include "tables/ResultCodes.h"
#include "tables/ValveTables.h"

namespace korvan {

struct CallTables {
    ValveRatioTable ratios;
    TypeFactorTable factors;
};

// The ratio table, then the type factors: 0, or the first builder's 10.
inline std::int32_t BuildTables(CallTables& tables) {
    const std::int32_t result = BuildValveRatioTable(tables.ratios);
    if (result != kSuccess) {
        return result;
    }
    return BuildTypeFactorTable(tables.factors);
}

// The host's description of the points a generating call adds; `tags` may be null.
struct NewPoints {
    std::size_t count;
    const std::uint32_t* types;
    const double* inputValues;
    const std::uint64_t* tags;
};

// Judges the points that `demands` tells of and, for a batch large enough to be spread into
// buckets, counts each into its bucket in the same pass. Returns the verdict's result; `planned`
// tells whether `plan` is complete and fit to spread the batch by.
template <typename Demands>
std::int32_t JudgeAndPlan(const Demands& demands, std::size_t count, const ValveRatioTable& table,
                          SpreadPlan& plan, bool& planned) {
    planned = count >= kBucketSortThreshold &&
              StartSpread(
                  count, [&](std::size_t point) { return demands.DemandOfPoint(point); }, plan);
    const std::int32_t result =
        JudgePoints(demands, count, table, [&](std::size_t point, double demand) {
            if (planned) {
                plan.Count(point, demand);
            }
        }).result;
    planned = planned && result == kSuccess && plan.Finish();
    return result;
}

// Appends `points` after the entries `storage` holds and solves them all into `totals`. Returns
// 0, 10, 12 (a type not in the table) or 13, the last two before anything changes. `Storage` is
// where the entries live: Held() the entries before the call, MakeRoom(n) readies room for n more
// (raising, if it must, before any is stored), Store(entry) adds one, and Entries() all of them.
template <typename Storage>
std::int32_t GenerateAndSolve(Storage& storage, const NewPoints& points, SolutionTotals& totals) {
    CallTables tables;
    std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return result;
    }
    const Span<const SolutionEntry> held = storage.Held();
    const NewDemands demands{held, &tables.factors, points.types, points.inputValues, points.count};
    SpreadPlan plan;
    bool planned = false;
    result = JudgeAndPlan(demands, held.size() + points.count, tables.ratios, plan, planned);
    if (result != kSuccess) {
        return result;
    }
    storage.MakeRoom(points.count);
    result = MakeNewEntries(tables.factors, points.count, points.types, points.inputValues,
                            points.tags, [&](const SolutionEntry& entry) { storage.Store(entry); });
    if (result != kSuccess) {
        return result;
    }
    return planned ? SolveValvesByPlan(storage.Entries(), plan, tables.ratios, totals)
                   : SolveValves(storage.Entries(), tables.ratios, totals);
}

// Recomputes every entry's demand and solves them all into `totals`. Returns 0, 10, 12 or 13, the
// last two before anything changes.
inline std::int32_t RecomputeAndSolve(EntryRange entries, SolutionTotals& totals) {
    CallTables tables;
    std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return result;
    }
    SpreadPlan plan;
    bool planned = false;
    result = JudgeAndPlan(RecomputedDemands{entries, &tables.factors}, entries.size(),
                          tables.ratios, plan, planned);
    if (result != kSuccess) {
        return result;
    }
    return planned ? RecomputeDemandsAndSolveValvesByPlan(entries, plan, tables.ratios,
                                                          tables.factors, totals)
                   : RecomputeDemandsAndSolveValves(entries, tables.ratios, tables.factors, totals);
}

// The verdict on `count` points that `demandsOf(factors)` tells of, with the call's own tables.
// Returns 10 in `diagnosis.result` only when the tables cannot be built.
template <typename DemandsOf>
Diagnosis DiagnosePoints(std::size_t count, const DemandsOf& demandsOf) {
    if (count == 0) {
        return Refused(kNothingToSolve, KORVAN_RULE_NOTHING_TO_SOLVE);
    }
    CallTables tables;
    const std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return Refused(result, KORVAN_RULE_NONE);
    }
    return JudgePoints(demandsOf(tables.factors), count, tables.ratios);
}

// The verdict on the points of a generating call: `held` entries and the new `points`.
inline Diagnosis DiagnoseGenerate(Span<const SolutionEntry> held, const NewPoints& points) {
    return DiagnosePoints(held.size() + points.count, [&](const TypeFactorTable& factors) {
        return NewDemands{held, &factors, points.types, points.inputValues, points.count};
    });
}

// The verdict on the points of a re-solving call.
inline Diagnosis DiagnoseFill(Span<const SolutionEntry> entries) {
    return DiagnosePoints(entries.size(), [&](const TypeFactorTable& factors) {
        return RecomputedDemands{entries, &factors};
    });
}

}  // namespace korvan

#endif  // KORVAN_INTERFACE_CALL_STEPS_H
