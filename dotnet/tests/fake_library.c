/* A stand-in for the library with its C interface, for the binding's loading tests: it reports
 * the version FAKE_VERSION, and every solving call reverses the array it was given and then says
 * memory ran out, as the library may leave entries reordered when it does. Its diagnosis finds no
 * rule broken, as for a refusal that is not about the points. */
#include <stddef.h>
#include <string.h>

#include "KorvanCalcValueProviderC.h"

#if !defined(FAKE_VERSION)
#error "build with -DFAKE_VERSION=<major * 10000 + minor * 100 + patch>"
#endif

static void Reverse(void* items, size_t count, size_t size) {
    unsigned char swap[sizeof(KorvanSolutionEntry)];
    unsigned char* bytes = items;
    size_t i;
    for (i = 0; i < count / 2; ++i) {
        unsigned char* low = bytes + i * size;
        unsigned char* high = bytes + (count - 1 - i) * size;
        memcpy(swap, low, size);
        memcpy(low, high, size);
        memcpy(high, swap, size);
    }
}

/* The signatures are the C interface's, whatever the stand-in does with each argument. */
/* NOLINTBEGIN(readability-non-const-parameter) */
int32_t KorvanGenerateSolution(int32_t count, const uint32_t* types, const double* inputValues,
                               const uint64_t* callerData, KorvanSolutionEntry* entries,
                               size_t capacity, size_t* entryCount, KorvanSolutionTotals* totals) {
    /* NOLINTEND(readability-non-const-parameter) */
    (void)count;
    (void)types;
    (void)inputValues;
    (void)callerData;
    (void)capacity;
    (void)totals;
    Reverse(entries, *entryCount, sizeof *entries);
    return KORVAN_OUT_OF_MEMORY;
}

int32_t KorvanFillSolution(KorvanSolutionEntry* entries, size_t entryCount,
                           KorvanSolutionTotals* totals) {
    (void)totals;
    Reverse(entries, entryCount, sizeof *entries);
    return KORVAN_OUT_OF_MEMORY;
}

/* NOLINTNEXTLINE(readability-non-const-parameter) */
int32_t KorvanGetSmallestPossibleValves(double* sizes, size_t count, double* smallest) {
    (void)smallest;
    Reverse(sizes, count, sizeof *sizes);
    return KORVAN_OUT_OF_MEMORY;
}

const char* KorvanDescribeResult(int32_t result) {
    return result == KORVAN_OUT_OF_MEMORY ? "memory ran out" : "unknown result code";
}

int32_t KorvanDiagnose(const KorvanCallPoints* points, KorvanDiagnosis* diagnosis) {
    (void)points;
    diagnosis->result = KORVAN_SUCCESS;
    diagnosis->rule = KORVAN_RULE_NONE;
    diagnosis->point = KORVAN_NO_POINT;
    diagnosis->otherPoint = KORVAN_NO_POINT;
    return KORVAN_SUCCESS;
}

const char* KorvanDescribeRule(int32_t rule) {
    (void)rule;
    return "no rule is broken";
}

uint32_t KorvanGetLibraryVersion(void) {
    return FAKE_VERSION;
}

double GetCurrentVersion(void) {
    return 1.0;
}
