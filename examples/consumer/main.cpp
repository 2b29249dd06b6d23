// Sizes three points with the installed library, as a host application does, and prints the
// solution: each point largest demand first, then the scale factor.
#include <cstdint>
#include <exception>
#include <iomanip>
#include <iostream>
#include <limits>
#include <vector>

#include <KorvanCalcValueProvider.h>

int main() {
    const std::vector<std::uint32_t> types = {1, 0, 3};
    const std::vector<double> inputValues = {50.0, 100.0, 80.0};
    double deviationMax = 0.0;
    double deviationMin = 0.0;
    double scaleFactor = 0.0;
    double reducedScaleFactor = 0.0;
    SolutionVector solution;
    std::int32_t result = 0;
    try {
        result = GenerateSolutionVector(static_cast<std::int32_t>(types.size()), types.data(),
                                        inputValues.data(), &deviationMax, &deviationMin,
                                        &scaleFactor, &reducedScaleFactor, &solution);
    } catch (const std::exception& error) {
        // std::out_of_range for a type of 4 or more; std::bad_alloc or std::length_error when
        // the vector cannot grow.
        std::cerr << "the library raised " << error.what() << '\n';
        return 1;
    }
    if (result != 0) {
        std::cerr << "the library returned result code " << result << '\n';
        return 1;
    }
    // Enough digits to read every double back unchanged.
    std::cout << std::setprecision(std::numeric_limits<double>::max_digits10);
    for (const SolutionEntry& entry : solution) {
        std::cout << "type " << entry.type << " input " << entry.inputValue << " size "
                  << entry.valveSize << " deviation " << entry.deviation << "%\n";
    }
    std::cout << "deviationMax " << deviationMax << "\ndeviationMin " << deviationMin
              << "\nscaleFactor " << scaleFactor << "\nreducedScaleFactor " << reducedScaleFactor
              << '\n';
    return 0;
}
