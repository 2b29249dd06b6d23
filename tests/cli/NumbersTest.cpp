// korvan-size's number texts: the layouts hosts read, and the fast roundings checked against
// std::to_chars, which rounds the exact binary value.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "Numbers.h"

namespace korvan_size {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr double kNotANumber = std::numeric_limits<double>::quiet_NaN();

std::uint64_t Bits(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string Text(const NumberText& text) {
    return std::string(text.View());
}

template <typename... Format>
std::string Reference(double value, Format... format) {
    char text[400];
    return std::string(text, std::to_chars(text, text + sizeof text, value, format...).ptr);
}

struct Layout {
    double value;
    const char* shortest;
    const char* json;
};

TEST(NumbersTest, LaysOutShortestDigitsAsBeforeForEveryFormat) {
    const Layout layouts[] = {{0.0, "0", "0.0"},
                              {-0.0, "-0", "-0.0"},
                              {300.0, "300", "300.0"},
                              {1e14, "100000000000000", "100000000000000.0"},
                              {1e15, "1000000000000000", "1e+15"},
                              {1e16, "1e+16", "1e+16"},
                              {2.5e20, "2.5e+20", "2.5e+20"},
                              {0.0001, "0.0001", "0.0001"},
                              {1.25e-5, "1.25e-05", "1.25e-05"},
                              {5.348333333333334, "5.348333333333334", "5.348333333333334"},
                              {-1e-300, "-1e-300", "-1e-300"},
                              {kInfinity, "inf", "null"},
                              {-kInfinity, "-inf", "null"},
                              {kNotANumber, "nan", "null"}};
    for (const Layout& layout : layouts) {
        EXPECT_EQ(Text(Shortest(layout.value)), layout.shortest) << layout.value;
        EXPECT_EQ(Text(JsonNumber(layout.value)), layout.json) << layout.value;
    }
}

// Values on and around the cases where rounding the shortest digits could go wrong: ties,
// carries, subnormal values and large values at two decimals.
TEST(NumbersTest, RoundsAsPrintfAtTheEdges) {
    const double values[] = {0.005,
                             0.015,
                             0.125,
                             -0.125,
                             2.5,
                             0.995,
                             9.995,
                             -99.995,
                             999999.5,
                             9999995.0,
                             123456.5,
                             0.0004,
                             -0.0004,
                             1e13,
                             1e13 + 0.125,
                             9.999999e12 + 0.125,
                             4.9e-324,
                             2.2250738585072014e-308,
                             1.7976931348623157e308,
                             -4.84,
                             0.0};
    for (const double value : values) {
        EXPECT_EQ(Text(SixDigits(value)), Reference(value, std::chars_format::general, 6));
        EXPECT_EQ(Text(TwoDecimals(value)), Reference(value + 0.0, std::chars_format::fixed, 2));
    }
}

TEST(NumbersTest, RoundsAsPrintfAndReadsBackOverRandomDoubles) {
    std::mt19937_64 random(14);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same cases each run
    std::uniform_real_distribution<double> usual(-3000.0, 3000.0);
    for (int round = 0; round < 200000; ++round) {
        const std::uint64_t bits = random();
        double any = 0.0;
        std::memcpy(&any, &bits, sizeof any);
        for (const double value : {any, usual(random), std::floor(usual(random) * 100) / 100}) {
            ASSERT_EQ(Text(SixDigits(value)), Reference(value, std::chars_format::general, 6));
            ASSERT_EQ(Text(TwoDecimals(value)),
                      Reference(value + 0.0, std::chars_format::fixed, 2));
            if (std::isfinite(value)) {
                const std::string text = Text(Shortest(value));
                double back = 0.0;
                std::from_chars(text.data(), text.data() + text.size(), back);
                ASSERT_EQ(Bits(back), Bits(value)) << text;
            }
        }
    }
}

TEST(NumbersTest, ReadsDoublesInEitherDecimalSign) {
    EXPECT_EQ(ReadDouble("+1.5", false).value, 1.5);
    EXPECT_EQ(ReadDouble("1,5", true).value, 1.5);
    EXPECT_EQ(ReadDouble("-2e3", true).value, -2000.0);
    EXPECT_TRUE(std::isinf(ReadDouble("inf", false).value));
    for (const char* text : {"", " 1", "1 ", "1,5", "+-1", "0x10", "1.5.2"}) {
        EXPECT_EQ(ReadDouble(text, false).problem, NumberProblem::kNotANumber) << text;
    }
    // With a decimal comma a point may be a thousands separator: never read as a decimal point.
    EXPECT_EQ(ReadDouble("1.500", true).problem, NumberProblem::kNotANumber);
    EXPECT_EQ(ReadDouble("1e999", false).problem, NumberProblem::kBeyondDouble);
}

TEST(NumbersTest, ReadsTypesAsPlainWholeNumbers) {
    EXPECT_EQ(ReadWholeNumber("3"), 3U);
    EXPECT_EQ(ReadWholeNumber("03"), 3U);
    for (const char* text : {"", "+3", "-1", "1.0", "3 ", "4294967296"}) {
        EXPECT_FALSE(ReadWholeNumber(text).has_value()) << text;
    }
}

}  // namespace
}  // namespace korvan_size
