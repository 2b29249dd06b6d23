/* Prints the size of every record the C# binding shares with the library, and the offset and size
 * of each of its fields, as this compiler lays them out: "Record.size bytes" and
 * "Record.Field offset bytes" lines, under the binding's names. */
#include <stddef.h>
#include <stdio.h>

#include "KorvanCalcValueProviderC.h"

#define SIZE(record, type) printf("%s.size %zu\n", record, sizeof(type))
#define FIELD(record, name, type, member) \
    printf("%s.%s %zu %zu\n", record, name, offsetof(type, member), sizeof((type){0}.member))

int main(void) {
    SIZE("SolutionEntry", KorvanSolutionEntry);
    FIELD("SolutionEntry", "Type", KorvanSolutionEntry, type);
    FIELD("SolutionEntry", "InputValue", KorvanSolutionEntry, inputValue);
    FIELD("SolutionEntry", "Demand", KorvanSolutionEntry, demand);
    FIELD("SolutionEntry", "Ratio", KorvanSolutionEntry, ratio);
    FIELD("SolutionEntry", "RatioMax", KorvanSolutionEntry, ratioMax);
    FIELD("SolutionEntry", "RatioMin", KorvanSolutionEntry, ratioMin);
    FIELD("SolutionEntry", "ValveSize", KorvanSolutionEntry, valveSize);
    FIELD("SolutionEntry", "Deviation", KorvanSolutionEntry, deviation);
    FIELD("SolutionEntry", "CallerData", KorvanSolutionEntry, callerData);

    SIZE("Totals", KorvanSolutionTotals);
    FIELD("Totals", "DeviationMax", KorvanSolutionTotals, deviationMax);
    FIELD("Totals", "DeviationMin", KorvanSolutionTotals, deviationMin);
    FIELD("Totals", "ScaleFactor", KorvanSolutionTotals, scaleFactor);
    FIELD("Totals", "ReducedScaleFactor", KorvanSolutionTotals, reducedScaleFactor);

    SIZE("CallPoints", KorvanCallPoints);
    FIELD("CallPoints", "Call", KorvanCallPoints, call);
    /* NOLINTNEXTLINE(bugprone-sizeof-expression): the size of the pointer is meant */
    FIELD("CallPoints", "Entries", KorvanCallPoints, entries);
    FIELD("CallPoints", "EntryCount", KorvanCallPoints, entryCount);
    FIELD("CallPoints", "Types", KorvanCallPoints, types);
    FIELD("CallPoints", "Values", KorvanCallPoints, values);
    FIELD("CallPoints", "Count", KorvanCallPoints, count);

    SIZE("Diagnosis", KorvanDiagnosis);
    FIELD("Diagnosis", "Result", KorvanDiagnosis, result);
    FIELD("Diagnosis", "Rule", KorvanDiagnosis, rule);
    FIELD("Diagnosis", "Point", KorvanDiagnosis, point);
    FIELD("Diagnosis", "OtherPoint", KorvanDiagnosis, otherPoint);
    return 0;
}
