// The result codes of the library's operations, under the names the C interface gives hosts, and
// the verdict that names the rule and the point behind a refusal.
#ifndef KORVAN_TABLES_RESULT_CODES_H
#define KORVAN_TABLES_RESULT_CODES_H

#include <cstddef>
#include <cstdint>

#include "interface/KorvanCalcValueProviderC.h"

namespace korvan {

constexpr std::int32_t kSuccess = KORVAN_SUCCESS;
constexpr std::int32_t kOutOfMemory = KORVAN_OUT_OF_MEMORY;
constexpr std::int32_t kNothingToSolve = KORVAN_NOTHING_TO_SOLVE;
constexpr std::int32_t kInvalidType = KORVAN_INVALID_TYPE;
constexpr std::int32_t kUnsolvableInput = KORVAN_UNSOLVABLE_INPUT;
constexpr std::int32_t kInvalidArgument = KORVAN_INVALID_ARGUMENT;

// A point's number when no point is meant.
constexpr std::size_t kNoPoint = static_cast<std::size_t>(-1);

// The verdict on a call's points: its result, the first rule broken and the points behind it.
using Diagnosis = KorvanDiagnosis;

inline Diagnosis Accepted() {
    return Diagnosis{kSuccess, KORVAN_RULE_NONE, KORVAN_NO_POINT, KORVAN_NO_POINT};
}

inline Diagnosis Refused(std::int32_t result, std::int32_t rule, std::size_t point = kNoPoint,
                         std::size_t otherPoint = kNoPoint) {
    const auto number = [](std::size_t index) {
        return index == kNoPoint ? std::int64_t{KORVAN_NO_POINT} : static_cast<std::int64_t>(index);
    };
    return Diagnosis{result, rule, number(point), number(otherPoint)};
}

}  // namespace korvan

#endif  // KORVAN_TABLES_RESULT_CODES_H
