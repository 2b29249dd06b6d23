#include "Numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <system_error>

namespace korvan_size {
namespace {

// A finite double as its shortest decimal digits d1 d2 ... dn and the exponent of d1.
struct Decimal {
    bool negative = false;
    char digits[24] = {};
    std::size_t digitCount = 0;
    int exponent = 0;
};

Decimal ShortestDecimal(double value) {
    char text[40];
    const std::to_chars_result written =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    Decimal decimal;
    const char* at = text;
    if (*at == '-') {
        decimal.negative = true;
        ++at;
    }
    for (; *at != 'e'; ++at) {
        if (*at != '.') {
            decimal.digits[decimal.digitCount++] = *at;
        }
    }
    ++at;  // the 'e'; std::from_chars reads the exponent's sign but not a '+'
    if (*at == '+') {
        ++at;
    }
    std::from_chars(at, written.ptr, decimal.exponent);
    return decimal;
}

void Append(NumberText& text, std::string_view part) {
    std::memcpy(text.data + text.size, part.data(), part.size());
    text.size += part.size();
}

void AppendRepeated(NumberText& text, char character, std::size_t count) {
    std::memset(text.data + text.size, character, count);
    text.size += count;
}

void AppendExponent(NumberText& text, int exponent) {
    Append(text, exponent < 0 ? "e-" : "e+");
    const int magnitude = std::abs(exponent);
    if (magnitude < 10) {
        Append(text, "0");
    }
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data + text.size, text.data + sizeof text.data, magnitude).ptr -
        text.data);
}

// Fixed notation for exponents from -4 up to but excluding `firstScientific`, else scientific.
NumberText LaidOut(const Decimal& decimal, int firstScientific, bool pointForWhole) {
    NumberText text;
    const std::string_view digits(decimal.digits, decimal.digitCount);
    if (decimal.negative) {
        Append(text, "-");
    }
    if (decimal.exponent < -4 || decimal.exponent >= firstScientific) {
        Append(text, digits.substr(0, 1));
        if (digits.size() > 1) {
            Append(text, ".");
            Append(text, digits.substr(1));
        }
        AppendExponent(text, decimal.exponent);
        return text;
    }
    if (decimal.exponent < 0) {
        Append(text, "0.");
        AppendRepeated(text, '0', static_cast<std::size_t>(-decimal.exponent - 1));
        Append(text, digits);
        return text;
    }
    const auto wholeDigits = static_cast<std::size_t>(decimal.exponent) + 1;
    if (digits.size() <= wholeDigits) {
        Append(text, digits);
        AppendRepeated(text, '0', wholeDigits - digits.size());
        if (pointForWhole) {
            Append(text, ".0");
        }
        return text;
    }
    Append(text, digits.substr(0, wholeDigits));
    Append(text, ".");
    Append(text, digits.substr(wholeDigits));
    return text;
}

void DropTrailingZeros(Decimal& decimal) {
    while (decimal.digitCount > 1 && decimal.digits[decimal.digitCount - 1] == '0') {
        --decimal.digitCount;
    }
}

// The shortest digits of a double rounded to `keep` significant digits (0 rounds to the digit
// position before the first), as printf rounds the exact value. Rounding the shortest digits
// gives the same result except where they end exactly on a 5 at the cut: the exact value may lie
// on either side of it, so that case is left to the caller (nullopt).
std::optional<Decimal> Rounded(Decimal decimal, int keep) {
    if (keep < 0) {
        return Decimal{decimal.negative, {'0'}, 1, 0};
    }
    const auto cut = static_cast<std::size_t>(keep);
    if (decimal.digitCount <= cut) {
        return decimal;
    }
    const char first = decimal.digits[cut];
    bool beyond = false;
    for (std::size_t at = cut + 1; at < decimal.digitCount; ++at) {
        beyond = beyond || decimal.digits[at] != '0';
    }
    if (first == '5' && !beyond) {
        return std::nullopt;
    }
    const bool up = first > '5' || (first == '5' && beyond);
    decimal.digitCount = cut;
    if (up) {
        std::size_t at = cut;
        while (at > 0 && decimal.digits[at - 1] == '9') {
            decimal.digits[--at] = '0';
        }
        if (at == 0) {
            // Every kept digit carried over, or none was kept: one digit more to the left.
            decimal.digits[0] = '1';
            decimal.digitCount = 1;
            ++decimal.exponent;
        } else {
            ++decimal.digits[at - 1];
        }
    }
    if (decimal.digitCount == 0) {
        return Decimal{decimal.negative, {'0'}, 1, 0};
    }
    DropTrailingZeros(decimal);
    return decimal;
}

// Fixed notation with exactly two decimals.
NumberText TwoDecimalsOf(const Decimal& decimal) {
    NumberText text;
    if (decimal.negative) {
        Append(text, "-");
    }
    const std::string_view digits(decimal.digits, decimal.digitCount);
    const auto digitAt = [&](int power) {
        const int index = decimal.exponent - power;  // power of ten the digit stands for
        return index >= 0 && static_cast<std::size_t>(index) < digits.size()
                   ? digits[static_cast<std::size_t>(index)]
                   : '0';
    };
    const bool zero = digits == "0";
    for (int power = std::max(decimal.exponent, 0); power >= 0; --power) {
        text.data[text.size++] = zero ? '0' : digitAt(power);
    }
    Append(text, ".");
    text.data[text.size++] = zero ? '0' : digitAt(-1);
    text.data[text.size++] = zero ? '0' : digitAt(-2);
    return text;
}

template <typename... Format>
NumberText Printed(double value, Format... format) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value, format...).ptr - text.data);
    return text;
}

}  // namespace

ParsedNumber ReadDouble(std::string_view text, bool decimalComma) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') {
        text.remove_prefix(1);
    }
    std::string pointed;
    if (decimalComma) {
        if (text.find('.') != std::string_view::npos) {
            return {0.0, NumberProblem::kNotANumber};
        }
        pointed.assign(text);
        const std::size_t comma = pointed.find(',');
        if (comma != std::string::npos) {
            pointed[comma] = '.';
        }
        text = pointed;
    }
    double value = 0.0;
    const char* const end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, value);
    if (text.empty() || read.ptr != end) {
        return {0.0, NumberProblem::kNotANumber};
    }
    if (read.ec == std::errc::result_out_of_range) {
        return {0.0, NumberProblem::kBeyondDouble};
    }
    return {value, read.ec == std::errc() ? NumberProblem::kNone : NumberProblem::kNotANumber};
}

std::optional<std::uint32_t> ReadWholeNumber(std::string_view text) {
    std::uint32_t number = 0;
    const char* const end = text.data() + text.size();
    const std::from_chars_result read = std::from_chars(text.data(), end, number);
    if (text.empty() || read.ec != std::errc() || read.ptr != end) {
        return std::nullopt;
    }
    return number;
}

NumberText Shortest(double value) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    return LaidOut(ShortestDecimal(value), 16, false);
}

NumberText JsonNumber(double value) {
    if (!std::isfinite(value)) {
        NumberText text;
        Append(text, "null");
        return text;
    }
    return LaidOut(ShortestDecimal(value), 15, true);
}

NumberText WholeNumber(std::uint64_t value) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value).ptr - text.data);
    return text;
}

// Both come from the shortest digits, which std::to_chars finds far faster than it rounds the
// exact value to a precision. That holds while the digit rounded at is coarser than the gap to
// the neighbouring doubles (not so for subnormal values at six digits, nor from 1e13 on at two
// decimals); there, and where the shortest digits end on the 5 of a tie, std::to_chars rounds.
NumberText SixDigits(double value) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    if (value != 0.0 && std::fabs(value) < std::numeric_limits<double>::min()) {
        return Printed(value, std::chars_format::general, 6);
    }
    const std::optional<Decimal> rounded = Rounded(ShortestDecimal(value), 6);
    return rounded ? LaidOut(*rounded, 6, false) : Printed(value, std::chars_format::general, 6);
}

NumberText TwoDecimals(double value) {
    // Adding zero turns a negative zero into a positive one.
    const double withoutNegativeZero = value + 0.0;
    if (!std::isfinite(withoutNegativeZero)) {
        return Printed(withoutNegativeZero);
    }
    if (std::fabs(withoutNegativeZero) >= 1e13) {
        return Printed(withoutNegativeZero, std::chars_format::fixed, 2);
    }
    const Decimal decimal = ShortestDecimal(withoutNegativeZero);
    const std::optional<Decimal> rounded = Rounded(decimal, decimal.exponent + 3);
    return rounded ? TwoDecimalsOf(*rounded)
                   : Printed(withoutNegativeZero, std::chars_format::fixed, 2);
}

NumberText WithDecimalComma(NumberText text) {
    for (std::size_t at = 0; at < text.size; ++at) {
        if (text.data[at] == '.') {
            text.data[at] = ',';
        }
    }
    return text;
}

}  // namespace korvan_size
