// Numbers as korvan-size reads and writes them, the same in every locale. Doubles written for
// programs read back to the same double.
#ifndef KORVAN_SIZE_NUMBERS_H
#define KORVAN_SIZE_NUMBERS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace korvan_size {

enum class NumberProblem { kNone, kNotANumber, kBeyondDouble };

struct ParsedNumber {
    double value;
    NumberProblem problem;
};

// A double written in full, as std::from_chars reads it ("inf" and "nan" included), with an
// optional leading '+'. With `decimalComma` the decimal separator is ',' and a '.' is refused, so
// that a thousands separator is never read as a decimal point.
ParsedNumber ReadDouble(std::string_view text, bool decimalComma);

// A whole number of 0 or more written in plain digits.
std::optional<std::uint32_t> ReadWholeNumber(std::string_view text);

// The text of one number, held without allocating.
struct NumberText {
    char data[352];  // a two-decimal fixed rendering of the largest double fits
    std::size_t size = 0;
    std::string_view View() const { return {data, size}; }
};

// The shortest text that reads back to the same double: fixed notation for decimal exponents
// from -4 to 15 (100, 0.0001), scientific otherwise (1e+16, 1e-05).
NumberText Shortest(double value);

// Shortest, as a JSON number: whole numbers keep ".0" (300.0), scientific from 1e+15 on, and a
// value that is not finite is null.
NumberText JsonNumber(double value);

// A whole number in plain digits.
NumberText WholeNumber(std::uint64_t value);

// Six significant digits, as printf's %.6g.
NumberText SixDigits(double value);

// Two decimals, as printf's %.2f; a negative zero is written 0.00.
NumberText TwoDecimals(double value);

// `text` with its decimal point written as a comma.
NumberText WithDecimalComma(NumberText text);

}  // namespace korvan_size

#endif  // KORVAN_SIZE_NUMBERS_H
