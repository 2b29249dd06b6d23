/* KorvanCalcValueProvider, the plain-C interface.
 *
 * The same valve sizing as the four C++ functions of KorvanCalcValueProvider.h, bit for bit, for
 * hosts in any language: every array belongs to the caller, every outcome is a result code, and no
 * exception ever leaves a call. The entries are solved in the caller's own array, without a copy.
 * Compiles as C99, C11 and C++.
 *
 * Result codes (int32_t), described in English by KorvanDescribeResult:
 *   KORVAN_SUCCESS            0    success
 *   KORVAN_OUT_OF_MEMORY      10   memory ran out
 *   KORVAN_NOTHING_TO_SOLVE   11   no point to solve (no new point and none held), or no size
 *   KORVAN_INVALID_TYPE       12   a point's type is not one of 0 to 3
 *   KORVAN_UNSOLVABLE_INPUT   13   a demand outside 1e-150 to 1e150 (zero, negative, infinite and
 *                                  not-a-number ones included), demands so far apart that the
 *                                  nearest sizes do not follow them, or sizes whose ratios no
 *                                  group of the valve series holds
 *   KORVAN_INVALID_ARGUMENT   160  a null pointer where data is needed, a negative count, a
 *                                  capacity too small, or a size of zero or less
 *
 * On any non-zero result *entryCount, *totals and `smallest` are untouched; so are the held
 * entries, except after KORVAN_OUT_OF_MEMORY, which may leave them reordered (each still whole:
 * type, inputValue and callerData intact).
 *
 * Threads: the library keeps no state between calls. Calls on different arrays may run at the
 * same time; one array must not be used by two calls at once. */
#ifndef KORVAN_CALC_VALUE_PROVIDER_C_H
#define KORVAN_CALC_VALUE_PROVIDER_C_H

#include <stddef.h> /* NOLINT(modernize-deprecated-headers): a C header */
#include <stdint.h> /* NOLINT(modernize-deprecated-headers) */

#define KORVAN_VERSION_MAJOR 1
#define KORVAN_VERSION_MINOR 1
#define KORVAN_VERSION_PATCH 0
/* What KorvanGetLibraryVersion returns for the library this header describes. */
#define KORVAN_VERSION_NUMBER \
    (KORVAN_VERSION_MAJOR * 10000 + KORVAN_VERSION_MINOR * 100 + KORVAN_VERSION_PATCH)

#define KORVAN_SUCCESS 0
#define KORVAN_OUT_OF_MEMORY 10
#define KORVAN_NOTHING_TO_SOLVE 11
#define KORVAN_INVALID_TYPE 12
#define KORVAN_UNSOLVABLE_INPUT 13
#define KORVAN_INVALID_ARGUMENT 160

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

/* Every double of the record starts on an 8-byte boundary, on 32-bit builds too. */
#if defined(__cplusplus)
#define KORVAN_ALIGN_8 alignas(8)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define KORVAN_ALIGN_8 _Alignas(8)
#elif defined(_MSC_VER)
#define KORVAN_ALIGN_8 __declspec(align(8))
#else
#define KORVAN_ALIGN_8 __attribute__((aligned(8)))
#endif

/* One point: the 72-byte record that the C++ interface calls SolutionEntry, field for field. */
typedef struct KorvanSolutionEntry {  /* NOLINT(modernize-use-using) */
    int32_t type;                     /* point type, 0 to 3 (read as unsigned) */
    KORVAN_ALIGN_8 double inputValue; /* the point's input value, in the host's unit */
    double demand;                    /* required quantity derived from type and inputValue */
    double ratio;                     /* largest demand of the solution divided by this demand */
    double ratioMax;     /* upper bound of ratio at the tolerance the search ended on */
    double ratioMin;     /* lower bound of ratio at the tolerance the search ended on */
    double valveSize;    /* the chosen size, a value of the valve series */
    double deviation;    /* percent deviation of the delivered quantity, rounded down */
    uint64_t callerData; /* the host's own 8 bytes; never read, moved with the entry */
} KorvanSolutionEntry;

/* The four numbers a solve reports. */
typedef struct KorvanSolutionTotals { /* NOLINT(modernize-use-using) */
    double deviationMax;              /* largest non-negative percent deviation, rounded down */
    double deviationMin;              /* most negative percent deviation, rounded down */
    double scaleFactor; /* mean of demand / valveSize; size times this is what is delivered */
    double reducedScaleFactor; /* scaleFactor / 2000 */
} KorvanSolutionTotals;

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

#if defined(__cplusplus)
extern "C" {
#endif

/* Appends `count` new points after the `*entryCount` entries held in `entries` and solves them
 * all in place: afterwards entries[0 .. *entryCount + count) are ordered by demand, largest
 * first, each with its valve size and deviation.
 *
 * count        number of new points, 0 or more
 * types        `count` point types, each 0 to 3 (may be NULL when `count` is 0)
 * inputValues  `count` input values (may be NULL when `count` is 0)
 * callerData   NULL, or `count` tags that the new entries carry (NULL tags them 0)
 * entries      the caller's array, with room for `capacity` entries
 * capacity     entries the array can hold; at least *entryCount + count
 * entryCount   in: entries held; out, on success: grown by `count`
 * totals       out, on success: the four numbers of the solve
 *
 * Returns KORVAN_SUCCESS, KORVAN_OUT_OF_MEMORY, KORVAN_NOTHING_TO_SOLVE (`count` 0 and no entry
 * held), KORVAN_INVALID_TYPE, KORVAN_UNSOLVABLE_INPUT (a new or held demand) or
 * KORVAN_INVALID_ARGUMENT. */
KORVAN_API int32_t KorvanGenerateSolution(int32_t count, const uint32_t* types,
                                          const double* inputValues, const uint64_t* callerData,
                                          KorvanSolutionEntry* entries, size_t capacity,
                                          size_t* entryCount, KorvanSolutionTotals* totals);

/* Re-solves entries[0 .. entryCount) in place after the host edited their type or input value:
 * every demand is recomputed from them, then all are solved as KorvanGenerateSolution solves.
 * Each entry's callerData stays with it.
 *
 * Returns KORVAN_SUCCESS, KORVAN_OUT_OF_MEMORY, KORVAN_NOTHING_TO_SOLVE (`entryCount` 0),
 * KORVAN_INVALID_TYPE, KORVAN_UNSOLVABLE_INPUT or KORVAN_INVALID_ARGUMENT. */
KORVAN_API int32_t KorvanFillSolution(KorvanSolutionEntry* entries, size_t entryCount,
                                      KorvanSolutionTotals* totals);

/* Expresses the `count` sizes with the smallest sizes of the valve series that keep exactly the
 * ratio of the largest size to every other size. Sorts `sizes` in place, largest first (values
 * that are not a number last), on every outcome; on success writes smallest[i], the size standing
 * for sizes[i], for every i below `count`.
 *
 * Returns KORVAN_SUCCESS, KORVAN_OUT_OF_MEMORY, KORVAN_NOTHING_TO_SOLVE (`count` 0),
 * KORVAN_UNSOLVABLE_INPUT (no group of the series holds every ratio) or KORVAN_INVALID_ARGUMENT
 * (a null pointer, or a size of zero or less). */
KORVAN_API int32_t KorvanGetSmallestPossibleValves(double* sizes, size_t count, double* smallest);

/* A static English sentence for `result`, for any value; never NULL. */
KORVAN_API const char* KorvanDescribeResult(int32_t result);

/* The library's version as KORVAN_VERSION_MAJOR * 10000 + MINOR * 100 + PATCH. A host checks the
 * major version against the header it was built with. */
KORVAN_API uint32_t KorvanGetLibraryVersion(void);

/* The version of the sizing interface, 1.0: the same function as in KorvanCalcValueProvider.h. */
KORVAN_API double GetCurrentVersion(void);

#if defined(__cplusplus)
}
#endif

#endif /* KORVAN_CALC_VALUE_PROVIDER_C_H */
