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

std::size_t FindInSeries(double size) {
    // The series falls strictly, so a size of the series has as many sizes above it as its index;
    // counting them needs no branch, and one comparison rules out every other value.
    std::size_t index = 0;
    for (const double seriesSize : kValveSizeSeries) {
        index += seriesSize > size ? 1 : 0;
    }
    return index < kSeriesLength && kValveSizeSeries[index] == size ? index : kSeriesLength;
}

std::size_t SeriesIndexOf(double size) {
    const std::size_t index = FindInSeries(size);
    if (index == kSeriesLength) {
        ThrowSubscriptOutOfRange();
    }
    return index;
}

ValveGroup GroupOf(const ValveRatioTable& table, std::size_t group) {
    if (group >= kGroupCount) {
        ThrowSubscriptOutOfRange();
    }
    return SpanOf(table).Part(GroupOffset(group), GroupLength(group));
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
