/* The native library's answers for the cases the browser tests give the WebAssembly module, so
 * that the two can be compared bit for bit. Reads cases from standard input, whitespace-separated,
 * and writes one JSON line per case to standard output:
 *
 *   generate COUNT TAGGED HELD  COUNT x (TYPE VALUE [TAG if TAGGED])  HELD x ENTRY
 *   fill COUNT  COUNT x ENTRY
 *   smallest COUNT  COUNT x SIZE
 *
 * where ENTRY is type inputValue demand ratio ratioMax ratioMin valveSize deviation callerData.
 * Doubles are read as strtod reads them (NaN and Infinity included) and written with 17
 * significant digits, which read back to the same double; not-a-number and infinities are
 * written as the strings "NaN", "Infinity" and "-Infinity", and callerData as a decimal string.
 *
 *   {"code":0,"entries":[[type,inputValue,...,deviation,"callerData"],...],"totals":[4 doubles]}
 *   {"code":0,"sizes":[...],"smallest":[...]}     ("sizes" sorted, on every outcome)
 *   {"code":13,"rule":3,"point":1,"otherPoint":-1}
 *
 * A refusal carries KorvanDiagnose's verdict on the call's points as the call was given them.
 *
 * Exit status 0, or 2 for input it cannot read (with a message on standard error). */
#include <errno.h>
#include <inttypes.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "KorvanCalcValueProviderC.h"

#define TOKEN_CHARACTERS 64

static void Fail(const char* what, const char* token) {
    fprintf(stderr, "korvan-web-cases: %s: \"%s\"\n", what, token);
    exit(2);
}

static const char* NextToken(void) {
    static char token[TOKEN_CHARACTERS + 1];
    if (scanf("%64s", token) != 1) {
        Fail("the input ends inside a case", "");
    }
    return token;
}

static double ReadDouble(void) {
    const char* token = NextToken();
    char* end = NULL;
    errno = 0;
    const double value = strtod(token, &end);
    if (end == token || *end != '\0') {
        Fail("not a number", token);
    }
    return value;
}

static unsigned long long ReadUnsigned(unsigned long long largest) {
    const char* token = NextToken();
    char* end = NULL;
    errno = 0;
    const unsigned long long value = strtoull(token, &end, 10);
    if (end == token || *end != '\0' || errno == ERANGE || value > largest || token[0] == '-') {
        Fail("not an unsigned number in range", token);
    }
    return value;
}

static int32_t ReadEntryType(void) {
    const char* token = NextToken();
    char* end = NULL;
    errno = 0;
    const long long value = strtoll(token, &end, 10);
    if (end == token || *end != '\0' || value < INT32_MIN || value > (long long)UINT32_MAX) {
        Fail("not a 32-bit type", token);
    }
    return (int32_t)(uint32_t)(value & 0xffffffffLL);
}

static size_t ReadCount(void) {
    return (size_t)ReadUnsigned(INT32_MAX);
}

static void* Allocate(size_t count, size_t size) {
    void* block = calloc(count == 0 ? 1 : count, size);
    if (block == NULL) {
        Fail("out of memory", "");
    }
    return block;
}

static void ReadEntry(KorvanSolutionEntry* entry) {
    entry->type = ReadEntryType();
    entry->inputValue = ReadDouble();
    entry->demand = ReadDouble();
    entry->ratio = ReadDouble();
    entry->ratioMax = ReadDouble();
    entry->ratioMin = ReadDouble();
    entry->valveSize = ReadDouble();
    entry->deviation = ReadDouble();
    entry->callerData = (uint64_t)ReadUnsigned(UINT64_MAX);
}

static void PrintDouble(double value) {
    if (isnan(value)) {
        fputs("\"NaN\"", stdout);
    } else if (isinf(value)) {
        fputs(value > 0 ? "\"Infinity\"" : "\"-Infinity\"", stdout);
    } else {
        printf("%.17g", value);
    }
}

static void PrintDoubles(const double* values, size_t count) {
    putchar('[');
    for (size_t index = 0; index < count; ++index) {
        if (index > 0) {
            putchar(',');
        }
        PrintDouble(values[index]);
    }
    putchar(']');
}

/* The verdict on a refused call's points, as members of the answer's object. */
static void PrintDiagnosis(int32_t code, const KorvanCallPoints* points) {
    if (code == KORVAN_SUCCESS || code == KORVAN_OUT_OF_MEMORY) {
        return;
    }
    KorvanDiagnosis diagnosis = {0, 0, KORVAN_NO_POINT, KORVAN_NO_POINT};
    const int32_t verdict = KorvanDiagnose(points, &diagnosis);
    if (verdict != code) {
        fprintf(stderr, "korvan-web-cases: the call gave %" PRId32 ", the diagnosis %" PRId32 "\n",
                code, verdict);
        exit(2);
    }
    printf(",\"rule\":%" PRId32 ",\"point\":%" PRId64 ",\"otherPoint\":%" PRId64, diagnosis.rule,
           diagnosis.point, diagnosis.otherPoint);
}

static void PrintSolution(int32_t code, const KorvanCallPoints* points,
                          const KorvanSolutionEntry* entries, size_t count,
                          const KorvanSolutionTotals* totals) {
    printf("{\"code\":%" PRId32, code);
    PrintDiagnosis(code, points);
    if (code == KORVAN_SUCCESS) {
        fputs(",\"entries\":[", stdout);
        for (size_t index = 0; index < count; ++index) {
            const KorvanSolutionEntry* entry = &entries[index];
            printf("%s[%" PRId32 ",", index == 0 ? "" : ",", entry->type);
            const double doubles[] = {entry->inputValue, entry->demand,   entry->ratio,
                                      entry->ratioMax,   entry->ratioMin, entry->valveSize,
                                      entry->deviation};
            for (size_t field = 0; field < sizeof doubles / sizeof doubles[0]; ++field) {
                PrintDouble(doubles[field]);
                putchar(',');
            }
            printf("\"%" PRIu64 "\"]", entry->callerData);
        }
        fputs("],\"totals\":", stdout);
        const double sums[] = {totals->deviationMax, totals->deviationMin, totals->scaleFactor,
                               totals->reducedScaleFactor};
        PrintDoubles(sums, 4);
    }
    puts("}");
}

static void RunGenerate(void) {
    const size_t count = ReadCount();
    const int tagged = (int)ReadUnsigned(1);
    const size_t held = ReadCount();
    uint32_t* types = Allocate(count, sizeof *types);
    double* inputValues = Allocate(count, sizeof *inputValues);
    uint64_t* tags = Allocate(count, sizeof *tags);
    KorvanSolutionEntry* entries = Allocate(held + count, sizeof *entries);
    for (size_t index = 0; index < count; ++index) {
        types[index] = (uint32_t)ReadUnsigned(UINT32_MAX);
        inputValues[index] = ReadDouble();
        if (tagged) {
            tags[index] = (uint64_t)ReadUnsigned(UINT64_MAX);
        }
    }
    for (size_t index = 0; index < held; ++index) {
        ReadEntry(&entries[index]);
    }
    size_t entryCount = held;
    KorvanSolutionTotals totals = {0, 0, 0, 0};
    const int32_t code =
        KorvanGenerateSolution((int32_t)count, types, inputValues, tagged ? tags : NULL, entries,
                               held + count, &entryCount, &totals);
    const KorvanCallPoints points = {KORVAN_CALL_GENERATE, entries, held, types,
                                     inputValues,          count};
    PrintSolution(code, &points, entries, entryCount, &totals);
    free(types);
    free(inputValues);
    free(tags);
    free(entries);
}

static void RunFill(void) {
    const size_t count = ReadCount();
    KorvanSolutionEntry* entries = Allocate(count, sizeof *entries);
    for (size_t index = 0; index < count; ++index) {
        ReadEntry(&entries[index]);
    }
    KorvanSolutionTotals totals = {0, 0, 0, 0};
    const int32_t code = KorvanFillSolution(entries, count, &totals);
    const KorvanCallPoints points = {KORVAN_CALL_FILL, entries, count, NULL, NULL, 0};
    PrintSolution(code, &points, entries, count, &totals);
    free(entries);
}

static void RunSmallest(void) {
    const size_t count = ReadCount();
    double* sizes = Allocate(count, sizeof *sizes);
    double* given = Allocate(count, sizeof *given);
    double* smallest = Allocate(count, sizeof *smallest);
    for (size_t index = 0; index < count; ++index) {
        sizes[index] = ReadDouble();
        given[index] = sizes[index];
    }
    const int32_t code = KorvanGetSmallestPossibleValves(sizes, count, smallest);
    printf("{\"code\":%" PRId32, code);
    const KorvanCallPoints points = {KORVAN_CALL_SMALLEST, NULL, 0, NULL, given, count};
    PrintDiagnosis(code, &points);
    fputs(",\"sizes\":", stdout);
    PrintDoubles(sizes, count);
    if (code == KORVAN_SUCCESS) {
        fputs(",\"smallest\":", stdout);
        PrintDoubles(smallest, count);
    }
    puts("}");
    free(sizes);
    free(given);
    free(smallest);
}

int main(void) {
    char operation[TOKEN_CHARACTERS + 1];
    while (scanf("%64s", operation) == 1) {
        if (strcmp(operation, "generate") == 0) {
            RunGenerate();
        } else if (strcmp(operation, "fill") == 0) {
            RunFill();
        } else if (strcmp(operation, "smallest") == 0) {
            RunSmallest();
        } else {
            Fail("unknown case", operation);
        }
    }
    return fflush(stdout) == 0 ? 0 : 2;
}
