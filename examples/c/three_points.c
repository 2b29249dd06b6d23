/* Sizes three points through the C interface and prints them, largest demand first. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <KorvanCalcValueProviderC.h>

/* Prints `label`, then `value` in the fewest digits that read back as it: 0.2, not
 * 0.20000000000000001; and 50, not 5e+01, unless every precision needs the exponent. */
static void print_shortest(const char* label, double value) {
    char text[32];
    char shortest[32] = "";
    int digits;
    for (digits = 1; digits <= 17; ++digits) {
        (void)snprintf(text, sizeof text, "%.*g", digits, value);
        if (strtod(text, NULL) != value) {
            continue;
        }
        if (strchr(text, 'e') == NULL) {
            break;
        }
        if (shortest[0] == '\0') {
            memcpy(shortest, text, sizeof text);
        }
    }
    printf("%s%s", label, digits <= 17 ? text : shortest);
}

int main(void) {
    const uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50, 100, 80};
    KorvanSolutionEntry entries[3]; /* the caller's array: the points are solved in it */
    size_t entryCount = 0;          /* entries held before the call: none */
    KorvanSolutionTotals totals;
    size_t i;
    const int32_t result =
        KorvanGenerateSolution(3, types, inputValues, NULL, entries, 3, &entryCount, &totals);
    if (result != KORVAN_SUCCESS) {
        (void)fprintf(stderr, "refused: %s\n", KorvanDescribeResult(result));
        return 1;
    }
    for (i = 0; i < entryCount; ++i) {
        printf("type %d", (int)entries[i].type);
        print_shortest(", input value ", entries[i].inputValue);
        print_shortest(": demand ", entries[i].demand);
        print_shortest(", valve size ", entries[i].valveSize);
        print_shortest(", deviation ", entries[i].deviation);
        printf(" %%\n");
    }
    print_shortest("scale factor ", totals.scaleFactor);
    print_shortest(", reduced ", totals.reducedScaleFactor);
    printf("\n");
    return 0;
}
