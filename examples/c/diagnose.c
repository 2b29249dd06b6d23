/* A refused call, and the point responsible: the third point's input value is negative. */
#include <inttypes.h>
#include <stdio.h>

#include <KorvanCalcValueProviderC.h>

/* Prints why the call on `points` gave `result`: the rule broken and the point responsible,
 * counted from 1 (held entries first, then the new points), or the result's sentence when the
 * points break no rule (then the call's own arguments were refused). */
static void print_refusal(const KorvanCallPoints* points, int32_t result) {
    KorvanDiagnosis diagnosis = {KORVAN_SUCCESS, KORVAN_RULE_NONE, KORVAN_NO_POINT,
                                 KORVAN_NO_POINT};
    KorvanDiagnose(points, &diagnosis);
    printf("refused (result %d): ", (int)result);
    if (diagnosis.rule == KORVAN_RULE_NONE) {
        printf("%s\n", KorvanDescribeResult(result));
    } else if (diagnosis.point == KORVAN_NO_POINT) {
        printf("%s\n", KorvanDescribeRule(diagnosis.rule));
    } else if (diagnosis.otherPoint == KORVAN_NO_POINT) {
        printf("point %" PRId64 ": %s\n", diagnosis.point + 1, KorvanDescribeRule(diagnosis.rule));
    } else {
        printf("point %" PRId64 ": %s (point %" PRId64 ")\n", diagnosis.point + 1,
               KorvanDescribeRule(diagnosis.rule), diagnosis.otherPoint + 1);
    }
}

int main(void) {
    const uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50, 100, -80};
    KorvanSolutionEntry entries[3];
    size_t entryCount = 0;
    KorvanSolutionTotals totals;
    const int32_t result =
        KorvanGenerateSolution(3, types, inputValues, NULL, entries, 3, &entryCount, &totals);
    if (result != KORVAN_SUCCESS) {
        /* The points as they were passed: none held, then the three new ones. */
        KorvanCallPoints points = {0};
        points.call = KORVAN_CALL_GENERATE;
        points.entries = entries;
        points.entryCount = entryCount;
        points.types = types;
        points.values = inputValues;
        points.count = 3;
        print_refusal(&points, result);
    }
    printf("entries held: %u\n", (unsigned)entryCount);
    return 0;
}
