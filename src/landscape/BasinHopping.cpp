// SPDX-License-Identifier: GPL-3.0-or-later
#include "BasinHopping.h"

#include "core/Errors.h"
#include "core/Scenarios.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace taonscope {

namespace {

// Shifts between two adjustments of their step size, and the factor of one.
constexpr int AdjustEvery = 10;
constexpr Extended AdjustFactor = 1.1L;
// Random starts tried before a chain gives up.
constexpr std::uint64_t MostStarts = 100;

using Position = std::array<Extended, 3>;

// A direction evenly spread over the sphere.
Position RandomDirection(Random& random) {
    for (;;) {
        const Position p{random.Uniform(-1, 1), random.Uniform(-1, 1), random.Uniform(-1, 1)};
        const Extended length = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        if (length <= 1 && length > 0.01L) return {p[0] / length, p[1] / length, p[2] / length};
    }
}

Extended Metropolis(Extended rise, Extended temperature) {
    return rise <= 0 ? 1 : temperature > 0 ? std::exp(-rise / temperature) : 0;
}

// Shifts the configuration so that its centre is at the origin, and puts every particle beyond the
// container's radius back on its surface: without it a particle that leaves takes the search with it.
void KeepTogether(Coordinates& x, Extended container) {
    const int n = ParticleCount(x);
    for (int axis = 0; axis < 3; ++axis) {
        Extended centre = 0;
        for (int i = 0; i < n; ++i) centre += x[3 * i + axis];
        centre /= n;
        for (int i = 0; i < n; ++i) x[3 * i + axis] -= centre;
    }
    for (int i = 0; i < n; ++i) {
        const Extended r =
            std::sqrt(x[3 * i] * x[3 * i] + x[3 * i + 1] * x[3 * i + 1] + x[3 * i + 2] * x[3 * i + 2]);
        if (r > container)
            for (int axis = 0; axis < 3; ++axis) x[3 * i + axis] *= container / r;
    }
}

} // namespace

bool SameEnergy(Extended a, Extended b) {
    return std::fabs(a - b) <= 1e-9L * std::max(std::fabs(a), std::fabs(b));
}

bool KeepMinimum(std::vector<FoundMinimum>& lowest, FoundMinimum minimum, int keep) {
    for (const FoundMinimum& kept : lowest)
        if (SameEnergy(kept.Energy, minimum.Energy)) return false;
    const auto at =
        std::upper_bound(lowest.begin(), lowest.end(), minimum.Energy,
                         [](Extended energy, const FoundMinimum& m) { return energy < m.Energy; });
    if (at - lowest.begin() >= keep) return false;
    lowest.insert(at, std::move(minimum));
    if (static_cast<int>(lowest.size()) > keep) lowest.pop_back();
    return true;
}

Coordinates RandomStart(int n, Extended radius, std::uint64_t seed) {
    Random random(seed);
    Coordinates x;
    while (ParticleCount(x) < n) {
        const Extended px = random.Uniform(-1, 1), py = random.Uniform(-1, 1), pz = random.Uniform(-1, 1);
        if (px * px + py * py + pz * pz <= 1) x.insert(x.end(), {px * radius, py * radius, pz * radius});
    }
    return x;
}

HoppingResult BasinHopping(PairPotential& potential, const HoppingOptions& options) {
    const PairScales scales = potential.Scales();
    const int n = options.Particles;
    const Extended radius =
        options.StartRadius > 0 ? options.StartRadius : 0.7L * scales.Deepest * std::cbrt(Extended(n));
    HoppingResult result;
    result.StepSize = options.StepSize > 0 ? options.StepSize : 0.4L * scales.Nearest;
    // The moves' numbers follow a sequence of their own, which does not repeat the start's.
    Random random(options.Seed ^ 0x9E3779B97F4A7C15u);
    Coordinates trial;
    auto minimize = [&](Coordinates& x) {
        const MinimizeResult local = Minimize(potential, x, options.Local);
        result.Iterations += local.Iterations;
        result.Gradients += local.Evaluations;
        if (!local.Fault.empty()) throw TaonError(local.Fault);
        ++result.Energies;
        return FoundMinimum{potential.Energy(x), x, result.Hops, local.LargestGradient};
    };
    auto reached = [&](const FoundMinimum& m) { return options.StopBelow && m.Energy < *options.StopBelow; };

    // A start whose minimisation faults (two particles driven into one place) is drawn again.
    Coordinates current;
    FoundMinimum here;
    for (std::uint64_t attempt = 0;; ++attempt) {
        current = RandomStart(n, radius, options.Seed + attempt * 0x9E3779B97F4A7C15u);
        try {
            here = minimize(current);
            break;
        } catch (const TaonError&) {
            if (attempt == MostStarts) throw;
            ++result.Faulted;
        }
    }
    KeepMinimum(result.Lowest, here, options.Keep);
    int shifts = 0, shiftsAccepted = 0;
    while (result.Hops < options.Hops && !reached(result.Lowest.front())) {
        trial = current;
        const bool relocation = random.Uniform(0, 1) < 0.5L && n >= 2;
        if (relocation) {
            const int moved = std::min(n - 1, static_cast<int>(random.Uniform(0, n)));
            const int other = std::min(n - 2, static_cast<int>(random.Uniform(0, n - 1)));
            const int partner = other >= moved ? other + 1 : other;
            const Position direction = RandomDirection(random);
            for (int axis = 0; axis < 3; ++axis)
                trial[3 * moved + axis] = trial[3 * partner + axis] + scales.Nearest * direction[axis];
        } else {
            for (Extended& v : trial) v += random.Uniform(-result.StepSize, result.StepSize);
            ++shifts;
        }
        KeepTogether(trial, 2 * radius);
        ++result.Hops;
        FoundMinimum found;
        try {
            found = minimize(trial);
        } catch (const TaonError&) {
            ++result.Faulted;
            continue;
        }
        KeepMinimum(result.Lowest, found, options.Keep);
        if (random.Uniform(0, 1) < Metropolis(found.Energy - here.Energy, options.Temperature)) {
            current.swap(trial);
            here = std::move(found);
            ++result.Accepted;
            if (!relocation) ++shiftsAccepted;
        }
        if (!relocation && shifts >= AdjustEvery) {
            // Never beyond the start's radius: farther shifts only scatter the particles.
            result.StepSize =
                std::min(radius, result.StepSize *
                                     (2 * shiftsAccepted > AdjustEvery ? AdjustFactor : 1 / AdjustFactor));
            shifts = shiftsAccepted = 0;
        }
    }

    std::vector<FoundMinimum> polished;
    MinimizeOptions polish = options.Local;
    polish.Tolerance = options.Polish;
    for (FoundMinimum& m : result.Lowest) {
        try {
            Coordinates x = m.X;
            const MinimizeResult local = Minimize(potential, x, polish);
            result.Iterations += local.Iterations;
            result.Gradients += local.Evaluations;
            if (!local.Fault.empty()) throw TaonError(local.Fault);
            ++result.Energies;
            m.Energy = potential.Energy(x);
            m.X = std::move(x);
            m.LargestGradient = local.LargestGradient;
        } catch (const TaonError&) {
            ++result.Faulted; // kept as the hop left it
        }
        KeepMinimum(polished, std::move(m), options.Keep);
    }
    result.Lowest = std::move(polished);
    return result;
}

} // namespace taonscope
