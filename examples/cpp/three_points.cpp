// Sizes three points through the C++ interface and prints them, largest demand first.
#include <KorvanCalcValueProvider.h>

#include <charconv>
#include <cstdint>
#include <exception>
#include <iostream>
#include <string>

// The fewest digits that read back as the same double: 0.2, not 0.20000000000000001.
static std::string Shortest(double value) {
    char text[32];
    return {text, std::to_chars(text, text + sizeof text, value).ptr};
}

int main() {
    const std::uint32_t types[] = {1, 0, 3};
    const double inputValues[] = {50, 100, 80};
    double deviationMax = 0;
    double deviationMin = 0;
    double scaleFactor = 0;
    double reducedScaleFactor = 0;
    SolutionVector solution;  // the host's vector: the library appends the points and orders them
    try {
        const std::int32_t result =
            GenerateSolutionVector(3, types, inputValues, &deviationMax, &deviationMin,
                                   &scaleFactor, &reducedScaleFactor, &solution);
        if (result != KORVAN_SUCCESS) {
            std::cerr << "refused: " << KorvanDescribeResult(result) << '\n';
            return 1;
        }
    } catch (const std::exception& error) {  // a type of 4 or more, or no memory for the vector
        std::cerr << "refused: " << error.what() << '\n';
        return 1;
    }
    for (const SolutionEntry& entry : solution) {
        std::cout << "type " << entry.type << ", input value " << Shortest(entry.inputValue)
                  << ": demand " << Shortest(entry.demand) << ", valve size "
                  << Shortest(entry.valveSize) << ", deviation " << Shortest(entry.deviation)
                  << " %\n";
    }
    std::cout << "scale factor " << Shortest(scaleFactor) << ", reduced "
              << Shortest(reducedScaleFactor) << '\n';
    return 0;
}
