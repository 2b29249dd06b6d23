// korvan-size's number texts: the layouts hosts read, and the fast roundings checked against
// std::to_chars, which rounds the exact binary value.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "korvan-size.h"

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

struct Layout {
    double value;
    const char* shortest;
};

// JavaScript's Number.prototype.toString layout of the shortest digits, which every front end
// writes (tests/golden/README.md).
TEST(NumbersTest, LaysOutShortestDigitsAsJavaScriptDoes) {
    const Layout layouts[] = {{0.0, "0"},
                              {-0.0, "-0"},
                              {300.0, "300"},
                              {0.2, "0.2"},
                              {-4.84, "-4.84"},
                              {1e20, "100000000000000000000"},
                              {123456789012345678901.0, "123456789012345680000"},
                              {1e21, "1e+21"},
                              {1.5e21, "1.5e+21"},
                              {0.000001, "0.000001"},
                              {1.25e-6, "0.00000125"},
                              {1e-7, "1e-7"},
                              {1.5e-7, "1.5e-7"},
                              {0.0026741666666666667, "0.0026741666666666667"},
                              {5.348333333333334, "5.348333333333334"},
                              {-1e-300, "-1e-300"},
                              {4.9e-324, "5e-324"},
                              {1.7976931348623157e308, "1.7976931348623157e+308"},
                              {kInfinity, "inf"},
                              {-kInfinity, "-inf"},
                              {kNotANumber, "nan"}};
    for (const Layout& layout : layouts) {
        EXPECT_EQ(Text(Shortest(layout.value)), layout.shortest) << layout.value;
    }
    EXPECT_EQ(Text(Shortest(0.0026741666666666667, ',')), "0,0026741666666666667");
    EXPECT_EQ(Text(Shortest(1.5e21, ',')), "1,5e+21");
    EXPECT_EQ(Text(Shortest(300.0, ',')), "300");
}

// Every layout reads back to the same double, whatever its exponent, and six digits are rounded
// from the shortest digits as printf rounds the exact value.
TEST(NumbersTest, RoundsSixDigitsAtTheEdges) {
    for (const double value : {0.125, 2.5, 999999.5, 9999995.0, 123456.5, 0.00012345650, 4.9e-324,
                               1.7976931348623157e308, -4.84, 0.0, -0.0, 9.999995, 1e21}) {
        char printed[400];
        const char* const end =
            std::to_chars(printed, printed + sizeof printed, value, std::chars_format::general, 6)
                .ptr;
        EXPECT_EQ(Text(SixDigits(value)), std::string(static_cast<const char*>(printed), end))
            << value;
    }
}

TEST(NumbersTest, ReadsBackAndRoundsOverRandomDoubles) {
    std::mt19937_64 random(14);  // NOLINT(cert-msc32-c,cert-msc51-cpp): the same cases each run
    std::uniform_real_distribution<double> usual(-3000.0, 3000.0);
    for (int round = 0; round < 200000; ++round) {
        const std::uint64_t bits = random();
        double any = 0.0;
        std::memcpy(&any, &bits, sizeof any);
        for (const double value : {any, usual(random), std::floor(usual(random) * 100) / 100}) {
            char printed[400];
            const char* const end = std::to_chars(printed, printed + sizeof printed, value,
                                                  std::chars_format::general, 6)
                                        .ptr;
            ASSERT_EQ(Text(SixDigits(value)), std::string(static_cast<const char*>(printed), end))
                << value;
            if (std::isfinite(value)) {
                const std::string text = Text(Shortest(value));
                double back = 0.0;
                std::from_chars(text.data(), text.data() + text.size(), back);
                ASSERT_EQ(Bits(back), Bits(value)) << text;
            }
        }
    }
}

// The number syntax of input values, which also tells a plain number from a formula.
TEST(NumbersTest, TellsPlainDecimalNumbers) {
    const std::pair<const char*, char> numbers[] = {{"5", 0},     {"-5", 0},   {"+3.2", '.'},
                                                    {"7,5", ','}, {"5.", '.'}, {".5", '.'},
                                                    {"-1e5", 0},  {"1E-3", 0}, {"2,5e+3", ','}};
    for (const auto& [text, sign] : numbers) {
        char found = 'x';
        EXPECT_TRUE(IsDecimal(text, found)) << text;
        EXPECT_EQ(found, sign) << text;
    }
    for (const char* text : {"", "+", "-", ".", "e5", "1e", "1e+", " 1", "1 ", "1.5.2", "1.500,25",
                             "+-1", "0x10", "inf", "-inf", "nan", "1_000", "=1"}) {
        char found = 0;
        EXPECT_FALSE(IsDecimal(text, found)) << text;
    }
}

}  // namespace
}  // namespace korvan_size
