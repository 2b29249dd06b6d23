// Every allocation an exported call makes is made to fail in turn, k = 1, 2, ... until the call
// completes without meeting the failure. Guarded allocations (a table entry, a new entry, a ratio
// slot: made with the nothrow form) must end the call with 10; any other must let std::bad_alloc
// out of a C++ call, and end a C call with 10 too. Either way nothing leaks, the outputs stay
// untouched and the host's entries are all whole: none lost, none half made, callerData intact.
// Only outcomes are checked, never how many allocations a build makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "FailingAllocator.h"
#include "HardeningSupport.h"

namespace {

namespace alloc = korvan_test::failing_allocator;
using korvan_test::Call;
using korvan_test::CallInput;
using korvan_test::CallOutcome;

// Table entries built before the first new entry: 28 valve ratios, then 4 type factors.
constexpr std::size_t kTableEntries = 32;

struct Scenario {
    const char* name;
    CallInput input;
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.name;
}

std::vector<Scenario> Scenarios() {
    using korvan_test::HostEntry;
    using korvan_test::ThroughC;
    CallInput tagged = korvan_test::GenerateCall({3, 3, 0}, {500.0, 500.0, 100.0},
                                                 {HostEntry(1, 1.0, 10.0, 0xA1)});
    tagged.tags = {0xB1, 0xB2, 0xB3};
    return {
        {"CGenerateOnTolerancePath",
         ThroughC(korvan_test::GenerateCall({1, 0, 3}, {50.0, 100.0, 80.0}))},
        {"CGenerateOnNearestRatioPath",
         ThroughC(korvan_test::GenerateCall({0, 0, 0, 0, 0, 0, 0, 0},
                                            {800, 700, 600, 500, 400, 300, 200, 100}))},
        {"CGenerateTaggedOntoHostEntries", ThroughC(tagged)},
        {"CFillEditedEntries", ThroughC(korvan_test::FillCall({HostEntry(0, 100.0, 0.5, 0xF1),
                                                               HostEntry(1, 50.0, 0.5, 0xF2),
                                                               HostEntry(2, 80.0, 0.5, 0xF3)}))},
        {"CSmallestPossibleValves",
         ThroughC(korvan_test::SmallestCall({0.1, 0.5, 0.1, 0.03}, {9.0}))},
        {"GenerateOnTolerancePath", korvan_test::GenerateCall({1, 0, 3}, {50.0, 100.0, 80.0})},
        {"GenerateOnNearestRatioPath",
         korvan_test::GenerateCall({0, 0, 0, 0, 0, 0, 0, 0},
                                   {800, 700, 600, 500, 400, 300, 200, 100})},
        {"GenerateOntoHostEntries",
         korvan_test::GenerateCall({3, 3}, {500.0, 500.0},
                                   {HostEntry(1, 1.0, 10.0, 0xA1), HostEntry(2, 2.0, 6.0, 0xA2)})},
        {"FillEditedEntries",
         korvan_test::FillCall({HostEntry(0, 100.0, 0.5, 0xF1), HostEntry(1, 50.0, 0.5, 0xF2),
                                HostEntry(2, 80.0, 0.5, 0xF3), HostEntry(3, 120.0, 0.5, 0xF4),
                                HostEntry(1, 20.0, 0.5, 0xF5)})},
        {"SmallestPossibleValves", korvan_test::SmallestCall({0.1, 0.5, 0.1, 0.03}, {9.0})},
    };
}

// Where the host's vector stands when an allocation fails: still as it was, with some new entries
// appended, or prepared whole and being solved.
enum class Stage { kUntouched, kAppending, kSolving };

struct FailurePoint {
    Stage stage;
    std::size_t appended;  // new entries in place, for kAppending
};

FailurePoint Locate(const CallInput& input, const alloc::Allocation& failed,
                    std::size_t guardedBefore) {
    if (input.call == Call::kSmallest || guardedBefore < kTableEntries) {
        return {Stage::kUntouched, 0};
    }
    if (input.call == Call::kFill) {
        return {Stage::kSolving, 0};
    }
    const std::size_t points = input.types.size();
    if (points > 0 && guardedBefore == kTableEntries && !failed.nothrow) {
        return {Stage::kUntouched, 0};  // the host's vector growing before the first append
    }
    if (guardedBefore < kTableEntries + points) {
        return {Stage::kAppending, guardedBefore - kTableEntries};
    }
    return {Stage::kSolving, 0};
}

std::size_t GuardedAmongFirst(std::size_t count) {
    std::size_t guarded = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (alloc::At(i).nothrow) {
            ++guarded;
        }
    }
    return guarded;
}

// Whatever the call left allocated must be the buffer of one of the host's vectors, and it may
// only have released buffers it replaced.
void ExpectNothingLeaked(const CallOutcome& outcome) {
    const std::vector<const void*> outstanding = alloc::Outstanding();
    const auto leaked =
        std::count_if(outstanding.begin(), outstanding.end(), [&](const void* block) {
            return block != outcome.solution.data() && block != outcome.smallest.data();
        });
    EXPECT_EQ(leaked, 0) << "blocks allocated by the call outlived it";
    EXPECT_LE(alloc::ForeignReleases(), outstanding.size())
        << "the call released memory it did not replace";
}

void ExpectFailureHandled(const CallInput& input, const CallOutcome& reference,
                          const CallOutcome& outcome, std::size_t k) {
    const alloc::Allocation failed = alloc::At(k - 1);
    const std::size_t guardedBefore = GuardedAmongFirst(k - 1);
    SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(failed.size) +
                 (failed.nothrow ? " bytes, guarded" : " bytes, unguarded"));
    if (failed.nothrow || input.viaC) {
        EXPECT_EQ(outcome.result, 10);
        EXPECT_EQ(outcome.thrown, "");
    } else {
        EXPECT_EQ(outcome.thrown, "bad_alloc");
    }
    for (const double output : outcome.outputs) {
        EXPECT_TRUE(korvan_test::SameBits(output, korvan_test::Untouched()));
    }
    if (input.call == Call::kSmallest) {
        EXPECT_TRUE(korvan_test::SameValues(outcome.sizes, reference.sizes)) << "not sorted";
        EXPECT_TRUE(korvan_test::SameValues(outcome.smallest, input.smallest));
        return;
    }
    const FailurePoint point = Locate(input, failed, guardedBefore);
    switch (point.stage) {
        case Stage::kUntouched:
            EXPECT_TRUE(korvan_test::SameEntries(outcome.solution, input.solution));
            break;
        case Stage::kAppending: {
            ASSERT_TRUE(failed.nothrow) << "the host's vector grew while entries were appended";
            EXPECT_EQ(failed.size, sizeof(SolutionEntry));
            const SolutionVector appended = korvan_test::WithNewEntries(input, point.appended);
            if (input.viaC) {
                // The entry count stays; the new entries made so far stand in the room after it.
                EXPECT_TRUE(korvan_test::SameEntries(outcome.solution, input.solution));
                EXPECT_TRUE(korvan_test::SameEntries(
                    SolutionVector(
                        outcome.array.begin(),
                        outcome.array.begin() + static_cast<std::ptrdiff_t>(appended.size())),
                    appended));
            } else {
                EXPECT_TRUE(korvan_test::SameEntries(outcome.solution, appended));
            }
            break;
        }
        case Stage::kSolving: {
            const SolutionVector& solved = input.viaC ? outcome.array : outcome.solution;
            EXPECT_TRUE(
                korvan_test::SameHostEntriesInAnyOrder(solved, korvan_test::Prepared(input), true));
            EXPECT_TRUE(korvan_test::OrderedByDemand(solved));
            break;
        }
    }
}

class AllocationFailureTest : public testing::TestWithParam<Scenario> {};

TEST_P(AllocationFailureTest, EveryAllocationFailsCleanly) {
    const CallInput& input = GetParam().input;
    const CallOutcome reference = korvan_test::Run(input);
    ASSERT_EQ(reference.result, 0) << korvan_test::Describe(reference);

    alloc::Reset(0);
    const CallOutcome counted = korvan_test::Run(input, alloc::SetArmed);
    const std::size_t allocations = alloc::Count();
    const std::size_t guarded = GuardedAmongFirst(allocations);
    ASSERT_TRUE(korvan_test::SameOutcome(counted, reference));
    ASSERT_LE(allocations, alloc::kRecorded);

    std::size_t k = 1;
    for (;; ++k) {
        alloc::Reset(k);
        const CallOutcome outcome = korvan_test::Run(input, alloc::SetArmed);
        ExpectNothingLeaked(outcome);
        if (!alloc::FailureMet()) {
            EXPECT_TRUE(korvan_test::SameOutcome(outcome, reference))
                << korvan_test::Describe(outcome);
            break;
        }
        ExpectFailureHandled(input, reference, outcome, k);
        if (HasFailure()) {
            return;  // the first allocation handled wrongly tells enough
        }
    }
    EXPECT_EQ(k - 1, allocations);
    std::printf("%s: %zu allocation points, %zu of them guarded\n", GetParam().name, allocations,
                guarded);
    RecordProperty("allocationPoints", static_cast<int>(allocations));
}

INSTANTIATE_TEST_SUITE_P(ExportedFunctions, AllocationFailureTest, testing::ValuesIn(Scenarios()),
                         [](const testing::TestParamInfo<Scenario>& scenario) {
                             return std::string(scenario.param.name);
                         });

}  // namespace
