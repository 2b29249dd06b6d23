#include "LibraryLoader.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "Failure.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace korvan_size {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
void* OpenLibrary(const fs::path& path) {
    return LoadLibraryW(path.c_str());
}

void* FindSymbol(void* handle, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

std::string LastLoadError() {
    return "error " + std::to_string(static_cast<unsigned long>(GetLastError()));
}

fs::path ProgramPath(const std::string& programPath) {
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length == buffer.size()) {
        return fs::path(programPath);
    }
    buffer.resize(length);
    return fs::path(buffer);
}
#else
void* OpenLibrary(const fs::path& path) {
    return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* FindSymbol(void* handle, const char* name) {
    return dlsym(handle, name);
}

std::string LastLoadError() {
    const char* error = dlerror();
    return error != nullptr ? std::string(error) : std::string("unknown error");
}

fs::path ProgramPath(const std::string& programPath) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path(programPath) : self;
}
#endif

// Searched in order; the last, a bare file name, leaves the search to the system.
std::vector<fs::path> CandidatePaths(const std::string& programPath) {
    const fs::path fileName(KORVAN_LIBRARY_FILE_NAME);
    const fs::path programFolder = ProgramPath(programPath).parent_path();
    std::vector<fs::path> candidates;
    if (!programFolder.empty()) {
        candidates.push_back(programFolder / fileName);
        candidates.push_back(
            (programFolder / KORVAN_LIBRARY_DIR_FROM_PROGRAM / fileName).lexically_normal());
    }
    candidates.push_back(fileName);
    return candidates;
}

template <typename Function>
void Resolve(void* handle, const std::string& path, const char* name, Function& function) {
    void* const symbol = FindSymbol(handle, name);
    if (symbol == nullptr) {
        throw Failure(
            kLibraryUnavailable,
            path + " is not the KorvanCalcValueProvider library: it has no " + std::string(name));
    }
    // Converting an object pointer to a function pointer is what the platform's loader promises.
    function = reinterpret_cast<Function>(symbol);
}

LoadedLibrary ResolveFunctions(LibraryHandle handle, const std::string& path) {
    LoadedLibrary library{std::move(handle), path, {}};
    LibraryFunctions& functions = library.functions;
    Resolve(library.handle.get(), path, "GenerateSolutionVector", functions.generateSolutionVector);
    Resolve(library.handle.get(), path, "FillSolutionVector", functions.fillSolutionVector);
    Resolve(library.handle.get(), path, "GetSmallestPossibleValves",
            functions.getSmallestPossibleValves);
    Resolve(library.handle.get(), path, "GetCurrentVersion", functions.getCurrentVersion);
    return library;
}

}  // namespace

void LibraryCloser::operator()(void* handle) const {
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle));
#else
    dlclose(handle);
#endif
}

LoadedLibrary LoadKorvanLibrary(const std::string& explicitPath, const std::string& programPath) {
    if (!explicitPath.empty()) {
        LibraryHandle handle(OpenLibrary(fs::path(explicitPath)));
        if (!handle) {
            throw Failure(kLibraryUnavailable,
                          "cannot load the library " + explicitPath + ": " + LastLoadError());
        }
        return ResolveFunctions(std::move(handle), explicitPath);
    }
    std::string tried;
    for (const fs::path& candidate : CandidatePaths(programPath)) {
        const bool bareName = !candidate.has_parent_path();
        std::error_code error;
        if (!bareName && !fs::exists(candidate, error)) {
            tried += "\n  " + candidate.string() + " (no such file)";
            continue;
        }
        LibraryHandle handle(OpenLibrary(candidate));
        if (handle) {
            return ResolveFunctions(std::move(handle), candidate.string());
        }
        tried += "\n  " +
                 (bareName ? std::string("the system's library search") : candidate.string()) +
                 " (" + LastLoadError() + ")";
    }
    throw Failure(kLibraryUnavailable, std::string("cannot find the library ") +
                                           KORVAN_LIBRARY_FILE_NAME + "; tried:" + tried +
                                           "\nname it with --library PATH");
}

}  // namespace korvan_size
