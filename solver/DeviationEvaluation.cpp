#include "solver/DeviationEvaluation.h"

#include "tables/ResultCodes.h"

namespace korvan {

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
