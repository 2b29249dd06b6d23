#include "solver/NearestRatio.h"

namespace korvan {

void AssignNearestRatio(EntryRange entries, const GroupZero& groupZero) {
    for (SolutionEntry& point : entries) {
        point.valveSize = groupZero[NearestCandidate(groupZero, point.ratio)].size;
    }
}

}  // namespace korvan
