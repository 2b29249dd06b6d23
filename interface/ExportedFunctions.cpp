// The C++ boundary: argument checks the host cannot be trusted to have made, then the steps of
// the call on the host's vectors.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "interface/CallSteps.h"
#include "interface/KorvanCalcValueProvider.h"
#include "solver/SmallestPossibleValves.h"

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

// The host's vector as a generating call's storage: room for the new entries is made at once, so
// that growth fails before any is appended.
struct HostVector {
    SolutionVector* solution;

    [[nodiscard]] korvan::Span<const SolutionEntry> Held() const {
        return korvan::SpanOf(*solution);
    }
    void MakeRoom(std::size_t count) const { korvan::ReserveAdditional(*solution, count); }
    void Store(const SolutionEntry& entry) const { korvan::Append(*solution, entry); }
    [[nodiscard]] korvan::EntryRange Entries() const { return korvan::SpanOf(*solution); }
};

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
    HostVector storage{solution};
    const korvan::NewPoints points{static_cast<std::size_t>(count), types, inputValues, nullptr};
    korvan::SolutionTotals totals{};
    const std::int32_t result =
        RaiseForUnknownType(korvan::GenerateAndSolve(storage, points, totals));
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
    korvan::SolutionTotals totals{};
    const std::int32_t result =
        RaiseForUnknownType(korvan::RecomputeAndSolve(korvan::SpanOf(*solution), totals));
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
