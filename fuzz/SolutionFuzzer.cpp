// Fuzzes GenerateSolutionVector and FillSolutionVector with arbitrary counts, types and input
// values, on empty and pre-filled vectors. Every outcome is predicted from the input: a refusal
// must come with its code and nothing written; a solve must leave every entry whole, ordered by
// demand, with ratios, windows, sizes and deviations as their formulas give them. A solved
// GenerateSolutionVector is then re-solved by FillSolutionVector, whose demands are exactly half:
// every ratio, size and deviation must come out the same and the scale factor exactly half. Each
// call is made through the C interface too, which must answer the same, bit for bit, and the
// diagnosis of its points must give the same result and name a point that breaks its rule.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

#include "FuzzInput.h"
#include "HardeningSupport.h"

namespace {

using korvan_fuzz::FuzzInput;
using korvan_fuzz::Require;
using korvan_test::Call;
using korvan_test::CallInput;
using korvan_test::CallOutcome;
using korvan_test::SameBits;

constexpr std::size_t kMaxPoints = 12;
const char* const kBoundsError = "out_of_range: invalid vector<T> subscript";

// The demands the library carries, within which every figure stays finite.
bool Solvable(double demand) {
    return demand >= 1e-150 && demand <= 1e150;
}

// Mostly a valid type; now and then one of 4 or more, or one that is negative as an int32.
std::uint32_t Type(FuzzInput& input) {
    const std::uint8_t byte = input.Byte();
    if (byte < 240) {
        return byte % 4U;
    }
    return byte == 255 ? 0xFFFFFFFFU : byte;
}

CallInput Decode(FuzzInput& input, std::uint8_t mode) {
    CallInput call;
    call.call = (mode & 1U) != 0 ? Call::kFill : Call::kGenerate;
    const std::size_t held = input.Byte() % (kMaxPoints + 1);
    for (std::size_t i = 0; i < held; ++i) {
        const std::uint32_t type = Type(input);
        const double inputValue = input.Value();
        const double demand = input.Value();
        call.solution.push_back(korvan_test::HostEntry(type, inputValue, demand, 0xC0DE00 + i));
    }
    if (call.call == Call::kGenerate) {
        const std::size_t points = input.Byte() % (kMaxPoints + 1);
        for (std::size_t i = 0; i < points; ++i) {
            call.types.push_back(Type(input));
            call.inputValues.push_back(input.Value());
        }
        call.count = (mode & 2U) != 0 ? -1 - input.Byte() : static_cast<std::int32_t>(points);
    }
    // Now and then one pointer argument is null: for GenerateSolutionVector positions 1 to 7 (the
    // two arrays, the four outputs, the vector), for FillSolutionVector 0 to 4.
    const unsigned nullSelector = mode >> 4U;
    if (call.call == Call::kGenerate && nullSelector >= 1 && nullSelector <= 7) {
        call.nullArgument = static_cast<int>(nullSelector);
    } else if (call.call == Call::kFill && nullSelector >= 1 && nullSelector <= 5) {
        call.nullArgument = static_cast<int>(nullSelector) - 1;
    }
    return call;
}

enum class Expected { kSolve, kBadType, kCode };

struct Prediction {
    Expected expected;
    std::int32_t code;
};

Prediction Predict(const CallInput& call) {
    if (call.call == Call::kGenerate) {
        const bool arrayMissing = call.nullArgument == 1 || call.nullArgument == 2;
        if (call.nullArgument >= 3 || call.count < 0 || (call.count > 0 && arrayMissing)) {
            return {Expected::kCode, 160};
        }
        if (call.count == 0 && call.solution.empty()) {
            return {Expected::kCode, 11};
        }
        for (const std::uint32_t type : call.types) {
            if (type >= 4) {
                return {Expected::kBadType, 0};
            }
        }
        for (std::size_t i = 0; i < call.types.size(); ++i) {
            if (!Solvable(korvan_test::NewDemand(call.types[i], call.inputValues[i]))) {
                return {Expected::kCode, 13};
            }
        }
        for (const SolutionEntry& entry : call.solution) {
            if (!Solvable(entry.demand)) {
                return {Expected::kCode, 13};
            }
        }
        return {Expected::kSolve, 0};
    }
    if (call.nullArgument >= 0) {
        return {Expected::kCode, 160};
    }
    if (call.solution.empty()) {
        return {Expected::kCode, 11};
    }
    for (const SolutionEntry& entry : call.solution) {
        if (static_cast<std::uint32_t>(entry.type) >= 4) {
            return {Expected::kBadType, 0};
        }
    }
    for (const SolutionEntry& entry : call.solution) {
        const auto type = static_cast<std::uint32_t>(entry.type);
        if (!Solvable(korvan_test::RecomputedDemand(type, entry.inputValue))) {
            return {Expected::kCode, 13};
        }
    }
    return {Expected::kSolve, 0};
}

void RequireNothingWritten(const CallInput& call, const CallOutcome& outcome) {
    Require(korvan_test::SameEntries(outcome.solution, call.solution), "host's vector unchanged");
    for (const double output : outcome.outputs) {
        Require(SameBits(output, korvan_test::Untouched()), "outputs untouched");
    }
}

double RawDeviation(double demand, double valveSize, double scaleFactor) {
    const double percentPerUnit = 100.0 / demand;
    double difference = valveSize * scaleFactor;
    difference = difference - demand;
    return difference * percentPerUnit;
}

double RoundDown(double value) {
    return std::floor(value * 100.0) / 100.0;
}

bool InSeries(double size) {
    for (const double member : korvan_test::kSeries) {
        if (SameBits(size, member)) {
            return true;
        }
    }
    return false;
}

// Up to seven points carry the window of the pass the search ended on: one tolerance for all,
// and no more than 101 percent for positive finite demands.
void RequireWindowsOfOnePass(const SolutionVector& solution) {
    for (int pass = 0; pass <= 101; ++pass) {
        const double plus = pass;
        const double minus = -pass;
        const auto matches = [plus, minus](const SolutionEntry& entry) {
            return SameBits(entry.ratioMax, (plus / 100.0 + 1.0) * entry.ratio) &&
                   SameBits(entry.ratioMin, (minus / 100.0 + 1.0) * entry.ratio);
        };
        if (matches(solution.front())) {
            for (const SolutionEntry& entry : solution) {
                Require(matches(entry), "every window from the same pass");
            }
            return;
        }
    }
    Require(false, "windows of a pass from 0 to 101");
}

void RequireSolved(const SolutionVector& prepared, const CallOutcome& outcome) {
    const SolutionVector& solution = outcome.solution;
    Require(korvan_test::SameHostEntriesInAnyOrder(solution, prepared, false),
            "every entry whole, none lost, none added");
    Require(korvan_test::OrderedByDemand(solution), "ordered by demand, largest first");
    const double scaleFactor = outcome.outputs[2];
    double deviationMax = 0.0;
    double deviationMin = 0.0;
    for (std::size_t i = 0; i < solution.size(); ++i) {
        const SolutionEntry& entry = solution[i];
        Require(SameBits(entry.ratio, solution.front().demand / entry.demand), "ratio");
        Require(InSeries(entry.valveSize), "size from the series");
        const double raw = RawDeviation(entry.demand, entry.valveSize, scaleFactor);
        Require(SameBits(entry.deviation, RoundDown(raw)), "deviation by its formula");
        if (raw >= 0.0) {
            deviationMax = raw > deviationMax ? raw : deviationMax;
        } else if (raw < deviationMin) {
            deviationMin = raw;
        }
        if (i > 0 && SameBits(entry.demand, solution[i - 1].demand)) {
            Require(SameBits(entry.valveSize, solution[i - 1].valveSize),
                    "equal demand, equal size");
        }
    }
    Require(SameBits(outcome.outputs[0], RoundDown(deviationMax)), "deviationMax");
    Require(SameBits(outcome.outputs[1], RoundDown(deviationMin)), "deviationMin");
    Require(SameBits(outcome.outputs[3], scaleFactor / 2000.0), "reducedScaleFactor");
    if (solution.size() <= 7) {
        RequireWindowsOfOnePass(solution);
    }
}

// Halving a demand is exact and leaves every quotient the solver forms unchanged; the halved
// demands must still be ones the library carries.
bool HalvesExactly(const SolutionVector& solution) {
    for (const SolutionEntry& entry : solution) {
        if (!Solvable(entry.demand / 2.0)) {
            return false;
        }
    }
    return true;
}

void RequireHalfDemandSameSolution(const CallOutcome& generated) {
    const CallOutcome filled = korvan_test::Run(korvan_test::FillCall(generated.solution));
    Require(filled.result == 0 && filled.thrown.empty(), "re-solve succeeds");
    Require(SameBits(filled.outputs[2], generated.outputs[2] / 2.0), "scale factor halves");
    Require(SameBits(filled.outputs[0], generated.outputs[0]) &&
                SameBits(filled.outputs[1], generated.outputs[1]),
            "same deviation extremes");
    for (std::size_t i = 0; i < filled.solution.size(); ++i) {
        const SolutionEntry& before = generated.solution[i];
        const SolutionEntry& after = filled.solution[i];
        Require(SameBits(after.demand * 2.0, before.demand), "recomputed demand is half");
        Require(SameBits(after.ratio, before.ratio) && SameBits(after.ratioMax, before.ratioMax) &&
                    SameBits(after.ratioMin, before.ratioMin),
                "same ratios and windows");
        Require(SameBits(after.valveSize, before.valveSize), "same size");
        Require(SameBits(after.deviation, before.deviation), "same deviation");
    }
}

// The candidate of the series nearest to `ratio` on the nearest-ratio path: the first whose ratio
// to 0.5 has the least distance; not-a-number distances never win.
std::size_t NearestCandidate(double ratio) {
    std::size_t best = 0;
    double bestDistance = std::fabs(ratio - 1.0);
    for (std::size_t candidate = 1; candidate < korvan_test::kSeries.size(); ++candidate) {
        const double distance = std::fabs(ratio - 0.5 / korvan_test::kSeries[candidate]);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

// With eight points or more, a ratio so large that its distances to the candidates round together
// (from about 1e16 on) may take a larger size than a point of larger demand got: the library
// refuses such demands, since the sizes could not be reduced position by position.
bool NearestSizesRise(SolutionVector prepared) {
    if (prepared.size() <= 7) {
        return false;
    }
    std::stable_sort(prepared.begin(), prepared.end(),
                     [](const SolutionEntry& left, const SolutionEntry& right) {
                         return left.demand > right.demand;
                     });
    std::size_t previous = 0;
    for (const SolutionEntry& entry : prepared) {
        const std::size_t candidate = NearestCandidate(prepared.front().demand / entry.demand);
        if (candidate < previous) {
            return true;
        }
        previous = candidate;
    }
    return false;
}

// The input value of point `point` in the call's numbering: held entries first, then new points.
double InputValueOf(const CallInput& call, std::size_t point) {
    const std::size_t held = call.solution.size();
    return point < held ? call.solution[point].inputValue : call.inputValues[point - held];
}

std::uint32_t TypeOf(const CallInput& call, std::size_t point) {
    const std::size_t held = call.solution.size();
    return point < held ? static_cast<std::uint32_t>(call.solution[point].type)
                        : call.types[point - held];
}

// The diagnosis judges the points as the call does: the same result, a rule exactly when the call
// is refused, and a point, where it names one, that breaks the rule it names.
void RequireDiagnosisAgrees(const CallInput& call, std::int32_t result) {
    KorvanCallPoints points{};
    points.call = call.call == Call::kFill ? KORVAN_CALL_FILL : KORVAN_CALL_GENERATE;
    points.entries = call.solution.data();
    points.entryCount = call.solution.size();
    if (call.call == Call::kGenerate) {
        points.types = call.types.data();
        points.values = call.inputValues.data();
        points.count = call.types.size();
    }
    KorvanDiagnosis verdict{};
    Require(KorvanDiagnose(&points, &verdict) == result && verdict.result == result,
            "the diagnosis gives the call's result");
    Require((result == 0) == (verdict.rule == KORVAN_RULE_NONE), "a rule exactly when refused");
    const auto total = static_cast<std::int64_t>(points.entryCount + points.count);
    Require(verdict.point >= -1 && verdict.point < total, "a point of the call, or none");
    if (verdict.point < 0) {
        return;
    }
    const auto point = static_cast<std::size_t>(verdict.point);
    const bool held = call.call == Call::kGenerate && point < call.solution.size();
    switch (verdict.rule) {
        case KORVAN_RULE_TYPE_UNKNOWN:
            Require(!held && TypeOf(call, point) >= 4, "the point's type is unknown");
            break;
        case KORVAN_RULE_INPUT_NOT_POSITIVE:
            Require(!held && InputValueOf(call, point) <= 0.0, "the input value is not positive");
            break;
        case KORVAN_RULE_INPUT_NOT_A_NUMBER:
            Require(!held && std::isnan(InputValueOf(call, point)), "the input value is NaN");
            break;
        case KORVAN_RULE_DEMAND_OUT_OF_RANGE:
            Require(!held || !Solvable(call.solution[point].demand), "the held demand is refused");
            break;
        default:
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput input(data, size);
    const std::uint8_t mode = input.Byte();
    const CallInput call = Decode(input, mode);
    const Prediction prediction = Predict(call);
    const CallOutcome outcome = korvan_test::Run(call);
    if (call.nullArgument < 0) {
        const CallOutcome throughC = korvan_test::Run(korvan_test::ThroughC(call));
        Require(korvan_test::SameAnswer(call, outcome, throughC),
                "the C call answers as the C++ call");
        if (call.call == Call::kFill || call.count >= 0) {
            RequireDiagnosisAgrees(call, throughC.result);
        }
    }
    switch (prediction.expected) {
        case Expected::kCode:
            Require(outcome.thrown.empty() && outcome.result == prediction.code, "refusal code");
            RequireNothingWritten(call, outcome);
            return 0;
        case Expected::kBadType:
            Require(outcome.thrown == kBoundsError, "bounds error for a type of 4 or more");
            RequireNothingWritten(call, outcome);
            return 0;
        case Expected::kSolve:
            break;
    }
    const SolutionVector prepared = korvan_test::Prepared(call);
    if (NearestSizesRise(prepared)) {
        Require(outcome.thrown.empty() && outcome.result == 13, "refused: sizes would rise");
        RequireNothingWritten(call, outcome);
        return 0;
    }
    Require(outcome.thrown.empty(), "no exception from solvable input");
    Require(outcome.result == 0, "solvable input solved");
    RequireSolved(prepared, outcome);
    if (call.call == Call::kGenerate && call.solution.empty() && HalvesExactly(outcome.solution)) {
        RequireHalfDemandSameSolution(outcome);
    }
    return 0;
}
