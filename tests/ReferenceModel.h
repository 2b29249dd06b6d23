// A second, deliberately plain model of the whole calculation, written step by step from the
// sizing rules without any of the library's shortcuts: work lists refilled for every group, the
// chosen sizes copied, sorted and scanned position by position. Tests compare the library with it
// bit for bit. It assumes well-formed input (demands positive and finite).
#ifndef KORVAN_TESTS_REFERENCE_MODEL_H
#define KORVAN_TESTS_REFERENCE_MODEL_H

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "KorvanCalcValueProvider.h"

namespace reference {

struct Pair {
    int base;
    int step;
    double ratio;
    double size;
};

inline std::vector<Pair> RatioTable() {
    const double series[7] = {0.5, 0.3, 0.2, 0.16, 0.1, 0.06, 0.03};
    std::vector<Pair> table;
    for (int g = 0; g < 7; ++g) {
        for (int k = 0; g + k < 7; ++k) {
            table.push_back({g, k, series[g] / series[g + k], series[g + k]});
        }
    }
    return table;
}

inline std::vector<Pair> Group(const std::vector<Pair>& table, int group) {
    std::vector<Pair> entries;
    for (const Pair& pair : table) {
        if (pair.base == group) {
            entries.push_back(pair);
        }
    }
    return entries;
}

inline double FactorOf(std::uint32_t type) {
    const double factors[4] = {2.25, 5.62, 2.25, 1.5};
    if (type >= 4) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    return factors[type];
}

inline double NewDemand(std::uint32_t type, double value) {
    return ((FactorOf(type) * value) * 0.001) * 4;
}

inline double RecomputedDemand(std::uint32_t type, double value) {
    return ((value * FactorOf(type)) * 0.001) * 2;
}

inline bool Fits(const Pair& pair, const SolutionEntry& point) {
    return pair.ratio >= point.ratioMin && pair.ratio <= point.ratioMax;
}

inline int MatchWithinTolerance(SolutionVector& solution, const std::vector<Pair>& table,
                                double plus, double minus, int& group) {
    for (SolutionEntry& point : solution) {
        point.ratioMax = (plus / 100 + 1) * point.ratio;
        point.ratioMin = (minus / 100 + 1) * point.ratio;
    }
    int g = 0;
    std::vector<Pair> entries = Group(table, g);
    for (;;) {
        bool all = true;
        for (const SolutionEntry& point : solution) {
            bool any = false;
            for (const Pair& pair : entries) {
                any = any || Fits(pair, point);
            }
            if (!any) {
                all = false;
                break;
            }
        }
        if (all) {
            group = g;
            return 0;
        }
        ++g;
        entries = Group(table, g);
        if (solution.size() > entries.size()) {
            return 1168;
        }
    }
}

inline void AssignFromGroup(SolutionVector& solution, const std::vector<Pair>& table, int group) {
    const std::vector<Pair> entries = Group(table, group);
    for (SolutionEntry& point : solution) {
        for (const Pair& pair : entries) {
            if (Fits(pair, point)) {
                point.valveSize = pair.size;
                break;
            }
        }
    }
}

inline void AssignNearestRatio(SolutionVector& solution, const std::vector<Pair>& candidates) {
    for (SolutionEntry& point : solution) {
        const double d = point.ratio;
        Pair best = candidates[0];
        for (std::size_t p = 0; p + 1 < candidates.size(); ++p) {
            const Pair& a = candidates[p];
            const Pair& b = candidates[p + 1];
            const Pair taken = std::fabs(d - b.ratio) < std::fabs(d - a.ratio) ? b : a;
            if (taken.ratio == d) {
                best = taken;
                break;
            }
            if (std::fabs(d - taken.ratio) < std::fabs(d - best.ratio)) {
                best = taken;
            }
        }
        point.valveSize = best.size;
    }
}

// Returns the result code; appends to `smallest` only on 0. Unmatched sets give 13.
inline int SmallestPossibleValves(std::vector<double>& sizes, std::vector<double>& smallest) {
    std::sort(sizes.begin(), sizes.end(), [](double a, double b) {
        if (std::isnan(a)) {
            return false;
        }
        return std::isnan(b) || a > b;
    });
    if (sizes.empty()) {
        throw std::out_of_range("invalid vector<T> subscript");
    }
    std::vector<double> distinct{sizes[0]};
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        if (!(sizes[i] == sizes[i - 1])) {
            distinct.push_back(sizes[i]);
        }
    }
    std::vector<double> slotRatio;
    for (const double d : distinct) {
        if (d <= 0) {
            return 160;
        }
        slotRatio.push_back(distinct[0] / d);
    }
    const std::vector<Pair> table = RatioTable();
    std::vector<std::size_t> slotIndex(slotRatio.size(), 0);
    std::size_t b = 27;
    std::size_t j = slotRatio.size() - 1;
    for (;;) {
        if (table[b].ratio == slotRatio[j]) {
            slotIndex[j] = b;
            if (j == 0) {
                break;
            }
            if (b == 0) {
                return 13;
            }
            --j;
            --b;
        } else {
            if (table[b].step == 0) {
                j = slotRatio.size() - 1;
            }
            if (b == 0) {
                return 13;
            }
            --b;
        }
    }
    std::size_t k = 0;
    smallest.push_back(table[slotIndex[0]].size);
    for (std::size_t i = 1; i < sizes.size(); ++i) {
        if (!(sizes[i] == sizes[i - 1])) {
            ++k;
        }
        smallest.push_back(table[slotIndex[k]].size);
    }
    return 0;
}

inline double Deviation(double demand, double size, double scale, double* raw = nullptr) {
    const double q = 100 / demand;
    double t = size * scale;
    t = t - demand;
    const double r = t * q;
    if (raw != nullptr) {
        *raw = r;
    }
    return std::floor(r * 100) / 100;
}

inline void Evaluate(SolutionVector& solution, double scale, double& max, double& min) {
    max = 0;
    min = 0;
    for (SolutionEntry& point : solution) {
        double r = 0;
        point.deviation = Deviation(point.demand, point.valveSize, scale, &r);
        if (r >= 0) {
            max = r > max ? r : max;
        } else if (r < 0) {
            min = r < min ? r : min;
        }
    }
}

inline bool Taken(double f, double e) {
    if (f == 0) {
        return false;
    }
    if (f > 0) {
        return e > 0 ? e < f : -e < f;
    }
    if (f < 0) {
        return e < 0 ? e > f : e < -f;
    }
    return false;
}

inline void Refine(SolutionVector& solution, const std::vector<Pair>& groupZero, double scale) {
    for (SolutionEntry& point : solution) {
        std::size_t p = 0;
        while (groupZero.at(p).size != point.valveSize) {
            ++p;
        }
        if (point.ratio != 1.0 && p > 0) {
            const double size = groupZero[p - 1].size;
            const double e = Deviation(point.demand, size, scale);
            if (Taken(point.deviation, e)) {
                point.valveSize = size;
                point.deviation = e;
                continue;
            }
        }
        if (p + 1 < groupZero.size()) {
            const double size = groupZero[p + 1].size;
            const double e = Deviation(point.demand, size, scale);
            if (Taken(point.deviation, e)) {
                point.valveSize = size;
                point.deviation = e;
            }
        }
    }
}

struct Outputs {
    double deviationMax = 0;
    double deviationMin = 0;
    double scaleFactor = 0;
    double reducedScaleFactor = 0;
};

// Solves prepared entries; returns the result code.
inline int Solve(SolutionVector& solution, Outputs& out) {
    std::stable_sort(
        solution.begin(), solution.end(),
        [](const SolutionEntry& a, const SolutionEntry& b) { return a.demand > b.demand; });
    for (SolutionEntry& point : solution) {
        point.ratio = solution[0].demand / point.demand;
    }
    const std::vector<Pair> table = RatioTable();
    const std::vector<Pair> groupZero = Group(table, 0);
    if (solution.size() > groupZero.size()) {
        AssignNearestRatio(solution, groupZero);
    } else {
        double plus = 0;
        double minus = 0;
        int group = 0;
        while (MatchWithinTolerance(solution, table, plus, minus, group) == 1168) {
            plus += 1;
            minus += -1;
        }
        AssignFromGroup(solution, table, group);
    }
    std::vector<double> chosen;
    for (const SolutionEntry& point : solution) {
        chosen.push_back(point.valveSize);
    }
    std::vector<double> smallest;
    const int reduced = SmallestPossibleValves(chosen, smallest);
    if (reduced != 0) {
        return reduced;
    }
    std::size_t p = 0;
    for (SolutionEntry& point : solution) {
        while (chosen.at(p) != point.valveSize) {
            ++p;
        }
        point.valveSize = smallest.at(p);
        ++p;
    }
    double sum = 0;
    for (const SolutionEntry& point : solution) {
        sum += point.demand / point.valveSize;
    }
    out.scaleFactor = sum / static_cast<double>(solution.size());
    Evaluate(solution, out.scaleFactor, out.deviationMax, out.deviationMin);
    Refine(solution, groupZero, out.scaleFactor);
    Evaluate(solution, out.scaleFactor, out.deviationMax, out.deviationMin);
    out.deviationMax = std::floor(out.deviationMax * 100) / 100;
    out.deviationMin = std::floor(out.deviationMin * 100) / 100;
    out.reducedScaleFactor = out.scaleFactor / 2000;
    return 0;
}

}  // namespace reference

#endif  // KORVAN_TESTS_REFERENCE_MODEL_H
