/// @file KorvanCalcValueProvider.h
/// @brief KorvanCalcValueProvider: valve sizing for a set of points.
///
/// The host describes each point by a type (0 to 3) and an input value. The library turns them into
/// demands, picks for every point one size of the valve series 0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03
/// so that the ratios between sizes follow the ratios between demands, reduces the set to the
/// smallest equivalent sizes, and reports each point's percent deviation and one common scale
/// factor. This header declares the C++ interface, whose functions pass std::vector; it includes
/// KorvanCalcValueProviderC.h, the plain-C interface to the same calculation, which any language
/// can call.
///
/// Result codes (int32, named in KorvanCalcValueProviderC.h):
/// - 0: success
/// - 10: memory for a table entry, a new SolutionEntry or a ratio slot could not be allocated
/// - 11: the solution vector is empty
/// - 13: the input holds data the library cannot solve: a demand outside 1e-150 to 1e150 (zero,
///   negative, infinite and not-a-number ones included), eight points or more whose demands
///   lie so far apart that their nearest sizes would not follow them, or sizes whose ratios
///   no group of the valve series holds
/// - 160: an argument is invalid: a null pointer, a negative count, or a size of zero or less
///
/// Exceptions: a bounds violation leaves a call as std::out_of_range("invalid vector<T>
/// subscript"), a vector that would grow beyond its maximum as std::length_error("vector<T> too
/// long"), and any other allocation failure as std::bad_alloc. The library catches none of them.
///
/// Range: every figure is computed in doubles exactly as the sizing rules order the operations.
/// Every demand to be solved (new, held or recomputed) must lie from 1e-150 to 1e150; within that
/// range every intermediate value and every output is finite. With eight points or more, the sizes
/// that the nearest ratio gives must also not rise along the order of decreasing demand, which
/// only demands more than about 1e16 apart can make them do. Either is refused with 13 before
/// anything changes.
///
/// Threads: the library keeps no state between calls. Calls on different vectors and outputs may
/// run at the same time; one vector or output must not be used by two calls at once.
///
/// Runtime contract: SolutionVector and std::vector<double> cross the boundary, so the host and the
/// library must be built against one C++ runtime and standard library, with the same debug-mode
/// settings (checked iterators and debug containers change the vector's layout).
#ifndef KORVAN_CALC_VALUE_PROVIDER_H
#define KORVAN_CALC_VALUE_PROVIDER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "KorvanCalcValueProviderC.h"

/// One point of a solution: the record of the C interface under its C++ name, so that an array of
/// entries is the same objects to both. The host owns the records; the library creates, reorders
/// and fills them. The layout is fixed at 72 bytes with every double on an 8-byte boundary, on
/// 32-bit and 64-bit builds alike (checked in the C header, field by field).
using SolutionEntry = KorvanSolutionEntry;
static_assert(alignof(SolutionEntry) == 8, "SolutionEntry must be 8-byte aligned");

/// The host's vector of points, which the library grows and reorders in place.
using SolutionVector = std::vector<SolutionEntry>;

// libstdc++ and libc++ release builds lay a vector out as three pointers. A debug-mode standard
// library (_GLIBCXX_DEBUG, for one) adds fields, and a vector shared with a library built without
// it would be misread; catch that here rather than as corrupted memory at run time.
#if !defined(_MSC_VER) && !defined(KORVAN_ALLOW_DEBUG_CONTAINERS)
static_assert(sizeof(SolutionVector) == 3 * sizeof(void*),
              "SolutionVector layout differs from a release standard library: build the host "
              "without debug containers (_GLIBCXX_DEBUG), as the library is built");
#endif

extern "C" {

/// Appends one new entry per point to `solution` and solves the whole vector. A new point's
/// demand is its type's factor (0: 2.25, 1: 5.62, 2: 2.25, 3: 1.5) × input value × 0.001 × 4; an
/// entry `solution` already holds keeps the demand it holds.
///
/// @param count              number of points in `types` and `inputValues`, 0 or more
/// @param types              `count` point types, each 0 to 3
/// @param inputValues        `count` input values
/// @param deviationMax       out: largest non-negative percent deviation, rounded down to
///                           hundredths
/// @param deviationMin       out: most negative percent deviation, rounded down to hundredths
/// @param scaleFactor        out: mean of demand / valveSize; size times this is what a point
///                           receives
/// @param reducedScaleFactor out: scaleFactor / 2000
/// @param solution           the host's vector; new entries are appended after those it holds,
///                           then all are reordered by demand, largest first, and filled in
///
/// @return 0, 10 (out of memory for a table entry, a new entry or a ratio slot; entries created
/// before stay appended, and once all are, they may be reordered, each whole),
/// 11 (`count` is 0 and `solution` is empty), 13 (a new or existing demand outside the range noted
/// above) or 160 (a null pointer, or a negative `count`). On 11, 13 and 160 nothing is written.
/// @throws std::out_of_range for a type of 4 or more, before anything is appended
/// @throws std::bad_alloc, std::length_error if `solution` cannot grow, before anything is
/// appended
KORVAN_API std::int32_t GenerateSolutionVector(std::int32_t count, const std::uint32_t* types,
                                               const double* inputValues, double* deviationMax,
                                               double* deviationMin, double* scaleFactor,
                                               double* reducedScaleFactor,
                                               SolutionVector* solution);

/// Re-solves the entries `solution` holds, after the host edited their type or input value.
/// Every demand is recomputed from the entry's type and input value with half the multiplier of
/// GenerateSolutionVector: factor × input value × 0.001 × 2, against × 4 for a new point, as the
/// sizing rules intend. The same points thus get half the demands, the same sizes, ratios and
/// deviations, and half the scale factor they get from GenerateSolutionVector; a host that appends
/// new points to a vector last solved here mixes demands of the two kinds in one solve.
/// Each entry's callerData and deviation are kept until the solve overwrites the deviation.
///
/// @param solution           the host's vector; reordered by demand, largest first, and filled in
/// @param deviationMax       out: largest non-negative percent deviation, rounded down to
///                           hundredths
/// @param deviationMin       out: most negative percent deviation, rounded down to hundredths
/// @param scaleFactor        out: mean of the recomputed demand / valveSize
/// @param reducedScaleFactor out: scaleFactor / 2000
///
/// @return 0, 10 (out of memory for a table entry or a ratio slot; the entries may be reordered,
/// each whole), 11 (`solution` is empty), 13 (a recomputed demand outside the range noted above)
/// or 160 (a null pointer). On 11, 13 and 160 nothing is written.
/// @throws std::out_of_range for an entry whose type, read as unsigned, is 4 or more, before any
/// entry changes
KORVAN_API std::int32_t FillSolutionVector(SolutionVector* solution, double* deviationMax,
                                           double* deviationMin, double* scaleFactor,
                                           double* reducedScaleFactor);

/// Expresses `sizes` with the smallest sizes of the valve series that keep exactly the ratio of
/// the largest size to every other size. Sorts `sizes` in place, largest first (values that are
/// not a number last), on every outcome, and on success appends one value per element of the
/// sorted `sizes` to `smallest`, position by position; what `smallest` held before stays.
///
/// @param sizes     the sizes to reduce, sorted in place
/// @param smallest  out, on success: one reduced size appended per element of `sizes`
///
/// @return 0, 10 (out of memory for a ratio slot or table entry), 13 (no group of the series holds
/// every ratio: sizes outside the series, infinite or not-a-number sizes, more than seven distinct
/// sizes) or 160 (a null pointer, or a size of zero or less). Nothing is appended unless it
/// returns 0.
/// @throws std::out_of_range if `sizes` is empty
/// @throws std::bad_alloc, std::length_error if `smallest` cannot grow, with nothing appended
KORVAN_API std::int32_t GetSmallestPossibleValves(std::vector<double>* sizes,
                                                  std::vector<double>* smallest);

// GetCurrentVersion, the fourth function, is declared in KorvanCalcValueProviderC.h: it
// returns 1.0.

}  // extern "C"

#endif  // KORVAN_CALC_VALUE_PROVIDER_H
