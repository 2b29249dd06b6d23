// The shortcuts the solver takes for speed checked against the plain rules they replace: large
// batches ordered through buckets of demand keys, the nearest candidate found by one scan of the
// distances instead of the walk over adjacent pairs, each point evaluated, refined and evaluated
// again in one visit instead of three passes, sizes sorted by counting their bit patterns, and the
// tolerance search started at the first pass that can succeed; and whole batches large enough to
// take every shortcut at once, against the plain model of the calculation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

#include "ReferenceModel.h"
#include "solver/DeviationEvaluation.h"
#include "solver/NearestRatio.h"
#include "solver/OrderByDemand.h"
#include "solver/SmallestPossibleValves.h"
#include "solver/ToleranceSearch.h"
#include "tables/ValveTables.h"

namespace {

bool SameBits(double left, double right) {
    return std::memcmp(&left, &right, sizeof left) == 0;
}

// Entries tagged by position in callerData, with every other field set from the demand, so that a
// torn or duplicated record shows.
SolutionVector EntriesWithDemands(const std::vector<double>& demands) {
    SolutionVector entries;
    for (std::size_t i = 0; i < demands.size(); ++i) {
        SolutionEntry entry{};
        entry.type = static_cast<std::int32_t>(i % 4);
        entry.inputValue = static_cast<double>(i);
        entry.demand = demands[i];
        entry.ratio = demands[i] * 2.0;
        entry.ratioMax = -1.0;
        entry.valveSize = 0.25;
        entry.deviation = static_cast<double>(i) / 3.0;
        entry.callerData = i;
        entries.push_back(entry);
    }
    return entries;
}

// Largest demand first, not-a-number last; every record whole and each exactly once.
void ExpectOrderedPermutation(const SolutionVector& ordered, const SolutionVector& original) {
    ASSERT_EQ(ordered.size(), original.size());
    std::vector<bool> seen(original.size(), false);
    for (std::size_t i = 0; i < ordered.size(); ++i) {
        const SolutionEntry& entry = ordered[i];
        ASSERT_LT(entry.callerData, original.size());
        ASSERT_FALSE(seen[entry.callerData]) << "entry " << entry.callerData << " twice";
        seen[entry.callerData] = true;
        const SolutionEntry& source = original[entry.callerData];
        ASSERT_EQ(std::memcmp(&entry, &source, sizeof entry), 0) << "entry " << i << " torn";
        if (i > 0) {
            const double previous = ordered[i - 1].demand;
            ASSERT_TRUE(std::isnan(entry.demand) || previous >= entry.demand)
                << "at " << i << ": " << previous << " before " << entry.demand;
        }
    }
}

std::vector<double> DrawDemands(std::mt19937_64& random, std::size_t count, int kind) {
    std::vector<double> demands;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::size_t i = 0; i < count; ++i) {
        switch (kind) {
            case 0:  // a building: types and input values as hosts send them
                demands.push_back(((2.25 + unit(random) * 3.37) * (1.0 + unit(random) * 1999.0)) *
                                  0.004);
                break;
            case 1:  // whole input values: many equal demands
                demands.push_back(static_cast<double>(1 + random() % 50) * 0.25);
                break;
            case 2:  // spread over sixty orders of magnitude, subnormals included
                demands.push_back(i % 97 == 0 ? 4.9e-324 * static_cast<double>(1 + random() % 9)
                                              : std::exp(unit(random) * 138.0 - 69.0));
                break;
            case 3:  // a dense cluster whose keys share their high bits, and two far outliers
                demands.push_back(i == 0   ? 1e-3
                                  : i == 1 ? 1e6
                                           : 1.0 + static_cast<double>(random() % 100000) * 1e-15);
                break;
            default:  // one demand, repeated
                demands.push_back(3.5);
                break;
        }
    }
    std::shuffle(demands.begin(), demands.end(), random);
    return demands;
}

TEST(OrderByDemand, LargeBatchesOfEveryShapeEndOrderedAndWhole) {
    std::mt19937_64 random(5150);
    for (const std::size_t count :
         {std::size_t{1023}, std::size_t{1024}, std::size_t{5000}, std::size_t{70000}}) {
        for (int kind = 0; kind < 5; ++kind) {
            const SolutionVector original = EntriesWithDemands(DrawDemands(random, count, kind));
            SolutionVector ordered = original;
            korvan::OrderByDemand(korvan::SpanOf(ordered), korvan::DemandsAsSet{});
            ASSERT_NO_FATAL_FAILURE(ExpectOrderedPermutation(ordered, original))
                << count << " entries of kind " << kind;
        }
    }
}

// Entries of equal demand are ordered by type, input value and callerData, whatever order the host
// gave them in, whether the batch is sorted whole or through buckets.
TEST(OrderByDemand, EqualDemandsEndInOneOrderWhateverTheirOrderBefore) {
    std::mt19937_64 random(1024);
    for (const std::size_t count : {std::size_t{600}, std::size_t{5000}}) {
        SolutionVector original;
        for (std::size_t i = 0; i < count; ++i) {
            SolutionEntry entry{};
            entry.type = static_cast<std::int32_t>(random() % 4);
            entry.inputValue = static_cast<double>(random() % 3);
            entry.demand = static_cast<double>(1 + random() % 5) * (i % 2 == 0 ? 1.0 : 1e-3);
            entry.callerData = random() % 4;
            original.push_back(entry);
        }
        SolutionVector first = original;
        korvan::OrderByDemand(korvan::SpanOf(first), korvan::DemandsAsSet{});
        for (std::size_t i = 1; i < first.size(); ++i) {
            ASSERT_FALSE(korvan::OrdersBefore(first[i], first[i - 1])) << count << ", at " << i;
        }
        for (int round = 0; round < 3; ++round) {
            SolutionVector shuffled = original;
            std::shuffle(shuffled.begin(), shuffled.end(), random);
            korvan::OrderByDemand(korvan::SpanOf(shuffled), korvan::DemandsAsSet{});
            for (std::size_t i = 0; i < first.size(); ++i) {
                ASSERT_EQ(std::memcmp(&first[i], &shuffled[i], sizeof first[i]), 0)
                    << count << ", at " << i;
            }
        }
    }
}

TEST(OrderByDemand, DemandsThatAreNotPositiveAndFiniteStillOrder) {
    std::mt19937_64 random(77);
    const double odd[] = {0.0, -0.0, -2.5, std::numeric_limits<double>::infinity(),
                          std::numeric_limits<double>::quiet_NaN()};
    for (const double value : odd) {
        std::vector<double> demands = DrawDemands(random, 3000, 0);
        demands[1234] = value;
        demands[17] = value;
        const SolutionVector original = EntriesWithDemands(demands);
        SolutionVector ordered = original;
        korvan::OrderByDemand(korvan::SpanOf(ordered), korvan::DemandsAsSet{});
        ASSERT_NO_FATAL_FAILURE(ExpectOrderedPermutation(ordered, original)) << value;
    }
}

// Ratios where rounding decides: both sides of every candidate and of every midpoint between two,
// values so large that every distance rounds alike, and values that are not ratios at all.
std::vector<double> TellingRatios(const std::vector<reference::Pair>& candidates) {
    std::vector<double> ratios = {0.0,
                                  -1.0,
                                  4.9e-324,
                                  1e17,
                                  1.0000000000000002e17,
                                  1e300,
                                  std::numeric_limits<double>::max(),
                                  std::numeric_limits<double>::infinity(),
                                  -std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::quiet_NaN()};
    const double infinity = std::numeric_limits<double>::infinity();
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        std::vector<double> centres = {candidates[k].ratio};
        if (k + 1 < candidates.size()) {
            centres.push_back((candidates[k].ratio + candidates[k + 1].ratio) / 2.0);
        }
        for (double value : centres) {
            double below = value;
            double above = value;
            for (int step = 0; step < 4; ++step) {
                ratios.push_back(below);
                ratios.push_back(above);
                below = std::nextafter(below, -infinity);
                above = std::nextafter(above, infinity);
            }
        }
    }
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> spread(0.5, 40.0);
    for (int i = 0; i < 2000; ++i) {
        ratios.push_back(spread(random));
    }
    return ratios;
}

TEST(AssignNearestRatio, ScanAgreesWithThePairWalk) {
    korvan::ValveRatioTable table;
    ASSERT_EQ(korvan::BuildValveRatioTable(table), 0);
    const std::vector<reference::Pair> candidates = reference::Group(reference::RatioTable(), 0);
    const std::vector<double> ratios = TellingRatios(candidates);
    SolutionVector library(ratios.size(), SolutionEntry{});
    for (std::size_t i = 0; i < ratios.size(); ++i) {
        library[i].ratio = ratios[i];
    }
    SolutionVector model = library;
    const korvan::GroupZero groupZero = korvan::CollectGroupZero(table);
    for (SolutionEntry& point : library) {
        korvan::AssignNearestRatio(point, groupZero);
    }
    reference::AssignNearestRatio(model, candidates);
    for (std::size_t i = 0; i < ratios.size(); ++i) {
        ASSERT_TRUE(SameBits(library[i].valveSize, model[i].valveSize))
            << "ratio " << ratios[i] << ": " << library[i].valveSize << " vs "
            << model[i].valveSize;
    }
}

void ExpectSameState(const SolutionVector& left, const SolutionVector& right,
                     const korvan::SolutionTotals& a, const reference::Outputs& b) {
    ASSERT_EQ(left.size(), right.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_EQ(std::memcmp(&left[i], &right[i], sizeof left[i]), 0) << "entry " << i;
    }
    EXPECT_TRUE(SameBits(a.deviationMax, b.deviationMax));
    EXPECT_TRUE(SameBits(a.deviationMin, b.deviationMin));
    EXPECT_TRUE(SameBits(a.scaleFactor, b.scaleFactor));
    EXPECT_TRUE(SameBits(a.reducedScaleFactor, b.reducedScaleFactor));
}

// Points as the reduction leaves them: series sizes, some ratios exactly 1, deviations that sit on
// the borders between hundredths.
SolutionVector DrawReducedPoints(std::mt19937_64& random, std::size_t count) {
    SolutionVector points(count, SolutionEntry{});
    for (std::size_t i = 0; i < count; ++i) {
        points[i].demand = random() % 3 == 0
                               ? static_cast<double>(1 + random() % 40) * 0.05
                               : std::exp(static_cast<double>(random() % 4000) / 500.0 - 4.0);
        points[i].ratio = random() % 4 == 0 ? 1.0 : 1.5;
        points[i].valveSize = korvan::kValveSizeSeries[random() % korvan::kSeriesLength];
        points[i].deviation = 99.0;
    }
    return points;
}

TEST(EvaluateAndRefine, OneVisitPerPointLeavesWhatThreePassesLeave) {
    korvan::ValveRatioTable table;
    ASSERT_EQ(korvan::BuildValveRatioTable(table), 0);
    const korvan::GroupZero groupZero = korvan::CollectGroupZero(table);
    const std::vector<reference::Pair> plainGroupZero =
        reference::Group(reference::RatioTable(), 0);
    std::mt19937_64 random(2024);
    for (int round = 0; round < 400; ++round) {
        SolutionVector fast = DrawReducedPoints(random, 1 + random() % 60);
        SolutionVector plain = fast;
        double sum = 0.0;
        for (const SolutionEntry& point : fast) {
            sum = korvan::AddQuotient(sum, point);
        }
        korvan::SolutionTotals a{};
        ASSERT_EQ(korvan::EvaluateAndRefine(korvan::SpanOf(fast), groupZero, sum, a), 0);

        reference::Outputs b;
        double plainSum = 0;
        for (const SolutionEntry& point : plain) {
            plainSum += point.demand / point.valveSize;
        }
        b.scaleFactor = plainSum / static_cast<double>(plain.size());
        reference::Evaluate(plain, b.scaleFactor, b.deviationMax, b.deviationMin);
        reference::Refine(plain, plainGroupZero, b.scaleFactor);
        reference::Evaluate(plain, b.scaleFactor, b.deviationMax, b.deviationMin);
        b.deviationMax = std::floor(b.deviationMax * 100) / 100;
        b.deviationMin = std::floor(b.deviationMin * 100) / 100;
        b.reducedScaleFactor = b.scaleFactor / 2000;
        ASSERT_NO_FATAL_FAILURE(ExpectSameState(fast, plain, a, b)) << "round " << round;
    }
}

std::uint64_t BitsOf(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

double WithBits(std::uint64_t bits) {
    double value = 0.0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

TEST(SortLargestFirst, FewOrManyPatternsComeBackOrderedAndBitForBit) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double otherNan = WithBits(BitsOf(nan) | 0x5);
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<double> few = {0.5,      0.3,  0.2,      0.16, 0.1,      0.06,
                                     0.03,     0.0,  -0.0,     nan,  otherNan, -infinity,
                                     infinity, -1.0, 4.9e-324, 0.25};
    std::mt19937_64 random(3);
    for (const std::size_t patterns :
         {std::size_t{1}, std::size_t{7}, std::size_t{16}, std::size_t{17}, std::size_t{40}}) {
        std::vector<double> values;
        for (std::size_t i = 0; i < 3000; ++i) {
            const std::size_t pick = random() % patterns;
            values.push_back(pick < few.size() ? few[pick] : 1.0 + static_cast<double>(pick));
        }
        std::vector<std::uint64_t> expected;
        for (const double value : values) {
            expected.push_back(BitsOf(value));
        }
        korvan::SortLargestFirst(korvan::SpanOf(values));
        std::vector<std::uint64_t> actual;
        for (std::size_t i = 0; i < values.size(); ++i) {
            actual.push_back(BitsOf(values[i]));
            if (i > 0 && !std::isnan(values[i])) {
                ASSERT_FALSE(std::isnan(values[i - 1])) << "a number after not-a-number at " << i;
                ASSERT_GE(values[i - 1], values[i]) << "at " << i;
            }
        }
        std::sort(expected.begin(), expected.end());
        std::sort(actual.begin(), actual.end());
        ASSERT_EQ(actual, expected) << patterns << " patterns";
    }
}

// Ratios that put a window bound within a few ulps of a table ratio at some pass, besides exact
// table ratios and ratios spread up to 2000, the far side of pass 100.
double DrawTellingRatio(std::mt19937_64& random, const std::vector<reference::Pair>& table) {
    const double tableRatio = table[random() % table.size()].ratio;
    const double pass = static_cast<double>(random() % 101);
    switch (random() % 4) {
        case 0:
            return tableRatio;
        case 1:
        case 2: {
            const double bound = random() % 2 == 0 ? pass / 100.0 + 1.0 : -pass / 100.0 + 1.0;
            double ratio = tableRatio / bound;
            for (std::uint64_t step = random() % 4; step > 0; --step) {
                ratio = std::nextafter(ratio, random() % 2 == 0 ? 0.0 : 3000.0);
            }
            return std::isfinite(ratio) ? std::max(ratio, 1.0) : 1.0;
        }
        default:
            return std::exp(static_cast<double>(random() % 7600) / 1000.0);
    }
}

TEST(SearchWithinTolerance, StartingLateEndsOnTheSamePassGroupAndSizes) {
    korvan::ValveRatioTable table;
    ASSERT_EQ(korvan::BuildValveRatioTable(table), 0);
    const std::vector<reference::Pair> plain = reference::RatioTable();
    std::mt19937_64 random(1168);
    for (int round = 0; round < 8000; ++round) {
        SolutionVector library(1 + random() % 7, SolutionEntry{});
        library[0].ratio = 1.0;
        for (std::size_t i = 1; i < library.size(); ++i) {
            library[i].ratio = DrawTellingRatio(random, plain);
        }
        SolutionVector model = library;
        korvan::SearchWithinTolerance(korvan::SpanOf(library), table);
        double plus = 0;
        double minus = 0;
        int group = 0;
        while (reference::MatchWithinTolerance(model, plain, plus, minus, group) == 1168) {
            plus += 1;
            minus += -1;
        }
        reference::AssignFromGroup(model, plain, group);
        for (std::size_t i = 0; i < library.size(); ++i) {
            ASSERT_EQ(std::memcmp(&library[i], &model[i], sizeof library[i]), 0)
                << "round " << round << ", point " << i << " of ratio " << library[i].ratio
                << ": pass " << plus << ", group " << group;
        }
    }
}

// Entries of equal demand may stand in any order; compare them sorted by every field.
SolutionVector Canonical(SolutionVector entries) {
    std::sort(entries.begin(), entries.end(), [](const SolutionEntry& a, const SolutionEntry& b) {
        return std::memcmp(&a, &b, sizeof a) < 0;
    });
    return entries;
}

// Solves a copy of `entries` with the model; the code it returns, or -1 for out_of_range.
int SolveWithModel(SolutionVector& entries, reference::Outputs& out) {
    try {
        return reference::Solve(entries, out);
    } catch (const std::out_of_range&) {
        return -1;
    }
}

int Generate(const std::vector<std::uint32_t>& types, const std::vector<double>& values,
             SolutionVector& solution, reference::Outputs& out) {
    try {
        return GenerateSolutionVector(static_cast<std::int32_t>(types.size()), types.data(),
                                      values.data(), &out.deviationMax, &out.deviationMin,
                                      &out.scaleFactor, &out.reducedScaleFactor, &solution);
    } catch (const std::out_of_range&) {
        return -1;
    }
}

TEST(LargeBatches, AgreeWithTheModelBitForBit) {
    std::mt19937_64 random(4242);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const std::size_t count : {std::size_t{1500}, std::size_t{20000}}) {
        for (int kind = 0; kind < 3; ++kind) {
            std::vector<std::uint32_t> types;
            std::vector<double> values;
            for (std::size_t i = 0; i < count; ++i) {
                types.push_back(static_cast<std::uint32_t>(random() % 4));
                // A building; whole numbers that tie demands; and a spread so wide that the
                // largest ratios round alike to every candidate, which the library refuses and
                // the model's mapping fails on.
                values.push_back(kind == 0   ? 1.0 + unit(random) * 1999.0
                                 : kind == 1 ? static_cast<double>(1 + random() % 300)
                                             : std::exp(unit(random) * 100.0 - 50.0));
            }
            SolutionVector library;
            reference::Outputs out;
            const int code = Generate(types, values, library, out);

            SolutionVector model;
            for (std::size_t i = 0; i < count; ++i) {
                SolutionEntry entry{};
                entry.type = static_cast<std::int32_t>(types[i]);
                entry.inputValue = values[i];
                entry.demand = reference::NewDemand(types[i], values[i]);
                model.push_back(entry);
            }
            reference::Outputs expected;
            const int modelCode = SolveWithModel(model, expected);
            if (modelCode == -1) {
                EXPECT_EQ(code, 13) << count << " of kind " << kind;
                EXPECT_TRUE(library.empty());
                continue;
            }
            ASSERT_EQ(code, modelCode) << count << " of kind " << kind;
            const SolutionVector left = Canonical(library);
            const SolutionVector right = Canonical(model);
            ASSERT_EQ(left.size(), right.size());
            for (std::size_t i = 0; i < left.size(); ++i) {
                ASSERT_EQ(std::memcmp(&left[i], &right[i], sizeof left[i]), 0)
                    << count << " of kind " << kind << ", entry " << i;
            }
            if (code == 0) {
                EXPECT_TRUE(SameBits(out.scaleFactor, expected.scaleFactor));
                EXPECT_TRUE(SameBits(out.deviationMax, expected.deviationMax));
                EXPECT_TRUE(SameBits(out.deviationMin, expected.deviationMin));
                EXPECT_TRUE(SameBits(out.reducedScaleFactor, expected.reducedScaleFactor));
            }
        }
    }
}

TEST(LargeBatches, RefilledAfterEditsAgreeWithTheModelBitForBit) {
    std::mt19937_64 random(777);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const std::size_t count : {std::size_t{1200}, std::size_t{30000}}) {
        std::vector<std::uint32_t> types;
        std::vector<double> values;
        for (std::size_t i = 0; i < count; ++i) {
            types.push_back(static_cast<std::uint32_t>(random() % 4));
            values.push_back(1.0 + unit(random) * 1999.0);
        }
        SolutionVector solution;
        reference::Outputs out;
        ASSERT_EQ(Generate(types, values, solution, out), 0);
        // The host shuffles its points, edits some, and tags them all.
        std::shuffle(solution.begin(), solution.end(), random);
        for (std::size_t i = 0; i < solution.size(); ++i) {
            if (random() % 5 == 0) {
                solution[i].type = static_cast<std::int32_t>(random() % 4);
                solution[i].inputValue = static_cast<double>(1 + random() % 2000);
            }
            solution[i].callerData = i;
        }
        SolutionVector model = solution;
        ASSERT_EQ(FillSolutionVector(&solution, &out.deviationMax, &out.deviationMin,
                                     &out.scaleFactor, &out.reducedScaleFactor),
                  0);
        for (SolutionEntry& entry : model) {
            entry.demand = reference::RecomputedDemand(static_cast<std::uint32_t>(entry.type),
                                                       entry.inputValue);
            entry.ratio = entry.ratioMax = entry.ratioMin = entry.valveSize = 0.0;
        }
        reference::Outputs expected;
        ASSERT_EQ(SolveWithModel(model, expected), 0);
        const SolutionVector left = Canonical(solution);
        const SolutionVector right = Canonical(model);
        for (std::size_t i = 0; i < left.size(); ++i) {
            ASSERT_EQ(std::memcmp(&left[i], &right[i], sizeof left[i]), 0)
                << count << " points, entry " << i;
        }
        EXPECT_TRUE(SameBits(out.scaleFactor, expected.scaleFactor));
        EXPECT_TRUE(SameBits(out.deviationMax, expected.deviationMax));
        EXPECT_TRUE(SameBits(out.deviationMin, expected.deviationMin));
    }
}

}  // namespace

namespace {

// Generates the points through the C interface, each tagged with `tags`.
std::vector<KorvanSolutionEntry> GenerateTagged(const std::vector<std::uint32_t>& types,
                                                const std::vector<double>& values,
                                                const std::vector<std::uint64_t>& tags) {
    std::vector<KorvanSolutionEntry> entries(types.size());
    std::size_t count = 0;
    KorvanSolutionTotals totals{};
    EXPECT_EQ(
        KorvanGenerateSolution(static_cast<std::int32_t>(types.size()), types.data(), values.data(),
                               tags.data(), entries.data(), entries.size(), &count, &totals),
        0);
    return entries;
}

// Large batches of many equal demands come out the same whatever order the host gives the points
// in: generated straight into the order of the result, and re-solved in place through buckets.
TEST(LargeBatches, EqualDemandsEndInOneOrderOnEveryPath) {
    std::mt19937_64 random(2718);
    for (const std::size_t count : {std::size_t{2000}, std::size_t{40000}}) {
        std::vector<std::uint32_t> types(count);
        std::vector<double> values(count);
        std::vector<std::uint64_t> tags(count);
        for (std::size_t i = 0; i < count; ++i) {
            types[i] = static_cast<std::uint32_t>(random() % 4);
            values[i] = static_cast<double>(1 + random() % 40);
            tags[i] = random() % 3;
        }
        const std::vector<KorvanSolutionEntry> first = GenerateTagged(types, values, tags);
        for (std::size_t i = 1; i < count; ++i) {
            ASSERT_FALSE(korvan::OrdersBefore(first[i], first[i - 1])) << count << ", at " << i;
        }
        std::vector<std::size_t> order(count);
        for (std::size_t i = 0; i < count; ++i) {
            order[i] = i;
        }
        std::shuffle(order.begin(), order.end(), random);
        std::vector<std::uint32_t> shuffledTypes(count);
        std::vector<double> shuffledValues(count);
        std::vector<std::uint64_t> shuffledTags(count);
        for (std::size_t i = 0; i < count; ++i) {
            shuffledTypes[i] = types[order[i]];
            shuffledValues[i] = values[order[i]];
            shuffledTags[i] = tags[order[i]];
        }
        std::vector<KorvanSolutionEntry> second =
            GenerateTagged(shuffledTypes, shuffledValues, shuffledTags);
        ASSERT_EQ(std::memcmp(first.data(), second.data(), count * sizeof first[0]), 0) << count;

        // Re-solved after a shuffle: the halved demands keep every tie, and the order.
        std::shuffle(second.begin(), second.end(), random);
        KorvanSolutionTotals totals{};
        ASSERT_EQ(KorvanFillSolution(second.data(), count, &totals), 0);
        std::vector<KorvanSolutionEntry> refilled = first;
        ASSERT_EQ(KorvanFillSolution(refilled.data(), count, &totals), 0);
        ASSERT_EQ(std::memcmp(refilled.data(), second.data(), count * sizeof first[0]), 0) << count;
    }
}

}  // namespace
