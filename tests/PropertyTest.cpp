// Many random solves (fixed seeds) checked two ways: against the plain reference model, bit for
// bit, and against what must hold after every successful solve.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "KorvanCalcValueProvider.h"
#include "ReferenceModel.h"

namespace {

struct Points {
    std::vector<std::uint32_t> types;
    std::vector<double> values;
};

// Input values drawn from the kinds a host sends: whole numbers, repeats that tie demands, and
// values spread over many orders of magnitude.
double DrawValue(std::mt19937_64& random) {
    switch (random() % 4) {
        case 0:
            return static_cast<double>(1 + random() % 2000);
        case 1:
            return static_cast<double>(1 + random() % 5) * 10.0;
        case 2:
            return std::uniform_real_distribution<double>(0.001, 5000.0)(random);
        default:
            return std::exp(std::uniform_real_distribution<double>(-15.0, 15.0)(random));
    }
}

Points DrawPoints(std::mt19937_64& random, std::size_t count) {
    Points points;
    for (std::size_t i = 0; i < count; ++i) {
        points.types.push_back(static_cast<std::uint32_t>(random() % 4));
        points.values.push_back(DrawValue(random));
    }
    return points;
}

std::size_t DrawCount(std::mt19937_64& random) {
    const std::uint64_t pick = random() % 10;
    if (pick < 6) {
        return static_cast<std::size_t>(1 + random() % 7);
    }
    if (pick < 9) {
        return static_cast<std::size_t>(8 + random() % 25);
    }
    return static_cast<std::size_t>(100 + random() % 400);
}

bool SameBits(double left, double right) {
    return std::memcmp(&left, &right, sizeof left) == 0;
}

bool SameEntry(const SolutionEntry& left, const SolutionEntry& right) {
    return left.type == right.type && SameBits(left.inputValue, right.inputValue) &&
           SameBits(left.demand, right.demand) && SameBits(left.ratio, right.ratio) &&
           SameBits(left.ratioMax, right.ratioMax) && SameBits(left.ratioMin, right.ratioMin) &&
           SameBits(left.valveSize, right.valveSize) && SameBits(left.deviation, right.deviation) &&
           left.callerData == right.callerData;
}

// Entries of equal demand may stand in any order; compare them in one canonical order.
SolutionVector Canonical(SolutionVector entries) {
    std::sort(entries.begin(), entries.end(), [](const SolutionEntry& a, const SolutionEntry& b) {
        if (a.demand != b.demand) {
            return a.demand > b.demand;
        }
        if (a.callerData != b.callerData) {
            return a.callerData < b.callerData;
        }
        return a.type != b.type ? a.type < b.type : a.inputValue < b.inputValue;
    });
    return entries;
}

void TagEntries(SolutionVector& solution, std::uint64_t first) {
    for (SolutionEntry& entry : solution) {
        entry.callerData = first++;
    }
}

void ExpectSameSolution(const SolutionVector& library, const SolutionVector& model) {
    ASSERT_EQ(library.size(), model.size());
    const SolutionVector left = Canonical(library);
    const SolutionVector right = Canonical(model);
    for (std::size_t i = 0; i < left.size(); ++i) {
        ASSERT_TRUE(SameEntry(left[i], right[i]))
            << "entry " << i << ": size " << left[i].valveSize << " vs " << right[i].valveSize
            << ", deviation " << left[i].deviation << " vs " << right[i].deviation;
    }
}

void ExpectSameOutputs(const reference::Outputs& library, const reference::Outputs& model) {
    EXPECT_TRUE(SameBits(library.deviationMax, model.deviationMax));
    EXPECT_TRUE(SameBits(library.deviationMin, model.deviationMin));
    EXPECT_TRUE(SameBits(library.scaleFactor, model.scaleFactor));
    EXPECT_TRUE(SameBits(library.reducedScaleFactor, model.reducedScaleFactor));
}

bool InSeries(double size) {
    const double series[] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
    return std::find(std::begin(series), std::end(series), size) != std::end(series);
}

// What every successful solve leaves behind, whatever the input.
void ExpectSolvedInvariants(const SolutionVector& solution, const reference::Outputs& out) {
    double largestRaw = 0.0;
    double smallestRaw = 0.0;
    std::vector<double> sizes;
    for (std::size_t i = 0; i < solution.size(); ++i) {
        const SolutionEntry& entry = solution[i];
        if (i > 0) {
            ASSERT_GE(solution[i - 1].demand, entry.demand) << "entry " << i;
            if (solution[i - 1].demand == entry.demand) {
                ASSERT_EQ(solution[i - 1].valveSize, entry.valveSize) << "entry " << i;
            }
        }
        ASSERT_TRUE(InSeries(entry.valveSize)) << entry.valveSize;
        double raw = 0.0;
        ASSERT_TRUE(SameBits(entry.deviation, reference::Deviation(entry.demand, entry.valveSize,
                                                                   out.scaleFactor, &raw)));
        largestRaw = raw >= 0.0 ? std::max(largestRaw, raw) : largestRaw;
        smallestRaw = raw < 0.0 ? std::min(smallestRaw, raw) : smallestRaw;
        sizes.push_back(entry.valveSize);
    }
    EXPECT_TRUE(SameBits(out.deviationMax, std::floor(largestRaw * 100) / 100));
    EXPECT_TRUE(SameBits(out.deviationMin, std::floor(smallestRaw * 100) / 100));
    EXPECT_TRUE(SameBits(out.reducedScaleFactor, out.scaleFactor / 2000));

    // Whatever the solver's sizes were, reducing a reduced set gives the set back.
    std::vector<double> reduced;
    ASSERT_EQ(GetSmallestPossibleValves(&sizes, &reduced), 0);
    std::vector<double> again;
    std::vector<double> copy = reduced;
    ASSERT_EQ(GetSmallestPossibleValves(&copy, &again), 0);
    EXPECT_EQ(again, reduced);
}

reference::Outputs Generate(const Points& points, SolutionVector& solution, std::int32_t& code) {
    reference::Outputs out;
    code = GenerateSolutionVector(
        static_cast<std::int32_t>(points.types.size()), points.types.data(), points.values.data(),
        &out.deviationMax, &out.deviationMin, &out.scaleFactor, &out.reducedScaleFactor, &solution);
    return out;
}

// Solves a fresh random set of points into `solution`.
void GenerateRandom(std::mt19937_64& random, SolutionVector& solution) {
    std::int32_t code = -1;
    Generate(DrawPoints(random, DrawCount(random)), solution, code);
    ASSERT_EQ(code, 0);
}

// Appends the model's view of the new entries: the demands the library gives new points.
void AppendModelEntries(const Points& points, SolutionVector& model) {
    for (std::size_t i = 0; i < points.types.size(); ++i) {
        SolutionEntry entry{};
        entry.type = static_cast<std::int32_t>(points.types[i]);
        entry.inputValue = points.values[i];
        entry.demand = reference::NewDemand(points.types[i], points.values[i]);
        model.push_back(entry);
    }
}

TEST(RandomSolves, GenerateOnEmptyVectorAgreesWithModelAndKeepsInvariants) {
    std::mt19937_64 random(20261208);
    for (int round = 0; round < 3000; ++round) {
        const Points points = DrawPoints(random, DrawCount(random));
        SolutionVector solution;
        std::int32_t code = -1;
        const reference::Outputs out = Generate(points, solution, code);
        ASSERT_EQ(code, 0) << "round " << round;

        SolutionVector model;
        AppendModelEntries(points, model);
        reference::Outputs expected;
        ASSERT_EQ(reference::Solve(model, expected), 0);
        ASSERT_NO_FATAL_FAILURE(ExpectSameSolution(solution, model)) << "round " << round;
        ExpectSameOutputs(out, expected);
        ASSERT_NO_FATAL_FAILURE(ExpectSolvedInvariants(solution, out)) << "round " << round;
    }
}

TEST(RandomSolves, GenerateOnFilledVectorThenFillAgreesWithModel) {
    std::mt19937_64 random(7);
    for (int round = 0; round < 1500; ++round) {
        SolutionVector solution;
        ASSERT_NO_FATAL_FAILURE(GenerateRandom(random, solution));
        TagEntries(solution, 1000);
        std::int32_t code = -1;
        SolutionVector model = solution;

        // More points on top of a solved vector: the old entries keep their demands and stale
        // work fields, and the solver works on all of them.
        const Points more = DrawPoints(random, 1 + random() % 6);
        const reference::Outputs out = Generate(more, solution, code);
        ASSERT_EQ(code, 0);
        AppendModelEntries(more, model);
        reference::Outputs expected;
        ASSERT_EQ(reference::Solve(model, expected), 0);
        ASSERT_NO_FATAL_FAILURE(ExpectSameSolution(solution, model)) << "round " << round;
        ExpectSameOutputs(out, expected);

        // The host edits some points and re-solves.
        TagEntries(solution, 0);
        for (SolutionEntry& entry : solution) {
            if (random() % 3 == 0) {
                entry.type = static_cast<std::int32_t>(random() % 4);
                entry.inputValue = DrawValue(random);
            }
        }
        model = solution;
        reference::Outputs refilled;
        ASSERT_EQ(FillSolutionVector(&solution, &refilled.deviationMax, &refilled.deviationMin,
                                     &refilled.scaleFactor, &refilled.reducedScaleFactor),
                  0);
        for (SolutionEntry& entry : model) {
            entry.demand = reference::RecomputedDemand(static_cast<std::uint32_t>(entry.type),
                                                       entry.inputValue);
            entry.ratio = entry.ratioMax = entry.ratioMin = entry.valveSize = 0;
        }
        ASSERT_EQ(reference::Solve(model, expected), 0);
        ASSERT_NO_FATAL_FAILURE(ExpectSameSolution(solution, model)) << "round " << round;
        ExpectSameOutputs(refilled, expected);
        ASSERT_NO_FATAL_FAILURE(ExpectSolvedInvariants(solution, refilled));
    }
}

TEST(RandomSolves, CallerDataTravelsWithItsEntry) {
    std::mt19937_64 random(99);
    for (int round = 0; round < 300; ++round) {
        SolutionVector solution;
        ASSERT_NO_FATAL_FAILURE(GenerateRandom(random, solution));
        std::shuffle(solution.begin(), solution.end(), random);
        for (SolutionEntry& entry : solution) {
            // The host's tag is derived from the point's own input, so it can be checked anywhere.
            std::uint64_t bits = 0;
            std::memcpy(&bits, &entry.inputValue, sizeof bits);
            entry.callerData = bits ^ static_cast<std::uint64_t>(entry.type);
        }
        reference::Outputs out;
        ASSERT_EQ(FillSolutionVector(&solution, &out.deviationMax, &out.deviationMin,
                                     &out.scaleFactor, &out.reducedScaleFactor),
                  0);
        for (const SolutionEntry& entry : solution) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &entry.inputValue, sizeof bits);
            ASSERT_EQ(entry.callerData, bits ^ static_cast<std::uint64_t>(entry.type));
        }
    }
}

TEST(RandomReductions, AgreeWithModelOnSeriesAndOtherSizes) {
    std::mt19937_64 random(31337);
    const double pool[] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03, 0.4, 0.7, 0.25, 0.12, 0.05};
    for (int round = 0; round < 5000; ++round) {
        std::vector<double> sizes;
        const std::size_t count = 1 + random() % 10;
        const std::size_t poolSize = round % 2 == 0 ? 7 : 12;
        for (std::size_t i = 0; i < count; ++i) {
            sizes.push_back(pool[random() % poolSize]);
        }
        std::vector<double> modelSizes = sizes;
        std::vector<double> smallest{9.0};
        std::vector<double> expected{9.0};
        const int code = GetSmallestPossibleValves(&sizes, &smallest);
        const int expectedCode = reference::SmallestPossibleValves(modelSizes, expected);
        ASSERT_EQ(code, expectedCode);
        ASSERT_EQ(sizes, modelSizes);
        ASSERT_EQ(smallest, expected);
    }
}

}  // namespace
