#include "Csv.h"

namespace korvan_size {
namespace {

// Length of the quoted field starting at `line[start]` (a quote), closing quote included; 0 when
// the line ends first.
std::size_t QuotedLength(std::string_view line, std::size_t start) {
    std::size_t at = start + 1;
    while (at < line.size()) {
        if (line[at] != '"') {
            ++at;
        } else if (at + 1 < line.size() && line[at + 1] == '"') {
            at += 2;
        } else {
            return at + 1 - start;
        }
    }
    return 0;
}

}  // namespace

CsvSplit SplitCsvLine(std::string_view line) {
    CsvSplit split;
    std::size_t start = 0;
    while (true) {
        std::size_t end = line.find(',', start);
        if (start < line.size() && line[start] == '"') {
            const std::size_t length = QuotedLength(line, start);
            if (length == 0) {
                split.badField = split.fields.size();
                split.problem = "a quoted field does not end on its line";
                return split;
            }
            end = start + length;
            if (end < line.size() && line[end] != ',') {
                split.badField = split.fields.size();
                split.problem = "text follows the closing quote";
                return split;
            }
        }
        if (end == std::string_view::npos || end >= line.size()) {
            split.fields.emplace_back(line.substr(start));
            return split;
        }
        split.fields.emplace_back(line.substr(start, end - start));
        start = end + 1;
    }
}

std::string CsvFieldValue(std::string_view raw) {
    if (raw.size() < 2 || raw.front() != '"' || raw.back() != '"') {
        return std::string(raw);
    }
    std::string value;
    const std::string_view inner = raw.substr(1, raw.size() - 2);
    for (std::size_t at = 0; at < inner.size(); ++at) {
        value += inner[at];
        if (inner[at] == '"') {
            ++at;  // the second quote of a doubled pair
        }
    }
    return value;
}

std::string_view TrimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace korvan_size
