// Calls GenerateSolutionVector a given number of times on one of the small cases, each time on a
// fresh empty vector. callgrind.sh runs it at two lengths and divides the difference in
// instructions by the difference in calls, so that start-up and first-call costs cancel.
//
// usage: korvan_call_counts three_points|seven_points|ratio_1700_to_1 CALLS
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Cases.h"
#include "KorvanCalcValueProvider.h"

namespace {

bool CaseNamed(const char* name, bench::Points& points) {
    if (std::strcmp(name, "three_points") == 0) {
        points = bench::ThreePoints();
    } else if (std::strcmp(name, "seven_points") == 0) {
        points = bench::SevenPoints();
    } else if (std::strcmp(name, "ratio_1700_to_1") == 0) {
        points = bench::SlowestTolerance();
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::Points points;
    if (argc != 3 || !CaseNamed(argv[1], points)) {
        std::fprintf(stderr, "usage: %s three_points|seven_points|ratio_1700_to_1 CALLS\n",
                     argv[0]);
        return 2;
    }
    const long calls = std::strtol(argv[2], nullptr, 10);
    double outputs[4] = {};
    for (long call = 0; call < calls; ++call) {
        SolutionVector solution;
        const std::int32_t result = GenerateSolutionVector(
            static_cast<std::int32_t>(points.types.size()), points.types.data(),
            points.values.data(), &outputs[0], &outputs[1], &outputs[2], &outputs[3], &solution);
        if (result != 0) {
            std::fprintf(stderr, "GenerateSolutionVector returned %d\n", result);
            return 1;
        }
    }
    std::printf("%.17g\n", outputs[2]);
    return 0;
}
