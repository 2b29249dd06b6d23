// The records the sizing rules work on: the host's entries, in place, and the four numbers a solve
// reports. Both are the C interface's records, so that either boundary hands its caller's memory
// to the same steps.
#ifndef KORVAN_TABLES_SOLUTION_ENTRIES_H
#define KORVAN_TABLES_SOLUTION_ENTRIES_H

#include "interface/KorvanCalcValueProviderC.h"
#include "tables/CheckedAccess.h"

namespace korvan {

using SolutionEntry = KorvanSolutionEntry;
using SolutionTotals = KorvanSolutionTotals;

// The entries of one solve, in the caller's memory: a host's vector after any appending, or a C
// caller's array. The steps reorder and fill them in place; none of them adds or removes one.
using EntryRange = Span<SolutionEntry>;

}  // namespace korvan

#endif  // KORVAN_TABLES_SOLUTION_ENTRIES_H
