// korvan-size, the sample host: reads points (CSV by the rules of tests/golden/README.md, or
// TYPE:VALUE arguments), sizes them through the library's C interface loaded at run time, and
// writes the results as a table, CSV or JSON. Every judgement on the points is the library's.
#ifndef KORVAN_SIZE_H
#define KORVAN_SIZE_H

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "KorvanCalcValueProviderC.h"

namespace korvan_size {

// Exit statuses besides 0: the library refused the points (or memory ran out); the command line
// or the input could not be read; the library could not be loaded; the output not written.
constexpr int kRefused = 1;
constexpr int kBadInput = 2;
constexpr int kNoLibrary = 3;
constexpr int kCannotWrite = 4;

struct Failure : std::runtime_error {
    Failure(int exitStatus, const std::string& message)
        : std::runtime_error(message), status(exitStatus) {}
    int status;
};

// How a CSV is written; decimalSign is '.' or ',', 0 while no input value told.
struct Dialect {
    char separator = ',';
    char decimalSign = 0;
    bool byteOrderMark = false;
};

// The points in input order, with the values of the carried columns, point after point.
struct Points {
    std::vector<std::uint32_t> types;
    std::vector<double> inputValues;
    std::vector<std::string> names;  // the carried columns'
    std::string text;                // every carried value
    std::vector<std::size_t> ends;   // where each value ends in `text`
    Dialect dialect;

    std::string_view Cell(std::size_t point, std::size_t column) const {
        const std::size_t cell = point * names.size() + column;
        const std::size_t begin = cell == 0 ? 0 : ends[cell - 1];
        return std::string_view(text).substr(begin, ends[cell] - begin);
    }
};

// Each throws Failure (kBadInput) with the message the rules give. ReadCsv reads `file`, named
// `source` in messages; ReadArguments one point TYPE:VALUE per argument, and without any the
// worked example 1:50 0:100 3:80; ReadSizes the sizes of `reduce`, read as input values are.
struct Layout;
Points ReadCsv(std::FILE* file, const std::string& source, const Layout& settings);
Points ReadArguments(const std::vector<std::string>& arguments);
std::vector<double> ReadSizes(const std::vector<std::string>& arguments);
// True for a plain decimal number: sign, digits with at most one '.' or ',' (put in `sign`, or
// 0), exponent.
bool IsDecimal(std::string_view text, char& sign);
// `text` with each control character written \xHH, as messages quote input.
std::string Shown(std::string_view text);

// The text of one number; a two-decimal rendering of the largest double fits.
struct NumberText {
    char data[352];
    std::size_t size = 0;
    [[nodiscard]] std::string_view View() const { return {data, size}; }
};
// The shortest digits that read back to the same double, laid out as JavaScript's toString does.
NumberText Shortest(double value, char decimalSign = '.');
NumberText SixDigits(double value);  // as printf's %.6g
NumberText Whole(std::uint64_t value);

// The C interface as loaded at run time; the functions live as long as `handle`.
struct Library {
    std::shared_ptr<void> handle;
    std::string path;  // where it was loaded from, or the bare name the system search found
    decltype(&KorvanGenerateSolution) generate = nullptr;
    decltype(&KorvanGetSmallestPossibleValves) smallest = nullptr;
    decltype(&KorvanDiagnose) diagnose = nullptr;
    decltype(&KorvanDescribeRule) describeRule = nullptr;
    decltype(&KorvanDescribeResult) describeResult = nullptr;
    decltype(&KorvanGetLibraryVersion) version = nullptr;
};

// Loads from `explicitPath` alone when it is not empty; otherwise beside this program, in the
// install's library folder, then by name. Throws Failure (kNoLibrary).
Library OpenLibrary(const std::string& explicitPath, const std::string& programPath);

struct Sizing {
    std::vector<KorvanSolutionEntry> entries;  // solved order; callerData is the input index
    KorvanSolutionTotals totals{};
};
struct Reduction {
    std::vector<double> sizes;  // as the library sorted them
    std::vector<double> smallest;
};
// Both throw Failure (kRefused) with the message the library's diagnosis gives.
Sizing Size(const Library& library, const Points& points);
Reduction Reduce(const Library& library, std::vector<double> sizes);

// Copies `text` to `to`. Most texts are a few bytes, a number or a separator: moves of fixed
// size, which overlap to cover every length, cost less than a call of memcpy.
inline void Copy(char* to, std::string_view text) {
    const std::size_t size = text.size();
    const char* const from = text.data();
    if (size > 16) {
        std::memcpy(to, from, size);
    } else if (size >= 8) {
        std::memcpy(to, from, 8);
        std::memcpy(to + size - 8, from + size - 8, 8);
    } else if (size >= 4) {
        std::memcpy(to, from, 4);
        std::memcpy(to + size - 4, from + size - 4, 4);
    } else if (size > 0) {
        to[0] = from[0];
        to[size / 2] = from[size / 2];
        to[size - 1] = from[size - 1];
    }
}

// A file written through a buffer; Finish throws Failure (kCannotWrite) with the system's
// reason for the first write that failed.
class Output {
public:
    Output(std::FILE* file, std::string name)
        : file_(file), name_(std::move(name)), buffer_(1 << 16) {}
    void Write(std::string_view text) {
        if (text.size() > buffer_.size() - used_) {
            Drain();
            buffer_.resize(std::max(buffer_.size(), text.size()));
        }
        Copy(buffer_.data() + used_, text);
        used_ += text.size();
    }
    void Write(char character) { Write(std::string_view(&character, 1)); }
    void Finish();

private:
    void Drain();
    std::FILE* file_;
    std::string name_;
    std::vector<char> buffer_;
    std::size_t used_ = 0;
    int error_ = 0;
};

enum class Format { kTable, kCsv, kJson };

// How the command line asks for output, and what it says of the CSV input (what it leaves open
// the input tells).
struct Layout {
    Format format = Format::kTable;
    Dialect dialect;  // of CSV output
    bool neutraliseFormulas = true;
    std::optional<char> separator;
    bool decimalComma = false;
};

void WriteSizing(Output& out, const Sizing& sizing, const Points& points, const Layout& layout);
void WriteTotals(Output& out, const KorvanSolutionTotals& totals, const Dialect& dialect);
void WriteReduction(Output& out, const Reduction& reduction, const Layout& layout);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_H
