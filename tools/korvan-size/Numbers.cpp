// Numbers as korvan-size writes them, the same in every locale. All start from the shortest
// digits, which std::to_chars finds far faster than it rounds the exact value to a precision.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "korvan-size.h"

namespace korvan_size {
namespace {

// A finite double as its shortest decimal digits d1 d2 ... dn and the exponent of d1.
struct Decimal {
    bool negative = false;
    char digits[24] = {};
    std::size_t count = 0;
    int exponent = 0;
};

Decimal ShortestDecimal(double value) {
    char text[40];
    const char* const end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    Decimal decimal;
    const char* at = text;
    decimal.negative = *at == '-';
    at += decimal.negative ? 1 : 0;
    for (; *at != 'e'; ++at) {
        if (*at != '.') {
            decimal.digits[decimal.count++] = *at;
        }
    }
    at += at[1] == '+' ? 2 : 1;  // std::from_chars reads a '-' but not a '+'
    std::from_chars(at, end, decimal.exponent);
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

// Plain decimal for exponents from `plainFrom` up to but excluding `plainTo`, else one digit, the
// rest after the point, and the exponent with at least `exponentDigits` digits.
NumberText LaidOut(const Decimal& decimal, int plainFrom, int plainTo, int exponentDigits,
                   char point = '.') {
    NumberText text;
    const std::string_view digits(decimal.digits, decimal.count);
    const std::string_view pointText(&point, 1);
    if (decimal.negative) {
        Append(text, "-");
    }
    if (decimal.exponent < plainFrom || decimal.exponent >= plainTo) {
        Append(text, digits.substr(0, 1));
        if (digits.size() > 1) {
            Append(text, pointText);
        }
        Append(text, digits.substr(1));
        Append(text, "e");
        Append(text, decimal.exponent < 0 ? std::string_view("-") : std::string_view("+"));
        const int magnitude = std::abs(decimal.exponent);
        if (exponentDigits == 2 && magnitude < 10) {
            Append(text, "0");
        }
        text.size = static_cast<std::size_t>(
            std::to_chars(text.data + text.size, text.data + sizeof text.data, magnitude).ptr -
            text.data);
    } else if (decimal.exponent < 0) {
        Append(text, "0");
        Append(text, pointText);
        AppendRepeated(text, '0', static_cast<std::size_t>(-decimal.exponent - 1));
        Append(text, digits);
    } else {
        const auto whole = static_cast<std::size_t>(decimal.exponent) + 1;
        Append(text, digits.substr(0, whole));
        AppendRepeated(text, '0', whole - std::min(whole, digits.size()));
        if (digits.size() > whole) {
            Append(text, pointText);
            Append(text, digits.substr(whole));
        }
    }
    return text;
}

// The shortest digits rounded to `keep` significant digits (0 or less rounds before the first),
// as printf rounds the exact value. Rounding the shortest digits gives the same result except
// where they end exactly on a 5 at the cut: the exact value may lie on either side of it, so that
// case is left to the caller (false).
bool Round(Decimal& decimal, int keep) {
    if (keep < 0) {
        decimal = Decimal{decimal.negative, {'0'}, 1, 0};
        return true;
    }
    const auto cut = static_cast<std::size_t>(keep);
    if (decimal.count <= cut) {
        return true;
    }
    const bool beyond = std::any_of(decimal.digits + cut + 1, decimal.digits + decimal.count,
                                    [](char digit) { return digit != '0'; });
    const char first = decimal.digits[cut];
    if (first == '5' && !beyond) {
        return false;
    }
    decimal.count = cut;
    if (first >= '5') {
        std::size_t at = cut;
        while (at > 0 && decimal.digits[at - 1] == '9') {
            decimal.digits[--at] = '0';
        }
        if (at == 0) {  // every kept digit carried over, or none was kept
            decimal.digits[0] = '1';
            decimal.count = 1;
            ++decimal.exponent;
        } else {
            ++decimal.digits[at - 1];
        }
    }
    if (decimal.count == 0) {
        decimal = Decimal{decimal.negative, {'0'}, 1, 0};
    }
    while (decimal.count > 1 && decimal.digits[decimal.count - 1] == '0') {
        --decimal.count;
    }
    return true;
}

template <typename... Format>
NumberText Printed(double value, Format... format) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value, format...).ptr - text.data);
    return text;
}

}  // namespace

NumberText Shortest(double value, char decimalSign) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    return LaidOut(ShortestDecimal(value), -6, 21, 1, decimalSign);
}

NumberText Whole(std::uint64_t value) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value).ptr - text.data);
    return text;
}

// Rounding the shortest digits holds while the digit rounded at is coarser than the gap to the
// neighbouring doubles: not so for subnormal values at six digits, nor from 1e13 on at two
// decimals; there, and on the 5 of a tie, std::to_chars rounds the exact value.
NumberText SixDigits(double value) {
    if (!std::isfinite(value)) {
        return Printed(value);
    }
    Decimal decimal = ShortestDecimal(value);
    if ((value != 0.0 && std::fabs(value) < std::numeric_limits<double>::min()) ||
        !Round(decimal, 6)) {
        return Printed(value, std::chars_format::general, 6);
    }
    return LaidOut(decimal, -4, 6, 2);
}

NumberText TwoDecimals(double value) {
    const double positiveZero = value + 0.0;  // adding zero turns -0 into 0
    if (!std::isfinite(positiveZero) || std::fabs(positiveZero) >= 1e13) {
        return Printed(positiveZero, std::chars_format::fixed, 2);
    }
    Decimal decimal = ShortestDecimal(positiveZero);
    if (!Round(decimal, decimal.exponent + 3)) {
        return Printed(positiveZero, std::chars_format::fixed, 2);
    }
    NumberText text;
    if (decimal.negative) {
        Append(text, "-");
    }
    const std::string_view digits(decimal.digits, decimal.count);
    const bool zero = digits == "0";
    for (int power = std::max(decimal.exponent, 0); power >= -2; --power) {
        const int index = decimal.exponent - power;
        const bool inside = !zero && index >= 0 && static_cast<std::size_t>(index) < digits.size();
        text.data[text.size++] = inside ? digits[static_cast<std::size_t>(index)] : '0';
        if (power == 0) {
            Append(text, ".");
        }
    }
    return text;
}

}  // namespace korvan_size
