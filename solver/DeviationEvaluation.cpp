#include "solver/DeviationEvaluation.h"

#include <cmath>
#include <cstddef>

namespace korvan {
namespace {

double RoundedDeviation(double demand, double valveSize, double scaleFactor) {
    return RoundDownToHundredths(RawDeviation(demand, valveSize, scaleFactor));
}

// Takes `candidateSize` when its deviation is strictly smaller in magnitude than the point's
// current one; a deviation that is not a number on either side is never an improvement.
bool MoveIfNearer(SolutionEntry& point, double candidateSize, double scaleFactor) {
    const double candidate = RoundedDeviation(point.demand, candidateSize, scaleFactor);
    if (!(std::fabs(candidate) < std::fabs(point.deviation))) {
        return false;
    }
    point.valveSize = candidateSize;
    point.deviation = candidate;
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
    if (point.ratio != 1.0 && position > 0 &&
        MoveIfNearer(point, groupZero[position - 1].size, scaleFactor)) {
        return;
    }
    if (position + 1 < groupZero.size()) {
        MoveIfNearer(point, groupZero[position + 1].size, scaleFactor);
    }
}

}  // namespace

double RawDeviation(double demand, double valveSize, double scaleFactor) {
    const double percentPerUnit = 100.0 / demand;
    double difference = valveSize * scaleFactor;
    difference = difference - demand;
    return difference * percentPerUnit;
}

double RoundDownToHundredths(double value) {
    return std::floor(value * 100.0) / 100.0;
}

void EvaluateDeviations(SolutionVector& solution, double scaleFactor, double& deviationMax,
                        double& deviationMin) {
    deviationMax = 0.0;
    deviationMin = 0.0;
    for (SolutionEntry& point : solution) {
        const double raw = RawDeviation(point.demand, point.valveSize, scaleFactor);
        point.deviation = RoundDownToHundredths(raw);
        if (raw >= 0.0) {
            if (raw > deviationMax) {
                deviationMax = raw;
            }
        } else if (raw < deviationMin) {
            deviationMin = raw;
        }
    }
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
