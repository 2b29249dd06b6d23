/* The C interface from C: the worked examples, every refusal with what it must leave untouched,
 * caller tags, the sentences and versions, and a random sweep against the C++ interface, bit for
 * bit. Exits non-zero on the first failed check of each case, after reporting it. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "CppReference.h"
#include "Check.h"
#include "KorvanCalcValueProviderC.h"

/* MinGW-w64's isfinite chooses among its float, double and long double calls in a way that
   -Wconversion flags for a double; GCC's builtin is the same test. */
#if defined(__MINGW32__) && defined(__GNUC__)
#undef isfinite
#define isfinite(x) __builtin_isfinite(x)
#endif

/* How the sweep's calls ended, by code, so that a run shows what it covered. */
static int sweepOutcomes[200];

static void CountOutcome(int32_t result) {
    sweepOutcomes[result >= 0 && result < 200 ? result : 199] += 1;
}

#define MAX_ENTRIES 24

static int SameBits(double left, double right) {
    return memcmp(&left, &right, sizeof left) == 0;
}

static int SameEntry(const KorvanSolutionEntry* left, const KorvanSolutionEntry* right) {
    return left->type == right->type && SameBits(left->inputValue, right->inputValue) &&
           SameBits(left->demand, right->demand) && SameBits(left->ratio, right->ratio) &&
           SameBits(left->ratioMax, right->ratioMax) && SameBits(left->ratioMin, right->ratioMin) &&
           SameBits(left->valveSize, right->valveSize) &&
           SameBits(left->deviation, right->deviation) && left->callerData == right->callerData;
}

static int SameEntries(const KorvanSolutionEntry* left, const KorvanSolutionEntry* right,
                       size_t count) {
    size_t i;
    for (i = 0; i < count; ++i) {
        if (!SameEntry(&left[i], &right[i])) {
            return 0;
        }
    }
    return 1;
}

static int SameTotals(const KorvanSolutionTotals* left, const KorvanSolutionTotals* right) {
    return SameBits(left->deviationMax, right->deviationMax) &&
           SameBits(left->deviationMin, right->deviationMin) &&
           SameBits(left->scaleFactor, right->scaleFactor) &&
           SameBits(left->reducedScaleFactor, right->reducedScaleFactor);
}

/* A value no arithmetic of the library makes, for memory that must stay untouched. */
static double Untouched(void) {
    const uint64_t bits = 0x7ff8dead0000beefULL;
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

static KorvanSolutionTotals UntouchedTotals(void) {
    KorvanSolutionTotals totals;
    totals.deviationMax = totals.deviationMin = Untouched();
    totals.scaleFactor = totals.reducedScaleFactor = Untouched();
    return totals;
}

/* An entry as a host holds it: stale work fields the library must overwrite. */
static KorvanSolutionEntry HostEntry(int32_t type, double inputValue, double demand,
                                     uint64_t callerData) {
    KorvanSolutionEntry entry;
    memset(&entry, 0, sizeof entry);
    entry.type = type;
    entry.inputValue = inputValue;
    entry.demand = demand;
    entry.ratio = 7.0;
    entry.ratioMax = 8.0;
    entry.ratioMin = 6.0;
    entry.valveSize = 0.3;
    entry.deviation = -1.25;
    entry.callerData = callerData;
    return entry;
}

static void FillWith(KorvanSolutionEntry* entries, size_t count, int32_t marker) {
    size_t i;
    for (i = 0; i < count; ++i) {
        entries[i] = HostEntry(marker, Untouched(), Untouched(), 0xFEEDu);
    }
}

/* ---- worked examples ---- */

static void TheRoadOfOneRequest(void) {
    const uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    const uint64_t tags[] = {101, 102, 103};
    const double sizes[] = {0.2, 0.16, 0.1};
    const double deviations[] = {-4.84, -4.92, 11.42};
    KorvanSolutionEntry entries[3];
    KorvanSolutionTotals totals = UntouchedTotals();
    size_t count = 0;
    size_t i;
    CHECK(KorvanGenerateSolution(3, types, values, tags, entries, 3, &count, &totals) ==
          KORVAN_SUCCESS);
    CHECK(count == 3);
    for (i = 0; i < 3; ++i) {
        CHECK(entries[i].valveSize == sizes[i]);
        CHECK(entries[i].deviation == deviations[i]);
        CHECK(entries[i].callerData == tags[i]);
        CHECK(entries[i].ratioMax == (15.0 / 100.0 + 1.0) * entries[i].ratio);
        CHECK(entries[i].ratioMin == (-15.0 / 100.0 + 1.0) * entries[i].ratio);
    }
    CHECK(entries[0].demand == 1.124 && entries[1].demand == 0.9 && entries[2].demand == 0.48);
    CHECK(totals.deviationMax == 11.42);
    CHECK(totals.deviationMin == -4.92);
    CHECK(totals.scaleFactor == 5.348333333333334);
    CHECK(totals.reducedScaleFactor == 0.0026741666666666667);
}

/* Held entries are solved with the demands they carry: here exactly 5.0 and 3.0. */
static void TwoHeldPointsShrinkToTheSmallestSizes(void) {
    KorvanSolutionEntry entries[2];
    KorvanSolutionTotals totals = UntouchedTotals();
    size_t count = 2;
    entries[0] = HostEntry(0, 1.0, 3.0, 1);
    entries[1] = HostEntry(0, 1.0, 5.0, 2);
    CHECK(KorvanGenerateSolution(0, NULL, NULL, NULL, entries, 2, &count, &totals) ==
          KORVAN_SUCCESS);
    CHECK(count == 2);
    CHECK(entries[0].callerData == 2 && entries[1].callerData == 1);
    CHECK(entries[0].valveSize == 0.1 && entries[1].valveSize == 0.06);
    CHECK(entries[0].deviation == 0.0 && entries[1].deviation == 0.0);
    CHECK(totals.scaleFactor == 50.0 && totals.reducedScaleFactor == 0.025);
    CHECK(totals.deviationMax == 0.0 && totals.deviationMin == 0.0);
}

static void EightPointsTakeTheNearestRatio(void) {
    const double sizes[] = {0.5, 0.5, 0.5, 0.3, 0.3, 0.2, 0.16, 0.06};
    const double deviations[] = {-9.25, 3.72, 21.0, -12.88, 8.9, -3.2, 16.16, -12.88};
    KorvanSolutionEntry entries[8];
    KorvanSolutionTotals totals = UntouchedTotals();
    size_t count = 8;
    size_t i;
    for (i = 0; i < 8; ++i) {
        entries[i] = HostEntry(0, 1.0, (double)(i + 1), 0);
    }
    CHECK(KorvanGenerateSolution(0, NULL, NULL, NULL, entries, 8, &count, &totals) ==
          KORVAN_SUCCESS);
    for (i = 0; i < 8; ++i) {
        CHECK(entries[i].demand == (double)(8 - i));
        CHECK(entries[i].valveSize == sizes[i]);
        CHECK(entries[i].deviation == deviations[i]);
    }
    CHECK(totals.scaleFactor == 14.520833333333334);
    CHECK(totals.deviationMax == 21.0 && totals.deviationMin == -12.88);
    CHECK(totals.reducedScaleFactor == 0.007260416666666667);
}

/* A re-solve recomputes every demand at half a new point's, keeps each tag with its entry, and
 * ends on the same sizes with half the scale factor. */
static void FillResolvesEditedEntriesInPlace(void) {
    const uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    KorvanSolutionEntry entries[3];
    KorvanSolutionTotals generated = UntouchedTotals();
    KorvanSolutionTotals filled = UntouchedTotals();
    size_t count = 0;
    CHECK(KorvanGenerateSolution(3, types, values, NULL, entries, 3, &count, &generated) == 0);
    entries[0].callerData = 7;
    entries[2].callerData = 9;
    CHECK(KorvanFillSolution(entries, 3, &filled) == KORVAN_SUCCESS);
    CHECK(entries[0].demand == ((50.0 * 5.62) * 0.001) * 2.0);
    CHECK(entries[0].callerData == 7 && entries[2].callerData == 9);
    CHECK(entries[1].callerData == 0);
    CHECK(filled.scaleFactor == generated.scaleFactor / 2.0);
    CHECK(entries[0].valveSize == 0.2 && entries[2].valveSize == 0.1);
}

static void ReductionsWriteTheSmallestSizes(void) {
    static const struct {
        size_t count;
        double given[4];
        double sorted[4];
        double smallest[4];
    } cases[] = {
        {3, {0.2, 0.3, 0.2}, {0.3, 0.2, 0.2}, {0.3, 0.2, 0.2}},
        {2, {0.5, 0.1}, {0.5, 0.1}, {0.3, 0.06}},
        {2, {0.5, 0.3}, {0.5, 0.3}, {0.1, 0.06}},
        {4, {0.1, 0.5, 0.1, 0.03}, {0.5, 0.1, 0.1, 0.03}, {0.5, 0.1, 0.1, 0.03}},
        {2, {0.2, 0.1}, {0.2, 0.1}, {0.06, 0.03}},
        {2, {0.4, 0.2}, {0.4, 0.2}, {0.06, 0.03}},
        {2, {0.2, 0.2}, {0.2, 0.2}, {0.03, 0.03}},
    };
    size_t c;
    size_t i;
    for (c = 0; c < sizeof cases / sizeof cases[0]; ++c) {
        double sizes[4];
        double smallest[4] = {9.0, 9.0, 9.0, 9.0};
        memcpy(sizes, cases[c].given, sizeof sizes);
        CHECK(KorvanGetSmallestPossibleValves(sizes, cases[c].count, smallest) == KORVAN_SUCCESS);
        for (i = 0; i < cases[c].count; ++i) {
            CHECK(sizes[i] == cases[c].sorted[i]);
            CHECK(smallest[i] == cases[c].smallest[i]);
        }
        CHECK(i == 4 || smallest[i] == 9.0); /* nothing written past `count` */
    }
}

/* ---- refusals ---- */

/* A generating call that must be refused with `expected`, leaving the held entries, the room
 * after them, the count and the totals as they were. */
static void ExpectGenerateRefused(int32_t expected, int32_t count, const uint32_t* types,
                                  const double* values, const KorvanSolutionEntry* held,
                                  size_t heldCount, size_t capacity, int nullEntries, int line) {
    KorvanSolutionEntry entries[MAX_ENTRIES];
    KorvanSolutionEntry before[MAX_ENTRIES];
    KorvanSolutionTotals totals = UntouchedTotals();
    const KorvanSolutionTotals untouched = UntouchedTotals();
    size_t entryCount = heldCount;
    int32_t result;
    FillWith(entries, MAX_ENTRIES, 99);
    if (heldCount > 0) {
        memcpy(entries, held, heldCount * sizeof *held);
    }
    memcpy(before, entries, sizeof entries);
    result = KorvanGenerateSolution(count, types, values, NULL, nullEntries ? NULL : entries,
                                    capacity, &entryCount, &totals);
    if (result != expected || entryCount != heldCount || !SameTotals(&totals, &untouched) ||
        !SameEntries(entries, before, MAX_ENTRIES)) {
        fprintf(stderr, "%s:%d: generate gave %d (expected %d) or changed what it must not\n",
                __FILE__, line, (int)result, (int)expected);
        ++failures;
    }
}

static void GenerateRefusals(void) {
    const uint32_t types[] = {0, 1, 3, 2, 0, 1, 3, 2};
    const double values[] = {100.0, 50.0, 80.0, 10.0, 20.0, 30.0, 40.0, 60.0};
    const uint32_t badType[] = {0, 1, 7};
    const double zero[] = {100.0, 0.0, 80.0};
    const double tiny[] = {100.0, 1e-149};
    const double spread[] = {1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25, 1e24};
    KorvanSolutionEntry held[2];
    KorvanSolutionTotals totals = UntouchedTotals();
    KorvanSolutionEntry entries[4];
    size_t entryCount = 0;
    held[0] = HostEntry(0, 100.0, 0.9, 1);
    held[1] = HostEntry(3, 80.0, 0.48, 2);

    CHECK(KorvanGenerateSolution(3, types, values, NULL, entries, 4, NULL, &totals) ==
          KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanGenerateSolution(3, types, values, NULL, entries, 4, &entryCount, NULL) ==
          KORVAN_INVALID_ARGUMENT);
    CHECK(entryCount == 0);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, -1, types, values, held, 2, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 3, NULL, values, held, 2, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 3, types, NULL, held, 2, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 3, types, values, held, 2, 4, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 3, types, values, NULL, 0, 2, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 0, NULL, NULL, held, 2, 1, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_ARGUMENT, 3, types, values, NULL, 0, 8, 1, __LINE__);
    ExpectGenerateRefused(KORVAN_NOTHING_TO_SOLVE, 0, NULL, NULL, NULL, 0, 0, 1, __LINE__);
    ExpectGenerateRefused(KORVAN_NOTHING_TO_SOLVE, 0, types, values, NULL, 0, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_INVALID_TYPE, 3, badType, values, held, 2, 8, 0, __LINE__);
    /* A bad type is answered before a bad demand, wherever each stands. */
    ExpectGenerateRefused(KORVAN_INVALID_TYPE, 3, badType, zero, held, 2, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_UNSOLVABLE_INPUT, 3, types, zero, held, 2, 8, 0, __LINE__);
    ExpectGenerateRefused(KORVAN_UNSOLVABLE_INPUT, 2, types, tiny, NULL, 0, 8, 0, __LINE__);
    /* Eight points 1e21 apart: the nearest sizes would rise along the order of demand. */
    ExpectGenerateRefused(KORVAN_UNSOLVABLE_INPUT, 8, types, spread, NULL, 0, 8, 0, __LINE__);
    held[1].demand = NAN;
    ExpectGenerateRefused(KORVAN_UNSOLVABLE_INPUT, 3, types, values, held, 2, 8, 0, __LINE__);
    held[1].demand = 1e151;
    ExpectGenerateRefused(KORVAN_UNSOLVABLE_INPUT, 0, NULL, NULL, held, 2, 8, 0, __LINE__);
}

static void FillRefusals(void) {
    KorvanSolutionEntry entries[3];
    KorvanSolutionEntry before[3];
    KorvanSolutionTotals totals = UntouchedTotals();
    const KorvanSolutionTotals untouched = UntouchedTotals();
    entries[0] = HostEntry(0, 100.0, 0.9, 1);
    entries[1] = HostEntry(3, 80.0, 0.48, 2);
    entries[2] = HostEntry(1, 50.0, 1.124, 3);
    CHECK(KorvanFillSolution(entries, 3, NULL) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanFillSolution(NULL, 3, &totals) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanFillSolution(NULL, 0, &totals) == KORVAN_NOTHING_TO_SOLVE);
    CHECK(KorvanFillSolution(entries, 0, &totals) == KORVAN_NOTHING_TO_SOLVE);
    entries[1].type = -1;
    entries[2].inputValue = 0.0;
    memcpy(before, entries, sizeof entries);
    CHECK(KorvanFillSolution(entries, 3, &totals) == KORVAN_INVALID_TYPE);
    entries[1].type = 3;
    memcpy(before, entries, sizeof entries);
    CHECK(KorvanFillSolution(entries, 3, &totals) == KORVAN_UNSOLVABLE_INPUT);
    entries[2].inputValue = INFINITY;
    CHECK(KorvanFillSolution(entries, 3, &totals) == KORVAN_UNSOLVABLE_INPUT);
    before[2].inputValue = INFINITY;
    CHECK(SameEntries(entries, before, 3));
    CHECK(SameTotals(&totals, &untouched));
}

static void ReductionRefusals(void) {
    double sizes[3] = {0.3, 0.0, 0.5};
    double smallest[3] = {9.0, 9.0, 9.0};
    CHECK(KorvanGetSmallestPossibleValves(NULL, 0, NULL) == KORVAN_NOTHING_TO_SOLVE);
    CHECK(KorvanGetSmallestPossibleValves(NULL, 2, smallest) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanGetSmallestPossibleValves(sizes, 2, NULL) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanGetSmallestPossibleValves(sizes, 3, smallest) == KORVAN_INVALID_ARGUMENT);
    CHECK(sizes[0] == 0.5 && sizes[1] == 0.3 && sizes[2] == 0.0); /* sorted all the same */
    sizes[2] = 0.2;
    sizes[0] = 0.7;
    CHECK(KorvanGetSmallestPossibleValves(sizes, 3, smallest) == KORVAN_UNSOLVABLE_INPUT);
    CHECK(sizes[0] == 0.7 && sizes[1] == 0.3 && sizes[2] == 0.2);
    sizes[0] = INFINITY;
    CHECK(KorvanGetSmallestPossibleValves(sizes, 3, smallest) == KORVAN_UNSOLVABLE_INPUT);
    CHECK(smallest[0] == 9.0 && smallest[1] == 9.0 && smallest[2] == 9.0);
}

/* Demands at both ends of the range the library carries, and just beyond them: inside, every
 * figure of the solve is finite, on either path; outside, the call is refused. */
static void RangeCornersGiveFiniteFiguresOrAreRefused(void) {
    const double corners[] = {1e-150, 1e150};
    const double beyond[] = {9.99999999999999e-151, 1.00000000000001e150};
    size_t points;
    for (points = 2; points <= 9; points += 7) {
        size_t corner;
        for (corner = 0; corner < 4; ++corner) {
            KorvanSolutionEntry entries[9];
            KorvanSolutionTotals totals = UntouchedTotals();
            size_t count = points;
            size_t i;
            const int refused = corner >= 2;
            for (i = 0; i < points; ++i) {
                /* Mostly at the corner, the rest at the other end or in the middle. */
                const double demand = i == 0 ? (refused ? beyond[corner - 2] : corners[corner])
                                      : i % 2 == 0 ? corners[1 - corner % 2]
                                                   : 1.0;
                entries[i] = HostEntry(0, 1.0, demand, i);
            }
            if (refused) {
                CHECK(KorvanGenerateSolution(0, NULL, NULL, NULL, entries, points, &count,
                                             &totals) == KORVAN_UNSOLVABLE_INPUT);
                continue;
            }
            CHECK(KorvanGenerateSolution(0, NULL, NULL, NULL, entries, points, &count, &totals) ==
                  KORVAN_SUCCESS);
            CHECK(isfinite(totals.scaleFactor) && isfinite(totals.reducedScaleFactor));
            CHECK(isfinite(totals.deviationMax) && isfinite(totals.deviationMin));
            for (i = 0; i < points; ++i) {
                CHECK(isfinite(entries[i].ratio) && isfinite(entries[i].deviation));
                CHECK(isfinite(entries[i].ratioMax) && isfinite(entries[i].ratioMin));
            }
        }
    }
}

static void SentencesAndVersions(void) {
    const int32_t codes[] = {0, 10, 11, 12, 13, 160, 1168, -1, 42};
    size_t i;
    for (i = 0; i < sizeof codes / sizeof codes[0]; ++i) {
        const char* sentence = KorvanDescribeResult(codes[i]);
        CHECK(sentence != NULL && sentence[0] != '\0');
    }
    CHECK(strcmp(KorvanDescribeResult(12), "a point's type is not one of 0 to 3") == 0);
    CHECK(strcmp(KorvanDescribeResult(42), KorvanDescribeResult(-1)) == 0);
    CHECK(strcmp(KorvanDescribeResult(42), KorvanDescribeResult(13)) != 0);
    CHECK(KorvanGetLibraryVersion() == KORVAN_VERSION_NUMBER);
    CHECK(KorvanGetLibraryVersion() / 10000 == KORVAN_VERSION_MAJOR);
    CHECK(GetCurrentVersion() == 1.0);
}

/* ---- the random sweep against the C++ interface ---- */

static uint64_t state = 0x5eedc0de1168ULL;

/* splitmix64: the same draws on every platform. */
static uint64_t Next(void) {
    uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

static uint32_t Below(uint32_t bound) {
    return (uint32_t)(Next() % bound);
}

/* Values over nine decades, each made by one multiplication; now and then zero. */
static double Magnitude(void) {
    static const double scales[] = {1e-4, 1e-3, 0.01, 0.1, 1.0, 10.0, 100.0, 1e3, 1e4};
    if (Below(60) == 0) {
        return 0.0;
    }
    return (double)(1 + Below(100000)) * scales[Below(9)];
}

static uint32_t DrawType(void) {
    return Below(50) == 0 ? 4 + Below(3) : Below(4);
}

static void CompareGenerate(size_t round) {
    uint32_t types[MAX_ENTRIES];
    double values[MAX_ENTRIES];
    uint64_t tags[MAX_ENTRIES];
    KorvanSolutionEntry c[MAX_ENTRIES];
    KorvanSolutionEntry cpp[MAX_ENTRIES];
    KorvanSolutionTotals cTotals = UntouchedTotals();
    KorvanSolutionTotals cppTotals = UntouchedTotals();
    const size_t held = Below(3) == 0 ? Below(5) : 0;
    const size_t points = Below(13);
    size_t cCount = held;
    size_t cppCount = held;
    int32_t cResult;
    int32_t cppResult;
    size_t i;
    for (i = 0; i < held; ++i) {
        const int32_t type = (int32_t)Below(4);
        const double value = Magnitude();
        c[i] = HostEntry(type, value, Magnitude(), 1000 + i);
    }
    for (i = 0; i < points; ++i) {
        types[i] = DrawType();
        values[i] = Below(4) == 0 && i > 0 ? values[i - 1] : Magnitude();
        tags[i] = 0; /* the C++ call tags its new entries 0, as NULL tags do here */
    }
    memcpy(cpp, c, sizeof c);
    cResult = KorvanGenerateSolution((int32_t)points, types, values, Below(2) ? tags : NULL, c,
                                     MAX_ENTRIES, &cCount, &cTotals);
    cppResult =
        ReferenceGenerate((int32_t)points, types, values, cpp, MAX_ENTRIES, &cppCount, &cppTotals);
    if (cppResult == REFERENCE_OUT_OF_RANGE) {
        cppResult = KORVAN_INVALID_TYPE;
    }
    CountOutcome(cResult);
    if (cResult != cppResult || cCount != cppCount || !SameEntries(c, cpp, cCount) ||
        !SameTotals(&cTotals, &cppTotals)) {
        fprintf(stderr, "round %zu: generate through C gave %d, through C++ %d\n", round,
                (int)cResult, (int)cppResult);
        ++failures;
    }
}

static void CompareFill(size_t round) {
    KorvanSolutionEntry c[MAX_ENTRIES];
    KorvanSolutionEntry cpp[MAX_ENTRIES];
    KorvanSolutionTotals cTotals = UntouchedTotals();
    KorvanSolutionTotals cppTotals = UntouchedTotals();
    const size_t count = 1 + Below(12);
    int32_t cResult;
    int32_t cppResult;
    size_t i;
    for (i = 0; i < count; ++i) {
        const int32_t type = (int32_t)DrawType();
        const double value = Magnitude();
        c[i] = HostEntry(type, value, 0.5, 100 + i);
    }
    memcpy(cpp, c, count * sizeof *c);
    cResult = KorvanFillSolution(c, count, &cTotals);
    cppResult = ReferenceFill(cpp, count, &cppTotals);
    if (cppResult == REFERENCE_OUT_OF_RANGE) {
        cppResult = KORVAN_INVALID_TYPE;
    }
    CountOutcome(cResult);
    if (cResult != cppResult || !SameEntries(c, cpp, count) || !SameTotals(&cTotals, &cppTotals)) {
        fprintf(stderr, "round %zu: fill through C gave %d, through C++ %d\n", round, (int)cResult,
                (int)cppResult);
        ++failures;
    }
}

static void CompareSmallest(size_t round) {
    static const double series[] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
    double c[12] = {0};
    double cpp[12] = {0};
    double cSmallest[12];
    double cppSmallest[12];
    const size_t count = Below(30) == 0 ? 0 : 1 + Below(11);
    const double scale = Below(4) == 0 ? (double)(1U << Below(4)) : 1.0;
    size_t appended = 0;
    int32_t cResult;
    int32_t cppResult;
    size_t i;
    for (i = 0; i < count; ++i) {
        c[i] = Below(15) == 0 ? Magnitude() : series[Below(7)] * scale;
        cSmallest[i] = cppSmallest[i] = Untouched();
    }
    memcpy(cpp, c, sizeof c);
    cResult = KorvanGetSmallestPossibleValves(c, count, cSmallest);
    cppResult = ReferenceSmallest(cpp, count, cppSmallest, &appended);
    if (cppResult == REFERENCE_OUT_OF_RANGE) {
        cppResult = KORVAN_NOTHING_TO_SOLVE;
    }
    for (i = 0; i < count; ++i) {
        if (!SameBits(c[i], cpp[i]) || (cResult == 0 && !SameBits(cSmallest[i], cppSmallest[i])) ||
            (cResult != 0 && !SameBits(cSmallest[i], Untouched()))) {
            cResult = -100;
        }
    }
    CountOutcome(cResult);
    if (cResult != cppResult || (cppResult == 0 && appended != count)) {
        fprintf(stderr, "round %zu: reduction through C gave %d, through C++ %d\n", round,
                (int)cResult, (int)cppResult);
        ++failures;
    }
}

static void RandomSweepAgreesWithTheCppInterface(void) {
    size_t round;
    int code;
    for (round = 0; round < 6000; ++round) {
        switch (Below(4)) {
            case 0:
            case 1:
                CompareGenerate(round);
                break;
            case 2:
                CompareFill(round);
                break;
            default:
                CompareSmallest(round);
                break;
        }
    }
    printf("sweep of %zu calls:", round);
    for (code = 0; code < 200; ++code) {
        if (sweepOutcomes[code] != 0) {
            printf(" %d gave %d;", sweepOutcomes[code], code);
        }
    }
    printf("\n");
}

int main(void) {
    TheRoadOfOneRequest();
    TwoHeldPointsShrinkToTheSmallestSizes();
    EightPointsTakeTheNearestRatio();
    FillResolvesEditedEntriesInPlace();
    ReductionsWriteTheSmallestSizes();
    GenerateRefusals();
    FillRefusals();
    ReductionRefusals();
    RangeCornersGiveFiniteFiguresOrAreRefused();
    SentencesAndVersions();
    RandomSweepAgreesWithTheCppInterface();
    if (failures != 0) {
        fprintf(stderr, "%d checks failed\n", failures);
        return 1;
    }
    printf("every check passed\n");
    return 0;
}
