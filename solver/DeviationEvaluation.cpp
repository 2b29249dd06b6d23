#include "solver/DeviationEvaluation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace korvan {
namespace {

// The deviation formula once 100 / demand is known, which every size of one point shares.
double RawDeviationWith(double demand, double percentPerUnit, double valveSize,
                        double scaleFactor) {
    double difference = valveSize * scaleFactor;
    difference = difference - demand;
    return difference * percentPerUnit;
}

// The raw and the stored deviation of one size, from a point's demand and its 100 / demand.
struct Deviation {
    double raw;
    double rounded;
};

Deviation DeviationAt(double demand, double percentPerUnit, double valveSize, double scaleFactor) {
    const double raw = RawDeviationWith(demand, percentPerUnit, valveSize, scaleFactor);
    return Deviation{raw, RoundDownToHundredths(raw)};
}

// Takes `candidateSize` when its deviation is strictly smaller in magnitude than the point's
// current one, leaving the deviation taken in `taken`; a deviation that is not a number on either
// side is never an improvement.
bool MoveIfNearer(SolutionEntry& point, double percentPerUnit, double candidateSize,
                  double scaleFactor, Deviation& taken) {
    const Deviation candidate =
        DeviationAt(point.demand, percentPerUnit, candidateSize, scaleFactor);
    if (!(std::fabs(candidate.rounded) < std::fabs(point.deviation))) {
        return false;
    }
    point.valveSize = candidateSize;
    point.deviation = candidate.rounded;
    taken = candidate;
    return true;
}

std::size_t SeriesPosition(const ValveGroup& groupZero, double valveSize) {
    std::size_t position = 0;
    while (groupZero[position].size != valveSize) {
        ++position;
    }
    return position;
}

void RefinePoint(SolutionEntry& point, const ValveGroup& groupZero, double scaleFactor) {
    const std::size_t position = SeriesPosition(groupZero, point.valveSize);
    const double percentPerUnit = 100.0 / point.demand;
    Deviation taken{};
    if (point.ratio != 1.0 && position > 0 &&
        MoveIfNearer(point, percentPerUnit, groupZero[position - 1].size, scaleFactor, taken)) {
        return;
    }
    if (position + 1 < groupZero.size()) {
        MoveIfNearer(point, percentPerUnit, groupZero[position + 1].size, scaleFactor, taken);
    }
}

// The sizes of group zero, read once through the checked group.
struct SeriesSizes {
    std::array<double, kSeriesLength> sizes;
    std::size_t count;
};

// False when the group has more sizes than the series, which no table built here has.
bool CopySizes(const ValveGroup& groupZero, SeriesSizes& series) {
    if (groupZero.size() > kSeriesLength) {
        return false;
    }
    series.count = groupZero.size();
    for (std::size_t k = 0; k < series.count; ++k) {
        series.sizes[k] = groupZero[k].size;
    }
    return true;
}

// Position of the first size equal to `valveSize`, or series.count when there is none.
std::size_t PositionIn(const SeriesSizes& series, double valveSize) {
    std::size_t position = 0;
    while (position < series.count && series.sizes[position] != valveSize) {
        ++position;
    }
    return position;
}

// Sum of demand / valveSize in entry order; false when a size is not one of the series, the case
// in which refinement stops with std::out_of_range part way through.
bool SumOfQuotients(const SolutionVector& solution, const SeriesSizes& series, double& sum) {
    sum = 0.0;
    for (const SolutionEntry& point : solution) {
        if (PositionIn(series, point.valveSize) == series.count) {
            return false;
        }
        sum += point.demand / point.valveSize;
    }
    return true;
}

struct Extremes {
    double largest = 0.0;
    double smallest = 0.0;

    void Include(double raw) {
        if (raw >= 0.0) {
            if (raw > largest) {
                largest = raw;
            }
        } else if (raw < smallest) {
            smallest = raw;
        }
    }
};

// Evaluation, refinement and the second evaluation of one point in one visit. Each point's outcome
// depends on nothing but its own fields, the sizes and the scale factor, and each deviation is the
// same formula on the same operands as in the three passes, so every value comes out the same; the
// second evaluation of a point repeats the deviation its final size already has.
double EvaluateAndRefinePoint(SolutionEntry& point, const SeriesSizes& series, double scaleFactor) {
    const double percentPerUnit = 100.0 / point.demand;
    const Deviation current =
        DeviationAt(point.demand, percentPerUnit, point.valveSize, scaleFactor);
    point.deviation = current.rounded;
    const std::size_t position = PositionIn(series, point.valveSize);
    Deviation final = current;
    if (point.ratio != 1.0 && position > 0 &&
        MoveIfNearer(point, percentPerUnit, series.sizes[position - 1], scaleFactor, final)) {
        return final.raw;
    }
    if (position + 1 < series.count) {
        MoveIfNearer(point, percentPerUnit, series.sizes[position + 1], scaleFactor, final);
    }
    return final.raw;
}

std::int32_t EvaluateAndRefineInOneVisit(SolutionVector& solution, const SeriesSizes& series,
                                         double sum, double* deviationMax, double* deviationMin,
                                         double* scaleFactor, double* reducedScaleFactor) {
    const double factor = sum / static_cast<double>(solution.size());
    *scaleFactor = factor;

    Extremes extremes;
    for (SolutionEntry& point : solution) {
        extremes.Include(EvaluateAndRefinePoint(point, series, factor));
    }
    *deviationMax = RoundDownToHundredths(extremes.largest);
    *deviationMin = RoundDownToHundredths(extremes.smallest);
    *reducedScaleFactor = factor / 2000.0;
    return 0;
}

}  // namespace

double RawDeviation(double demand, double valveSize, double scaleFactor) {
    return RawDeviationWith(demand, 100.0 / demand, valveSize, scaleFactor);
}

double RoundDownToHundredths(double value) {
    return std::floor(value * 100.0) / 100.0;
}

void EvaluateDeviations(SolutionVector& solution, double scaleFactor, double& deviationMax,
                        double& deviationMin) {
    Extremes extremes;
    for (SolutionEntry& point : solution) {
        const double raw = RawDeviation(point.demand, point.valveSize, scaleFactor);
        point.deviation = RoundDownToHundredths(raw);
        extremes.Include(raw);
    }
    deviationMax = extremes.largest;
    deviationMin = extremes.smallest;
}

std::int32_t RefineValves(SolutionVector& solution, const ValveGroup& groupZero,
                          double scaleFactor) {
    for (SolutionEntry& point : solution) {
        RefinePoint(point, groupZero, scaleFactor);
    }
    return 0;
}

std::int32_t EvaluateAndRefine(SolutionVector& solution, const ValveRatioTable& table,
                               double* deviationMax, double* deviationMin, double* scaleFactor,
                               double* reducedScaleFactor) {
    SeriesSizes series{};
    double sum = 0.0;
    if (!(table.size() >= GroupLength(0) && CopySizes(GroupOf(table, 0), series) &&
          SumOfQuotients(solution, series, sum))) {
        return EvaluateAndRefineInPasses(solution, table, deviationMax, deviationMin, scaleFactor,
                                         reducedScaleFactor);
    }
    return EvaluateAndRefineInOneVisit(solution, series, sum, deviationMax, deviationMin,
                                       scaleFactor, reducedScaleFactor);
}

std::int32_t EvaluateAndRefineWithSum(SolutionVector& solution, const ValveRatioTable& table,
                                      double sum, const double* sizes, std::size_t sizeCount,
                                      double* deviationMax, double* deviationMin,
                                      double* scaleFactor, double* reducedScaleFactor) {
    SeriesSizes series{};
    const bool known = table.size() >= GroupLength(0) && CopySizes(GroupOf(table, 0), series) &&
                       std::all_of(sizes, sizes + sizeCount, [&](double size) {
                           return PositionIn(series, size) < series.count;
                       });
    if (!known) {
        return EvaluateAndRefine(solution, table, deviationMax, deviationMin, scaleFactor,
                                 reducedScaleFactor);
    }
    return EvaluateAndRefineInOneVisit(solution, series, sum, deviationMax, deviationMin,
                                       scaleFactor, reducedScaleFactor);
}

std::int32_t EvaluateAndRefineInPasses(SolutionVector& solution, const ValveRatioTable& table,
                                       double* deviationMax, double* deviationMin,
                                       double* scaleFactor, double* reducedScaleFactor) {
    double sum = 0.0;
    for (const SolutionEntry& point : solution) {
        sum += point.demand / point.valveSize;
    }
    const double factor = sum / static_cast<double>(solution.size());
    *scaleFactor = factor;

    EvaluateDeviations(solution, factor, *deviationMax, *deviationMin);
    const std::int32_t result = RefineValves(solution, GroupOf(table, 0), factor);
    EvaluateDeviations(solution, factor, *deviationMax, *deviationMin);

    *deviationMax = RoundDownToHundredths(*deviationMax);
    *deviationMin = RoundDownToHundredths(*deviationMin);
    *reducedScaleFactor = factor / 2000.0;
    return result;
}

}  // namespace korvan
