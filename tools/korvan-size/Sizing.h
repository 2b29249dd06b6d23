// Sizing points and reducing sizes through the loaded library, with every result code and every
// exception that leaves it turned into a message in the user's terms.
#ifndef KORVAN_SIZE_SIZING_H
#define KORVAN_SIZE_SIZING_H

#include <vector>

#include "KorvanCalcValueProvider.h"
#include "LibraryLoader.h"
#include "PointInput.h"

namespace korvan_size {

struct Sizing {
    SolutionVector entries;  // in the solved order, largest demand first; each entry's
                             // callerData is the index of its point in the input
    double deviationMax;
    double deviationMin;
    double scaleFactor;
    double reducedScaleFactor;
};

struct Reduction {
    std::vector<double> sizes;     // the sizes given, as the library sorted them
    std::vector<double> smallest;  // the reduced size of each, position by position
};

// Solves the points with GenerateSolutionVector on an empty vector. Points with the same type
// and input value are told apart by input order. Throws Failure (kLibraryRefused) on a result
// other than 0 or an exception from the library, naming the offending point where it can be
// found.
Sizing SizePoints(const LibraryFunctions& library, const PointTable& points);

// Reduces `sizes` (one or more) with GetSmallestPossibleValves. Throws Failure (kLibraryRefused)
// as above.
Reduction ReduceSizes(const LibraryFunctions& library, const std::vector<double>& sizes);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_SIZING_H
