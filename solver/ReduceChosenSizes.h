// The reduction of the chosen sizes: every entry's valveSize replaced by its counterpart in the
// highest group of the ratio table that holds exactly the same ratios, as GetSmallestPossibleValves
// gives it for the chosen sizes sorted largest first, position by position.
#ifndef KORVAN_SOLVER_REDUCE_CHOSEN_SIZES_H
#define KORVAN_SOLVER_REDUCE_CHOSEN_SIZES_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "solver/DeviationEvaluation.h"
#include "tables/SolutionEntries.h"
#include "tables/ValveTables.h"

namespace korvan {

// The chosen sizes are values of the series, so sorted largest first they form one run per
// series size, in series order: counting the entries per size describes them completely. Tallied
// entry by entry in entry order.
struct ChosenSizes {
    std::array<std::size_t, kSeriesLength> counts{};  // entries per series index
    double sumOfQuotients = 0.0;                      // demand / valveSize, in entry order
    // Whether the series indices never fall along the entries: exactly then the mapping onto the
    // reduced sizes finds every entry's size ahead of it.
    bool indicesNeverFall = true;
    std::size_t lastIndex = 0;

    // Adds the entry that follows those tallied so far, whose size has series index `index`.
    void Tally(const SolutionEntry& entry, std::size_t index) {
        ++counts[index];
        indicesNeverFall = indicesNeverFall && index >= lastIndex;
        lastIndex = index;
        sumOfQuotients = AddQuotient(sumOfQuotients, entry);
    }
};

// The tally of `entries`, each size looked up in the series; std::out_of_range for a size outside
// it.
ChosenSizes TallyChosenSizes(EntryRange entries);

// Replaces every entry's valveSize by its reduced size and leaves in `sumOfQuotients` the sum of
// demand / valveSize over the reduced sizes, in entry order. `chosen` is the tally of all the
// entries. Returns 0, or 10 when a ratio slot cannot be allocated, with no entry changed.
// std::out_of_range when the sizes grow anywhere along the entries: the mapping, which takes
// each entry's size from the sorted sizes after the previous entry's, then runs past their end.
std::int32_t ReduceChosenSizes(EntryRange entries, const ChosenSizes& chosen,
                               const ValveRatioTable& table, double& sumOfQuotients);

}  // namespace korvan

#endif  // KORVAN_SOLVER_REDUCE_CHOSEN_SIZES_H
