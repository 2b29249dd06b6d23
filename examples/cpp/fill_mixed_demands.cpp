// FillSolutionVector recomputes every demand with half the multiplier that GenerateSolutionVector
// gives a new point (2 against 4): the sizes stay and the scale factor halves. A new point
// appended to filled entries is solved beside demands of the other kind, until a fill makes them
// all alike again.
#include <KorvanCalcValueProvider.h>

#include <charconv>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

static std::string Shortest(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

struct Totals {
    double deviationMax = 0, deviationMin = 0, scaleFactor = 0, reducedScaleFactor = 0;
};

static bool Generate(const std::uint32_t* types, const double* inputValues, std::int32_t count,
                     SolutionVector& solution, Totals& totals) {
    return GenerateSolutionVector(count, types, inputValues, &totals.deviationMax,
                                  &totals.deviationMin, &totals.scaleFactor,
                                  &totals.reducedScaleFactor, &solution) == KORVAN_SUCCESS;
}

static bool Fill(SolutionVector& solution, Totals& totals) {
    return FillSolutionVector(&solution, &totals.deviationMax, &totals.deviationMin,
                              &totals.scaleFactor, &totals.reducedScaleFactor) == KORVAN_SUCCESS;
}

static void Print(const char* step, const SolutionVector& solution, const Totals& totals) {
    std::cout << step << '\n';
    for (const SolutionEntry& entry : solution) {
        std::cout << "  type " << entry.type << ", input value " << Shortest(entry.inputValue)
                  << ": demand " << Shortest(entry.demand) << ", valve size "
                  << Shortest(entry.valveSize) << '\n';
    }
    std::cout << "  scale factor " << Shortest(totals.scaleFactor) << '\n';
}

int main() {
    const std::uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50, 100, 80};
    SolutionVector solution;
    Totals totals;
    try {
        if (!Generate(types, inputValues, 3, solution, totals)) {
            return 1;
        }
        Print("generated (demand = factor x input value x 0.001 x 4):", solution, totals);
        if (!Fill(solution, totals)) {
            return 1;
        }
        Print("filled (x 2 instead):", solution, totals);
        if (!Generate(types, inputValues, 1, solution, totals)) {
            return 1;
        }
        Print("type 1, input value 50 appended as a new point (x 4, beside x 2):", solution,
              totals);
        if (!Fill(solution, totals)) {
            return 1;
        }
        Print("filled again (all x 2):", solution, totals);
    } catch (const std::exception& error) {
        std::cerr << "refused: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
