// Helpers shared by the hardening tests, the fuzz harnesses and the bit dump: one exported call
// made on copies of the host's data and captured whole (result or exception, the four outputs, the
// host's vectors), so that two calls can be compared bit for bit.
#ifndef KORVAN_TESTS_HARDENING_SUPPORT_H
#define KORVAN_TESTS_HARDENING_SUPPORT_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace korvan_test {

std::uint64_t Bits(double value);
bool SameBits(double left, double right);
bool SameEntry(const SolutionEntry& left, const SolutionEntry& right);
bool SameEntries(const SolutionVector& left, const SolutionVector& right);
bool SameValues(const std::vector<double>& left, const std::vector<double>& right);

// The demand factor of each point type, as the host's documentation gives them.
constexpr std::array<double, 4> kTypeFactors = {2.25, 5.62, 2.25, 1.5};
constexpr std::array<double, 7> kSeries = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};

// A new point's demand, ((f × v) × 0.001) × 4, and a recomputed one, ((v × f) × 0.001) × 2.
double NewDemand(std::uint32_t type, double inputValue);
double RecomputedDemand(std::uint32_t type, double inputValue);

// An entry as the host would hand it over, with stale work fields the library must overwrite.
SolutionEntry HostEntry(std::uint32_t type, double inputValue, double demand,
                        std::uint64_t callerData);

// kVersion stores GetCurrentVersion's value in the first output.
enum class Call { kGenerate, kFill, kSmallest, kVersion };

// One exported call: what the host holds before it and what it passes.
struct CallInput {
    Call call = Call::kGenerate;
    std::int32_t count = 0;  // GenerateSolutionVector's count
    std::vector<std::uint32_t> types;
    std::vector<double> inputValues;
    SolutionVector solution;
    std::vector<double> sizes;
    std::vector<double> smallest;
    int nullArgument = -1;  // position of a pointer parameter to pass as null; -1 for none
    // Made through the C interface instead: the host's entries in an array with room for the new
    // points, `tags` (when not empty) tagging the new ones. nullArgument does not apply.
    bool viaC = false;
    std::vector<std::uint64_t> tags;
};

// The same call through the C interface.
CallInput ThroughC(CallInput input);

CallInput GenerateCall(std::vector<std::uint32_t> types, std::vector<double> inputValues,
                       SolutionVector solution = {});
CallInput FillCall(SolutionVector solution);
CallInput SmallestCall(std::vector<double> sizes, std::vector<double> smallest = {});

// `count` calls of every kind drawn from `seed`: mostly solvable points on either path, host
// entries with stored demands, reductions of sizes in and out of the series, and now and then an
// input the library refuses. The same seed gives the same calls on every compiler and platform.
std::vector<CallInput> RandomCalls(std::uint64_t seed, std::size_t count);

// The host's vector as it stands once every demand is set and before the solve: for
// GenerateSolutionVector with the first `appended` new entries added, made as the library makes
// them (tagged, through C); for FillSolutionVector with every demand recomputed and the work
// fields cleared.
SolutionVector WithNewEntries(const CallInput& input, std::size_t appended);
SolutionVector Prepared(const CallInput& input);

// Whether `solution` holds the entries of `expected`, in any order, judged by the fields a solve
// leaves alone: type, inputValue, demand, callerData and, if asked, deviation.
bool SameHostEntriesInAnyOrder(const SolutionVector& solution, const SolutionVector& expected,
                               bool withDeviation);

// Largest demand first; entries of equal demand in any order.
bool OrderedByDemand(const SolutionVector& solution);

// The value every output holds before the call: a NaN that no arithmetic of the library makes.
double Untouched();

struct CallOutcome {
    std::int32_t result = -1;         // -1 when the call threw
    std::string thrown;               // empty, or the exception's kind and message
    std::array<double, 4> outputs{};  // deviationMax, deviationMin, scaleFactor, reducedScaleFactor
    SolutionVector solution;          // through C: the entries the array holds after the call
    std::vector<double> sizes;
    std::vector<double> smallest;  // through C: what it held, then what the call wrote
    SolutionVector array;          // through C: the caller's whole array, room included
};

// Called with true just before the library call and with false just after it, on every way out.
using CallHook = void (*)(bool inCall);

// Makes the call on copies of the input's vectors (each with capacity equal to its size) and
// catches the standard exceptions the library lets out.
CallOutcome Run(const CallInput& input, CallHook hook = nullptr);

bool SameOutcome(const CallOutcome& left, const CallOutcome& right);

// Whether a call through the C interface gave the answer the C++ call gave: the same entries,
// outputs and sizes, and the same code, where the C++ call's std::out_of_range is 12 for a type
// of 4 or more and 11 for no size. Both are made with Run.
bool SameAnswer(const CallInput& input, const CallOutcome& cpp, const CallOutcome& c);

// Every bit of an outcome, as text: one line per entry or vector.
std::string Describe(const CallOutcome& outcome);

}  // namespace korvan_test

#endif  // KORVAN_TESTS_HARDENING_SUPPORT_H
