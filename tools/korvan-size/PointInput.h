// The points to size, read from the command line, from CSV, or the built-in example.
#ifndef KORVAN_SIZE_POINT_INPUT_H
#define KORVAN_SIZE_POINT_INPUT_H

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace korvan_size {

struct PointRow {
    std::uint32_t type;
    double inputValue;
    std::size_t line;                // line of the CSV input; 0 for a point from the command line
    std::vector<std::string> extra;  // raw text of the other CSV columns, in input order
};

struct PointTable {
    std::vector<std::string> extraNames;  // raw header text of the other CSV columns
    std::vector<PointRow> rows;           // in input order; point N is rows[N - 1]
};

// Types 1, 0 and 3 with the input values 50, 100 and 80.
PointTable ExamplePoints();

// One point per argument, each written TYPE:VALUE. Throws Failure (kBadInput) naming the point.
PointTable PointsFromArguments(const std::vector<std::string>& arguments);

// A header line naming the columns type and inputValue, in any position, then one point per line;
// blank lines are skipped and other columns are kept as they are written. Throws Failure
// (kBadInput) naming the line and the field.
PointTable PointsFromCsv(std::istream& input);

// PointsFromCsv on the file `source`, or on standard input when `source` is "-".
PointTable PointsFromCsvSource(const std::string& source);

// Parses a double written in full (as std::from_chars reads it: "inf" and "nan" included).
// Throws Failure (kBadInput) with the message `what` "text" is not a number.
double ParseNumber(std::string_view text, std::string_view what);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_POINT_INPUT_H
