// The two constant tables every solving call works from: the ratio of every ordered pair of valve
// sizes, and the demand factor of every point type. Both are rebuilt in each call that needs them
// and live only as long as that call.
#ifndef KORVAN_TABLES_VALVE_TABLES_H
#define KORVAN_TABLES_VALVE_TABLES_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tables/CheckedAccess.h"

namespace korvan {

// The valve sizes, largest first; a size's position is its series index.
constexpr std::array<double, 7> kValveSizeSeries = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
constexpr std::size_t kSeriesLength = kValveSizeSeries.size();
constexpr std::size_t kGroupCount = kSeriesLength;
constexpr std::size_t kValveRatioTableLength = kSeriesLength * (kSeriesLength + 1) / 2;

// Series index of `size`, or kSeriesLength when it is none of the series' sizes. Inline, as are
// the group lookups below: every solve calls them for each point.
inline std::size_t FindInSeries(double size) {
    // The series falls strictly, so a size of the series has as many sizes above it as its index;
    // counting them needs no branch, and one comparison rules out every other value.
    std::size_t index = 0;
    for (const double seriesSize : kValveSizeSeries) {
        index += seriesSize > size ? 1 : 0;
    }
    return index < kSeriesLength && kValveSizeSeries[index] == size ? index : kSeriesLength;
}

// Series index of `size`; std::out_of_range when it is none of the series' sizes, as a checked
// scan of the series running past its last size would raise.
inline std::size_t SeriesIndexOf(double size) {
    const std::size_t index = FindInSeries(size);
    if (index == kSeriesLength) {
        ThrowSubscriptOutOfRange();
    }
    return index;
}

// One ordered pair of series sizes: the larger at `baseIndex`, the smaller `step` places further.
// Entries sharing a `baseIndex` form group `baseIndex`.
struct ValveRatioEntry {
    std::int32_t baseIndex;
    std::int32_t step;
    double ratio;  // series[baseIndex] / series[baseIndex + step], at least 1
    double size;   // series[baseIndex + step]
};

using ValveRatioTable = std::vector<ValveRatioEntry>;

struct TypeFactorEntry {
    std::int32_t type;  // equal to the entry's position
    double factor;      // multiplier applied to a point's input value
};

using TypeFactorTable = std::vector<TypeFactorEntry>;

// Appends the 28 pairs to the empty `table`, grouped by baseIndex ascending and, within a group,
// by step ascending. Returns 0, or 10 when an entry cannot be allocated; the entries appended
// before stay. std::bad_alloc if the table itself cannot grow.
std::int32_t BuildValveRatioTable(ValveRatioTable& table);

// Appends the four type factors to the empty `table`, type t at position t. Returns 0, or 10 when
// an entry cannot be allocated.
std::int32_t BuildTypeFactorTable(TypeFactorTable& table);

// Position of group `group`'s first entry in a table built by BuildValveRatioTable.
constexpr std::size_t GroupOffset(std::size_t group) {
    return group * kSeriesLength - group * (group - 1) / 2;
}

// Number of entries in group `group`: one per series size from its base down to the smallest.
constexpr std::size_t GroupLength(std::size_t group) {
    return kSeriesLength - group;
}

// The entries of one group of a ratio table, read in place and in table order.
using ValveGroup = Span<const ValveRatioEntry>;

// Group `group` of `table`; std::out_of_range if the table does not hold it whole.
inline ValveGroup GroupOf(const ValveRatioTable& table, std::size_t group) {
    if (group >= kGroupCount) {
        ThrowSubscriptOutOfRange();
    }
    return SpanOf(table).Part(GroupOffset(group), GroupLength(group));
}

// The seven entries of group 0, in table order: every size of the series, largest first, with
// its ratio to the largest. The nearest-ratio assignment takes its candidates from it, and the
// refinement its neighbouring sizes. Position p holds series index p.
using GroupZero = std::array<ValveRatioEntry, kSeriesLength>;

// Group 0 of `table`, copied once for the many lookups of a solve; std::out_of_range if the table
// does not hold it whole.
GroupZero CollectGroupZero(const ValveRatioTable& table);

}  // namespace korvan

#endif  // KORVAN_TABLES_VALVE_TABLES_H
