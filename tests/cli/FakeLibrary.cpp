// A stand-in for the library's C interface whose calls end as the environment says, to drive
// korvan-size into outcomes the real library gives only when memory runs out, and to check that
// it words every refusal from the diagnosis:
//   KORVAN_FAKE_RESULT  the result of every solving call (0 leaves the entries unsolved)
//   KORVAN_FAKE_RULE    "rule,point,otherPoint" that KorvanDiagnose tells (default: no rule)
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "KorvanCalcValueProviderC.h"

namespace {

std::int32_t Result() {
    const char* const setting = std::getenv("KORVAN_FAKE_RESULT");
    return setting != nullptr ? static_cast<std::int32_t>(std::strtol(setting, nullptr, 10)) : 0;
}

}  // namespace

extern "C" {

KORVAN_API int32_t KorvanGenerateSolution(int32_t /*count*/, const uint32_t* /*types*/,
                                          const double* /*inputValues*/,
                                          const uint64_t* /*callerData*/,
                                          KorvanSolutionEntry* /*entries*/, size_t /*capacity*/,
                                          size_t* /*entryCount*/,
                                          KorvanSolutionTotals* /*totals*/) {
    return Result();
}

KORVAN_API int32_t KorvanGetSmallestPossibleValves(double* /*sizes*/, size_t /*count*/,
                                                   double* /*smallest*/) {
    return Result();
}

KORVAN_API int32_t KorvanDiagnose(const KorvanCallPoints* /*points*/, KorvanDiagnosis* diagnosis) {
    const char* const setting = std::getenv("KORVAN_FAKE_RULE");
    long long point = KORVAN_NO_POINT;
    long long other = KORVAN_NO_POINT;
    int rule = KORVAN_RULE_NONE;
    if (setting != nullptr && std::sscanf(setting, "%d,%lld,%lld", &rule, &point, &other) != 3) {
        return KORVAN_INVALID_ARGUMENT;
    }
    *diagnosis = {Result(), rule, point, other};
    return diagnosis->result;
}

KORVAN_API const char* KorvanDescribeRule(int32_t rule) {
    static std::string sentence;
    sentence = "fake rule " + std::to_string(rule);
    return sentence.c_str();
}

KORVAN_API const char* KorvanDescribeResult(int32_t result) {
    static std::string sentence;
    sentence = "fake result " + std::to_string(result);
    return sentence.c_str();
}

KORVAN_API uint32_t KorvanGetLibraryVersion(void) {
    return KORVAN_VERSION_NUMBER;
}

}  // extern "C"
