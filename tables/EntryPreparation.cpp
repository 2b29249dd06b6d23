#include "tables/EntryPreparation.h"

namespace korvan {

double NewEntryDemand(double factor, double inputValue) {
    return ((factor * inputValue) * 0.001) * 4.0;
}

double RecomputedDemand(double inputValue, double factor) {
    return ((inputValue * factor) * 0.001) * 2.0;
}

bool IsSolvableDemand(double demand) {
    return demand >= kSmallestDemand && demand <= kLargestDemand;
}

double FactorOf(const TypeFactorTable& factors, std::uint32_t type) {
    return At(factors, type).factor;
}

std::size_t FirstUnknownType(const TypeFactorTable& factors, const std::uint32_t* types,
                             std::size_t count) {
    std::size_t position = 0;
    while (position < count && types[position] < factors.size()) {
        ++position;
    }
    return position;
}

std::size_t FirstUnknownType(const TypeFactorTable& factors, Span<const SolutionEntry> entries) {
    std::size_t position = 0;
    while (position < entries.size() &&
           static_cast<std::uint32_t>(entries[position].type) < factors.size()) {
        ++position;
    }
    return position;
}

SolutionEntry NewEntry(const TypeFactorTable& factors, std::uint32_t type, double inputValue,
                       std::uint64_t tag) {
    SolutionEntry entry{};
    entry.type = static_cast<std::int32_t>(type);
    entry.inputValue = inputValue;
    entry.demand = NewEntryDemand(FactorOf(factors, type), inputValue);
    entry.callerData = tag;
    return entry;
}

std::int32_t RecomputeDemands(EntryRange entries, const TypeFactorTable& factors) {
    for (SolutionEntry& entry : entries) {
        RecomputeDemand(entry, factors);
    }
    return kSuccess;
}

void RecomputeDemand(SolutionEntry& entry, const TypeFactorTable& factors) {
    const double factor = FactorOf(factors, static_cast<std::uint32_t>(entry.type));
    entry.demand = RecomputedDemand(entry.inputValue, factor);
    entry.ratio = 0.0;
    entry.ratioMax = 0.0;
    entry.ratioMin = 0.0;
    entry.valveSize = 0.0;
}

}  // namespace korvan
