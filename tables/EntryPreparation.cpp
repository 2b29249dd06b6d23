#include "tables/EntryPreparation.h"

namespace korvan {

void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors) {
    const double factor = FactorOf(factors, static_cast<std::uint32_t>(entry.type));
    entry.demand = RecomputedDemand(entry.inputValue, factor);
    entry.ratio = 0.0;
    entry.ratioMax = 0.0;
    entry.ratioMin = 0.0;
    entry.valveSize = 0.0;
}

}  // namespace korvan
