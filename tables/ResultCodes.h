// The result codes of the library's operations, under the names the C interface gives hosts.
#ifndef KORVAN_TABLES_RESULT_CODES_H
#define KORVAN_TABLES_RESULT_CODES_H

#include <cstdint>

#include "interface/KorvanCalcValueProviderC.h"

namespace korvan {

constexpr std::int32_t kSuccess = KORVAN_SUCCESS;
constexpr std::int32_t kOutOfMemory = KORVAN_OUT_OF_MEMORY;
constexpr std::int32_t kNothingToSolve = KORVAN_NOTHING_TO_SOLVE;
constexpr std::int32_t kInvalidType = KORVAN_INVALID_TYPE;
constexpr std::int32_t kUnsolvableInput = KORVAN_UNSOLVABLE_INPUT;
constexpr std::int32_t kInvalidArgument = KORVAN_INVALID_ARGUMENT;

}  // namespace korvan

#endif  // KORVAN_TABLES_RESULT_CODES_H
