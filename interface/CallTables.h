// The two tables a solving call builds for itself, in the call's own frame, released on every way
// out of it, an exception included. Shared by both boundaries.
#ifndef KORVAN_INTERFACE_CALL_TABLES_H
#define KORVAN_INTERFACE_CALL_TABLES_H

#include <cstdint>

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

}  // namespace korvan

#endif  // KORVAN_INTERFACE_CALL_TABLES_H
