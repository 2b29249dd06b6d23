// Just enough CSV for a table of points: comma-separated fields, each plain or in double quotes
// with "" standing for one quote. A record is one line; a quoted field cannot hold a line break.
#ifndef KORVAN_SIZE_CSV_H
#define KORVAN_SIZE_CSV_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvan_size {

struct CsvSplit {
    std::vector<std::string> fields;      // raw text of each field, quotes included, as in the line
    std::optional<std::size_t> badField;  // 0-based field where splitting failed
    std::string problem;                  // what is wrong with that field
};

// Splits one line (without its line break) into raw fields.
CsvSplit SplitCsvLine(std::string_view line);

// The value of a raw field: outer quotes removed and "" turned into ", text otherwise untouched.
std::string CsvFieldValue(std::string_view raw);

// `text` without leading and trailing spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_CSV_H
