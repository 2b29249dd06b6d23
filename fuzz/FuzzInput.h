// Reading a fuzzer's bytes as the values a host might pass, with the awkward ones (zeros, signed
// zeros, infinities, not-a-number, denormals, the extremes) drawn often, and the checks a harness
// makes on what the library did.
#ifndef KORVAN_FUZZ_FUZZ_INPUT_H
#define KORVAN_FUZZ_FUZZ_INPUT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace korvan_fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // The next byte, or 0 once the input is used up.
    std::uint8_t Byte() { return position_ < size_ ? data_[position_++] : 0; }

    std::uint64_t Word() {
        std::uint64_t word = 0;
        for (int i = 0; i < 8; ++i) {
            word = (word << 8U) | Byte();
        }
        return word;
    }

    // A double: a special value, a raw bit pattern, or a plain decimal-looking magnitude.
    double Value() {
        const std::uint8_t selector = Byte();
        switch (selector % 4U) {
            case 0:
                return Special(selector / 4U);
            case 1: {
                const std::uint64_t bits = Word();
                double value = 0.0;
                std::memcpy(&value, &bits, sizeof value);
                return value;
            }
            default: {
                constexpr double kScales[] = {1e-3, 0.01, 0.1, 1.0, 10.0, 100.0, 1e3, 1e5};
                const unsigned high = Byte();
                const unsigned low = Byte();
                const auto digits = static_cast<double>(1U + high * 256U + low);
                return digits * kScales[(selector / 4U) % 8U];
            }
        }
    }

    static double Special(unsigned index) {
        constexpr double kSpecials[] = {0.0,
                                        -0.0,
                                        std::numeric_limits<double>::quiet_NaN(),
                                        std::numeric_limits<double>::infinity(),
                                        -std::numeric_limits<double>::infinity(),
                                        std::numeric_limits<double>::denorm_min(),
                                        std::numeric_limits<double>::min(),
                                        std::numeric_limits<double>::max(),
                                        -1.0,
                                        1e300,
                                        1e-300,
                                        1.0,
                                        0.5,
                                        0.3,
                                        0.03,
                                        1e-310};
        return kSpecials[index % (sizeof kSpecials / sizeof kSpecials[0])];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Ends the run with the broken property named, so that the fuzzer keeps the input.
inline void Require(bool holds, const char* property) {
    if (!holds) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

}  // namespace korvan_fuzz

#endif  // KORVAN_FUZZ_FUZZ_INPUT_H
