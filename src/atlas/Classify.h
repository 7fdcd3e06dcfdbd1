// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Sweep.h"

#include "core/World.h"

#include <optional>
#include <string>
#include <string_view>

namespace taonscope {

/// What a cell's run made, in order of precedence: a fault ends the run; then half the taons or more
/// without a bond is dispersed; then a largest speed at or above the moving speed is still moving;
/// then one cluster of two or more taons, or several.
enum class Outcome { Faulted, Dispersed, StillMoving, OneCluster, SeveralClusters };

/// The outcomes in the order of the enumeration, for legends and counts.
inline constexpr Outcome AllOutcomes[] = {Outcome::Faulted, Outcome::Dispersed, Outcome::StillMoving,
                                          Outcome::OneCluster, Outcome::SeveralClusters};

/// The outcome in words: "faulted", "dispersed", "still moving", "one cluster", "several clusters".
std::string OutcomeName(Outcome outcome);

/// The outcome of its words; empty for any other text.
std::optional<Outcome> OutcomeNamed(std::string_view name);

/// The outcome of a cell with the numbers behind it.
struct Classification {
    Outcome Kind = Outcome::Dispersed; ///< what the run made
    std::string Message;               ///< the fault's message; empty unless Kind is Faulted
    Extended Cutoff = 0;               ///< the bond cutoff the clusters were found at
    int Taons = 0;                     ///< the taons looked at (present, at finite positions)
    int Clusters = 0;                  ///< clusters of two taons or more
    int Largest = 0;                   ///< taons in the largest cluster
    int Isolated = 0;                  ///< taons without a bond
    std::string Shape = "none";        ///< the named shape of the largest cluster (Shapes.h), or "none"
    Extended Kinetic = 0;              ///< K per taon
    Extended PairEnergy = 0;           ///< U per taon
    Extended LargestSpeed = 0;         ///< the largest speed of a taon
};

/// The bond cutoff the law suggests: the largest reach of the first shell (B) among the kinds that have
/// taons; the structure analysis' own estimate when no shell has a reach.
Extended LawCutoff(const World& world);

/// Classifies the world where a run ended: fault is the message of the step that faulted (the world is
/// then as before that step). The clusters are those of the structure analysis at the rules' cutoff,
/// or at LawCutoff.
Classification Classify(const World& world, const SweepRules& rules, const std::optional<std::string>& fault);

} // namespace taonscope
