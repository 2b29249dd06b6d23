// The library loaded at run time by its plain names, as a separately built host loads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace {

using GenerateFunction = decltype(&GenerateSolutionVector);
using FillFunction = decltype(&FillSolutionVector);
using ReduceFunction = decltype(&GetSmallestPossibleValves);
using VersionFunction = decltype(&GetCurrentVersion);

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

template <typename Function>
Function Lookup(void* library, const char* name) {
    void* const symbol = dlsym(library, name);
    EXPECT_NE(symbol, nullptr) << name;
    Function function = nullptr;
    static_assert(sizeof function == sizeof symbol, "function and data pointers differ");
    std::memcpy(&function, &symbol, sizeof function);
    return function;
}

TEST(DynamicLoad, CallsEveryFunctionByItsPlainName) {
    const LibraryHandle library(dlopen(KORVAN_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL));
    ASSERT_NE(library, nullptr) << dlerror();

    const auto version = Lookup<VersionFunction>(library.get(), "GetCurrentVersion");
    const auto generate = Lookup<GenerateFunction>(library.get(), "GenerateSolutionVector");
    const auto fill = Lookup<FillFunction>(library.get(), "FillSolutionVector");
    const auto reduce = Lookup<ReduceFunction>(library.get(), "GetSmallestPossibleValves");
    ASSERT_TRUE(version && generate && fill && reduce);

    EXPECT_EQ(version(), 1.0);

    const std::uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    SolutionVector solution;
    double max = 0.0;
    double min = 0.0;
    double scale = 0.0;
    double reduced = 0.0;
    ASSERT_EQ(generate(3, types, values, &max, &min, &scale, &reduced, &solution), 0);
    EXPECT_EQ(scale, 5.348333333333334);
    EXPECT_EQ(max, 11.42);
    ASSERT_EQ(fill(&solution, &max, &min, &scale, &reduced), 0);
    EXPECT_EQ(solution[0].demand, ((50.0 * 5.62) * 0.001) * 2.0);

    std::vector<double> sizes{0.1, 0.5};
    std::vector<double> smallest;
    ASSERT_EQ(reduce(&sizes, &smallest), 0);
    EXPECT_EQ(smallest, (std::vector<double>{0.3, 0.06}));
}

}  // namespace
