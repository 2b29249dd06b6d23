// Loads the library at run time, as a separately built host does, and resolves its four functions
// by their plain names. Nothing links the library at build time.
#ifndef KORVAN_SIZE_LIBRARY_LOADER_H
#define KORVAN_SIZE_LIBRARY_LOADER_H

#include <memory>
#include <string>

#include "KorvanCalcValueProvider.h"

namespace korvan_size {

struct LibraryFunctions {
    decltype(&GenerateSolutionVector) generateSolutionVector;
    decltype(&FillSolutionVector) fillSolutionVector;
    decltype(&GetSmallestPossibleValves) getSmallestPossibleValves;
    decltype(&GetCurrentVersion) getCurrentVersion;
};

struct LibraryCloser {
    void operator()(void* handle) const;
};

// Unloads the library when it goes; the functions must not be called after that.
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

struct LoadedLibrary {
    LibraryHandle handle;
    std::string path;  // where it was loaded from, or the bare name the system search found
    LibraryFunctions functions;
};

// Loads the library from `explicitPath` alone when it is not empty. Otherwise tries, in order, the
// folder of this program (the build tree, or a Windows install), the install's library folder
// relative to it, and the bare file name through the system's own search. `programPath` (argv[0])
// locates the program where the system cannot tell. Throws Failure (kLibraryUnavailable) naming
// every place tried, or the first function the loaded file lacks.
LoadedLibrary LoadKorvanLibrary(const std::string& explicitPath, const std::string& programPath);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_LIBRARY_LOADER_H
