/* Refusals that name their point, and arrays that overlap, from C: every rule KorvanDiagnose can
 * tell with the point it names, the same result as the call itself for the same points (also over
 * a random sweep), and the overlaps a call refuses before anything changes. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include "Check.h"
#include "KorvanCalcValueProviderC.h"

#define MAX_POINTS 16

/* One diagnosis case: the held entries (demand as set) or, for a fill, the entries (type and
 * input value), the new points, or the sizes; and the verdict expected. */
typedef struct Case {
    const char* name;
    int32_t call;
    size_t heldCount;
    KorvanSolutionEntry held[MAX_POINTS];
    size_t count;
    uint32_t types[MAX_POINTS];
    double values[MAX_POINTS];
    KorvanDiagnosis expected;
} Case;

static KorvanSolutionEntry Entry(int32_t type, double inputValue, double demand) {
    KorvanSolutionEntry entry;
    memset(&entry, 0, sizeof entry);
    entry.type = type;
    entry.inputValue = inputValue;
    entry.demand = demand;
    return entry;
}

static KorvanDiagnosis Verdict(int32_t result, int32_t rule, int64_t point, int64_t otherPoint) {
    KorvanDiagnosis verdict;
    verdict.result = result;
    verdict.rule = rule;
    verdict.point = point;
    verdict.otherPoint = otherPoint;
    return verdict;
}

static KorvanCallPoints PointsOf(const Case* c) {
    KorvanCallPoints points;
    points.call = c->call;
    points.entries = c->held;
    points.entryCount = c->heldCount;
    points.types = c->types;
    points.values = c->values;
    points.count = c->count;
    return points;
}

/* The result the call itself gives for the case's points, on copies of its arrays. */
static int32_t ResultOfCall(const Case* c) {
    KorvanSolutionEntry entries[2 * MAX_POINTS];
    KorvanSolutionTotals totals;
    double sizes[MAX_POINTS];
    double smallest[MAX_POINTS];
    size_t entryCount = c->heldCount;
    memcpy(entries, c->held, sizeof c->held);
    switch (c->call) {
        case KORVAN_CALL_GENERATE:
            return KorvanGenerateSolution((int32_t)c->count, c->types, c->values, NULL, entries,
                                          2 * MAX_POINTS, &entryCount, &totals);
        case KORVAN_CALL_FILL:
            return KorvanFillSolution(entries, c->heldCount, &totals);
        default:
            memcpy(sizes, c->values, sizeof sizes);
            return KorvanGetSmallestPossibleValves(sizes, c->count, smallest);
    }
}

static void ExpectVerdict(const Case* c) {
    const KorvanCallPoints points = PointsOf(c);
    KorvanDiagnosis verdict = Verdict(-7, -7, -7, -7);
    const int32_t result = KorvanDiagnose(&points, &verdict);
    const int32_t called = ResultOfCall(c);
    if (result != c->expected.result || verdict.result != c->expected.result ||
        verdict.rule != c->expected.rule || verdict.point != c->expected.point ||
        verdict.otherPoint != c->expected.otherPoint || called != c->expected.result) {
        fprintf(stderr,
                "%s: diagnosed %d/%d rule %d point %lld other %lld, the call gave %d; expected %d "
                "rule %d point %lld other %lld\n",
                c->name, (int)result, (int)verdict.result, (int)verdict.rule,
                (long long)verdict.point, (long long)verdict.otherPoint, (int)called,
                (int)c->expected.result, (int)c->expected.rule, (long long)c->expected.point,
                (long long)c->expected.otherPoint);
        ++failures;
    }
}

static void EveryRuleNamesItsPoint(void) {
    enum { kCases = 15 };
    static Case cases[kCases];
    const double spread[8] = {1e45, 1e30, 1e29, 1e28, 1e27, 1e26, 1e25, 1e24};
    size_t i;
    memset(cases, 0, sizeof cases);

    cases[0] = (Case){"three good points",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      3,
                      {1, 0, 3},
                      {50.0, 100.0, 80.0},
                      Verdict(0, KORVAN_RULE_NONE, -1, -1)};
    cases[1] =
        (Case){"no point", KORVAN_CALL_GENERATE,
               0,          {{0}},
               0,          {0},
               {0.0},      Verdict(KORVAN_NOTHING_TO_SOLVE, KORVAN_RULE_NOTHING_TO_SOLVE, -1, -1)};
    /* The type is answered before the demands, and held entries are numbered first. */
    cases[2] = (Case){"unknown type after held",
                      KORVAN_CALL_GENERATE,
                      2,
                      {{0}},
                      3,
                      {0, 4, 7},
                      {-1.0, 50.0, 80.0},
                      Verdict(KORVAN_INVALID_TYPE, KORVAN_RULE_TYPE_UNKNOWN, 3, -1)};
    cases[2].held[0] = Entry(0, 100.0, 0.9);
    cases[2].held[1] = Entry(3, 80.0, 0.48);
    cases[3] = (Case){"zero input",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      3,
                      {0, 1, 2},
                      {10.0, 0.0, -50.0},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_INPUT_NOT_POSITIVE, 1, -1)};
    cases[4] = (Case){"not a number",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      2,
                      {0, 1},
                      {10.0, NAN},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_INPUT_NOT_A_NUMBER, 1, -1)};
    cases[5] = (Case){"infinite input",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      2,
                      {0, 1},
                      {INFINITY, 1.0},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_DEMAND_OUT_OF_RANGE, 0, -1)};
    cases[6] = (Case){"tiny input",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      2,
                      {0, 1},
                      {100.0, 1e-149},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_DEMAND_OUT_OF_RANGE, 1, -1)};
    cases[7] = (Case){"held demand",
                      KORVAN_CALL_GENERATE,
                      2,
                      {{0}},
                      1,
                      {0},
                      {-5.0},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_DEMAND_OUT_OF_RANGE, 1, -1)};
    cases[7].held[0] = Entry(0, 100.0, 0.9);
    cases[7].held[1] = Entry(0, -100.0, NAN);
    /* Eight points 1e21 apart: point 7, of the smallest demand, would take 0.5, a larger size than
     * point 3, whose demand is larger, takes. */
    cases[8] = (Case){"too far apart",
                      KORVAN_CALL_GENERATE,
                      0,
                      {{0}},
                      8,
                      {0, 1, 3, 2, 0, 1, 3, 2},
                      {0},
                      Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_DEMANDS_TOO_FAR_APART, 7, 3)};
    memcpy(cases[8].values, spread, sizeof spread);
    cases[9] = (Case){
        "fill good", KORVAN_CALL_FILL, 2, {{0}}, 0, {0}, {0}, Verdict(0, KORVAN_RULE_NONE, -1, -1)};
    cases[9].held[0] = Entry(1, 50.0, 0.0);
    cases[9].held[1] = Entry(0, 100.0, 0.0);
    cases[10] = cases[9];
    cases[10].name = "fill negative input";
    cases[10].held[1].inputValue = -3.0;
    cases[10].expected = Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_INPUT_NOT_POSITIVE, 1, -1);
    cases[11] = cases[9];
    cases[11].name = "fill type -1";
    cases[11].held[0].type = -1;
    cases[11].held[1].inputValue = 0.0;
    cases[11].expected = Verdict(KORVAN_INVALID_TYPE, KORVAN_RULE_TYPE_UNKNOWN, 0, -1);
    cases[12] = (Case){"sizes: the first not positive, in the order given",
                       KORVAN_CALL_SMALLEST,
                       0,
                       {{0}},
                       4,
                       {0},
                       {0.3, 0.5, -0.1, 0.0},
                       Verdict(KORVAN_INVALID_ARGUMENT, KORVAN_RULE_SIZE_NOT_POSITIVE, 2, -1)};
    cases[13] = (Case){"sizes in no group",
                       KORVAN_CALL_SMALLEST,
                       0,
                       {{0}},
                       2,
                       {0},
                       {0.7, 0.2},
                       Verdict(KORVAN_UNSOLVABLE_INPUT, KORVAN_RULE_RATIOS_IN_NO_GROUP, -1, -1)};
    cases[14] = (Case){"sizes of the series",
                       KORVAN_CALL_SMALLEST,
                       0,
                       {{0}},
                       3,
                       {0},
                       {0.1, 0.5, 0.1},
                       Verdict(0, KORVAN_RULE_NONE, -1, -1)};
    for (i = 0; i < kCases; ++i) {
        ExpectVerdict(&cases[i]);
    }
}

static void ArgumentsAndSentences(void) {
    KorvanDiagnosis verdict = Verdict(-7, -7, -7, -7);
    KorvanCallPoints points;
    int32_t rule;
    memset(&points, 0, sizeof points);
    points.call = KORVAN_CALL_GENERATE;
    points.count = 2;
    CHECK(KorvanDiagnose(NULL, &verdict) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanDiagnose(&points, NULL) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanDiagnose(&points, &verdict) == KORVAN_INVALID_ARGUMENT); /* null arrays */
    points.call = 9;
    points.count = 0;
    CHECK(KorvanDiagnose(&points, &verdict) == KORVAN_INVALID_ARGUMENT);
    CHECK(verdict.result == -7 && verdict.point == -7);
    for (rule = KORVAN_RULE_NONE; rule <= KORVAN_RULE_RATIOS_IN_NO_GROUP; ++rule) {
        CHECK(strcmp(KorvanDescribeRule(rule), "unknown rule") != 0);
    }
    CHECK(strcmp(KorvanDescribeRule(KORVAN_RULE_INPUT_NOT_POSITIVE),
                 "input value must be positive") == 0);
    CHECK(strcmp(KorvanDescribeRule(-1), "unknown rule") == 0);
    CHECK(strcmp(KorvanDescribeRule(99), "unknown rule") == 0);
}

/* The diagnosis and the call agree on the result over random points, refusals of every kind
 * included. */
static uint64_t state = 0x0d1a9005e5ULL;

static uint32_t Below(uint32_t bound) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return (uint32_t)(state % bound);
}

static double RandomValue(void) {
    static const double special[] = {0.0, -1.0, NAN, INFINITY, 1e-160, 1e160, 1e-60, 1e60};
    if (Below(12) == 0) {
        return special[Below(8)];
    }
    return (double)(1 + Below(2000)) * pow(10.0, (double)Below(5) - 2.0);
}

static void DiagnosisAgreesWithTheCall(void) {
    static Case c;
    size_t round;
    size_t i;
    for (round = 0; round < 3000; ++round) {
        memset(&c, 0, sizeof c);
        c.name = "random";
        c.call = (int32_t)(1 + Below(3));
        c.heldCount =
            c.call == KORVAN_CALL_SMALLEST ? 0 : Below(c.call == KORVAN_CALL_FILL ? 12 : 5);
        c.count = c.call == KORVAN_CALL_FILL ? 0 : Below(11);
        for (i = 0; i < c.heldCount; ++i) {
            c.held[i] = Entry((int32_t)Below(Below(20) == 0 ? 6 : 4), RandomValue(), RandomValue());
        }
        for (i = 0; i < c.count; ++i) {
            c.types[i] = Below(Below(20) == 0 ? 6 : 4);
            c.values[i] = c.call == KORVAN_CALL_SMALLEST && Below(2) == 0
                              ? 0.5 / (double)(1 + Below(4))
                              : RandomValue();
        }
        {
            const KorvanCallPoints points = PointsOf(&c);
            KorvanDiagnosis verdict;
            const int32_t result = KorvanDiagnose(&points, &verdict);
            const int32_t called = ResultOfCall(&c);
            if (result != called || verdict.result != called ||
                (called == 0) != (verdict.rule == KORVAN_RULE_NONE)) {
                fprintf(stderr, "round %u: call %d gave %d, diagnosis %d rule %d\n",
                        (unsigned)round, (int)c.call, (int)called, (int)result, (int)verdict.rule);
                ++failures;
            }
        }
    }
}

/* ---- overlapping arrays ---- */

static void OverlapsAreRefusedBeforeAnythingChanges(void) {
    /* One block of memory that holds the entries' room and, inside it, what must not be there. */
    union Block {
        KorvanSolutionEntry entries[8];
        uint32_t types[8 * 18];
        double values[8 * 9];
        uint64_t tags[8 * 9];
    } block, before;
    const uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    const uint64_t tags[] = {7, 8, 9};
    KorvanSolutionTotals totals;
    size_t entryCount = 0;
    double sizes[4] = {0.1, 0.5, 0.1, 0.03};
    memset(&block, 0, sizeof block);

    memcpy(&block.types[60], types, sizeof types);
    memcpy(&before, &block, sizeof block);
    CHECK(KorvanGenerateSolution(3, &block.types[60], values, tags, block.entries, 8, &entryCount,
                                 &totals) == KORVAN_INVALID_ARGUMENT);
    memcpy(&block.values[30], values, sizeof values);
    memcpy(&before, &block, sizeof block);
    CHECK(KorvanGenerateSolution(3, types, &block.values[30], tags, block.entries, 8, &entryCount,
                                 &totals) == KORVAN_INVALID_ARGUMENT);
    memcpy(&block.tags[20], tags, sizeof tags);
    memcpy(&before, &block, sizeof block);
    CHECK(KorvanGenerateSolution(3, types, values, &block.tags[20], block.entries, 8, &entryCount,
                                 &totals) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanGenerateSolution(3, types, values, tags, block.entries, 8,
                                 (size_t*)(void*)&block.tags[40],
                                 &totals) == KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanGenerateSolution(3, types, values, tags, block.entries, 8, &entryCount,
                                 (KorvanSolutionTotals*)(void*)&block.values[50]) ==
          KORVAN_INVALID_ARGUMENT);
    CHECK(memcmp(&block, &before, sizeof block) == 0);
    CHECK(entryCount == 0);
    /* Just past the room is not inside it: the tags after the last entry are read, not refused. */
    CHECK(KorvanGenerateSolution(3, types, values, &block.tags[3 * 9], block.entries, 3,
                                 &entryCount, &totals) == KORVAN_SUCCESS);
    CHECK(entryCount == 3);
    CHECK(KorvanFillSolution(block.entries, 3, (KorvanSolutionTotals*)(void*)&block.values[10]) ==
          KORVAN_INVALID_ARGUMENT);
    CHECK(KorvanFillSolution(block.entries, 3, &totals) == KORVAN_SUCCESS);

    /* The reduction may write over its own sizes, but not into part of them. */
    CHECK(KorvanGetSmallestPossibleValves(sizes, 3, &sizes[1]) == KORVAN_INVALID_ARGUMENT);
    CHECK(sizes[0] == 0.1 && sizes[1] == 0.5 && sizes[3] == 0.03);
    CHECK(KorvanGetSmallestPossibleValves(sizes, 2, &sizes[2]) == KORVAN_SUCCESS);
    CHECK(sizes[0] == 0.5 && sizes[1] == 0.1 && sizes[2] == 0.3 && sizes[3] == 0.06);
    sizes[0] = 0.1;
    sizes[1] = 0.5;
    sizes[2] = 0.1;
    sizes[3] = 0.03;
    CHECK(KorvanGetSmallestPossibleValves(sizes, 4, sizes) == KORVAN_SUCCESS);
    CHECK(sizes[0] == 0.5 && sizes[1] == 0.1 && sizes[2] == 0.1 && sizes[3] == 0.03);
}

int main(void) {
    EveryRuleNamesItsPoint();
    ArgumentsAndSentences();
    DiagnosisAgreesWithTheCall();
    OverlapsAreRefusedBeforeAnythingChanges();
    if (failures != 0) {
        fprintf(stderr, "%d checks failed\n", failures);
        return 1;
    }
    return 0;
}
