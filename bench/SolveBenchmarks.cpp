// The library's calls at the sizes hosts use them: small interactive calls, and batches of up to a
// million points set beside std::sort of the same records. A batch case reports its time as a
// ratio to that sort ("vs_sort"), measured in the same iterations, so that a busy machine still
// gives a stable figure; the solving cases also report their peak heap against the solved
// entries' own bytes ("peak_heap_vs_entries").
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "Cases.h"
#include "CountingAllocator.h"
#include "KorvanCalcValueProvider.h"

namespace {

struct Outputs {
    double deviationMax = 0.0;
    double deviationMin = 0.0;
    double scaleFactor = 0.0;
    double reducedScaleFactor = 0.0;
};

void Check(std::int32_t result) {
    if (result != 0) {
        throw std::runtime_error("a benchmarked call failed");
    }
}

std::int32_t Generate(const bench::Points& points, SolutionVector& solution, Outputs& out) {
    return GenerateSolutionVector(
        static_cast<std::int32_t>(points.types.size()), points.types.data(), points.values.data(),
        &out.deviationMax, &out.deviationMin, &out.scaleFactor, &out.reducedScaleFactor, &solution);
}

std::int32_t Fill(SolutionVector& solution, Outputs& out) {
    return FillSolutionVector(&solution, &out.deviationMax, &out.deviationMin, &out.scaleFactor,
                              &out.reducedScaleFactor);
}

// The baseline every batch is measured against: the records ordered by demand, largest first.
void SortByDemand(SolutionVector& entries) {
    std::sort(entries.begin(), entries.end(),
              [](const SolutionEntry& a, const SolutionEntry& b) { return a.demand > b.demand; });
}

// The entries GenerateSolutionVector appends for `points`, in the host's order, before solving.
SolutionVector AppendedEntries(const bench::Points& points) {
    constexpr double kFactors[] = {2.25, 5.62, 2.25, 1.5};
    SolutionVector entries(points.types.size(), SolutionEntry{});
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].type = static_cast<std::int32_t>(points.types[i]);
        entries[i].inputValue = points.values[i];
        entries[i].demand = ((kFactors[points.types[i]] * points.values[i]) * 0.001) * 4.0;
    }
    return entries;
}

// Small calls are repeated in batches long enough to time; a million points is one call.
std::size_t BatchLength(std::size_t points) {
    return std::max<std::size_t>(1, 65536 / points);
}

double SecondsOf(const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Runs a case and its baseline in every iteration, each on fresh copies of its input prepared
// outside the clock, and reports the case's time with the ratio of the two totals, as
// "vs_<baseline>", and the baseline's time per point.
template <typename CaseInput, typename BaselineInput>
void MeasureAgainstBaseline(benchmark::State& state, std::size_t points,
                            const std::string& baseline,
                            const std::function<CaseInput()>& prepareCase,
                            const std::function<void(CaseInput&)>& runCase,
                            const std::function<BaselineInput()>& prepareBaseline,
                            const std::function<void(BaselineInput&)>& runBaseline) {
    const std::size_t batch = BatchLength(points);
    double caseSeconds = 0.0;
    double baselineSeconds = 0.0;
    for (auto _ : state) {
        std::vector<CaseInput> cases;
        std::vector<BaselineInput> baselines;
        for (std::size_t i = 0; i < batch; ++i) {
            cases.push_back(prepareCase());
            baselines.push_back(prepareBaseline());
        }
        const double caseTime = SecondsOf([&] {
            for (CaseInput& input : cases) {
                runCase(input);
            }
        });
        const double baselineTime = SecondsOf([&] {
            for (BaselineInput& input : baselines) {
                runBaseline(input);
            }
        });
        benchmark::DoNotOptimize(cases.data());
        benchmark::DoNotOptimize(baselines.data());
        state.SetIterationTime(caseTime / static_cast<double>(batch));
        caseSeconds += caseTime;
        baselineSeconds += baselineTime;
    }
    state.counters["vs_" + baseline] = caseSeconds / baselineSeconds;
    state.counters[baseline + "_ns_per_point"] =
        baselineSeconds * 1e9 /
        (static_cast<double>(state.iterations()) * static_cast<double>(batch * points));
    state.counters["ns_per_point"] =
        caseSeconds * 1e9 /
        (static_cast<double>(state.iterations()) * static_cast<double>(batch * points));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(points));
}

// Peak heap of one call, over what was live before it, against the 72 bytes per solved entry.
void ReportPeakHeap(benchmark::State& state, std::size_t points,
                    const std::function<void()>& call) {
    const std::size_t before = bench::LiveHeapBytes();
    bench::ResetPeakHeap();
    call();
    const double peak = static_cast<double>(bench::PeakHeapBytes() - before);
    state.counters["peak_heap_vs_entries"] =
        peak / static_cast<double>(points * sizeof(SolutionEntry));
}

struct SolveInput {
    SolutionVector solution;
    Outputs out;
};

void BM_GenerateSmall(benchmark::State& state, const bench::Points& points) {
    while (state.KeepRunning()) {
        SolutionVector solution;
        Outputs out;
        Check(Generate(points, solution, out));
        benchmark::DoNotOptimize(solution.data());
    }
}

void BM_GenerateOnEmptyVector(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const bench::Points points = bench::RealisticPoints(count, 42);
    const SolutionVector appended = AppendedEntries(points);
    MeasureAgainstBaseline<SolveInput, SolutionVector>(
        state, count, "sort", [] { return SolveInput{}; },
        [&](SolveInput& input) { Check(Generate(points, input.solution, input.out)); },
        [&] { return appended; }, SortByDemand);
    ReportPeakHeap(state, count, [&] {
        SolveInput input;
        Check(Generate(points, input.solution, input.out));
    });
}

void BM_FillShuffledSolvedVector(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    SolveInput solved;
    Check(Generate(bench::RealisticPoints(count, 43), solved.solution, solved.out));
    std::mt19937_64 random(44);
    std::shuffle(solved.solution.begin(), solved.solution.end(), random);
    MeasureAgainstBaseline<SolveInput, SolutionVector>(
        state, count, "sort",
        [&] {
            return SolveInput{solved.solution, {}};
        },
        [](SolveInput& input) { Check(Fill(input.solution, input.out)); },
        [&] { return solved.solution; }, SortByDemand);
    ReportPeakHeap(state, count, [&] {
        SolveInput input{solved.solution, {}};
        Check(Fill(input.solution, input.out));
    });
}

// The caller's array of a C call, left unwritten until the call, as a vector's new memory is.
struct CArrayInput {
    std::unique_ptr<KorvanSolutionEntry[]> entries;
    std::size_t entryCount = 0;
    KorvanSolutionTotals totals{};
};

// The C interface against the C++ interface on the same points: the same solve, in the caller's
// array instead of the host's vector.
void BM_CGenerateVsCpp(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const bench::Points points = bench::RealisticPoints(count, 42);
    MeasureAgainstBaseline<CArrayInput, SolveInput>(
        state, count, "cpp",
        [&] {
            // NOLINTNEXTLINE(modernize-avoid-c-arrays): the C caller's own array
            return CArrayInput{
                std::unique_ptr<KorvanSolutionEntry[]>(new KorvanSolutionEntry[count])};
        },
        [&](CArrayInput& input) {
            Check(KorvanGenerateSolution(static_cast<std::int32_t>(count), points.types.data(),
                                         points.values.data(), nullptr, input.entries.get(), count,
                                         &input.entryCount, &input.totals));
        },
        [] { return SolveInput{}; },
        [&](SolveInput& input) { Check(Generate(points, input.solution, input.out)); });
}

struct ReduceInput {
    std::vector<double> sizes;
    std::vector<double> smallest;
};

void BM_SmallestPossibleValves(benchmark::State& state) {
    const auto count = static_cast<std::size_t>(state.range(0));
    const std::vector<double> sizes = bench::SeriesSizes(count, 45);
    MeasureAgainstBaseline<ReduceInput, std::vector<double>>(
        state, count, "sort",
        [&] {
            return ReduceInput{sizes, {}};
        },
        [](ReduceInput& input) { Check(GetSmallestPossibleValves(&input.sizes, &input.smallest)); },
        [&] { return sizes; },
        [](std::vector<double>& values) {
            std::sort(values.begin(), values.end(), std::greater<double>());
        });
}

// A batch case runs a fixed number of iterations of about two million points in all (at least
// eight), each iteration timing one batch of calls: the loop of the library adapts to the time of
// an iteration, which here is a fraction of what preparing its fresh inputs costs.
std::int64_t IterationsFor(std::size_t points) {
    const std::size_t perIteration = BatchLength(points) * points;
    return static_cast<std::int64_t>(std::max<std::size_t>(8, 2000000 / perIteration));
}

template <typename Function>
void RegisterBatchCase(const char* name, Function function, std::size_t points) {
    benchmark::RegisterBenchmark(name, function)
        ->Arg(static_cast<std::int64_t>(points))
        ->Iterations(IterationsFor(points))
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("BM_GenerateSmall/three_points", BM_GenerateSmall,
                                 bench::ThreePoints());
    benchmark::RegisterBenchmark("BM_GenerateSmall/seven_points", BM_GenerateSmall,
                                 bench::SevenPoints());
    benchmark::RegisterBenchmark("BM_GenerateSmall/ratio_1700_to_1", BM_GenerateSmall,
                                 bench::SlowestTolerance());
    constexpr std::size_t kPointCounts[] = {8, 100, 1000, 10000, 100000, 1000000};
    for (const std::size_t points : kPointCounts) {
        RegisterBatchCase("BM_GenerateOnEmptyVector", BM_GenerateOnEmptyVector, points);
    }
    for (const std::size_t points : kPointCounts) {
        RegisterBatchCase("BM_FillShuffledSolvedVector", BM_FillShuffledSolvedVector, points);
    }
    for (const std::size_t points : {std::size_t{10000}, std::size_t{1000000}}) {
        RegisterBatchCase("BM_SmallestPossibleValves", BM_SmallestPossibleValves, points);
    }
    for (const std::size_t points : {std::size_t{1000}, std::size_t{1000000}}) {
        RegisterBatchCase("BM_CGenerateVsCpp", BM_CGenerateVsCpp, points);
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
