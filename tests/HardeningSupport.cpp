#include "HardeningSupport.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <new>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace korvan_test {
namespace {

constexpr std::uint64_t kUntouchedBits = 0x7ff8dead0000beefULL;

std::int32_t Invoke(const CallInput& input, CallOutcome& outcome) {
    // Parameter `position` as the call passes it: the given pointer, or null if so asked.
    const auto pass = [&input](int position, auto* pointer) -> decltype(pointer) {
        return position == input.nullArgument ? nullptr : pointer;
    };
    double* const outputs = outcome.outputs.data();
    switch (input.call) {
        case Call::kGenerate:
            return GenerateSolutionVector(input.count, pass(1, input.types.data()),
                                          pass(2, input.inputValues.data()), pass(3, &outputs[0]),
                                          pass(4, &outputs[1]), pass(5, &outputs[2]),
                                          pass(6, &outputs[3]), pass(7, &outcome.solution));
        case Call::kFill:
            return FillSolutionVector(pass(0, &outcome.solution), pass(1, &outputs[0]),
                                      pass(2, &outputs[1]), pass(3, &outputs[2]),
                                      pass(4, &outputs[3]));
        case Call::kSmallest:
            return GetSmallestPossibleValves(pass(0, &outcome.sizes), pass(1, &outcome.smallest));
        case Call::kVersion:
            outputs[0] = GetCurrentVersion();
            return 0;
    }
    return -1;
}

// The caller's memory for a call through the C interface, made before the call.
struct CMemory {
    SolutionVector entries;
    std::size_t entryCount;
    KorvanSolutionTotals totals;
    std::vector<double> written;
};

CMemory PrepareC(const CallInput& input) {
    CMemory memory{input.solution, input.solution.size(), {}, {}};
    if (input.call == Call::kGenerate && input.count > 0) {
        memory.entries.resize(memory.entries.size() + static_cast<std::size_t>(input.count));
    }
    memory.totals = {Untouched(), Untouched(), Untouched(), Untouched()};
    memory.written.assign(input.sizes.size(), Untouched());
    return memory;
}

std::int32_t InvokeC(const CallInput& input, CMemory& memory, CallOutcome& outcome) {
    switch (input.call) {
        case Call::kGenerate:
            return KorvanGenerateSolution(input.count, input.types.data(), input.inputValues.data(),
                                          input.tags.empty() ? nullptr : input.tags.data(),
                                          memory.entries.data(), memory.entries.size(),
                                          &memory.entryCount, &memory.totals);
        case Call::kFill:
            return KorvanFillSolution(memory.entries.data(), memory.entries.size(), &memory.totals);
        case Call::kSmallest:
            return KorvanGetSmallestPossibleValves(outcome.sizes.data(), outcome.sizes.size(),
                                                   memory.written.data());
        case Call::kVersion:
            outcome.outputs[0] = GetCurrentVersion();
            return 0;
    }
    return -1;
}

// What the caller's memory tells after a call through the C interface.
void ReadC(const CallInput& input, const CMemory& memory, CallOutcome& outcome) {
    outcome.array = memory.entries;
    const std::size_t held =
        input.call == Call::kGenerate ? memory.entryCount : memory.entries.size();
    outcome.solution.assign(memory.entries.begin(),
                            memory.entries.begin() + static_cast<std::ptrdiff_t>(held));
    if (input.call == Call::kSmallest) {
        if (outcome.result == 0) {
            outcome.smallest.insert(outcome.smallest.end(), memory.written.begin(),
                                    memory.written.end());
        }
    } else if (input.call != Call::kVersion) {
        outcome.outputs = {memory.totals.deviationMax, memory.totals.deviationMin,
                           memory.totals.scaleFactor, memory.totals.reducedScaleFactor};
    }
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

// splitmix64: a generator whose output depends on nothing but the seed.
class Draw {
public:
    explicit Draw(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30U)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27U)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31U);
    }

    // A whole number from 0 to `bound` - 1.
    std::uint32_t Below(std::uint32_t bound) { return static_cast<std::uint32_t>(Next() % bound); }

    bool OneIn(std::uint32_t odds) { return Below(odds) == 0; }

    // A positive value over nine decades, made by one multiplication so that it is the same
    // double everywhere.
    double Magnitude() {
        constexpr std::array<double, 9> kScales = {1e-4, 1e-3,  0.01, 0.1, 1.0,
                                                   10.0, 100.0, 1e3,  1e4};
        const double digits = static_cast<double>(1 + Below(100000));
        return digits * kScales[Below(9)];
    }

    // A point's input value; some repeat an earlier one, so that demands tie.
    double InputValue(const std::vector<double>& earlier) {
        if (!earlier.empty() && OneIn(4)) {
            return earlier[Below(static_cast<std::uint32_t>(earlier.size()))];
        }
        return Magnitude();
    }

private:
    std::uint64_t state_;
};

CallInput RandomGenerate(Draw& draw) {
    const std::uint32_t held = draw.OneIn(3) ? 1 + draw.Below(4) : 0;
    SolutionVector solution;
    for (std::uint32_t i = 0; i < held; ++i) {
        // One draw per statement: the order in which arguments are evaluated is unspecified.
        const std::uint32_t type = draw.Below(4);
        const double inputValue = draw.Magnitude();
        const double demand = draw.Magnitude();
        solution.push_back(HostEntry(type, inputValue, demand, i + 1));
    }
    const std::uint32_t points = (held == 0 ? 1 : 0) + draw.Below(12);
    std::vector<std::uint32_t> types;
    std::vector<double> values;
    for (std::uint32_t i = 0; i < points; ++i) {
        types.push_back(draw.Below(4));
        values.push_back(draw.InputValue(values));
    }
    if (draw.OneIn(40) && points > 0) {
        values[draw.Below(points)] = 0.0;
    }
    if (draw.OneIn(40) && points > 0) {
        const std::uint32_t position = draw.Below(points);
        types[position] = 4 + draw.Below(4);
    }
    return GenerateCall(std::move(types), std::move(values), std::move(solution));
}

CallInput RandomFill(Draw& draw) {
    const std::uint32_t points = 1 + draw.Below(12);
    SolutionVector solution;
    std::vector<double> values;
    for (std::uint32_t i = 0; i < points; ++i) {
        values.push_back(draw.InputValue(values));
        const std::uint32_t type = draw.Below(4);
        solution.push_back(HostEntry(type, values.back(), 0.5, 100 + i));
    }
    if (draw.OneIn(40)) {
        solution[draw.Below(points)].type = -1;
    }
    return FillCall(std::move(solution));
}

CallInput RandomSmallest(Draw& draw) {
    const std::uint32_t count = draw.OneIn(50) ? 0 : 1 + draw.Below(10);
    // Mostly series sizes; some scaled by a power of two, which keeps their ratios.
    const double scale = draw.OneIn(4) ? static_cast<double>(1U << draw.Below(4)) : 1.0;
    std::vector<double> sizes;
    for (std::uint32_t i = 0; i < count; ++i) {
        sizes.push_back(draw.OneIn(15) ? draw.Magnitude() : kSeries[draw.Below(7)] * scale);
    }
    std::vector<double> smallest;
    if (draw.OneIn(3)) {
        smallest.push_back(9.0);
    }
    return SmallestCall(std::move(sizes), std::move(smallest));
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

SolutionVector WithNewEntries(const CallInput& input, std::size_t appended) {
    SolutionVector solution = input.solution;
    for (std::size_t i = 0; i < appended; ++i) {
        SolutionEntry entry{};
        entry.type = static_cast<std::int32_t>(input.types.at(i));
        entry.inputValue = input.inputValues.at(i);
        entry.demand = NewDemand(input.types.at(i), input.inputValues.at(i));
        entry.callerData = input.tags.empty() ? 0 : input.tags.at(i);
        solution.push_back(entry);
    }
    return solution;
}

SolutionVector Prepared(const CallInput& input) {
    if (input.call == Call::kGenerate) {
        return WithNewEntries(input, input.types.size());
    }
    SolutionVector solution = input.solution;
    for (SolutionEntry& entry : solution) {
        entry.demand = RecomputedDemand(static_cast<std::uint32_t>(entry.type), entry.inputValue);
        entry.ratio = 0.0;
        entry.ratioMax = 0.0;
        entry.ratioMin = 0.0;
        entry.valveSize = 0.0;
    }
    return solution;
}

bool SameHostEntriesInAnyOrder(const SolutionVector& solution, const SolutionVector& expected,
                               bool withDeviation) {
    using Identity =
        std::tuple<std::int32_t, std::uint64_t, std::uint64_t, std::uint64_t, std::uint64_t>;
    const auto identities = [withDeviation](const SolutionVector& entries) {
        std::vector<Identity> result;
        for (const SolutionEntry& entry : entries) {
            result.emplace_back(entry.type, Bits(entry.inputValue), Bits(entry.demand),
                                withDeviation ? Bits(entry.deviation) : 0, entry.callerData);
        }
        std::sort(result.begin(), result.end());
        return result;
    };
    return identities(solution) == identities(expected);
}

bool OrderedByDemand(const SolutionVector& solution) {
    return std::is_sorted(solution.begin(), solution.end(),
                          [](const SolutionEntry& left, const SolutionEntry& right) {
                              return left.demand > right.demand;
                          });
}

double Untouched() {
    double value = 0.0;
    std::memcpy(&value, &kUntouchedBits, sizeof value);
    return value;
}

CallInput ThroughC(CallInput input) {
    input.viaC = true;
    return input;
}

CallOutcome Run(const CallInput& input, CallHook hook) {
    CallOutcome outcome;
    outcome.outputs.fill(Untouched());
    outcome.solution = input.solution;
    outcome.sizes = input.sizes;
    outcome.smallest = input.smallest;
    if (input.viaC) {
        CMemory memory = PrepareC(input);
        {
            const HookScope scope(hook);
            outcome.result = InvokeC(input, memory, outcome);
        }
        ReadC(input, memory, outcome);
        return outcome;
    }
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

std::vector<CallInput> RandomCalls(std::uint64_t seed, std::size_t count) {
    Draw draw(seed);
    std::vector<CallInput> calls;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t kind = draw.Below(8);
        calls.push_back(kind < 5   ? RandomGenerate(draw)
                        : kind < 7 ? RandomFill(draw)
                                   : RandomSmallest(draw));
    }
    return calls;
}

bool SameOutcome(const CallOutcome& left, const CallOutcome& right) {
    return left.result == right.result && left.thrown == right.thrown &&
           std::equal(left.outputs.begin(), left.outputs.end(), right.outputs.begin(), SameBits) &&
           SameEntries(left.solution, right.solution) && SameValues(left.sizes, right.sizes) &&
           SameValues(left.smallest, right.smallest);
}

bool SameAnswer(const CallInput& input, const CallOutcome& cpp, const CallOutcome& c) {
    std::int32_t expected = cpp.result;
    if (cpp.thrown == "out_of_range: invalid vector<T> subscript") {
        expected = input.call == Call::kSmallest ? 11 : 12;
    } else if (!cpp.thrown.empty()) {
        return false;
    }
    return c.result == expected && c.thrown.empty() &&
           std::equal(cpp.outputs.begin(), cpp.outputs.end(), c.outputs.begin(), SameBits) &&
           SameEntries(cpp.solution, c.solution) && SameValues(cpp.sizes, c.sizes) &&
           SameValues(cpp.smallest, c.smallest);
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
