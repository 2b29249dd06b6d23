// The result codes the library's operations return. Hosts see 0, 10, 11, 13 and 160; 1168 is the
// tolerance search's "no group fits yet" and never leaves the library.
#ifndef KORVAN_INTERFACE_RESULT_CODES_H
#define KORVAN_INTERFACE_RESULT_CODES_H

#include <cstdint>

namespace korvan {

constexpr std::int32_t kSuccess = 0;
constexpr std::int32_t kOutOfMemory = 10;
constexpr std::int32_t kEmptySolution = 11;
constexpr std::int32_t kUnsolvableInput = 13;
constexpr std::int32_t kInvalidArgument = 160;
constexpr std::int32_t kNoGroupFits = 1168;

}  // namespace korvan

#endif  // KORVAN_INTERFACE_RESULT_CODES_H
