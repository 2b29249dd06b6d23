// CSV as people and spreadsheets write it: fields separated by a comma, a semicolon or a tab;
// a field in double quotes may hold separators, line breaks and quotes (written ""); records end
// with \n, \r\n or \r. Blanks around a field, outside its quotes, do not belong to its value.
#ifndef KORVAN_SIZE_CSV_H
#define KORVAN_SIZE_CSV_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Streams.h"

namespace korvan_size {

struct CsvDialect {
    char separator = ',';
    bool decimalComma = false;  // numbers written 1,5 rather than 1.5
};

struct CsvProblem {
    std::size_t field;  // 0-based field the record could not be split at
    std::string what;
};

struct CsvRecord {
    std::uint64_t line = 0;                // line the record starts on, from 1
    std::vector<std::string_view> fields;  // raw text of each field, quotes included
    std::optional<CsvProblem> problem;     // set when the fields end early, at `problem->field`
    std::size_t length = 0;                // bytes of the record, its line break included
};

// Splits the record at the start of `text` (which must not be empty). When `complete` is false
// the text may go on beyond what is given, and a record that reaches its end is not taken:
// returns false then.
bool ScanRecord(std::string_view text, bool complete, char separator, CsvRecord& record);

// Reads records one at a time through a buffer, so memory stays independent of the input's size.
class CsvReader {
public:
    explicit CsvReader(InputFile& input);

    // Up to `size` bytes at the start of what is left, for a look at the input's encoding.
    std::string_view Peek(std::size_t size);
    // Drops `size` bytes (no more than Peek returned).
    void Skip(std::size_t size);

    // Reads the next record, its fields valid until the next call; false at the end of the
    // input. With `consume` false the next call reads the same record again.
    bool Next(char separator, CsvRecord& record, bool consume = true);

private:
    void Fill();

    InputFile& input_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool ended_ = false;
    std::uint64_t line_ = 1;
};

// `text` without the blanks around it: spaces, and tabs unless they separate the fields.
std::string_view TrimBlanks(std::string_view text, char separator);

// The value of a raw field: its blanks trimmed and, when it is quoted, the text between the
// quotes with "" read as ". Points into `raw` or, where quotes were doubled, into `scratch`.
std::string_view FieldValue(std::string_view raw, char separator, std::string& scratch);

// True when every field of `record` is blank: an empty line, or a row of empty cells.
bool IsBlankRecord(const CsvRecord& record, char separator);

// The separator that `name` stands for: ",", ";", "tab" (or a tab), "comma", "semicolon".
std::optional<char> SeparatorNamed(std::string_view name);

// "a comma", "a semicolon" or "a tab".
std::string SeparatorName(char separator);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_CSV_H
