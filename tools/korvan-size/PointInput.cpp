#include "PointInput.h"

#include <cerrno>
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <system_error>

#include <fmt/core.h>

#include "Csv.h"
#include "Failure.h"

namespace korvan_size {
namespace {

constexpr std::string_view kTypeColumn = "type";
constexpr std::string_view kInputValueColumn = "inputValue";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

[[noreturn]] void ThrowBadInput(const std::string& message) {
    throw Failure(kBadInput, message);
}

// Types are written as whole numbers; the library decides which of them it knows.
std::uint32_t ParseType(std::string_view text, std::string_view where) {
    std::uint32_t type = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, type);
    if (text.empty() || error != std::errc() || stop != end) {
        ThrowBadInput(fmt::format("{} \"{}\" is not one of 0 to 3", where, text));
    }
    return type;
}

struct Header {
    std::vector<std::string> names;  // field values, blanks trimmed
    std::size_t typeColumn;
    std::size_t inputValueColumn;
};

std::string FieldLabel(const std::vector<std::string>& names, std::size_t index) {
    if (index < names.size()) {
        return fmt::format("field {}", names[index]);
    }
    return fmt::format("field {}", index + 1);
}

std::vector<std::string> SplitOrThrow(std::string_view line, std::size_t lineNumber,
                                      const std::vector<std::string>& names) {
    CsvSplit split = SplitCsvLine(line);
    if (split.badField) {
        ThrowBadInput(fmt::format("line {}, {}: {}", lineNumber, FieldLabel(names, *split.badField),
                                  split.problem));
    }
    return std::move(split.fields);
}

std::size_t ColumnNamed(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t index = 0; index < names.size(); ++index) {
        if (names[index] == name) {
            return index;
        }
    }
    ThrowBadInput(fmt::format("line 1: no column named {} (the header must name type and {})", name,
                              kInputValueColumn));
}

void RefuseRepeatedNames(const std::vector<std::string>& names) {
    for (std::size_t index = 1; index < names.size(); ++index) {
        for (std::size_t earlier = 0; earlier < index; ++earlier) {
            if (names[earlier] == names[index]) {
                ThrowBadInput(fmt::format("line 1, field {}: the column name \"{}\" appears twice",
                                          index + 1, names[index]));
            }
        }
    }
}

Header ReadHeader(std::string_view line, PointTable& table) {
    if (line.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        line.remove_prefix(kByteOrderMark.size());
    }
    const std::vector<std::string> raw = SplitOrThrow(line, 1, {});
    Header header{{}, 0, 0};
    for (const std::string& field : raw) {
        header.names.emplace_back(TrimBlanks(CsvFieldValue(field)));
    }
    RefuseRepeatedNames(header.names);
    header.typeColumn = ColumnNamed(header.names, kTypeColumn);
    header.inputValueColumn = ColumnNamed(header.names, kInputValueColumn);
    for (std::size_t index = 0; index < raw.size(); ++index) {
        if (index != header.typeColumn && index != header.inputValueColumn) {
            table.extraNames.push_back(raw[index]);
        }
    }
    return header;
}

PointRow ReadRow(std::string_view line, std::size_t lineNumber, const Header& header) {
    std::vector<std::string> fields = SplitOrThrow(line, lineNumber, header.names);
    if (fields.size() != header.names.size()) {
        ThrowBadInput(fmt::format("line {}: {} fields where the header has {}", lineNumber,
                                  fields.size(), header.names.size()));
    }
    const std::string where = fmt::format("line {}, field {}:", lineNumber, kTypeColumn);
    const std::string type = CsvFieldValue(fields[header.typeColumn]);
    const std::string value = CsvFieldValue(fields[header.inputValueColumn]);
    PointRow row{ParseType(TrimBlanks(type), where),
                 ParseNumber(TrimBlanks(value),
                             fmt::format("line {}, field {}:", lineNumber, kInputValueColumn)),
                 lineNumber,
                 {}};
    for (std::size_t index = 0; index < fields.size(); ++index) {
        if (index != header.typeColumn && index != header.inputValueColumn) {
            row.extra.push_back(std::move(fields[index]));
        }
    }
    return row;
}

std::string_view WithoutCarriageReturn(const std::string& line) {
    std::string_view view(line);
    if (!view.empty() && view.back() == '\r') {
        view.remove_suffix(1);
    }
    return view;
}

}  // namespace

double ParseNumber(std::string_view text, std::string_view what) {
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error == std::errc::result_out_of_range && stop == end) {
        ThrowBadInput(fmt::format("{} \"{}\" is beyond the range of a double", what, text));
    }
    if (text.empty() || error != std::errc() || stop != end) {
        ThrowBadInput(fmt::format("{} \"{}\" is not a number", what, text));
    }
    return value;
}

PointTable ExamplePoints() {
    PointTable table;
    table.rows = {{1, 50.0, 0, {}}, {0, 100.0, 0, {}}, {3, 80.0, 0, {}}};
    return table;
}

PointTable PointsFromArguments(const std::vector<std::string>& arguments) {
    PointTable table;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        const std::string where = fmt::format("point {}", index + 1);
        const std::size_t colon = argument.find(':');
        if (colon == std::string_view::npos) {
            ThrowBadInput(fmt::format("{}: \"{}\" is not TYPE:VALUE", where, argument));
        }
        table.rows.push_back({ParseType(argument.substr(0, colon), where + ": type"),
                              ParseNumber(argument.substr(colon + 1), where + ": input value"),
                              0,
                              {}});
    }
    return table;
}

PointTable PointsFromCsv(std::istream& input) {
    PointTable table;
    std::string line;
    if (!std::getline(input, line)) {
        ThrowBadInput("the CSV input is empty: its first line must be a header naming type and " +
                      std::string(kInputValueColumn));
    }
    const Header header = ReadHeader(WithoutCarriageReturn(line), table);
    for (std::size_t lineNumber = 2; std::getline(input, line); ++lineNumber) {
        const std::string_view content = WithoutCarriageReturn(line);
        if (!content.empty()) {
            table.rows.push_back(ReadRow(content, lineNumber, header));
        }
    }
    return table;
}

PointTable PointsFromCsvSource(const std::string& source) {
    if (source == "-") {
        return PointsFromCsv(std::cin);
    }
    errno = 0;
    std::ifstream file(source, std::ios::binary);
    if (!file) {
        const int error = errno;
        ThrowBadInput(fmt::format("cannot read the CSV file {}: {}", source,
                                  error != 0 ? std::generic_category().message(error)
                                             : std::string("it cannot be opened")));
    }
    return PointsFromCsv(file);
}

}  // namespace korvan_size
