#include "HardeningSupport.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <utility>

namespace korvan_test {
namespace {

constexpr std::uint64_t kUntouchedBits = 0x7ff8dead0000beefULL;

std::int32_t Invoke(const CallInput& input, CallOutcome& outcome) {
    double* const outputs = outcome.outputs.data();
    switch (input.call) {
        case Call::kGenerate:
            return GenerateSolutionVector(input.count, input.types.data(), input.inputValues.data(),
                                          &outputs[0], &outputs[1], &outputs[2], &outputs[3],
                                          &outcome.solution);
        case Call::kFill:
            return FillSolutionVector(&outcome.solution, &outputs[0], &outputs[1], &outputs[2],
                                      &outputs[3]);
        case Call::kSmallest:
            return GetSmallestPossibleValves(&outcome.sizes, &outcome.smallest);
    }
    return -1;
}

class HookScope {
public:
    explicit HookScope(CallHook hook) : hook_(hook) {
        if (hook_ != nullptr) {
            hook_(true);
        }
    }
    ~HookScope() {
        if (hook_ != nullptr) {
            hook_(false);
        }
    }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    CallHook hook_;
};

void AppendHex(std::string& text, double value) {
    char buffer[20];
    std::snprintf(buffer, sizeof buffer, " %016" PRIx64, Bits(value));
    text += buffer;
}

void AppendValues(std::string& text, const char* name, const std::vector<double>& values) {
    text += name;
    for (const double value : values) {
        AppendHex(text, value);
    }
    text += '\n';
}

}  // namespace

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

bool SameBits(double left, double right) {
    return Bits(left) == Bits(right);
}

bool SameEntry(const SolutionEntry& left, const SolutionEntry& right) {
    return left.type == right.type && SameBits(left.inputValue, right.inputValue) &&
           SameBits(left.demand, right.demand) && SameBits(left.ratio, right.ratio) &&
           SameBits(left.ratioMax, right.ratioMax) && SameBits(left.ratioMin, right.ratioMin) &&
           SameBits(left.valveSize, right.valveSize) && SameBits(left.deviation, right.deviation) &&
           left.callerData == right.callerData;
}

bool SameEntries(const SolutionVector& left, const SolutionVector& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), SameEntry);
}

bool SameValues(const std::vector<double>& left, const std::vector<double>& right) {
    return std::equal(left.begin(), left.end(), right.begin(), right.end(), SameBits);
}

double NewDemand(std::uint32_t type, double inputValue) {
    return ((kTypeFactors.at(type) * inputValue) * 0.001) * 4.0;
}

double RecomputedDemand(std::uint32_t type, double inputValue) {
    return ((inputValue * kTypeFactors.at(type)) * 0.001) * 2.0;
}

SolutionEntry HostEntry(std::uint32_t type, double inputValue, double demand,
                        std::uint64_t callerData) {
    SolutionEntry entry{};
    entry.type = static_cast<std::int32_t>(type);
    entry.inputValue = inputValue;
    entry.demand = demand;
    entry.ratio = 7.0;
    entry.ratioMax = 8.0;
    entry.ratioMin = 6.0;
    entry.valveSize = 0.3;
    entry.deviation = -1.25;
    entry.callerData = callerData;
    return entry;
}

CallInput GenerateCall(std::vector<std::uint32_t> types, std::vector<double> inputValues,
                       SolutionVector solution) {
    CallInput input;
    input.call = Call::kGenerate;
    input.count = static_cast<std::int32_t>(types.size());
    input.types = std::move(types);
    input.inputValues = std::move(inputValues);
    input.solution = std::move(solution);
    return input;
}

CallInput FillCall(SolutionVector solution) {
    CallInput input;
    input.call = Call::kFill;
    input.solution = std::move(solution);
    return input;
}

CallInput SmallestCall(std::vector<double> sizes, std::vector<double> smallest) {
    CallInput input;
    input.call = Call::kSmallest;
    input.sizes = std::move(sizes);
    input.smallest = std::move(smallest);
    return input;
}

double Untouched() {
    double value = 0.0;
    std::memcpy(&value, &kUntouchedBits, sizeof value);
    return value;
}

CallOutcome Run(const CallInput& input, CallHook hook) {
    CallOutcome outcome;
    outcome.outputs.fill(Untouched());
    outcome.solution = input.solution;
    outcome.sizes = input.sizes;
    outcome.smallest = input.smallest;
    try {
        // Ends before the handlers below run, so that they are not counted as the library's.
        const HookScope scope(hook);
        outcome.result = Invoke(input, outcome);
    } catch (const std::out_of_range& error) {
        outcome.thrown = std::string("out_of_range: ") + error.what();
    } catch (const std::length_error& error) {
        outcome.thrown = std::string("length_error: ") + error.what();
    } catch (const std::bad_alloc&) {
        outcome.thrown = "bad_alloc";
    }
    return outcome;
}

bool SameOutcome(const CallOutcome& left, const CallOutcome& right) {
    return left.result == right.result && left.thrown == right.thrown &&
           std::equal(left.outputs.begin(), left.outputs.end(), right.outputs.begin(), SameBits) &&
           SameEntries(left.solution, right.solution) && SameValues(left.sizes, right.sizes) &&
           SameValues(left.smallest, right.smallest);
}

std::string Describe(const CallOutcome& outcome) {
    std::string text =
        outcome.thrown.empty() ? "result " + std::to_string(outcome.result) : outcome.thrown;
    text += "\noutputs";
    for (const double output : outcome.outputs) {
        AppendHex(text, output);
    }
    text += '\n';
    for (const SolutionEntry& entry : outcome.solution) {
        text += "entry " + std::to_string(entry.type);
        for (const double field : {entry.inputValue, entry.demand, entry.ratio, entry.ratioMax,
                                   entry.ratioMin, entry.valveSize, entry.deviation}) {
            AppendHex(text, field);
        }
        text += " " + std::to_string(entry.callerData) + '\n';
    }
    AppendValues(text, "sizes", outcome.sizes);
    AppendValues(text, "smallest", outcome.smallest);
    return text;
}

}  // namespace korvan_test
