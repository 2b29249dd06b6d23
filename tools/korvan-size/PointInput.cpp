#include "PointInput.h"

#include <algorithm>

#include "Failure.h"
#include "Numbers.h"

namespace korvan_size {
namespace {

constexpr std::string_view kTypeColumn = "type";
constexpr std::string_view kInputValueColumn = "inputValue";
constexpr std::uint32_t kLargestType = 3;
constexpr char kSeparators[] = {',', ';', '\t'};

[[noreturn]] void ThrowBadInput(const std::string& message) {
    throw Failure(kBadInput, message);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

// Types are written as whole numbers; the library knows 0 to 3. `where()` names the field, and
// is called only for a message.
template <typename Where>
std::uint32_t ParseType(std::string_view text, const Where& where) {
    const std::optional<std::uint32_t> type = ReadWholeNumber(text);
    if (!type || *type > kLargestType) {
        ThrowBadInput(where() + " " + Quoted(text) + " is not one of 0 to 3");
    }
    return *type;
}

// How numbers are written where they are read: CSV fields may have a decimal comma, the
// command line never.
struct NumberDialect {
    bool decimalComma;
    bool decimalCommaPossible;  // the separator is not a comma, so --decimal-comma could be given
};

// What is wrong with a number that does not read, with a hint where the decimal separator is
// the likely cause.
std::string NotANumber(std::string_view text, const NumberDialect& dialect) {
    std::string message = Quoted(text) + " is not a number";
    if (dialect.decimalComma && text.find('.') != std::string_view::npos) {
        return message + " with a decimal comma, as --decimal-comma says";
    }
    if (!dialect.decimalComma && dialect.decimalCommaPossible &&
        text.find(',') != std::string_view::npos &&
        ReadDouble(text, true).problem == NumberProblem::kNone) {
        return message + " (to read a decimal comma, give --decimal-comma)";
    }
    return message;
}

template <typename Where>
double ReadNumberOrThrow(std::string_view text, const NumberDialect& dialect, const Where& where) {
    const ParsedNumber number = ReadDouble(text, dialect.decimalComma);
    switch (number.problem) {
        case NumberProblem::kBeyondDouble:
            ThrowBadInput(where() + " " + Quoted(text) + " is beyond the range of a double");
        case NumberProblem::kNotANumber:
            ThrowBadInput(where() + " " + NotANumber(text, dialect));
        case NumberProblem::kNone:
        default:
            return number.value;
    }
}

// ASCII letters alike in either case, whatever the locale.
bool SameLetters(std::string_view text, std::string_view name) {
    const auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return text.size() == name.size() &&
           std::equal(text.begin(), text.end(), name.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); });
}

struct Header {
    std::uint64_t line = 1;
    char separator = ',';
    std::vector<std::string> names;  // field values, blanks trimmed
    std::vector<std::string> raw;    // fields as written
    std::size_t typeColumn = 0;
    std::size_t inputValueColumn = 0;
};

Header HeaderOf(const CsvRecord& record, char separator) {
    Header header;
    header.line = record.line;
    header.separator = separator;
    std::string scratch;
    for (const std::string_view field : record.fields) {
        header.names.emplace_back(FieldValue(field, separator, scratch));
        header.raw.emplace_back(field);
    }
    // Cells a spreadsheet writes beyond the last named column; rows may have them too, empty.
    while (!header.names.empty() && header.names.back().empty()) {
        header.names.pop_back();
        header.raw.pop_back();
    }
    return header;
}

std::vector<std::size_t> ColumnsNamed(const Header& header, std::string_view name) {
    std::vector<std::size_t> columns;
    for (std::size_t index = 0; index < header.names.size(); ++index) {
        if (SameLetters(header.names[index], name)) {
            columns.push_back(index);
        }
    }
    return columns;
}

// "column inputValue" as the header names it, or "column 4" where it has no name.
std::string ColumnLabel(const Header& header, std::size_t index) {
    if (index < header.names.size() && !header.names[index].empty()) {
        return "column " + header.names[index];
    }
    return "column " + std::to_string(index + 1);
}

std::string Where(std::uint64_t line, const Header& header, std::size_t column) {
    return "line " + std::to_string(line) + ", " + ColumnLabel(header, column) + ":";
}

// True when the record names each of type and inputValue exactly once.
bool NamesBothColumns(const CsvRecord& record, char separator) {
    if (record.problem) {
        return false;
    }
    const Header header = HeaderOf(record, separator);
    return ColumnsNamed(header, kTypeColumn).size() == 1 &&
           ColumnsNamed(header, kInputValueColumn).size() == 1;
}

std::string ListOfNames(const Header& header) {
    std::string list;
    for (const std::string& name : header.names) {
        list += (list.empty() ? "" : ", ") + Quoted(name);
    }
    return list;
}

// Why the header, split at `separator`, does not name the two columns.
[[noreturn]] void ThrowHeaderProblem(const CsvRecord& record, char separator,
                                     const CsvSettings& settings) {
    const Header header = HeaderOf(record, separator);
    const std::string line = "line " + std::to_string(record.line);
    if (record.problem) {
        ThrowBadInput(Where(record.line, header, record.problem->field) + " " +
                      record.problem->what);
    }
    for (const std::string_view name : {kTypeColumn, kInputValueColumn}) {
        const std::vector<std::size_t> columns = ColumnsNamed(header, name);
        if (columns.size() > 1) {
            ThrowBadInput(line + ": columns " + std::to_string(columns[0] + 1) + " and " +
                          std::to_string(columns[1] + 1) + " are both named " + std::string(name));
        }
    }
    const std::string_view missing =
        ColumnsNamed(header, kTypeColumn).empty() ? kTypeColumn : kInputValueColumn;
    const std::string separated = settings.separator
                                      ? "separated by " + SeparatorName(*settings.separator)
                                      : "separated by commas, semicolons or tabs";
    ThrowBadInput(line + ": no column named " + std::string(missing) + " in the header " +
                  ListOfNames(header) + " (the header must name type and inputValue, in any " +
                  "case, " + separated + ")");
}

void RefuseRepeatedNames(const Header& header) {
    for (std::size_t index = 1; index < header.names.size(); ++index) {
        const std::string& name = header.names[index];
        if (std::find(header.names.begin(),
                      header.names.begin() + static_cast<std::ptrdiff_t>(index),
                      name) != header.names.begin() + static_cast<std::ptrdiff_t>(index)) {
            ThrowBadInput("line " + std::to_string(header.line) + ", column " +
                          std::to_string(index + 1) + ": the column name " + Quoted(name) +
                          " appears twice");
        }
    }
}

// Refuses text in an encoding other than UTF-8 and drops a UTF-8 byte order mark.
void PassByteOrderMark(CsvReader& reader) {
    const std::string_view start = reader.Peek(4);
    const auto startsWith = [&](std::string_view mark) {
        return start.substr(0, mark.size()) == mark;
    };
    if (startsWith(std::string_view("\xFF\xFE\0\0", 4)) ||
        startsWith(std::string_view("\0\0\xFE\xFF", 4))) {
        ThrowBadInput(
            "the CSV input is UTF-32 (it starts with a UTF-32 byte order mark): save it "
            "as UTF-8");
    }
    if (startsWith("\xFF\xFE") || startsWith("\xFE\xFF")) {
        ThrowBadInput(
            "the CSV input is UTF-16 (it starts with a UTF-16 byte order mark): save it "
            "as UTF-8, for instance as \"CSV UTF-8\" from a spreadsheet");
    }
    if (startsWith("\xEF\xBB\xBF")) {
        reader.Skip(3);
    }
}

// The first record that is not blank, read but not consumed.
CsvRecord FirstRecord(CsvReader& reader) {
    CsvRecord record;
    while (reader.Next(',', record, false)) {
        if (!IsBlankRecord(record, ',') || record.problem) {
            for (const std::string_view field : record.fields) {
                if (field.find('\0') != std::string_view::npos) {
                    ThrowBadInput("line " + std::to_string(record.line) +
                                  ": the header holds zero bytes, as UTF-16 text without a byte "
                                  "order mark does: save the CSV input as UTF-8");
                }
            }
            return record;
        }
        reader.Next(',', record);
    }
    ThrowBadInput("the CSV input is empty: its first line must be a header naming type and " +
                  std::string(kInputValueColumn));
}

Header ReadHeader(CsvReader& reader, const CsvSettings& settings) {
    CsvRecord record = FirstRecord(reader);
    std::vector<char> candidates(std::begin(kSeparators), std::end(kSeparators));
    if (settings.separator) {
        candidates = {*settings.separator};
    }
    char mostFields = candidates.front();
    std::size_t mostFieldCount = 0;
    for (const char separator : candidates) {
        reader.Next(separator, record, false);
        if (NamesBothColumns(record, separator)) {
            reader.Next(separator, record);
            Header header = HeaderOf(record, separator);
            header.typeColumn = ColumnsNamed(header, kTypeColumn).front();
            header.inputValueColumn = ColumnsNamed(header, kInputValueColumn).front();
            RefuseRepeatedNames(header);
            return header;
        }
        if (record.fields.size() > mostFieldCount) {
            mostFieldCount = record.fields.size();
            mostFields = separator;
        }
    }
    reader.Next(mostFields, record, false);
    ThrowHeaderProblem(record, mostFields, settings);
}

bool IsCarried(const Header& header, std::size_t column) {
    return column != header.typeColumn && column != header.inputValueColumn;
}

// Empty cells beyond the header's columns, as spreadsheets write for a row once longer.
void DropBlankFieldsBeyond(std::size_t columns, CsvRecord& record, char separator) {
    while (record.fields.size() > columns && TrimBlanks(record.fields.back(), separator).empty()) {
        record.fields.pop_back();
    }
}

void ReadPoint(const CsvRecord& record, const Header& header, bool decimalComma, PointTable& table,
               std::string& scratch) {
    const std::uint64_t line = record.line;
    if (record.fields.size() != header.names.size()) {
        ThrowBadInput("line " + std::to_string(line) + ": " + std::to_string(record.fields.size()) +
                      " fields where the header has " + std::to_string(header.names.size()) +
                      " columns");
    }
    const char separator = header.separator;
    table.types.push_back(
        ParseType(FieldValue(record.fields[header.typeColumn], separator, scratch),
                  [&] { return Where(line, header, header.typeColumn); }));
    table.inputValues.push_back(
        ReadNumberOrThrow(FieldValue(record.fields[header.inputValueColumn], separator, scratch),
                          NumberDialect{decimalComma, separator != ','},
                          [&] { return Where(line, header, header.inputValueColumn); }));
    table.lines.push_back(line);
    if (table.carried.names.empty()) {
        return;
    }
    bool first = true;
    for (std::size_t column = 0; column < record.fields.size(); ++column) {
        if (IsCarried(header, column)) {
            if (!first) {
                table.carried.text += separator;
            }
            table.carried.text += record.fields[column];
            first = false;
        }
    }
    table.carried.ends.push_back(table.carried.text.size());
}

}  // namespace

double ParseNumber(std::string_view text, std::string_view what) {
    return ReadNumberOrThrow(text, NumberDialect{false, false}, [&] { return std::string(what); });
}

PointTable ExamplePoints() {
    PointTable table;
    table.types = {1, 0, 3};
    table.inputValues = {50.0, 100.0, 80.0};
    return table;
}

PointTable PointsFromArguments(const std::vector<std::string>& arguments) {
    PointTable table;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const std::string_view argument = arguments[index];
        const std::string where = "point " + std::to_string(index + 1);
        const std::size_t colon = argument.find(':');
        if (colon == std::string_view::npos) {
            ThrowBadInput(where + ": " + Quoted(argument) + " is not TYPE:VALUE");
        }
        table.types.push_back(
            ParseType(argument.substr(0, colon), [&] { return where + ": type"; }));
        table.inputValues.push_back(
            ParseNumber(argument.substr(colon + 1), where + ": input value"));
    }
    return table;
}

PointTable PointsFromCsv(InputFile& input, const CsvSettings& settings) {
    CsvReader reader(input);
    PassByteOrderMark(reader);
    const Header header = ReadHeader(reader, settings);
    const char separator = header.separator;
    if (settings.decimalComma && separator == ',') {
        ThrowBadInput("line " + std::to_string(header.line) +
                      ": --decimal-comma needs columns separated by semicolons or tabs, and this "
                      "header is separated by commas");
    }
    PointTable table;
    table.dialect = {separator, settings.decimalComma};
    for (std::size_t column = 0; column < header.raw.size(); ++column) {
        if (IsCarried(header, column)) {
            table.carried.names.push_back(header.raw[column]);
        }
    }
    CsvRecord record;
    std::string scratch;
    while (reader.Next(separator, record)) {
        if (record.problem) {
            ThrowBadInput(Where(record.line, header, record.problem->field) + " " +
                          record.problem->what);
        }
        if (IsBlankRecord(record, separator)) {
            continue;
        }
        DropBlankFieldsBeyond(header.names.size(), record, separator);
        ReadPoint(record, header, settings.decimalComma, table, scratch);
    }
    if (table.types.empty()) {
        ThrowBadInput("the CSV input has a header (line " + std::to_string(header.line) +
                      ") but no points");
    }
    return table;
}

std::string PointName(const PointTable& points, std::size_t index) {
    std::string name = "point " + std::to_string(index + 1);
    if (index < points.lines.size()) {
        name += " (line " + std::to_string(points.lines[index]) + ")";
    }
    return name;
}

}  // namespace korvan_size
