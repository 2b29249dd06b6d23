// The C++ boundary: argument checks the host cannot be trusted to have made, then the tables,
// entry preparation and the solver, on the host's vectors.
#include <cstdint>
#include <vector>

#include "interface/CallTables.h"
#include "interface/KorvanCalcValueProvider.h"
#include "solver/SmallestPossibleValves.h"
#include "solver/SolvableDemands.h"
#include "solver/SolveValves.h"
#include "tables/EntryPreparation.h"

namespace {

bool AnyOutputMissing(const double* deviationMax, const double* deviationMin,
                      const double* scaleFactor, const double* reducedScaleFactor) {
    return deviationMax == nullptr || deviationMin == nullptr || scaleFactor == nullptr ||
           reducedScaleFactor == nullptr;
}

// A type of 4 or more is looked up in the type table, whose checked access raises
// std::out_of_range before anything changes; every other result is returned.
std::int32_t RaiseForUnknownType(std::int32_t result) {
    if (result == korvan::kInvalidType) {
        korvan::ThrowSubscriptOutOfRange();
    }
    return result;
}

void WriteOutputs(const korvan::SolutionTotals& totals, double* deviationMax, double* deviationMin,
                  double* scaleFactor, double* reducedScaleFactor) {
    *deviationMax = totals.deviationMax;
    *deviationMin = totals.deviationMin;
    *scaleFactor = totals.scaleFactor;
    *reducedScaleFactor = totals.reducedScaleFactor;
}

}  // namespace

extern "C" {

KORVAN_API std::int32_t GenerateSolutionVector(std::int32_t count, const std::uint32_t* types,
                                               const double* inputValues, double* deviationMax,
                                               double* deviationMin, double* scaleFactor,
                                               double* reducedScaleFactor,
                                               SolutionVector* solution) {
    if (solution == nullptr ||
        AnyOutputMissing(deviationMax, deviationMin, scaleFactor, reducedScaleFactor)) {
        return korvan::kInvalidArgument;
    }
    // A negative count read as unsigned would walk billions of elements past the host's arrays.
    if (count < 0 || (count > 0 && (types == nullptr || inputValues == nullptr))) {
        return korvan::kInvalidArgument;
    }
    if (count == 0 && solution->empty()) {
        return korvan::kNothingToSolve;
    }
    korvan::CallTables tables;
    std::int32_t result = korvan::BuildTables(tables);
    if (result != korvan::kSuccess) {
        return result;
    }
    const auto points = static_cast<std::size_t>(count);
    const korvan::NewDemands demands{korvan::SpanOf(*solution), &tables.factors, types, inputValues,
                                     points};
    result = RaiseForUnknownType(
        korvan::CheckSolvable(demands, solution->size() + points, tables.ratios));
    if (result != korvan::kSuccess) {
        return result;
    }
    korvan::ReserveAdditional(*solution, points);
    result = korvan::MakeNewEntries(
        tables.factors, points, types, inputValues, nullptr,
        [&](const SolutionEntry& entry) { korvan::Append(*solution, entry); });
    if (result != korvan::kSuccess) {
        return result;
    }
    korvan::SolutionTotals totals{};
    result = korvan::SolveValves(korvan::SpanOf(*solution), tables.ratios, totals);
    if (result == korvan::kSuccess) {
        WriteOutputs(totals, deviationMax, deviationMin, scaleFactor, reducedScaleFactor);
    }
    return result;
}

KORVAN_API std::int32_t FillSolutionVector(SolutionVector* solution, double* deviationMax,
                                           double* deviationMin, double* scaleFactor,
                                           double* reducedScaleFactor) {
    if (solution == nullptr ||
        AnyOutputMissing(deviationMax, deviationMin, scaleFactor, reducedScaleFactor)) {
        return korvan::kInvalidArgument;
    }
    if (solution->empty()) {
        return korvan::kNothingToSolve;
    }
    korvan::CallTables tables;
    std::int32_t result = korvan::BuildTables(tables);
    if (result != korvan::kSuccess) {
        return result;
    }
    const korvan::EntryRange entries = korvan::SpanOf(*solution);
    result = RaiseForUnknownType(korvan::CheckSolvable(
        korvan::RecomputedDemands{entries, &tables.factors}, entries.size(), tables.ratios));
    if (result != korvan::kSuccess) {
        return result;
    }
    korvan::SolutionTotals totals{};
    result = korvan::RecomputeDemandsAndSolveValves(entries, tables.ratios, tables.factors, totals);
    if (result == korvan::kSuccess) {
        WriteOutputs(totals, deviationMax, deviationMin, scaleFactor, reducedScaleFactor);
    }
    return result;
}

KORVAN_API std::int32_t GetSmallestPossibleValves(std::vector<double>* sizes,
                                                  std::vector<double>* smallest) {
    if (sizes == nullptr || smallest == nullptr) {
        return korvan::kInvalidArgument;
    }
    return korvan::GetSmallestPossibleValves(*sizes, *smallest);
}

KORVAN_API double GetCurrentVersion(void) {
    return 1.0;
}

}  // extern "C"
