// The inputs every benchmark and the instruction-count driver share: the small interactive calls
// and the realistic batches of points.
#ifndef KORVAN_BENCH_CASES_H
#define KORVAN_BENCH_CASES_H

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace bench {

struct Points {
    std::vector<std::uint32_t> types;
    std::vector<double> values;
};

// Three points of types 1, 0 and 3 with input values 50, 100 and 80: tolerance pass 15.
inline Points ThreePoints() {
    return {{1, 0, 3}, {50.0, 100.0, 80.0}};
}

// Seven points, the most the tolerance search takes, of every type and a wide spread of values.
inline Points SevenPoints() {
    return {{0, 1, 2, 3, 1, 0, 3}, {120.0, 45.0, 800.0, 300.0, 1500.0, 60.0, 950.0}};
}

// Two points of demand ratio 1700:1, which no tolerance below pass 100 fits: the slowest search.
inline Points SlowestTolerance() {
    return {{0, 0}, {1700.0, 1.0}};
}

// `count` points of every type with input values 1 to 2000, as a building's worth arrives.
inline Points RealisticPoints(std::size_t count, std::uint64_t seed) {
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<std::uint32_t> type(0, 3);
    std::uniform_real_distribution<double> value(1.0, 2000.0);
    Points points;
    points.types.reserve(count);
    points.values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        points.types.push_back(type(random));
        points.values.push_back(value(random));
    }
    return points;
}

// `count` sizes of the valve series in random order.
inline std::vector<double> SeriesSizes(std::size_t count, std::uint64_t seed) {
    constexpr double kSeries[] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
    std::mt19937_64 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, 6);
    std::vector<double> sizes;
    sizes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        sizes.push_back(kSeries[pick(random)]);
    }
    return sizes;
}

}  // namespace bench

#endif  // KORVAN_BENCH_CASES_H
