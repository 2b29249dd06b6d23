#include "tables/EntryPreparation.h"

namespace korvan {

double RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors) {
    const double demand = RecomputedDemandOf(entry, factors);
    entry.demand = demand;
    entry.ratio = 0.0;
    entry.ratioMax = 0.0;
    entry.ratioMin = 0.0;
    entry.valveSize = 0.0;
    return demand;
}

}  // namespace korvan
