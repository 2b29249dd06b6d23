/* Sizes three points with the installed library through its C interface, as a C host does, and
 * prints the solution: each point largest demand first, then the four totals. */
#include <stdio.h>

#include <KorvanCalcValueProviderC.h>

int main(void) {
    const uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50.0, 100.0, 80.0};
    const uint64_t rows[] = {0, 1, 2}; /* each point's row, carried through the solve */
    KorvanSolutionEntry entries[3];
    KorvanSolutionTotals totals;
    size_t entryCount = 0;
    size_t i;
    const int32_t result = KorvanGenerateSolution(3, types, inputValues, rows, entries, 3,
                                                  &entryCount, &totals);
    if (result != KORVAN_SUCCESS) {
        fprintf(stderr, "the library refused the points (%d): %s\n", (int)result,
                KorvanDescribeResult(result));
        return 1;
    }
    if (KorvanGetLibraryVersion() / 10000 != KORVAN_VERSION_MAJOR) {
        fprintf(stderr, "the library is not of major version %d\n", KORVAN_VERSION_MAJOR);
        return 1;
    }
    /* 17 significant digits read every double back unchanged. */
    for (i = 0; i < entryCount; ++i) {
        printf("row %u type %d input %.17g size %.17g deviation %.17g%%\n",
               (unsigned)entries[i].callerData, (int)entries[i].type, entries[i].inputValue,
               entries[i].valveSize, entries[i].deviation);
    }
    printf("deviationMax %.17g\ndeviationMin %.17g\nscaleFactor %.17g\nreducedScaleFactor %.17g\n",
           totals.deviationMax, totals.deviationMin, totals.scaleFactor,
           totals.reducedScaleFactor);
    return 0;
}
