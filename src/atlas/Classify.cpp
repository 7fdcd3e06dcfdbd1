// SPDX-License-Identifier: GPL-3.0-or-later
#include "Classify.h"

#include "analysis/Measures.h"
#include "analysis/Structure.h"

#include <algorithm>
#include <limits>

namespace taonscope {

std::string OutcomeName(Outcome outcome) {
    switch (outcome) {
    case Outcome::Faulted:
        return "faulted";
    case Outcome::Dispersed:
        return "dispersed";
    case Outcome::StillMoving:
        return "still moving";
    case Outcome::OneCluster:
        return "one cluster";
    case Outcome::SeveralClusters:
        break;
    }
    return "several clusters";
}

std::optional<Outcome> OutcomeNamed(std::string_view name) {
    for (const Outcome outcome : AllOutcomes)
        if (OutcomeName(outcome) == name) return outcome;
    return std::nullopt;
}

Extended LawCutoff(const World& world) {
    std::array<bool, 4> present{};
    for (int i = 1; i <= std::clamp(world.TaonCount, 0, MaxTaons); ++i)
        if (world.TaonPresent[i]) present[static_cast<std::size_t>(TaonKind(world, i))] = true;
    Extended cutoff = 0;
    for (const CutoffChoice& choice : CutoffChoices(world))
        if (choice.Shell == 'B' && present[static_cast<std::size_t>(choice.Kind)])
            cutoff = std::max(cutoff, choice.Cutoff);
    return cutoff > 0 ? cutoff : DefaultCutoff(world).Value;
}

Classification Classify(const World& world, const SweepRules& rules,
                        const std::optional<std::string>& fault) {
    Classification c;
    StructureOptions options;
    options.Cutoff = rules.Cutoff ? *rules.Cutoff : LawCutoff(world);
    const Structure s = AnalyzeStructure(world, options);
    c.Cutoff = s.Cutoff.Value;
    c.Taons = static_cast<int>(s.Bonds.Slots.size());
    c.Largest = s.Counts.Largest;
    c.Isolated = s.Counts.Isolated;
    c.Clusters = s.Counts.Clusters;
    if (!s.Clusters.empty() && s.Clusters.front().Size() >= 2) c.Shape = s.Clusters.front().Shape;

    const auto perTaon = [&](const Quantity& q) {
        return q.Valid() && c.Taons > 0 ? q.Value / c.Taons : std::numeric_limits<Extended>::quiet_NaN();
    };
    c.Kinetic = perTaon(KineticEnergy(world));
    c.PairEnergy = perTaon(PairEnergy(world));
    const Quantity speed = LargestSpeed(world);
    c.LargestSpeed = speed.Valid() ? speed.Value : std::numeric_limits<Extended>::quiet_NaN();

    if (fault) {
        c.Kind = Outcome::Faulted;
        c.Message = *fault;
    } else if (2 * c.Isolated >= c.Taons) {
        c.Kind = Outcome::Dispersed;
    } else if (!(c.LargestSpeed < rules.MovingSpeed)) {
        c.Kind = Outcome::StillMoving;
    } else {
        c.Kind = c.Clusters == 1 ? Outcome::OneCluster : Outcome::SeveralClusters;
    }
    return c;
}

} // namespace taonscope
