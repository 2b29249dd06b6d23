/* Writes random calls of the C interface and what the library answered to standard output, one
 * call a line, for the C# binding to make the same calls and compare bit for bit. Doubles are
 * written as the 16 hex digits of their bits. Every kind of call is there: new points, new points
 * after held entries (earlier solutions, or entries with demands of any value), re-solves, and
 * reductions of sizes, with refusals of every rule among them.
 *
 * usage: korvan_dotnet_cases [calls]   (default 2400) */
#include <inttypes.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "KorvanCalcValueProviderC.h"

#define MAX_POINTS 40

static uint64_t state = 0x6b6f7276616e2e63ULL;

static uint64_t Next(void) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
}

static uint32_t Below(uint32_t bound) {
    return (uint32_t)(Next() % bound);
}

static double Bits(uint64_t bits) {
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
}

static void PutDouble(double value) {
    uint64_t bits;
    memcpy(&bits, &value, sizeof bits);
    printf(" %016" PRIx64, bits);
}

static void PutEntry(const KorvanSolutionEntry* entry) {
    printf(" %" PRId32, entry->type);
    PutDouble(entry->inputValue);
    PutDouble(entry->demand);
    PutDouble(entry->ratio);
    PutDouble(entry->ratioMax);
    PutDouble(entry->ratioMin);
    PutDouble(entry->valveSize);
    PutDouble(entry->deviation);
    printf(" %" PRIu64, entry->callerData);
}

static void PutEntries(const char* name, const KorvanSolutionEntry* entries, size_t count) {
    size_t i;
    printf(" %s %zu", name, count);
    for (i = 0; i < count; ++i) {
        PutEntry(&entries[i]);
    }
}

static void PutDoubles(const char* name, const double* values, size_t count) {
    size_t i;
    printf(" %s %zu", name, count);
    for (i = 0; i < count; ++i) {
        PutDouble(values[i]);
    }
}

static void PutTotals(const KorvanSolutionTotals* totals) {
    printf(" totals");
    PutDouble(totals->deviationMax);
    PutDouble(totals->deviationMin);
    PutDouble(totals->scaleFactor);
    PutDouble(totals->reducedScaleFactor);
}

/* The result, and for a refusal what the binding reports: the diagnosis where it foresees the
 * same result, no rule otherwise. */
static void PutResult(int32_t result, const KorvanCallPoints* points) {
    KorvanDiagnosis verdict = {0, KORVAN_RULE_NONE, KORVAN_NO_POINT, KORVAN_NO_POINT};
    if (result != KORVAN_SUCCESS) {
        KorvanDiagnosis told;
        if (KorvanDiagnose(points, &told) == result && told.result == result) {
            verdict = told;
        }
    }
    printf(" result %" PRId32 " rule %" PRId32 " point %" PRId64 " other %" PRId64, result,
           verdict.rule, verdict.point, verdict.otherPoint);
}

/* Mostly input values from 1e-3 to 1e4 with all their bits, now and then one a rule refuses. */
static double InputValue(void) {
    static const double special[] = {0.0, -1.0, NAN, INFINITY, 1e-160, 1e160, -0.0, 1e-300};
    if (Below(40) == 0) {
        return special[Below(8)];
    }
    return exp(log(1e-3) + (log(1e4) - log(1e-3)) * (double)(Next() >> 11) / 9007199254740992.0);
}

static uint32_t Type(void) {
    return Below(60) == 0 ? 4 + Below(1000) : Below(4);
}

/* Mostly up to 7 points (the tolerance search), often 8 or more (nearest ratio), now and then
 * none. */
static size_t PointCount(void) {
    const uint32_t pick = Below(20);
    if (pick == 0) {
        return 0;
    }
    return pick < 13 ? 1 + Below(7) : 8 + Below(MAX_POINTS / 2 - 8);
}

/* An entry whose every field is some bit pattern, as a host's array may hold before a call. */
static KorvanSolutionEntry Scrambled(void) {
    KorvanSolutionEntry entry;
    memset(&entry, 0, sizeof entry);
    entry.type = (int32_t)Type();
    entry.inputValue = InputValue();
    entry.demand = Below(3) == 0 ? Bits(Next()) : InputValue();
    entry.ratio = Bits(Next());
    entry.ratioMax = Bits(Next());
    entry.ratioMin = Bits(Next());
    entry.valveSize = Bits(Next());
    entry.deviation = Bits(Next());
    entry.callerData = Next();
    return entry;
}

/* The entries of the last solution, to be held by a later call. */
typedef struct Kept {
    KorvanSolutionEntry entries[MAX_POINTS];
    size_t count;
} Kept;

static void Generate(Kept* kept, int withHeld) {
    KorvanSolutionEntry entries[2 * MAX_POINTS];
    uint32_t types[MAX_POINTS];
    double values[MAX_POINTS];
    uint64_t tags[MAX_POINTS];
    const int tagged = Below(2) == 0;
    const size_t count = PointCount();
    size_t held = 0;
    size_t entryCount;
    size_t i;
    KorvanSolutionTotals totals;
    KorvanCallPoints points;
    int32_t result;

    if (withHeld) {
        if (kept->count > 0 && Below(4) != 0) {
            held = kept->count;
            memcpy(entries, kept->entries, held * sizeof entries[0]);
        } else {
            held = 1 + Below(6);
            for (i = 0; i < held; ++i) {
                entries[i] = Scrambled();
            }
        }
    }
    for (i = 0; i < count; ++i) {
        types[i] = Type();
        values[i] = InputValue();
        /* The binding's default tag is the point's position. */
        tags[i] = tagged ? Next() : (uint64_t)i;
    }
    printf("generate");
    PutEntries("held", entries, held);
    printf(" types %zu", count);
    for (i = 0; i < count; ++i) {
        printf(" %" PRIu32, types[i]);
    }
    PutDoubles("values", values, count);
    if (tagged) {
        printf(" tags %zu", count);
        for (i = 0; i < count; ++i) {
            printf(" %" PRIu64, tags[i]);
        }
    } else {
        printf(" tags -");
    }

    points.call = KORVAN_CALL_GENERATE;
    points.entries = entries;
    points.entryCount = held;
    points.types = types;
    points.values = values;
    points.count = count;
    {
        /* The call may reorder the held entries; the diagnosis needs them as passed. */
        KorvanSolutionEntry asPassed[2 * MAX_POINTS];
        memcpy(asPassed, entries, sizeof asPassed);
        entryCount = held;
        result = KorvanGenerateSolution((int32_t)count, types, values, tags, entries,
                                        sizeof entries / sizeof entries[0], &entryCount, &totals);
        points.entries = asPassed;
        PutResult(result, &points);
    }
    if (result == KORVAN_SUCCESS) {
        PutEntries("entries", entries, entryCount);
        PutTotals(&totals);
        if (entryCount <= MAX_POINTS) {
            memcpy(kept->entries, entries, entryCount * sizeof entries[0]);
            kept->count = entryCount;
        }
    }
    printf("\n");
}

static void Fill(void) {
    KorvanSolutionEntry entries[MAX_POINTS];
    KorvanSolutionEntry asPassed[MAX_POINTS];
    const size_t count = Below(25) == 0 ? 0 : 1 + Below(Below(3) == 0 ? MAX_POINTS : 7);
    size_t i;
    KorvanSolutionTotals totals;
    KorvanCallPoints points;
    int32_t result;

    memset(&points, 0, sizeof points);
    for (i = 0; i < count; ++i) {
        entries[i] = Scrambled();
    }
    memcpy(asPassed, entries, sizeof entries);
    printf("fill");
    PutEntries("entries", entries, count);
    result = KorvanFillSolution(entries, count, &totals);
    points.call = KORVAN_CALL_FILL;
    points.entries = asPassed;
    points.entryCount = count;
    PutResult(result, &points);
    if (result == KORVAN_SUCCESS) {
        PutEntries("entries", entries, count);
        PutTotals(&totals);
    }
    printf("\n");
}

static void Smallest(void) {
    static const double series[] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
    static const double special[] = {0.0, -0.5, NAN, INFINITY, 0.4, 1e-3};
    double sizes[MAX_POINTS];
    double asPassed[MAX_POINTS];
    double smallest[MAX_POINTS];
    const size_t count = Below(25) == 0 ? 0 : 1 + Below(8);
    size_t i;
    KorvanCallPoints points;
    int32_t result;

    memset(&points, 0, sizeof points);
    for (i = 0; i < count; ++i) {
        sizes[i] = Below(15) == 0 ? special[Below(6)] : series[Below(7)];
    }
    memcpy(asPassed, sizes, sizeof sizes);
    printf("smallest");
    PutDoubles("sizes", sizes, count);
    result = KorvanGetSmallestPossibleValves(sizes, count, smallest);
    points.call = KORVAN_CALL_SMALLEST;
    points.values = asPassed;
    points.count = count;
    PutResult(result, &points);
    if (result == KORVAN_SUCCESS) {
        PutDoubles("sorted", sizes, count);
        PutDoubles("smallest", smallest, count);
    }
    printf("\n");
}

int main(int argc, char** argv) {
    const long calls = argc > 1 ? strtol(argv[1], NULL, 10) : 2400;
    Kept kept;
    long call;
    kept.count = 0;
    for (call = 0; call < calls; ++call) {
        const uint32_t kind = Below(10);
        if (kind < 4) {
            Generate(&kept, 0);
        } else if (kind < 6) {
            Generate(&kept, 1);
        } else if (kind < 9) {
            Fill();
        } else {
            Smallest();
        }
    }
    return 0;
}
