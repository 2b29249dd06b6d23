// Sizes the README's three points through the C++ interface and prints their scale factor.
#include <KorvanCalcValueProvider.h>

#include <charconv>
#include <cstdint>
#include <iostream>

int main() {
    const std::uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50, 100, 80};
    double deviationMax = 0;
    double deviationMin = 0;
    double scaleFactor = 0;
    double reducedScaleFactor = 0;
    SolutionVector solution;  // the host's vector: the points are appended and solved in it
    const std::int32_t result =
        GenerateSolutionVector(3, types, inputValues, &deviationMax, &deviationMin, &scaleFactor,
                               &reducedScaleFactor, &solution);
    if (result != KORVAN_SUCCESS) {
        std::cerr << "refused: " << KorvanDescribeResult(result) << '\n';
        return 1;
    }
    char text[32];  // the fewest digits that read back as the same double
    const char* end = std::to_chars(text, text + sizeof text, scaleFactor).ptr;
    std::cout << solution.size() << " points, scale factor ";
    std::cout.write(text, end - text) << '\n';
}
