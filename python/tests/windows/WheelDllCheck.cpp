// Loads KorvanCalcValueProvider.dll from the folder of an unpacked Windows wheel as Python's ctypes
// loads it (a full path; the DLL's own folder and the system's searched for what it needs, never
// the PATH) and sizes the three points of the worked example with it.
//   usage: korvan_wheel_dll_check FOLDER      (a Windows path, backslashes only)
#include <windows.h>

#include <cstdio>
#include <string>

#include "KorvanCalcValueProviderC.h"

namespace {

using GenerateFunction = decltype(&KorvanGenerateSolution);

template <typename Function>
Function Lookup(HMODULE library, const char* name) {
    // The documented way from GetProcAddress's untyped result to the function's own type.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: korvan_wheel_dll_check FOLDER\n");
        return 2;
    }
    const std::string path = std::string(argv[1]) + "\\KorvanCalcValueProvider.dll";
    HMODULE library = LoadLibraryExA(
        path.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load %s: error %lu\n", path.c_str(), GetLastError());
        return 1;
    }
    const auto generate = Lookup<GenerateFunction>(library, "KorvanGenerateSolution");
    if (generate == nullptr) {
        std::fprintf(stderr, "%s exports no KorvanGenerateSolution\n", path.c_str());
        return 1;
    }
    const uint32_t types[] = {1, 0, 3};
    const double values[] = {50.0, 100.0, 80.0};
    KorvanSolutionEntry entries[3] = {};
    size_t count = 0;
    KorvanSolutionTotals totals = {};
    const int32_t result = generate(3, types, values, nullptr, entries, 3, &count, &totals);
    std::printf("result %d, scale factor %.17g\n", static_cast<int>(result), totals.scaleFactor);
    FreeLibrary(library);
    return result == KORVAN_SUCCESS && totals.scaleFactor == 5.348333333333334 ? 0 : 1;
}
