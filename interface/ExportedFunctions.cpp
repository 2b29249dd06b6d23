// The library's boundary: argument checks the host cannot be trusted to have made, then the
// tables, entry preparation and the solver. The tables live in this frame and are released on
// every way out, an exception included.
#include <cstdint>
#include <vector>

#include "interface/KorvanCalcValueProvider.h"
#include "interface/ResultCodes.h"
#include "solver/SmallestPossibleValves.h"
#include "solver/SolveValves.h"
#include "tables/EntryPreparation.h"
#include "tables/ValveTables.h"

namespace {

bool AnyOutputMissing(const double* deviationMax, const double* deviationMin,
                      const double* scaleFactor, const double* reducedScaleFactor) {
    return deviationMax == nullptr || deviationMin == nullptr || scaleFactor == nullptr ||
           reducedScaleFactor == nullptr;
}

struct CallTables {
    korvan::ValveRatioTable ratios;
    korvan::TypeFactorTable factors;
};

std::int32_t BuildTables(CallTables& tables) {
    const std::int32_t result = korvan::BuildValveRatioTable(tables.ratios);
    if (result != korvan::kSuccess) {
        return result;
    }
    return korvan::BuildTypeFactorTable(tables.factors);
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
        return korvan::kEmptySolution;
    }
    CallTables tables;
    std::int32_t result = BuildTables(tables);
    if (result != korvan::kSuccess) {
        return result;
    }
    const auto points = static_cast<std::uint32_t>(count);
    result = korvan::CheckNewPoints(*solution, tables.factors, points, types, inputValues);
    if (result != korvan::kSuccess) {
        return result;
    }
    result = korvan::AppendEntries(*solution, tables.factors, points, types, inputValues);
    if (result != korvan::kSuccess) {
        return result;
    }
    return korvan::SolveValves(*solution, tables.ratios, deviationMax, deviationMin, scaleFactor,
                               reducedScaleFactor);
}

KORVAN_API std::int32_t FillSolutionVector(SolutionVector* solution, double* deviationMax,
                                           double* deviationMin, double* scaleFactor,
                                           double* reducedScaleFactor) {
    if (solution == nullptr ||
        AnyOutputMissing(deviationMax, deviationMin, scaleFactor, reducedScaleFactor)) {
        return korvan::kInvalidArgument;
    }
    if (solution->empty()) {
        return korvan::kEmptySolution;
    }
    CallTables tables;
    std::int32_t result = BuildTables(tables);
    if (result != korvan::kSuccess) {
        return result;
    }
    result = korvan::CheckRecomputedPoints(*solution, tables.factors);
    if (result != korvan::kSuccess) {
        return result;
    }
    // Recomputes the demands as RecomputeDemands does, a large batch while ordering it.
    return korvan::SolveValvesRecomputing(*solution, tables.ratios, tables.factors, deviationMax,
                                          deviationMin, scaleFactor, reducedScaleFactor);
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
