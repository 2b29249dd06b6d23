// The steps of the two solving calls once their arguments are checked, shared by both
// boundaries: the call's own tables, the check of every point before anything changes, the new
// entries, and the solve. The tables live in the call's frame and are released on every way out
// of it, an exception included.
#ifndef KORVAN_INTERFACE_CALL_STEPS_H
#define KORVAN_INTERFACE_CALL_STEPS_H

#include <cstddef>
#include <cstdint>

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
    result = JudgePoints(
                 NewDemands{held, &tables.factors, points.types, points.inputValues, points.count},
                 held.size() + points.count, tables.ratios)
                 .result;
    if (result != kSuccess) {
        return result;
    }
    storage.MakeRoom(points.count);
    result = MakeNewEntries(tables.factors, points.count, points.types, points.inputValues,
                            points.tags, [&](const SolutionEntry& entry) { storage.Store(entry); });
    if (result != kSuccess) {
        return result;
    }
    return SolveValves(storage.Entries(), tables.ratios, totals);
}

// Recomputes every entry's demand and solves them all into `totals`. Returns 0, 10, 12 or 13, the
// last two before anything changes.
inline std::int32_t RecomputeAndSolve(EntryRange entries, SolutionTotals& totals) {
    CallTables tables;
    std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return result;
    }
    result = JudgePoints(RecomputedDemands{entries, &tables.factors}, entries.size(), tables.ratios)
                 .result;
    if (result != kSuccess) {
        return result;
    }
    return RecomputeDemandsAndSolveValves(entries, tables.ratios, tables.factors, totals);
}

// The verdict on the points of a generating call: `held` entries and the new `points`. Returns 10
// in `diagnosis.result` only when the call's tables cannot be built.
inline Diagnosis DiagnoseGenerate(Span<const SolutionEntry> held, const NewPoints& points) {
    if (held.size() + points.count == 0) {
        return Refused(kNothingToSolve, KORVAN_RULE_NOTHING_TO_SOLVE);
    }
    CallTables tables;
    const std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return Refused(result, KORVAN_RULE_NONE);
    }
    return JudgePoints(
        NewDemands{held, &tables.factors, points.types, points.inputValues, points.count},
        held.size() + points.count, tables.ratios);
}

// The verdict on the points of a re-solving call, as DiagnoseGenerate.
inline Diagnosis DiagnoseFill(Span<const SolutionEntry> entries) {
    if (entries.empty()) {
        return Refused(kNothingToSolve, KORVAN_RULE_NOTHING_TO_SOLVE);
    }
    CallTables tables;
    const std::int32_t result = BuildTables(tables);
    if (result != kSuccess) {
        return Refused(result, KORVAN_RULE_NONE);
    }
    return JudgePoints(RecomputedDemands{entries, &tables.factors}, entries.size(), tables.ratios);
}

}  // namespace korvan

#endif  // KORVAN_INTERFACE_CALL_STEPS_H
