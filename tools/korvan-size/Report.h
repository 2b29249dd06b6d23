// What korvan-size prints for a sizing or a reduction: an aligned table for people, CSV or JSON
// for programs, written as it goes. CSV and JSON print every double so that it reads back to the
// same double.
#ifndef KORVAN_SIZE_REPORT_H
#define KORVAN_SIZE_REPORT_H

#include <string>

#include "Csv.h"
#include "PointInput.h"
#include "Sizing.h"
#include "Streams.h"

namespace korvan_size {

enum class Format { kTable, kCsv, kJson };

// One row per point in the solved order, with the columns of `points` that the library does not
// read carried along, then deviationMax, deviationMin, scaleFactor and reducedScaleFactor. CSV
// is written with the separator and decimal sign of `csv`.
void WriteSizing(Output& output, const Sizing& sizing, const PointTable& points, Format format,
                 const CsvDialect& csv);

// The sizes as the library sorted them, each beside its reduced size.
void WriteReduction(Output& output, const Reduction& reduction, Format format,
                    const CsvDialect& csv);

// The library's version, 1.0 written as "1.0".
std::string FormatVersion(double version);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_REPORT_H
