// Many threads call every exported function at once, each on vectors and outputs of its own, and
// every outcome must be the one the same call gives on a single thread, to the bit. Run under
// ThreadSanitizer (the tsan preset) this also shows that the calls share no mutable state.
#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>
#include <vector>

#include "HardeningSupport.h"

namespace {

using korvan_test::CallInput;
using korvan_test::CallOutcome;

constexpr std::size_t kThreads = 8;
constexpr std::size_t kRounds = 20;

std::vector<CallInput> Calls() {
    using korvan_test::HostEntry;
    std::vector<CallInput> calls = korvan_test::RandomCalls(20240601, 60);
    // The refusals and exceptions too: a failing call must not disturb its neighbours either.
    calls.push_back(korvan_test::FillCall({}));
    calls.push_back(korvan_test::GenerateCall({0, 7}, {100.0, 50.0}));
    calls.push_back(korvan_test::GenerateCall({0, 1}, {100.0, -5.0}));
    calls.push_back(korvan_test::SmallestCall({}));
    calls.push_back(korvan_test::SmallestCall({0.7, 0.2}));
    CallInput negativeCount = korvan_test::GenerateCall({0}, {100.0});
    negativeCount.count = -1;
    calls.push_back(negativeCount);
    CallInput nullOutput = korvan_test::FillCall({korvan_test::HostEntry(0, 100.0, 0.5, 1)});
    nullOutput.nullArgument = 2;
    calls.push_back(nullOutput);
    CallInput version;
    version.call = korvan_test::Call::kVersion;
    calls.push_back(version);
    return calls;
}

struct ThreadReport {
    std::size_t calls = 0;
    std::size_t mismatches = 0;
    std::string first;
};

// Runs every call `kRounds` times, starting at a different call in each thread so that different
// functions overlap, once every thread has arrived.
void Solve(const std::vector<CallInput>& calls, const std::vector<CallOutcome>& expected,
           std::size_t thread, std::atomic<std::size_t>& arrived, ThreadReport& report) {
    arrived.fetch_add(1);
    while (arrived.load() < kThreads) {
        std::this_thread::yield();
    }
    for (std::size_t round = 0; round < kRounds; ++round) {
        for (std::size_t i = 0; i < calls.size(); ++i) {
            const std::size_t index = (i + thread * 7 + round) % calls.size();
            const CallOutcome outcome = korvan_test::Run(calls[index]);
            ++report.calls;
            if (!korvan_test::SameOutcome(outcome, expected[index])) {
                if (report.mismatches++ == 0) {
                    report.first = "call " + std::to_string(index) + " gave\n" +
                                   korvan_test::Describe(outcome) + "instead of\n" +
                                   korvan_test::Describe(expected[index]);
                }
            }
        }
    }
}

TEST(ConcurrencyTest, CallsOnManyThreadsMatchTheSameCallsOnOne) {
    const std::vector<CallInput> calls = Calls();
    std::vector<CallOutcome> expected;
    for (const CallInput& call : calls) {
        expected.push_back(korvan_test::Run(call));
    }

    std::atomic<std::size_t> arrived{0};
    std::vector<ThreadReport> reports(kThreads);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < kThreads; ++t) {
        threads.emplace_back(Solve, std::cref(calls), std::cref(expected), t, std::ref(arrived),
                             std::ref(reports[t]));
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const ThreadReport& report : reports) {
        EXPECT_EQ(report.calls, kRounds * calls.size());
        EXPECT_EQ(report.mismatches, 0U) << report.first;
    }
}

}  // namespace
