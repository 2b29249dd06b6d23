#include "solver/DeviationEvaluation.h"

#include <cmath>

#include "tables/ResultCodes.h"

namespace korvan {
namespace {

// The refinement's decision: a candidate is taken when its rounded deviation is strictly smaller
// in magnitude than the current one. A deviation that is not a number on either side is never an
// improvement.
bool IsNearer(double candidateRounded, double currentRounded) {
    return std::fabs(candidateRounded) < std::fabs(currentRounded);
}

// Tries `candidateSize` for the point; on a move, `raw` becomes the candidate's raw deviation.
bool MoveIfNearer(SolutionEntry& point, const PointDemand& demand, double candidateSize,
                  double scaleFactor, double& raw) {
    const double candidateRaw = RawDeviation(demand, candidateSize, scaleFactor);
    const double candidateRounded = RoundDownToHundredths(candidateRaw);
    if (!IsNearer(candidateRounded, point.deviation)) {
        return false;
    }
    point.valveSize = candidateSize;
    point.deviation = candidateRounded;
    raw = candidateRaw;
    return true;
}

}  // namespace

double ScaleFactorOf(double sumOfQuotients, std::size_t pointCount) {
    return sumOfQuotients / static_cast<double>(pointCount);
}

PointDemand DemandOf(const SolutionEntry& point) {
    return PointDemand{point.demand, 100.0 / point.demand};
}

double RawDeviation(const PointDemand& point, double valveSize, double scaleFactor) {
    double difference = valveSize * scaleFactor;
    difference = difference - point.demand;
    return difference * point.percentPerUnit;
}

double RoundDownToHundredths(double value) {
    return std::floor(value * 100.0) / 100.0;
}

void Extremes::Include(double raw) {
    if (raw >= 0.0) {
        if (raw > largest) {
            largest = raw;
        }
    } else if (raw < smallest) {
        smallest = raw;
    }
}

double EvaluateDeviation(SolutionEntry& point, const PointDemand& demand, double scaleFactor) {
    const double raw = RawDeviation(demand, point.valveSize, scaleFactor);
    point.deviation = RoundDownToHundredths(raw);
    return raw;
}

double RefineValve(SolutionEntry& point, const PointDemand& demand, double currentRaw,
                   const GroupZero& groupZero, double scaleFactor) {
    const std::size_t position = SeriesIndexOf(point.valveSize);
    double raw = currentRaw;
    if (point.ratio != 1.0 && position > 0 &&
        MoveIfNearer(point, demand, groupZero[position - 1].size, scaleFactor, raw)) {
        return raw;
    }
    if (position + 1 < groupZero.size()) {
        MoveIfNearer(point, demand, groupZero[position + 1].size, scaleFactor, raw);
    }
    return raw;
}

std::int32_t EvaluateAndRefine(EntryRange entries, const GroupZero& groupZero,
                               double sumOfQuotients, SolutionTotals& totals) {
    const double scaleFactor = ScaleFactorOf(sumOfQuotients, entries.size());
    Extremes extremes;
    for (SolutionEntry& point : entries) {
        const PointDemand demand = DemandOf(point);
        const double raw = EvaluateDeviation(point, demand, scaleFactor);
        extremes.Include(RefineValve(point, demand, raw, groupZero, scaleFactor));
    }
    totals.scaleFactor = scaleFactor;
    totals.deviationMax = RoundDownToHundredths(extremes.largest);
    totals.deviationMin = RoundDownToHundredths(extremes.smallest);
    totals.reducedScaleFactor = scaleFactor / 2000.0;
    return kSuccess;
}

}  // namespace korvan
