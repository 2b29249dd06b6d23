// Fuzzes GetSmallestPossibleValves with arbitrary sizes (series sizes, series sizes scaled by a
// power of two, special values, raw bit patterns) and a pre-filled output. The sizes must come back
// sorted, largest first and not-a-number last, on every outcome; the result and what is appended
// are checked against a plain restatement of the reduction: the highest group of the series that
// holds, exactly, the ratio of the largest size to every other. The C interface's call on the same
// sizes must answer the same, bit for bit.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzInput.h"
#include "HardeningSupport.h"

namespace {

using korvan_fuzz::FuzzInput;
using korvan_fuzz::Require;
using korvan_test::CallOutcome;
using korvan_test::kSeries;
using korvan_test::SameBits;

constexpr std::size_t kMaxSizes = 12;

double Size(FuzzInput& input) {
    const std::uint8_t selector = input.Byte();
    if (selector < 160) {
        return kSeries[selector % kSeries.size()];
    }
    if (selector < 208) {
        return kSeries[selector % kSeries.size()] * static_cast<double>(1U << (selector % 5U));
    }
    return input.Value();
}

bool SortedWithNaNLast(const std::vector<double>& sizes) {
    const auto numbers =
        std::find_if(sizes.begin(), sizes.end(), [](double size) { return std::isnan(size); });
    return std::all_of(numbers, sizes.end(), [](double size) { return std::isnan(size); }) &&
           std::is_sorted(sizes.begin(), numbers,
                          [](double left, double right) { return left > right; });
}

bool SameMultiset(std::vector<double> left, std::vector<double> right) {
    const auto byBits = [](double a, double b) {
        return korvan_test::Bits(a) < korvan_test::Bits(b);
    };
    std::sort(left.begin(), left.end(), byBits);
    std::sort(right.begin(), right.end(), byBits);
    return korvan_test::SameValues(left, right);
}

// Series index of the size at `ratio` in group `group`, or -1 if the group lacks the ratio.
int StepOf(std::size_t group, double ratio) {
    for (std::size_t index = group; index < kSeries.size(); ++index) {
        if (kSeries[group] / kSeries[index] == ratio) {
            return static_cast<int>(index);
        }
    }
    return -1;
}

struct Reduction {
    std::int32_t result;
    std::vector<double> appended;
};

Reduction Reduce(const std::vector<double>& sorted) {
    std::vector<double> distinct;
    bool anyNotPositive = false;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || !(sorted[i] == sorted[i - 1])) {
            distinct.push_back(sorted[i]);
        }
        anyNotPositive = anyNotPositive || sorted[i] <= 0.0;
    }
    if (anyNotPositive) {
        return {160, {}};
    }
    if (distinct.size() > kSeries.size()) {
        return {13, {}};
    }
    for (std::size_t group = kSeries.size(); group-- > 0;) {
        std::vector<double> reduced;
        for (const double size : distinct) {
            const int index = StepOf(group, distinct.front() / size);
            if (index < 0) {
                break;
            }
            reduced.push_back(kSeries[static_cast<std::size_t>(index)]);
        }
        if (reduced.size() == distinct.size()) {
            Reduction reduction{0, {}};
            std::size_t slot = 0;
            for (std::size_t i = 0; i < sorted.size(); ++i) {
                if (i > 0 && !(sorted[i] == sorted[i - 1])) {
                    ++slot;
                }
                reduction.appended.push_back(reduced[slot]);
            }
            return reduction;
        }
    }
    return {13, {}};
}

// The diagnosis of the sizes in the order given gives the call's result, and names the first size
// of zero or less when it refuses one.
void RequireDiagnosisAgrees(const std::vector<double>& sizes, std::int32_t result) {
    KorvanCallPoints points{};
    points.call = KORVAN_CALL_SMALLEST;
    points.values = sizes.data();
    points.count = sizes.size();
    KorvanDiagnosis verdict{};
    Require(KorvanDiagnose(&points, &verdict) == result && verdict.result == result,
            "the diagnosis gives the call's result");
    if (verdict.rule != KORVAN_RULE_SIZE_NOT_POSITIVE) {
        Require(verdict.point == KORVAN_NO_POINT, "no size named but for one not positive");
        return;
    }
    const auto first = std::find_if(sizes.begin(), sizes.end(), [](double s) { return s <= 0.0; });
    Require(verdict.point == first - sizes.begin(), "the first size of zero or less");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t layout = input.Byte();
    std::vector<double> smallest(layout % 4U, 9.0);
    const std::size_t count = input.Byte() % (kMaxSizes + 1);
    std::vector<double> sizes;
    for (std::size_t i = 0; i < count; ++i) {
        sizes.push_back(Size(input));
    }
    korvan_test::CallInput call = korvan_test::SmallestCall(sizes, smallest);
    // Now and then one of the two pointers is null: 160, and neither vector touched.
    const unsigned nullSelector = layout >> 2U;
    call.nullArgument =
        nullSelector == 1 || nullSelector == 2 ? static_cast<int>(nullSelector) - 1 : -1;
    const CallOutcome outcome = korvan_test::Run(call);
    if (call.nullArgument >= 0) {
        Require(outcome.result == 160 && korvan_test::SameValues(outcome.sizes, sizes) &&
                    korvan_test::SameValues(outcome.smallest, smallest),
                "160 for a null pointer, nothing touched");
        return 0;
    }
    Require(korvan_test::SameAnswer(call, outcome, korvan_test::Run(korvan_test::ThroughC(call))),
            "the C call answers as the C++ call");

    Require(SameMultiset(outcome.sizes, sizes), "sizes keep their values");
    Require(SortedWithNaNLast(outcome.sizes), "sizes sorted, largest first, NaN last");
    if (sizes.empty()) {
        Require(outcome.thrown == "out_of_range: invalid vector<T> subscript",
                "bounds error for no sizes");
        Require(korvan_test::SameValues(outcome.smallest, smallest), "nothing appended");
        return 0;
    }
    const Reduction expected = Reduce(outcome.sizes);
    Require(outcome.thrown.empty() && outcome.result == expected.result, "result code");
    RequireDiagnosisAgrees(sizes, outcome.result);
    std::vector<double> after = smallest;
    after.insert(after.end(), expected.appended.begin(), expected.appended.end());
    Require(korvan_test::SameValues(outcome.smallest, after), "appended the reduced sizes");
    return 0;
}
