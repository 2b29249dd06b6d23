#include "tables/ValveTables.h"

#include <memory>
#include <new>

#include "interface/ResultCodes.h"
#include "tables/CheckedVector.h"

namespace korvan {
namespace {

constexpr std::array<double, 4> kTypeFactors = {2.25, 5.62, 2.25, 1.5};

// Each entry is made on its own before it is copied into the table, so that running out of memory
// is reported as 10 rather than as an exception; the sequence's own growth is not guarded.
template <typename Entry, typename Table>
std::int32_t AppendSeparatelyAllocated(Table& table, const Entry& value) {
    const std::unique_ptr<Entry> entry(new (std::nothrow) Entry(value));
    if (!entry) {
        return kOutOfMemory;
    }
    Append(table, *entry);
    return kSuccess;
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
            const std::int32_t result = AppendSeparatelyAllocated(table, entry);
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
        const std::int32_t result = AppendSeparatelyAllocated(table, entry);
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

}  // namespace korvan
