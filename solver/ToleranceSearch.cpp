#include "solver/ToleranceSearch.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "interface/ResultCodes.h"
#include "tables/CheckedVector.h"

namespace korvan {
namespace {

void SetWindows(SolutionVector& solution, double plusPercent, double minusPercent) {
    const double upper = plusPercent / 100.0 + 1.0;
    const double lower = minusPercent / 100.0 + 1.0;
    for (SolutionEntry& point : solution) {
        point.ratioMax = upper * point.ratio;
        point.ratioMin = lower * point.ratio;
    }
}

// In every group of a table built by BuildValveRatioTable the ratios rise strictly with the step;
// the shortcuts below rely on it, and a table without it takes the plain route.
bool RatiosRiseWithinGroups(const ValveRatioTable& table) {
    if (table.size() < kValveRatioTableLength) {
        return false;
    }
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const std::size_t offset = GroupOffset(group);
        for (std::size_t step = 1; step < GroupLength(group); ++step) {
            if (!(table[offset + step - 1].ratio < table[offset + step].ratio)) {
                return false;
            }
        }
    }
    return true;
}

// Position in its group of the first entry, in table order, that fits `point`, or the group's
// length when none does. With rising ratios the entries whose ratio is at least ratioMin are the
// tail of the group, and only the first of them can be the smallest that is at most ratioMax; a
// bound that is not a number fits nothing, as in FitsWindow.
std::size_t FirstFitting(const ValveRatioEntry* group, std::size_t length,
                         const SolutionEntry& point) {
    if (!(group[length - 1].ratio >= point.ratioMin)) {
        return length;
    }
    std::size_t step = 0;
    while (!(group[step].ratio >= point.ratioMin)) {
        ++step;
    }
    return group[step].ratio <= point.ratioMax ? step : length;
}

// Position in `group` of the first entry, in table order, that fits `point`, or the group's
// length when none does; `rising` says the group's ratios rise, which lets the search stop early.
std::size_t FirstFittingIn(const ValveGroup& group, const SolutionEntry& point, bool rising) {
    if (rising) {
        return FirstFitting(&group[0], group.size(), point);
    }
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (FitsWindow(group[i], point)) {
            return i;
        }
    }
    return group.size();
}

// Points are tested from entry 0 on, and the first that fails ends the test. Entry 0 is read
// even when the vector is empty, so an empty solution ends here with std::out_of_range.
bool GroupFitsEveryPoint(const SolutionVector& solution, const ValveGroup& group, bool rising) {
    std::size_t index = 0;
    do {
        if (FirstFittingIn(group, At(solution, index), rising) == group.size()) {
            return false;
        }
    } while (++index < solution.size());
    return true;
}

// One pass of MatchWithinTolerance; `rising` as for FirstFittingIn.
std::int32_t MatchPass(SolutionVector& solution, const ValveRatioTable& table, double plusPercent,
                       double minusPercent, std::int32_t& group, bool rising) {
    SetWindows(solution, plusPercent, minusPercent);
    for (std::size_t candidate = 0; candidate < kGroupCount; ++candidate) {
        const ValveGroup entries = GroupOf(table, candidate);
        if (candidate > 0 && solution.size() > entries.size()) {
            return kNoGroupFits;
        }
        if (GroupFitsEveryPoint(solution, entries, rising)) {
            group = static_cast<std::int32_t>(candidate);
            return kSuccess;
        }
    }
    return kNoGroupFits;
}

// The last pass the search needs when every ratio is finite and at least 1 (pass 100 fits every
// point to ratio 1.0 in group 0); one more covers a pass estimate that falls just beyond it.
constexpr double kLastPassNeeded = 100.0;
constexpr double kBeyondReach = kLastPassNeeded + 2.0;

// Whether a table ratio fits a point of ratio `ratio` at pass `pass`, with the window that pass
// sets: the same operations on the same values, plusPercent being `pass` and minusPercent -`pass`.
bool FitsAtPass(double tableRatio, double ratio, double pass) {
    const double upper = (pass / 100.0 + 1.0) * ratio;
    const double lower = (-pass / 100.0 + 1.0) * ratio;
    return tableRatio >= lower && tableRatio <= upper;
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

// The first pass at which some entry of a group (ratios rising) fits the point. A window always
// holds the point's own ratio, so of the entries below that ratio the nearest fits first, and so
// does the nearest of those above: only those two are tried.
double FirstPassGroupFits(const ValveRatioEntry* group, std::size_t length, double ratio) {
    std::size_t above = 0;
    while (above < length && group[above].ratio < ratio) {
        ++above;
    }
    double pass = kBeyondReach;
    if (above < length) {
        pass = FirstPassFitting(group[above].ratio, ratio);
    }
    if (above > 0) {
        pass = std::min(pass, FirstPassFitting(group[above - 1].ratio, ratio));
    }
    return pass;
}

// The pass at which the widening loop first succeeds, for points whose ratios are finite and at
// least 1, or 0 when that cannot be told. A pass succeeds when some group it tests fits every
// point, and a group fits every point from the latest of their first fitting passes on, so every
// pass before the earliest of those fails: the loop may start there and reach the same pass, the
// same group and the same windows.
double FirstSucceedingPass(const SolutionVector& solution, const ValveRatioTable& table) {
    const bool ratiosInReach = std::all_of(solution.begin(), solution.end(), [](const auto& point) {
        return point.ratio >= 1.0 && point.ratio <= std::numeric_limits<double>::max();
    });
    if (!ratiosInReach) {
        return 0.0;
    }
    double earliest = kBeyondReach;
    for (std::size_t group = 0; group < kGroupCount; ++group) {
        const std::size_t length = GroupLength(group);
        if (group > 0 && solution.size() > length) {
            break;
        }
        const ValveRatioEntry* const entries = table.data() + GroupOffset(group);
        double latest = 0.0;
        for (const SolutionEntry& point : solution) {
            latest = std::max(latest, FirstPassGroupFits(entries, length, point.ratio));
        }
        earliest = std::min(earliest, latest);
    }
    return earliest < kBeyondReach ? earliest : 0.0;
}

// Whether the shortcuts apply: an empty solution and a table built otherwise take the plain route,
// which raises the errors the rules give for them.
bool TakesShortcuts(const SolutionVector& solution, const ValveRatioTable& table) {
    return !solution.empty() && RatiosRiseWithinGroups(table);
}

// AssignFromGroup, told whether the shortcuts apply.
void AssignFrom(SolutionVector& solution, const ValveRatioTable& table, std::int32_t group,
                bool shortcuts) {
    const ValveGroup entries = GroupOf(table, static_cast<std::size_t>(group));
    for (SolutionEntry& point : solution) {
        const std::size_t step = FirstFittingIn(entries, point, shortcuts);
        if (step < entries.size()) {
            point.valveSize = entries[step].size;
        }
    }
}

}  // namespace

bool FitsWindow(const ValveRatioEntry& entry, const SolutionEntry& point) {
    return entry.ratio >= point.ratioMin && entry.ratio <= point.ratioMax;
}

std::int32_t MatchWithinTolerance(SolutionVector& solution, const ValveRatioTable& table,
                                  double plusPercent, double minusPercent, std::int32_t& group) {
    return MatchPass(solution, table, plusPercent, minusPercent, group,
                     TakesShortcuts(solution, table));
}

void AssignFromGroup(SolutionVector& solution, const ValveRatioTable& table, std::int32_t group) {
    AssignFrom(solution, table, group, TakesShortcuts(solution, table));
}

void ChooseSizesWithinTolerance(SolutionVector& solution, const ValveRatioTable& table) {
    // Checked once for the up to 101 passes of a slow search.
    const bool shortcuts = TakesShortcuts(solution, table);
    // Pass r runs with plusPercent r and minusPercent -r, whole numbers that adding 1.0 at a time
    // reaches exactly, so starting at the first pass that can succeed changes nothing.
    const double firstPass = shortcuts ? FirstSucceedingPass(solution, table) : 0.0;
    double plusPercent = firstPass;
    double minusPercent = 0.0 - firstPass;
    std::int32_t group = 0;
    while (MatchPass(solution, table, plusPercent, minusPercent, group, shortcuts) ==
           kNoGroupFits) {
        plusPercent += 1.0;
        minusPercent += -1.0;
    }
    AssignFrom(solution, table, group, shortcuts);
}

}  // namespace korvan
