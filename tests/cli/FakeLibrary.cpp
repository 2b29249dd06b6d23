// A stand-in for the library whose every call ends as the environment variable
// KORVAN_FAKE_OUTCOME says: a result code, or one of the exceptions that can leave the real
// library. It drives korvan-size into outcomes the real library gives only when memory runs out.
#include <cstdint>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace {

std::int32_t Outcome() {
    const char* const setting = std::getenv("KORVAN_FAKE_OUTCOME");
    const std::string outcome = setting != nullptr ? setting : "0";
    if (outcome == "out_of_range") {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    if (outcome == "length_error") {
        throw std::length_error("vector<T> too long");
    }
    if (outcome == "bad_alloc") {
        throw std::bad_alloc();
    }
    if (outcome == "runtime_error") {
        throw std::runtime_error("fake failure");
    }
    if (outcome == "int") {
        throw 42;
    }
    return static_cast<std::int32_t>(std::strtol(outcome.c_str(), nullptr, 10));
}

}  // namespace

extern "C" {

KORVAN_API std::int32_t GenerateSolutionVector(
    std::int32_t /*count*/, const std::uint32_t* /*types*/, const double* /*inputValues*/,
    double* /*deviationMax*/, double* /*deviationMin*/, double* /*scaleFactor*/,
    double* /*reducedScaleFactor*/, SolutionVector* /*solution*/) {
    return Outcome();
}

KORVAN_API std::int32_t FillSolutionVector(SolutionVector* /*solution*/, double* /*deviationMax*/,
                                           double* /*deviationMin*/, double* /*scaleFactor*/,
                                           double* /*reducedScaleFactor*/) {
    return Outcome();
}

KORVAN_API std::int32_t GetSmallestPossibleValves(std::vector<double>* /*sizes*/,
                                                  std::vector<double>* /*smallest*/) {
    return Outcome();
}

KORVAN_API double GetCurrentVersion(void) {
    return 1.0;
}

}  // extern "C"
