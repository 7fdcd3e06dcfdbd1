// SPDX-License-Identifier: GPL-3.0-or-later
#include "LawPotential.h"

#include "analysis/Measures.h"
#include "analysis/PairFunction.h"
#include "core/Law.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

// The minimum of A Phi within [low, high], where its slope goes from negative to positive.
Extended RefinedMinimum(const ParameterSet& set, Extended low, Extended high) {
    for (int n = 0; n < 80; ++n) {
        const Extended middle = (low + high) / 2;
        if (set.A * PairSlope(set, middle) < 0)
            low = middle;
        else
            high = middle;
    }
    return (low + high) / 2;
}

// Where A Phi rises to half its value at the minimum d, on the side of direction (-1 or 1).
Extended HalfDepth(const ParameterSet& set, Extended d, int direction) {
    const Extended half = set.A * PairFunction(set, d) / 2;
    Extended inside = d, outside = d;
    do {
        inside = outside;
        outside *= 1 + direction * 0.001L;
    } while (set.A * PairFunction(set, outside) < half);
    for (int n = 0; n < 80; ++n) {
        const Extended middle = (inside + outside) / 2;
        (set.A * PairFunction(set, middle) < half ? inside : outside) = middle;
    }
    return (inside + outside) / 2;
}

} // namespace

std::vector<int> PresentSlots(const World& world) {
    std::vector<int> slots;
    for (int i = 1; i <= std::clamp(world.TaonCount, 0, MaxTaons); ++i)
        if (world.TaonPresent[i]) slots.push_back(i);
    return slots;
}

Coordinates CoordinatesOf(const World& world) {
    Coordinates x;
    for (const int i : PresentSlots(world)) x.insert(x.end(), {world.PosX[i], world.PosY[i], world.PosZ[i]});
    return x;
}

void PlaceAtRest(World& world, const Coordinates& x) {
    std::size_t at = 0;
    for (const int i : PresentSlots(world)) {
        world.PosX[i] = world.NextPosX[i] = world.ScenePosX[i] = x[at++];
        world.PosY[i] = world.NextPosY[i] = world.ScenePosY[i] = x[at++];
        world.PosZ[i] = world.NextPosZ[i] = world.ScenePosZ[i] = x[at++];
        world.VelX[i] = world.VelY[i] = world.VelZ[i] = 0;
        world.NextVelX[i] = world.NextVelY[i] = world.NextVelZ[i] = 0;
    }
}

std::optional<std::pair<int, int>> KindsWithDifferentSets(const World& world) {
    bool present[4] = {};
    for (const int i : PresentSlots(world)) present[TaonKind(world, i)] = true;
    for (int a = 1; a <= 3; ++a)
        for (int b = a + 1; b <= 3; ++b)
            if (present[a] && present[b] && GetParameterSet(world, a) != GetParameterSet(world, b))
                return std::pair{a, b};
    return std::nullopt;
}

LawPotential::LawPotential(const World& world, FastLaw& law)
    : world_(world), law_(law), slots_(PresentSlots(world)) {}

void LawPotential::Place(const Coordinates& x) {
    for (std::size_t n = 0; n < slots_.size(); ++n) {
        const int i = slots_[n];
        world_.PosX[i] = x[3 * n], world_.PosY[i] = x[3 * n + 1], world_.PosZ[i] = x[3 * n + 2];
    }
}

Extended LawPotential::Energy(const Coordinates& x) {
    Place(x);
    const Quantity u = PairEnergy(world_);
    if (!u.Valid()) throw TaonError(u.Reason);
    return u.Value;
}

void LawPotential::Gradient(const Coordinates& x, Coordinates& gradient) {
    Place(x);
    gradient.resize(x.size());
    Accelerations& a = accelerations_;
    if (!law_.ComputeAccelerations(world_, a)) {
        // As a step does: the reference law decides, and reports the first fault it meets.
        ClearFpFlags();
        for (const int i : slots_)
            a.X[i] = AccelX(world_, i), a.Y[i] = AccelY(world_, i), a.Z[i] = AccelZ(world_, i);
    }
    for (std::size_t n = 0; n < slots_.size(); ++n) {
        const int i = slots_[n];
        gradient[3 * n] = -a.X[i], gradient[3 * n + 1] = -a.Y[i], gradient[3 * n + 2] = -a.Z[i];
    }
}

PairScales LawPotential::Scales() const {
    if (scales_) return *scales_;
    const ParameterSet set = GetParameterSet(world_, slots_.empty() ? 1 : TaonKind(world_, slots_.front()));
    const std::array<Extended, 5> shells = ShellRadii(set);
    const Extended lowest = *std::min_element(shells.begin(), shells.end());
    // The well is deepest at 0.09 d = e, whatever the set.
    const Extended highest =
        std::max(*std::max_element(shells.begin(), shells.end()), std::exp(1.0L) / 0.09L);
    // From beyond the core's rise, which holds a minimum at 0 of no use to anyone, on a grid a thousandth of
    // each distance apart: finer than the narrowest shell.
    const Extended first = std::min(0.25L, lowest / 2), last = 1.3L * highest, ratio = 1.001L;
    PairScales scales{lowest, highest, lowest / 10};
    Extended deepest = 0;
    bool found = false;
    Extended before = first, at = first * ratio;
    Extended energyBefore = set.A * PairFunction(set, before), energyAt = set.A * PairFunction(set, at);
    for (Extended next = at * ratio; next <= last; next *= ratio) {
        const Extended energyNext = set.A * PairFunction(set, next);
        if (energyAt < energyBefore && energyAt <= energyNext) {
            const Extended d = RefinedMinimum(set, before, next);
            const Extended energy = set.A * PairFunction(set, d);
            if (energy < 0) { // a well, not a ripple on a plateau
                if (!found) scales.Nearest = d, scales.Width = HalfDepth(set, d, 1) - HalfDepth(set, d, -1);
                if (!found || energy < deepest) scales.Deepest = d, deepest = energy;
                found = true;
            }
        }
        before = at, energyBefore = energyAt, at = next, energyAt = energyNext;
    }
    scales_ = scales;
    return scales;
}

} // namespace taonscope
