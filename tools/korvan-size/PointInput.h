// The points to size, read from the command line, from CSV, or the built-in example. Points are
// held column by column: the library's two arrays, and whatever else the CSV carried along.
#ifndef KORVAN_SIZE_POINT_INPUT_H
#define KORVAN_SIZE_POINT_INPUT_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Csv.h"
#include "Streams.h"

namespace korvan_size {

// The CSV columns other than type and inputValue, kept as written and given back with each point.
struct CarriedColumns {
    std::vector<std::string> names;  // raw header text of each column, in input order
    std::string text;                // each point's raw fields of these columns, joined by the
                                     // separator, one point after another
    std::vector<std::size_t> ends;   // where each point's fields end in `text`

    std::string_view Of(std::size_t point) const {
        const std::size_t begin = point == 0 ? 0 : ends[point - 1];
        return std::string_view(text).substr(begin, ends[point] - begin);
    }
};

struct PointTable {
    std::vector<std::uint32_t> types;  // each 0 to 3; point N is index N - 1
    std::vector<double> inputValues;   // parallel to `types`
    std::vector<std::uint64_t> lines;  // CSV line of each point; empty for other inputs
    CarriedColumns carried;
    CsvDialect dialect;  // how the CSV input was written
};

// How the user says the CSV is written; what is not said is found from the header.
struct CsvSettings {
    std::optional<char> separator;
    bool decimalComma = false;
};

// Types 1, 0 and 3 with the input values 50, 100 and 80.
PointTable ExamplePoints();

// One point per argument, each written TYPE:VALUE. Throws Failure (kBadInput) naming the point.
PointTable PointsFromArguments(const std::vector<std::string>& arguments);

// A header naming the columns type and inputValue (in any case, in any position, blanks around
// them ignored), then one point per record; blank records are skipped and other columns carried
// along as written. The separator is the one of `settings`, or the one of comma, semicolon and
// tab that makes the header name both columns. UTF-8 with or without a byte order mark. Throws
// Failure (kBadInput) naming the line, the column and what was expected.
PointTable PointsFromCsv(InputFile& input, const CsvSettings& settings);

// "point 3", or "point 3 (line 5)" for a point read from CSV.
std::string PointName(const PointTable& points, std::size_t index);

// Parses a double written in full, in the C locale's way. Throws Failure (kBadInput) with the
// message `what` "text" is not a number.
double ParseNumber(std::string_view text, std::string_view what);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_POINT_INPUT_H
