#include "solver/ToleranceSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "tables/ResultCodes.h"

namespace korvan {
namespace {

void SetWindows(EntryRange entries, double plusPercent, double minusPercent) {
    for (SolutionEntry& point : entries) {
        const Window window = WindowAt(point.ratio, plusPercent, minusPercent);
        point.ratioMin = window.ratioMin;
        point.ratioMax = window.ratioMax;
    }
}

// Position in `group` of the first entry, in table order, that lies in `point`'s window, or the
// group's length when none does.
std::size_t FirstFitting(const ValveGroup& group, const SolutionEntry& point) {
    std::size_t step = 0;
    while (step < group.size() && !FitsWindow(group[step].ratio, point.ratioMin, point.ratioMax)) {
        ++step;
    }
    return step;
}

// Points are tested from entry 0 on, and the first that fails ends the test. Entry 0 is read
// even when there is none, so that no entries end here with std::out_of_range.
bool GroupFitsEveryPoint(EntryRange entries, const ValveGroup& group) {
    std::size_t index = 0;
    do {
        if (FirstFitting(group, entries[index]) == group.size()) {
            return false;
        }
    } while (++index < entries.size());
    return true;
}

// The last pass the search needs when every ratio is finite and at least 1 (pass 100 fits every
// point to ratio 1.0 in group 0); one more covers a pass estimate that falls just beyond it.
constexpr double kLastPassNeeded = 100.0;
constexpr double kBeyondReach = kLastPassNeeded + 2.0;

bool FitsAtPass(double tableRatio, double ratio, double pass) {
    const Window window = WindowAt(ratio, pass, -pass);
    return FitsWindow(tableRatio, window.ratioMin, window.ratioMax);
}

// The first pass at which `tableRatio` fits a point of ratio `ratio`, or kBeyondReach. A window
// only widens from pass to pass (its bounds are monotone in the pass, and the ratio is positive),
// so once a ratio fits it fits at every later pass: an estimate from the relative distance is
// settled on the exact first pass by the real test on either side.
double FirstPassFitting(double tableRatio, double ratio) {
    double pass = std::min(std::ceil(std::fabs(tableRatio / ratio - 1.0) * 100.0), kBeyondReach);
    while (pass > 0.0 && FitsAtPass(tableRatio, ratio, pass - 1.0)) {
        pass -= 1.0;
    }
    while (pass < kBeyondReach && !FitsAtPass(tableRatio, ratio, pass)) {
        pass += 1.0;
    }
    return pass;
}

// The first pass at which some entry of a group whose ratios rise fits the point. A window always
// holds the point's own ratio, so of the entries below that ratio the nearest fits first, and so
// does the nearest of those above: only those two are tried.
double FirstPassGroupFits(const ValveGroup& group, double ratio) {
    const ValveRatioEntry* const above =
        std::find_if(group.begin(), group.end(),
                     [ratio](const ValveRatioEntry& entry) { return !(entry.ratio < ratio); });
    double pass = kBeyondReach;
    if (above != group.end()) {
        pass = FirstPassFitting(above->ratio, ratio);
    }
    if (above != group.begin()) {
        pass = std::min(pass, FirstPassFitting((above - 1)->ratio, ratio));
    }
    return pass;
}

// In every group of a table built by BuildValveRatioTable the ratios rise strictly with the step,
// which FirstPassGroupFits relies on.
bool RatiosRiseWithinGroups(const ValveRatioTable& table) {
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const ValveGroup entries = GroupOf(table, group);
        const auto falls = [](const ValveRatioEntry& lower, const ValveRatioEntry& higher) {
            return !(lower.ratio < higher.ratio);
        };
        if (std::adjacent_find(entries.begin(), entries.end(), falls) != entries.end()) {
            return false;
        }
    }
    return true;
}

bool RatioInReach(const SolutionEntry& point) {
    return point.ratio >= 1.0 && point.ratio <= std::numeric_limits<double>::max();
}

// The pass at which the widening loop first succeeds, or 0 when that cannot be told (no entries,
// a ratio below 1, infinite or not a number, or a table whose ratios do not rise). A pass
// succeeds when some group it tests fits every point, and a group fits every point from the
// latest of their first fitting passes on, so every pass before the earliest of those fails.
double FirstSucceedingPass(EntryRange entries, const ValveRatioTable& table) {
    if (entries.empty() || !std::all_of(entries.begin(), entries.end(), RatioInReach) ||
        !RatiosRiseWithinGroups(table)) {
        return 0.0;
    }
    double earliest = kBeyondReach;
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const ValveGroup candidates = GroupOf(table, group);
        if (group > 0 && entries.size() > candidates.size()) {
            break;
        }
        double latest = 0.0;
        for (const SolutionEntry& point : entries) {
            latest = std::max(latest, FirstPassGroupFits(candidates, point.ratio));
        }
        earliest = std::min(earliest, latest);
    }
    return earliest < kBeyondReach ? earliest : 0.0;
}

}  // namespace

std::int32_t MatchWithinTolerance(EntryRange entries, const ValveRatioTable& table,
                                  double plusPercent, double minusPercent, std::int32_t& group) {
    SetWindows(entries, plusPercent, minusPercent);
    for (std::size_t candidate = 0; candidate < kGroupCount; ++candidate) {
        const ValveGroup candidates = GroupOf(table, candidate);
        if (candidate > 0 && entries.size() > candidates.size()) {
            return kNoGroupFits;
        }
        if (GroupFitsEveryPoint(entries, candidates)) {
            group = static_cast<std::int32_t>(candidate);
            return kSuccess;
        }
    }
    return kNoGroupFits;
}

void AssignFromGroup(EntryRange entries, const ValveRatioTable& table, std::int32_t group) {
    const ValveGroup candidates = GroupOf(table, static_cast<std::size_t>(group));
    for (SolutionEntry& point : entries) {
        const std::size_t step = FirstFitting(candidates, point);
        if (step < candidates.size()) {
            point.valveSize = candidates[step].size;
        }
    }
}

void SearchWithinTolerance(EntryRange entries, const ValveRatioTable& table) {
    // Pass r runs with plusPercent r and minusPercent -r, whole numbers that adding 1.0 at a time
    // reaches exactly, so starting at the first pass that can succeed changes nothing.
    const double firstPass = FirstSucceedingPass(entries, table);
    double plusPercent = firstPass;
    double minusPercent = 0.0 - firstPass;
    std::int32_t group = 0;
    while (MatchWithinTolerance(entries, table, plusPercent, minusPercent, group) == kNoGroupFits) {
        plusPercent += 1.0;
        minusPercent += -1.0;
    }
    AssignFromGroup(entries, table, group);
}

}  // namespace korvan
