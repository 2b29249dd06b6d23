/** @file KorvanCalcValueProviderC.h
 * @brief KorvanCalcValueProvider, the plain-C interface.
 *
 * The same valve sizing as the four C++ functions of KorvanCalcValueProvider.h, bit for bit, for
 * hosts in any language: every array belongs to the caller, every outcome is a result code, and no
 * exception ever leaves a call. The entries are solved in the caller's own array, without a copy.
 * Compiles as C99, C11 and C++.
 *
 * Result codes (int32_t), described in English by KorvanDescribeResult():
 * - #KORVAN_SUCCESS (0): success
 * - #KORVAN_OUT_OF_MEMORY (10): memory ran out
 * - #KORVAN_NOTHING_TO_SOLVE (11): no point to solve (no new point and none held), or no size
 * - #KORVAN_INVALID_TYPE (12): a point's type is not one of 0 to 3
 * - #KORVAN_UNSOLVABLE_INPUT (13): a demand outside 1e-150 to 1e150 (zero, negative, infinite
 *   and not-a-number ones included), demands so far apart that the nearest sizes do not follow
 *   them, or sizes whose ratios no group of the valve series holds
 * - #KORVAN_INVALID_ARGUMENT (160): a null pointer where data is needed, a negative count, a
 *   capacity too small, or a size of zero or less
 *
 * On any non-zero result *entryCount, *totals and `smallest` are untouched; so are the held
 * entries, except after #KORVAN_OUT_OF_MEMORY, which may leave them reordered (each still whole:
 * type, inputValue and callerData intact). KorvanDiagnose() tells which point a refusal is about.
 *
 * Arrays: no two arrays (or output variables) of one call may overlap, except that `sizes` and
 * `smallest` may be the very same array. Where an overlap is cheap to see (the entries' room
 * against `types`, `inputValues`, `callerData`, `entryCount` and `totals`; `sizes` against
 * `smallest`) the call refuses it with #KORVAN_INVALID_ARGUMENT before anything changes.
 *
 * Threads: the library keeps no state between calls. Calls on different arrays may run at the
 * same time; one array must not be used by two calls at once. A host that breaks this rule (a
 * second call, or a write from another thread, on an array while a call works on it) gets
 * meaningless values in its arrays, but the library never reads or writes outside the arrays it
 * was given and its own storage. */
#ifndef KORVAN_CALC_VALUE_PROVIDER_C_H
#define KORVAN_CALC_VALUE_PROVIDER_C_H

#include <stddef.h> /* NOLINT(modernize-deprecated-headers): a C header */
#include <stdint.h> /* NOLINT(modernize-deprecated-headers) */

/** The major version: a host checks it against KorvanGetLibraryVersion() / 10000. This header is
 * the one place the version is written. */
#define KORVAN_VERSION_MAJOR 1
/** The minor version: grows with every addition that keeps what hosts rely on. */
#define KORVAN_VERSION_MINOR 2
/** The patch version: grows with every fix that changes no interface. */
#define KORVAN_VERSION_PATCH 0
/** What KorvanGetLibraryVersion() returns for the library this header describes. */
#define KORVAN_VERSION_NUMBER \
    (KORVAN_VERSION_MAJOR * 10000 + KORVAN_VERSION_MINOR * 100 + KORVAN_VERSION_PATCH)

/** Result code 0: success. */
#define KORVAN_SUCCESS 0
/** Result code 10: memory ran out. */
#define KORVAN_OUT_OF_MEMORY 10
/** Result code 11: no point to solve (no new point and none held), or no size. */
#define KORVAN_NOTHING_TO_SOLVE 11
/** Result code 12: a point's type is not one of 0 to 3. */
#define KORVAN_INVALID_TYPE 12
/** Result code 13: a demand outside 1e-150 to 1e150, demands so far apart that the nearest sizes
 * do not follow them, or sizes whose ratios no group of the valve series holds. */
#define KORVAN_UNSOLVABLE_INPUT 13
/** Result code 160: a null pointer where data is needed, a negative count, a capacity too small,
 * a size of zero or less, or overlapping arrays. */
#define KORVAN_INVALID_ARGUMENT 160

/* KORVAN_API marks the exported functions: a host that links a static build of the library on
 * Windows defines KORVAN_STATIC_DEFINE, and a host may define KORVAN_API itself. */
#if !defined(KORVAN_API)
#if defined(_WIN32)
#if defined(KORVAN_BUILDING_LIBRARY)
#define KORVAN_API __declspec(dllexport)
#elif defined(KORVAN_STATIC_DEFINE)
#define KORVAN_API
#else
#define KORVAN_API __declspec(dllimport)
#endif
#else
#define KORVAN_API __attribute__((visibility("default")))
#endif
#endif

/** Every double of the record starts on an 8-byte boundary, on 32-bit builds too. */
#if defined(__cplusplus)
#define KORVAN_ALIGN_8 alignas(8)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define KORVAN_ALIGN_8 _Alignas(8)
#elif defined(_MSC_VER)
#define KORVAN_ALIGN_8 __declspec(align(8))
#else
#define KORVAN_ALIGN_8 __attribute__((aligned(8)))
#endif

/** One point: the 72-byte record that the C++ interface calls SolutionEntry, field for field.
 * Offsets: type 0 (then four bytes of padding), the doubles inputValue to deviation 8 to 56,
 * callerData 64. */
typedef struct KorvanSolutionEntry {  /* NOLINT(modernize-use-using) */
    int32_t type;                     /**< point type, 0 to 3 (read as unsigned) */
    KORVAN_ALIGN_8 double inputValue; /**< the point's input value, in the host's unit */
    double demand;                    /**< required quantity derived from type and inputValue */
    double ratio;                     /**< largest demand of the solution divided by this demand */
    double ratioMax;     /**< upper bound of ratio at the tolerance the search ended on */
    double ratioMin;     /**< lower bound of ratio at the tolerance the search ended on */
    double valveSize;    /**< the chosen size, a value of the valve series */
    double deviation;    /**< percent deviation of the delivered quantity, rounded down */
    uint64_t callerData; /**< the host's own 8 bytes; never read, moved with the entry */
} KorvanSolutionEntry;

/** The four numbers a solve reports. */
typedef struct KorvanSolutionTotals { /* NOLINT(modernize-use-using) */
    double deviationMax;              /**< largest non-negative percent deviation, rounded down */
    double deviationMin;              /**< most negative percent deviation, rounded down */
    double scaleFactor; /**< mean of demand / valveSize; size times this is what is delivered */
    double reducedScaleFactor; /**< scaleFactor / 2000 */
} KorvanSolutionTotals;

/** @cond KORVAN_LAYOUT_CHECKS */
#if defined(__cplusplus)
#define KORVAN_C_LAYOUT_CHECK(condition, message) static_assert(condition, message)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define KORVAN_C_LAYOUT_CHECK(condition, message) _Static_assert(condition, message)
#else
#define KORVAN_C_LAYOUT_CHECK_JOIN(a, b) a##b
#define KORVAN_C_LAYOUT_CHECK_NAME(line) KORVAN_C_LAYOUT_CHECK_JOIN(korvan_layout_check_, line)
#define KORVAN_C_LAYOUT_CHECK(condition, message) \
    typedef char KORVAN_C_LAYOUT_CHECK_NAME(__LINE__)[(condition) ? 1 : -1]
#endif

KORVAN_C_LAYOUT_CHECK(sizeof(KorvanSolutionEntry) == 72, "KorvanSolutionEntry must be 72 bytes");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, type) == 0, "type offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, inputValue) == 8, "inputValue offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, demand) == 16, "demand offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, ratio) == 24, "ratio offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, ratioMax) == 32, "ratioMax offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, ratioMin) == 40, "ratioMin offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, valveSize) == 48, "valveSize offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, deviation) == 56, "deviation offset");
KORVAN_C_LAYOUT_CHECK(offsetof(KorvanSolutionEntry, callerData) == 64, "callerData offset");
KORVAN_C_LAYOUT_CHECK(sizeof(KorvanSolutionTotals) == 32, "KorvanSolutionTotals must be 32 bytes");
/** @endcond */

#if defined(__cplusplus)
extern "C" {
#endif

/** Appends `count` new points after the `*entryCount` entries held in `entries` and solves them
 * all in place: afterwards entries[0 .. *entryCount + count) are ordered by demand, largest
 * first, each with its valve size and deviation. A new point's demand is its type's factor
 * (0: 2.25, 1: 5.62, 2: 2.25, 3: 1.5) × input value × 0.001 × 4; a held entry keeps the demand
 * it holds.
 *
 * @param count        number of new points, 0 or more
 * @param types        `count` point types, each 0 to 3 (may be NULL when `count` is 0)
 * @param inputValues  `count` input values (may be NULL when `count` is 0)
 * @param callerData   NULL, or `count` tags that the new entries carry (NULL tags them 0)
 * @param entries      the caller's array, with room for `capacity` entries
 * @param capacity     entries the array can hold; at least *entryCount + count
 * @param entryCount   in: entries held; out, on success: grown by `count`
 * @param totals       out, on success: the four numbers of the solve
 *
 * @return #KORVAN_SUCCESS, #KORVAN_OUT_OF_MEMORY, #KORVAN_NOTHING_TO_SOLVE (`count` 0 and no
 * entry held), #KORVAN_INVALID_TYPE, #KORVAN_UNSOLVABLE_INPUT (a new or held demand) or
 * #KORVAN_INVALID_ARGUMENT. */
KORVAN_API int32_t KorvanGenerateSolution(int32_t count, const uint32_t* types,
                                          const double* inputValues, const uint64_t* callerData,
                                          KorvanSolutionEntry* entries, size_t capacity,
                                          size_t* entryCount, KorvanSolutionTotals* totals);

/** Re-solves entries[0 .. entryCount) in place after the host edited their type or input value:
 * every demand is recomputed from them, then all are solved as KorvanGenerateSolution() solves.
 * Each entry's callerData stays with it.
 *
 * The demands are recomputed with half the multiplier a new point gets: factor × input value ×
 * 0.001 × 2, against × 4 in KorvanGenerateSolution(), as the sizing rules intend. The same
 * points therefore get half the demands, the same sizes and ratios, and half the scale factor
 * after a fill; a host that adds new points to entries last solved by a fill compares demands of
 * the two kinds.
 *
 * @param entries     the caller's entries, solved in place
 * @param entryCount  how many entries `entries` holds
 * @param totals      out, on success: the four numbers of the solve
 *
 * @return #KORVAN_SUCCESS, #KORVAN_OUT_OF_MEMORY, #KORVAN_NOTHING_TO_SOLVE (`entryCount` 0),
 * #KORVAN_INVALID_TYPE, #KORVAN_UNSOLVABLE_INPUT or #KORVAN_INVALID_ARGUMENT. */
KORVAN_API int32_t KorvanFillSolution(KorvanSolutionEntry* entries, size_t entryCount,
                                      KorvanSolutionTotals* totals);

/** Expresses the `count` sizes with the smallest sizes of the valve series that keep exactly the
 * ratio of the largest size to every other size. Sorts `sizes` in place, largest first (values
 * that are not a number last), on every outcome; on success writes smallest[i], the size standing
 * for sizes[i], for every i below `count`.
 *
 * @param sizes     `count` sizes, sorted in place
 * @param count     how many sizes there are
 * @param smallest  out, on success: `count` reduced sizes; may be `sizes` itself
 *
 * @return #KORVAN_SUCCESS, #KORVAN_OUT_OF_MEMORY, #KORVAN_NOTHING_TO_SOLVE (`count` 0),
 * #KORVAN_UNSOLVABLE_INPUT (no group of the series holds every ratio) or
 * #KORVAN_INVALID_ARGUMENT (a null pointer, or a size of zero or less). */
KORVAN_API int32_t KorvanGetSmallestPossibleValves(double* sizes, size_t count, double* smallest);

/** A static English sentence for `result`, for any value; never NULL.
 *
 * @param result  a result code, known or not
 * @return the sentence, valid for the life of the program */
KORVAN_API const char* KorvanDescribeResult(int32_t result);

/** @name Why a call is refused (since 1.2)
 *
 * KorvanDiagnose() judges the points of a generating, re-solving or reducing call by the same
 * rules and in the same order as the call itself, and tells the first rule broken and the point
 * responsible. Points are numbered from 0: the entries held first, then the new points in the
 * order of `types`; sizes in the order given, before any sorting.
 *
 * The rules, as KorvanDiagnosis::rule, with the result code each gives; KorvanDescribeRule()
 * words each in English.
 * @{ */

/** No rule is broken: the call gives #KORVAN_SUCCESS. */
#define KORVAN_RULE_NONE 0
/** No point and none held, or no size (11). */
#define KORVAN_RULE_NOTHING_TO_SOLVE 1
/** The point's type is not one of 0 to 3 (12). */
#define KORVAN_RULE_TYPE_UNKNOWN 2
/** The point's input value is zero or less (13). */
#define KORVAN_RULE_INPUT_NOT_POSITIVE 3
/** The point's input value is not a number (13). */
#define KORVAN_RULE_INPUT_NOT_A_NUMBER 4
/** The point's demand lies outside 1e-150 to 1e150: an input value too small, too large or
 * infinite, or a held entry's demand as set (13). */
#define KORVAN_RULE_DEMAND_OUT_OF_RANGE 5
/** Eight points or more, and the point's nearest size is larger than that of
 * KorvanDiagnosis::otherPoint, whose demand is larger (13). */
#define KORVAN_RULE_DEMANDS_TOO_FAR_APART 6
/** The size is zero or less (160). */
#define KORVAN_RULE_SIZE_NOT_POSITIVE 7
/** No group of the valve series holds every ratio of the largest size to the others; no single
 * size is responsible (13). */
#define KORVAN_RULE_RATIOS_IN_NO_GROUP 8

/** KorvanDiagnosis::point and KorvanDiagnosis::otherPoint when no point is meant. */
#define KORVAN_NO_POINT (-1)

/** KorvanCallPoints::call for the points of KorvanGenerateSolution(). */
#define KORVAN_CALL_GENERATE 1
/** KorvanCallPoints::call for the entries of KorvanFillSolution(). */
#define KORVAN_CALL_FILL 2
/** KorvanCallPoints::call for the sizes of KorvanGetSmallestPossibleValves(). */
#define KORVAN_CALL_SMALLEST 3

/** The points of a call, as the host passed them to it. */
typedef struct KorvanCallPoints {       /* NOLINT(modernize-use-using) */
    int32_t call;                       /**< #KORVAN_CALL_GENERATE, _FILL or _SMALLEST */
    const KorvanSolutionEntry* entries; /**< GENERATE: the entries held; FILL: the entries */
    size_t entryCount;                  /**< GENERATE: *entryCount as passed; FILL: entryCount */
    const uint32_t* types;              /**< GENERATE: the new points' types */
    const double* values;               /**< GENERATE: their input values; SMALLEST: the sizes
                                         * in the order given (the call sorts its array: pass a
                                         * copy made before it) */
    size_t count;                       /**< GENERATE: `count`; SMALLEST: the number of sizes */
} KorvanCallPoints;

/** What KorvanDiagnose() tells. */
typedef struct KorvanDiagnosis { /* NOLINT(modernize-use-using) */
    int32_t result;              /**< the code the call gives for these points */
    int32_t rule;                /**< KORVAN_RULE_...: the first rule broken */
    int64_t point;               /**< the point or size responsible, or #KORVAN_NO_POINT */
    int64_t otherPoint;          /**< for #KORVAN_RULE_DEMANDS_TOO_FAR_APART the point of larger
                                  * demand and smaller size; else #KORVAN_NO_POINT */
} KorvanDiagnosis;

/** @cond KORVAN_LAYOUT_CHECKS */
KORVAN_C_LAYOUT_CHECK(sizeof(KorvanDiagnosis) == 24, "KorvanDiagnosis must be 24 bytes");
/** @endcond */

/** Judges `points` and writes the verdict to `*diagnosis`. Reads the arrays and changes nothing.
 * The call's other arguments (null pointers, a negative count, the capacity, overlapping arrays)
 * are not judged here: #KORVAN_INVALID_ARGUMENT from a solving call with a verdict of
 * #KORVAN_RULE_NONE means one of those.
 *
 * @param points     the points of the call to judge
 * @param diagnosis  out: the verdict
 *
 * @return the verdict's result (#KORVAN_SUCCESS when no rule is broken); #KORVAN_OUT_OF_MEMORY
 * if the call's own tables cannot be built; #KORVAN_INVALID_ARGUMENT, with `*diagnosis`
 * untouched, for a null `points` or `diagnosis`, an unknown `call`, or a null array where a count
 * needs it. */
KORVAN_API int32_t KorvanDiagnose(const KorvanCallPoints* points, KorvanDiagnosis* diagnosis);

/** A static English sentence for `rule`, for any value; never NULL.
 *
 * @param rule  a KORVAN_RULE_... value, known or not
 * @return the sentence, valid for the life of the program */
KORVAN_API const char* KorvanDescribeRule(int32_t rule);

/** @} */

/** The library's version as KORVAN_VERSION_MAJOR * 10000 + MINOR * 100 + PATCH. A host checks the
 * major version against the header it was built with.
 *
 * @return the version number of the library loaded: #KORVAN_VERSION_NUMBER of the header it was
 * built from */
KORVAN_API uint32_t KorvanGetLibraryVersion(void);

/** The version of the sizing interface, 1.0: the same function as in KorvanCalcValueProvider.h.
 *
 * @return 1.0 */
KORVAN_API double GetCurrentVersion(void);

#if defined(__cplusplus)
}
#endif

#endif /* KORVAN_CALC_VALUE_PROVIDER_C_H */
