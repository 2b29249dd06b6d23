// The constant tables and the checked-access helpers every step relies on.
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "tables/CheckedAccess.h"
#include "tables/ResultCodes.h"
#include "tables/ValveTables.h"

namespace korvan {
namespace {

TEST(ValveRatioTable, HoldsEveryPairBitForBit) {
    struct Row {
        std::int32_t baseIndex;
        std::int32_t step;
        double ratio;
        double size;
    };
    // Quotients written out to 17 digits: each must be the very double the division gives.
    const Row expected[] = {{0, 0, 1.0, 0.5},
                            {0, 1, 1.6666666666666667, 0.3},
                            {0, 2, 2.5, 0.2},
                            {0, 3, 3.125, 0.16},
                            {0, 4, 5.0, 0.1},
                            {0, 5, 8.333333333333334, 0.06},
                            {0, 6, 16.666666666666668, 0.03},
                            {1, 0, 1.0, 0.3},
                            {1, 1, 1.4999999999999998, 0.2},
                            {1, 2, 1.875, 0.16},
                            {1, 3, 2.9999999999999996, 0.1},
                            {1, 4, 5.0, 0.06},
                            {1, 5, 10.0, 0.03},
                            {2, 0, 1.0, 0.2},
                            {2, 1, 1.25, 0.16},
                            {2, 2, 2.0, 0.1},
                            {2, 3, 3.3333333333333335, 0.06},
                            {2, 4, 6.666666666666667, 0.03},
                            {3, 0, 1.0, 0.16},
                            {3, 1, 1.5999999999999999, 0.1},
                            {3, 2, 2.666666666666667, 0.06},
                            {3, 3, 5.333333333333334, 0.03},
                            {4, 0, 1.0, 0.1},
                            {4, 1, 1.6666666666666667, 0.06},
                            {4, 2, 3.3333333333333335, 0.03},
                            {5, 0, 1.0, 0.06},
                            {5, 1, 2.0, 0.03},
                            {6, 0, 1.0, 0.03}};
    ValveRatioTable table;
    ASSERT_EQ(BuildValveRatioTable(table), kSuccess);
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].baseIndex, expected[i].baseIndex) << i;
        EXPECT_EQ(table[i].step, expected[i].step) << i;
        EXPECT_EQ(table[i].ratio, expected[i].ratio) << i;
        EXPECT_EQ(table[i].size, expected[i].size) << i;
    }
}

TEST(ValveRatioTable, GroupsAreReadInPlace) {
    ValveRatioTable table;
    ASSERT_EQ(BuildValveRatioTable(table), kSuccess);
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const ValveGroup entries = GroupOf(table, group);
        ASSERT_EQ(entries.size(), 7 - group);
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].baseIndex, static_cast<std::int32_t>(group));
            EXPECT_EQ(entries[i].step, static_cast<std::int32_t>(i));
        }
        EXPECT_THROW(entries[entries.size()], std::out_of_range);
    }
    EXPECT_THROW(GroupOf(table, 7), std::out_of_range);
    const GroupZero zero = CollectGroupZero(table);
    for (std::size_t position = 0; position < zero.size(); ++position) {
        EXPECT_EQ(zero[position].size, kValveSizeSeries[position]);
        EXPECT_EQ(FindInSeries(kValveSizeSeries[position]), position);
    }
    EXPECT_EQ(FindInSeries(0.25), kSeriesLength);
    EXPECT_THROW(SeriesIndexOf(0.25), std::out_of_range);
    table.pop_back();
    EXPECT_THROW(GroupOf(table, 6), std::out_of_range);
    table.resize(6);
    EXPECT_THROW(CollectGroupZero(table), std::out_of_range);
}

TEST(TypeFactorTable, HoldsFourFactorsByPosition) {
    TypeFactorTable table;
    ASSERT_EQ(BuildTypeFactorTable(table), kSuccess);
    ASSERT_EQ(table.size(), 4u);
    const double factors[] = {2.25, 5.62, 2.25, 1.5};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(table[i].type, static_cast<std::int32_t>(i));
        EXPECT_EQ(table[i].factor, factors[i]);
    }
}

void ExpectSubscriptError(void (*access)()) {
    try {
        access();
        FAIL() << "no exception";
    } catch (const std::out_of_range& error) {
        EXPECT_EQ(std::string(error.what()), "invalid vector<T> subscript");
    }
}

TEST(CheckedAccess, RaisesTheStandardErrorsWithFixedMessages) {
    std::vector<int> values{1, 2};
    EXPECT_EQ(At(values, 1), 2);
    ExpectSubscriptError([] {
        std::vector<int> two{1, 2};
        At(two, 2);
    });
    ExpectSubscriptError([] {
        int three[] = {1, 2, 3};
        const Span<int> span{three, 3};
        span[3];
    });
    ExpectSubscriptError([] {
        int three[] = {1, 2, 3};
        const Span<int> span{three, 3};
        static_cast<void>(span.Part(2, 2));
    });
    int three[] = {1, 2, 3};
    const Span<const int> tail = Span<int>{three, 3}.Part(1, 2);
    EXPECT_EQ(tail[0], 2);
    EXPECT_EQ(tail.size(), 2U);
    try {
        ReserveAdditional(values, values.max_size());
        FAIL() << "no exception";
    } catch (const std::length_error& error) {
        EXPECT_EQ(std::string(error.what()), "vector<T> too long");
    }
    Append(values, 3);
    EXPECT_EQ(values.back(), 3);
}

}  // namespace
}  // namespace korvan
