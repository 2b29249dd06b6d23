#include "tables/ValveTables.h"

#include "tables/ResultCodes.h"
#include "tables/SeparateRecord.h"

namespace korvan {
namespace {

constexpr std::array<double, 4> kTypeFactors = {2.25, 5.62, 2.25, 1.5};

template <typename Table>
std::int32_t AppendSeparately(Table& table, const typename Table::value_type& entry) {
    return StoreSeparateRecord(entry, [&](const auto& record) { Append(table, record); });
}

}  // namespace

std::int32_t BuildValveRatioTable(ValveRatioTable& table) {
    ReserveAdditional(table, kValveRatioTableLength);
    for (std::size_t base = 0; base < kSeriesLength; ++base) {
        for (std::size_t step = 0; base + step < kSeriesLength; ++step) {
            const double larger = kValveSizeSeries[base];
            const double smaller = kValveSizeSeries[base + step];
            // The ratio is the quotient of the two stored sizes, bit for bit: other steps compare
            // ratios of the host's sizes with it for exact equality.
            const ValveRatioEntry entry{static_cast<std::int32_t>(base),
                                        static_cast<std::int32_t>(step), larger / smaller, smaller};
            const std::int32_t result = AppendSeparately(table, entry);
            if (result != kSuccess) {
                return result;
            }
        }
    }
    return kSuccess;
}

std::int32_t BuildTypeFactorTable(TypeFactorTable& table) {
    ReserveAdditional(table, kTypeFactors.size());
    for (std::size_t type = 0; type < kTypeFactors.size(); ++type) {
        const TypeFactorEntry entry{static_cast<std::int32_t>(type), kTypeFactors[type]};
        const std::int32_t result = AppendSeparately(table, entry);
        if (result != kSuccess) {
            return result;
        }
    }
    return kSuccess;
}

GroupZero CollectGroupZero(const ValveRatioTable& table) {
    const ValveGroup group = GroupOf(table, 0);
    GroupZero zero{};
    for (std::size_t position = 0; position < zero.size(); ++position) {
        zero[position] = group[position];
    }
    return zero;
}

}  // namespace korvan
