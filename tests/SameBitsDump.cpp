// Prints every bit of the outcome of a fixed set of calls: the worked examples of the library's
// documentation and a fixed-seed draw of random calls. Builds by different compilers and at
// different optimisation levels must print the same text; a difference means undefined behaviour
// or a floating-point operation the compiler contracted or reordered. Every call is made through
// the C interface too, which must give the C++ call's answer.
//
// Usage: korvan_same_bits_dump > dump.txt   (a count and a digest of the text go to stderr)
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "HardeningSupport.h"

namespace {

using korvan_test::CallInput;

constexpr std::uint64_t kSeed = 0x5eed0f5a3eb175ULL;
constexpr std::size_t kRandomCalls = 4000;

// A vector of host entries carrying exactly these demands, solved as they stand.
CallInput Demands(const std::vector<double>& demands) {
    SolutionVector solution;
    for (const double demand : demands) {
        solution.push_back(korvan_test::HostEntry(0, 1.0, demand, solution.size() + 1));
    }
    return korvan_test::GenerateCall({}, {}, solution);
}

std::vector<CallInput> WorkedExamples() {
    using korvan_test::FillCall;
    using korvan_test::GenerateCall;
    using korvan_test::HostEntry;
    using korvan_test::SmallestCall;
    std::vector<CallInput> calls = {
        GenerateCall({1, 0, 3}, {50.0, 100.0, 80.0}),
        GenerateCall({1}, {100.0}),
        FillCall({HostEntry(1, 100.0, 0.0, 7)}),
        GenerateCall({0, 1}, {100.0, 50.0},
                     {HostEntry(3, 80.0, 0.48, 1), HostEntry(0, 40.0, 0.36, 2),
                      HostEntry(1, 10.0, 0.2248, 3)}),
        GenerateCall({0, 1, 7}, {100.0, 50.0, 80.0}),
        GenerateCall({}, {}),
        FillCall({}),
        GenerateCall({0, 0}, {1e300, 1e-300}),
        SmallestCall({0.3, 0.2, 0.2}),
        SmallestCall({0.2, 0.3, 0.2}),
        SmallestCall({0.5, 0.1}),
        SmallestCall({0.5, 0.3}),
        SmallestCall({0.1, 0.5, 0.1, 0.03}),
        SmallestCall({0.2, 0.1}),
        SmallestCall({0.4, 0.2}),
        SmallestCall({0.5}),
        SmallestCall({0.2, 0.2}),
        SmallestCall({0.03, 0.06, 0.1, 0.16, 0.2, 0.3, 0.5}),
        SmallestCall({0.5, 0.1}, {9.0}),
        SmallestCall({0.3, 0.0}),
        SmallestCall({0.3, -0.1}),
        SmallestCall({0.7, 0.2}),
        SmallestCall({}),
    };
    const std::vector<std::vector<double>> demandSets = {
        {5.0},
        {1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0},
        {4.0, 2.0},
        {3.0, 1.0},
        {5.0, 3.0},
        {10.0, 6.0, 3.0},
        {10.0, 6.0, 3.0, 3.0},
        {12.0, 9.0, 7.0},
        {17.0, 15.0, 6.0},
        {7.0, 7.0, 7.0, 7.0, 7.0, 7.0, 1.0},
        {1000.0, 1.0},
        {1700.0, 1.0},
        {8.0, 7.0, 6.0, 5.0, 4.0, 3.0, 2.0, 1.0},
        {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0, 8.0, 9.0, 10.0, 11.0, 12.0},
    };
    for (const std::vector<double>& demands : demandSets) {
        calls.push_back(Demands(demands));
    }
    return calls;
}

// FNV-1a over the text, so that two dumps can be told apart at a glance.
std::uint64_t Digest(const std::string& text, std::uint64_t hash) {
    for (const char c : text) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ULL;
    }
    return hash;
}

}  // namespace

int main() {
    std::vector<CallInput> calls = WorkedExamples();
    const std::size_t examples = calls.size();
    for (CallInput& call : korvan_test::RandomCalls(kSeed, kRandomCalls)) {
        calls.push_back(std::move(call));
    }
    std::uint64_t digest = 0xcbf29ce484222325ULL;
    std::size_t solved = 0;
    std::size_t disagreements = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const korvan_test::CallOutcome outcome = korvan_test::Run(calls[i]);
        // The same call through the C interface must answer the same; its own outcome is dumped
        // too, so that the C path is compared across builds as well.
        const korvan_test::CallOutcome throughC = korvan_test::Run(korvan_test::ThroughC(calls[i]));
        disagreements += korvan_test::SameAnswer(calls[i], outcome, throughC) ? 0U : 1U;
        solved += outcome.result == 0 ? 1 : 0;
        const std::string text = "call " + std::to_string(i) + ": " +
                                 korvan_test::Describe(outcome) +
                                 "through C: " + korvan_test::Describe(throughC);
        digest = Digest(text, digest);
        std::fputs(text.c_str(), stdout);
    }
    std::fprintf(stderr,
                 "%zu calls (%zu worked examples, %zu random), %zu solved, each also through C "
                 "with %zu disagreements; digest %016" PRIx64 "\n",
                 calls.size(), examples, calls.size() - examples, solved, disagreements, digest);
    if (disagreements != 0) {
        return 1;
    }
    return 0;
}
