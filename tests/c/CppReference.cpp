#include "CppReference.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace {

template <typename Call>
std::int32_t Catching(const Call& call) {
    try {
        return call();
    } catch (const std::out_of_range&) {
        return REFERENCE_OUT_OF_RANGE;
    } catch (...) {
        return REFERENCE_OTHER_EXCEPTION;
    }
}

}  // namespace

extern "C" {

int32_t ReferenceGenerate(int32_t count, const uint32_t* types, const double* inputValues,
                          KorvanSolutionEntry* entries, size_t capacity, size_t* entryCount,
                          KorvanSolutionTotals* totals) {
    SolutionVector solution(entries, entries + *entryCount);
    const std::int32_t result = Catching([&] {
        return GenerateSolutionVector(count, types, inputValues, &totals->deviationMax,
                                      &totals->deviationMin, &totals->scaleFactor,
                                      &totals->reducedScaleFactor, &solution);
    });
    *entryCount = std::min(solution.size(), capacity);
    std::copy(solution.begin(), solution.begin() + static_cast<std::ptrdiff_t>(*entryCount),
              entries);
    return result;
}

int32_t ReferenceFill(KorvanSolutionEntry* entries, size_t entryCount,
                      KorvanSolutionTotals* totals) {
    SolutionVector solution(entries, entries + entryCount);
    const std::int32_t result = Catching([&] {
        return FillSolutionVector(&solution, &totals->deviationMax, &totals->deviationMin,
                                  &totals->scaleFactor, &totals->reducedScaleFactor);
    });
    std::copy(solution.begin(), solution.end(), entries);
    return result;
}

int32_t ReferenceSmallest(double* sizes, size_t count, double* smallest, size_t* appended) {
    std::vector<double> given(sizes, sizes + count);
    std::vector<double> reduced;
    const std::int32_t result =
        Catching([&] { return GetSmallestPossibleValves(&given, &reduced); });
    std::copy(given.begin(), given.end(), sizes);
    *appended = std::min(reduced.size(), count);
    std::copy(reduced.begin(), reduced.begin() + static_cast<std::ptrdiff_t>(*appended), smallest);
    return result;
}

}  // extern "C"
