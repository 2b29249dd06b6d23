// The library's C interface, loaded at run time by its plain names, and korvan-size's two calls
// of it. What a refusal means is the library's to say: its diagnosis names rule and point.
#include <filesystem>
#include <limits>
#include <numeric>
#include <system_error>

#include "korvan-size.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvan_size {
namespace {

namespace fs = std::filesystem;

// What the platform's loader offers.
struct Loader {
#if defined(_WIN32)
    static void* Open(const fs::path& path) {
        return LoadLibraryW(path.c_str());
    }
    static void Close(void* handle) {
        FreeLibrary(static_cast<HMODULE>(handle));
    }
    static void* Symbol(void* handle, const char* name) {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
    }
    static std::string Error() {
        return "error " + std::to_string(GetLastError());
    }
    // Windows looks for a library in the program's folder first: the bare name finds it there.
    static fs::path Program(const std::string& /*argument0*/) {
        return {};
    }
#else
    static void* Open(const fs::path& path) {
        return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    static void Close(void* handle) {
        dlclose(handle);
    }
    static void* Symbol(void* handle, const char* name) {
        return dlsym(handle, name);
    }
    static std::string Error() {
        const char* const error = dlerror();
        return error != nullptr ? error : "unknown error";
    }
    static fs::path Program(const std::string& argument0) {
        std::error_code error;
        const fs::path self = fs::read_symlink("/proc/self/exe", error);
        return error ? fs::path(argument0) : self;
    }
#endif
};

Library Resolved(void* handle, std::string path) {
    Library library{std::shared_ptr<void>(handle, Loader::Close), std::move(path)};
    const auto resolve = [&](const char* name, auto& function) {
        void* const symbol = Loader::Symbol(handle, name);
        if (symbol == nullptr) {
            throw Failure(kNoLibrary, library.path +
                                          " is not the KorvanCalcValueProvider library " +
                                          std::to_string(KORVAN_VERSION_MAJOR) +
                                          ".2 or later: it has no " + name);
        }
        // Converting an object pointer to a function pointer is what the platform's loader
        // promises.
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(symbol);
    };
    resolve("KorvanGenerateSolution", library.generate);
    resolve("KorvanGetSmallestPossibleValves", library.smallest);
    resolve("KorvanDiagnose", library.diagnose);
    resolve("KorvanDescribeRule", library.describeRule);
    resolve("KorvanDescribeResult", library.describeResult);
    resolve("KorvanGetLibraryVersion", library.version);
    if (library.version() / 10000 != KORVAN_VERSION_MAJOR) {
        throw Failure(kNoLibrary, library.path + " is version " +
                                      std::to_string(library.version() / 10000) +
                                      " of the library; korvan-size needs version " +
                                      std::to_string(KORVAN_VERSION_MAJOR));
    }
    return library;
}

// The message for a call refused with `result`: the rule and the points the diagnosis names
// (numbered from 1), or the result's sentence where no rule is broken.
std::string Refusal(const Library& library, std::int32_t result, const KorvanCallPoints& points) {
    KorvanDiagnosis diagnosis{KORVAN_SUCCESS, KORVAN_RULE_NONE, KORVAN_NO_POINT, KORVAN_NO_POINT};
    library.diagnose(&points, &diagnosis);
    if (diagnosis.rule == KORVAN_RULE_NONE) {
        return library.describeResult(result);
    }
    const auto name = [](std::int64_t point) { return "point " + std::to_string(point + 1); };
    const std::string rule = library.describeRule(diagnosis.rule);
    return (diagnosis.point >= 0 ? name(diagnosis.point) + ": " + rule : rule) +
           (diagnosis.otherPoint >= 0 ? " (" + name(diagnosis.otherPoint) + ")" : "");
}

}  // namespace

Library OpenLibrary(const std::string& explicitPath, const std::string& programPath) {
    const fs::path fileName(KORVAN_LIBRARY_FILE_NAME);
    const fs::path folder = Loader::Program(programPath).parent_path();
    // In order; the last, a bare file name, leaves the search to the system.
    std::vector<fs::path> candidates = {
        folder / fileName, (folder / KORVAN_LIBRARY_DIR_FROM_PROGRAM / fileName).lexically_normal(),
        fileName};
    candidates.erase(candidates.begin(), candidates.end() - (folder.empty() ? 1 : 3));
    candidates = explicitPath.empty() ? candidates : std::vector<fs::path>{explicitPath};
    std::string tried;
    std::string error;
    for (const fs::path& candidate : candidates) {
        if (void* const handle = Loader::Open(candidate)) {
            return Resolved(handle, candidate.string());
        }
        error = Loader::Error();
        tried +=
            "\n  " +
            (candidate.has_parent_path() ? candidate.string() : "the system's library search") +
            " (" + error + ")";
    }
    throw Failure(kNoLibrary, !explicitPath.empty()
                                  ? "cannot load the library " + explicitPath + ": " + error
                                  : std::string("cannot find the library ") +
                                        KORVAN_LIBRARY_FILE_NAME + "; tried:" + tried +
                                        "\nname it with --library PATH");
}

Sizing Size(const Library& library, const Points& points) {
    const std::size_t count = points.types.size();
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Failure(kBadInput, "too many points: at most " +
                                     std::to_string(std::numeric_limits<std::int32_t>::max()) +
                                     " at once");
    }
    // Each point is tagged with its index, which comes back with it in whatever order.
    std::vector<std::uint64_t> tags(count);
    std::iota(tags.begin(), tags.end(), std::uint64_t{0});
    Sizing sizing;
    sizing.entries.resize(std::max<std::size_t>(count, 1));
    std::size_t solved = 0;
    const std::int32_t result = library.generate(
        static_cast<std::int32_t>(count), points.types.data(), points.inputValues.data(),
        tags.data(), sizing.entries.data(), sizing.entries.size(), &solved, &sizing.totals);
    if (result != KORVAN_SUCCESS) {
        throw Failure(kRefused, Refusal(library, result,
                                        {KORVAN_CALL_GENERATE, nullptr, 0, points.types.data(),
                                         points.inputValues.data(), count}));
    }
    sizing.entries.resize(solved);
    if (solved != count || std::any_of(sizing.entries.begin(), sizing.entries.end(),
                                       [&](auto& entry) { return entry.callerData >= count; })) {
        throw Failure(kRefused, "the library did not return the points it was given");
    }
    return sizing;
}

Reduction Reduce(const Library& library, std::vector<double> sizes) {
    const std::vector<double> given = sizes;  // the library sorts its array
    std::vector<double> smallest(sizes.size());
    const std::int32_t result = library.smallest(sizes.data(), sizes.size(), smallest.data());
    if (result != KORVAN_SUCCESS) {
        throw Failure(kRefused, Refusal(library, result,
                                        {KORVAN_CALL_SMALLEST, nullptr, 0, nullptr, given.data(),
                                         given.size()}));
    }
    return {std::move(sizes), std::move(smallest)};
}

}  // namespace korvan_size
