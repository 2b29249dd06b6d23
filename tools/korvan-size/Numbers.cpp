// Numbers as korvan-size writes them, the same in every locale.
#include <charconv>
#include <cmath>
#include <cstring>

#include "korvan-size.h"

namespace korvan_size {
namespace {

template <typename... Format>
NumberText Printed(double value, Format... format) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value, format...).ptr - text.data);
    return text;
}

}  // namespace

// std::to_chars gives the shortest digits as d.ddde±x; they are laid out again as JavaScript's
// Number.prototype.toString lays them out: plain decimal for exponents from -7 to 20.
NumberText Shortest(double value, char decimalSign) {
    char scientific[32];
    const std::string_view written(
        scientific,
        static_cast<std::size_t>(std::to_chars(scientific, scientific + sizeof scientific, value,
                                               std::chars_format::scientific)
                                     .ptr -
                                 scientific));
    std::size_t e = 0;
    while (e < written.size() && written[e] != 'e') {
        ++e;
    }
    NumberText text;
    const auto append = [&](std::string_view part, std::size_t zeros = 0) {
        std::memcpy(text.data + text.size, part.data(), part.size());
        std::memset(text.data + text.size + part.size(), '0', zeros);
        text.size += part.size() + zeros;
    };
    if (e == written.size()) {  // inf or nan
        append(written);
        return text;
    }
    int exponent = 0;
    std::from_chars(written.data() + e + (written[e + 1] == '+' ? 2 : 1), written.end(), exponent);
    const std::size_t sign = written[0] == '-' ? 1 : 0;
    char shortest[24];
    std::size_t count = 0;
    for (const char c : written.substr(sign, e - sign)) {
        shortest[count] = c;
        count += c != '.' ? 1 : 0;
    }
    const std::string_view digits(shortest, count);
    const std::string_view point(&decimalSign, 1);
    append(written.substr(0, sign));
    if (exponent < -6 || exponent > 20) {
        append(digits.substr(0, 1));
        append(digits.size() > 1 ? point : std::string_view());
        append(digits.substr(1));
        append(exponent < 0 ? "e-" : "e+");
        append(Whole(static_cast<std::uint64_t>(std::abs(exponent))).View());
    } else if (exponent < 0) {
        append("0");
        append(point, static_cast<std::size_t>(-exponent - 1));
        append(digits);
    } else {
        const auto whole = static_cast<std::size_t>(exponent) + 1;
        append(digits.substr(0, whole), whole - std::min(whole, digits.size()));
        if (digits.size() > whole) {
            append(point);
            append(digits.substr(whole));
        }
    }
    return text;
}

NumberText Whole(std::uint64_t value) {
    NumberText text;
    text.size = static_cast<std::size_t>(
        std::to_chars(text.data, text.data + sizeof text.data, value).ptr - text.data);
    return text;
}

NumberText SixDigits(double value) {
    return Printed(value, std::chars_format::general, 6);
}

NumberText TwoDecimals(double value) {
    return Printed(value + 0.0, std::chars_format::fixed, 2);  // adding zero turns -0 into 0
}

}  // namespace korvan_size
