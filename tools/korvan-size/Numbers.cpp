#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <cstring>
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
NumberText ShortestLaidOut(double value, int firstScientific, bool pointForWhole) {
    NumberText text;
    const Decimal decimal = ShortestDecimal(value);
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
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || stop != end) {
        return {0.0, NumberProblem::kNotANumber};
    }
    if (error == std::errc::result_out_of_range) {
        return {0.0, NumberProblem::kBeyondDouble};
    }
    return {value, error == std::errc() ? NumberProblem::kNone : NumberProblem::kNotANumber};
}

std::optional<std::uint32_t> ReadWholeNumber(std::string_view text) {
    std::uint32_t number = 0;
    const char* const end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    if (text.empty() || error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

NumberText Shortest(double value) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    return ShortestLaidOut(value, 16, false);
}

NumberText JsonNumber(double value) {
    if (!std::isfinite(value)) {
        NumberText text;
        Append(text, "null");
        return text;
    }
    return ShortestLaidOut(value, 15, true);
}

NumberText WholeNumber(std::uint64_t value) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value).ptr - text.data);
    return text;
}

NumberText SixDigits(double value) {
    return Printed(value, std::chars_format::general, 6);
}

NumberText TwoDecimals(double value) {
    // Adding zero turns a negative zero into a positive one.
    return Printed(value + 0.0, std::chars_format::fixed, 2);
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
