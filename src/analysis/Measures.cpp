// SPDX-License-Identifier: GPL-3.0-or-later
#include "Measures.h"

#include "PairFunction.h"

#include "core/Law.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

int SlotsInUse(const World& w) {
    return std::clamp(w.TaonCount, 0, MaxTaons);
}

VectorQuantity Checked3(Extended x, Extended y, Extended z) {
    VectorQuantity result;
    result.Reason = PendingFaultReason();
    if (result.Valid() && !(std::isfinite(x) && std::isfinite(y) && std::isfinite(z)))
        result.Reason = NotFiniteReason;
    if (result.Valid()) result.X = x, result.Y = y, result.Z = z;
    return result;
}

// exp of anything below this is exactly 0 in extended precision (the smallest denormal is e^-11398.8).
constexpr Extended VanishingExponent = -11500;

// A Phi(d) of one parameter set by the same closed forms as PairFunction, rearranged for speed as the
// fast law is: logarithms of products as sums, terms whose exponent underflows to exactly 0 skipped.
// Faults are left in the flags for the caller to read.
class PairTerms {
public:
    PairTerms() = default;
    explicit PairTerms(const ParameterSet& set) : strength_(set.A) {
        const std::array<Extended, 5> shells = ShellRadii(set);
        for (std::size_t n = 0; n < 5; ++n) {
            k_[n] = ShellScale(shells[n]);
            lnK_[n] = std::log(k_[n]);
        }
    }

    Extended Energy(Extended d) const {
        static const Extended lnCore = std::log(4.725L), lnWell = std::log(0.09L);
        static const Extended wellScale = Power(10, -14) * 125;
        static const Extended ln2 = std::log(2.0L);
        const Extended lnD = std::log(d);
        Extended phi = 0;
        const Extended lnU = lnCore + lnD;
        if (lnU < ln2) phi = Term(-std::exp(19 * lnU) * lnU); // beyond u = 2 the core is exactly 0
        const Extended v = 0.09L * d;
        phi -= wellScale * Term(75 / v * (lnWell + lnD));
        for (std::size_t n = 0; n < 5; ++n) {
            const Extended lnW = lnK_[n] + lnD;
            if (!(lnW < ln2)) { // beyond w = 2 the shell is exactly 0, unless something is not a number
                if (std::isnan(lnW)) phi -= lnW;
                continue;
            }
            const Extended w = k_[n] * d, w2 = w * w, w4 = w2 * w2, w16 = (w4 * w4) * (w4 * w4);
            phi -= Term((2.5L - w16 * w4) / (0.1L * w) * lnW);
        }
        return strength_ * phi;
    }

private:
    static Extended Term(Extended exponent) { return exponent < VanishingExponent ? 0 : std::exp(exponent); }

    Extended strength_ = 0;
    std::array<Extended, 5> k_{}, lnK_{};
};

} // namespace

Quantity KineticEnergy(const World& w) {
    return Measure([&] {
        Extended sum = 0;
        for (int i = 1; i <= SlotsInUse(w); ++i)
            if (w.TaonPresent[i])
                sum += (w.VelX[i] * w.VelX[i] + w.VelY[i] * w.VelY[i] + w.VelZ[i] * w.VelZ[i]) / 2;
        return sum;
    });
}

Quantity LargestSpeed(const World& w) {
    return Measure([&] {
        Extended largest = 0;
        for (int i = 1; i <= SlotsInUse(w); ++i) {
            if (!w.TaonPresent[i]) continue;
            const Extended speed =
                std::sqrt(w.VelX[i] * w.VelX[i] + w.VelY[i] * w.VelY[i] + w.VelZ[i] * w.VelZ[i]);
            // A speed that is not a number must not vanish into the maximum; quiet comparisons.
            if (std::isnan(speed) || std::isgreater(speed, largest)) largest = speed;
        }
        return largest;
    });
}

VectorQuantity CentreOfMass(const World& w) {
    ClearFpFlags();
    Extended x = 0, y = 0, z = 0;
    int count = 0;
    for (int i = 1; i <= SlotsInUse(w); ++i) {
        if (!w.TaonPresent[i]) continue;
        x += w.PosX[i], y += w.PosY[i], z += w.PosZ[i];
        ++count;
    }
    if (count == 0) {
        VectorQuantity none;
        none.Reason = "No taon is present";
        return none;
    }
    return Checked3(x / count, y / count, z / count);
}

VectorQuantity TotalMomentum(const World& w) {
    ClearFpFlags();
    Extended x = 0, y = 0, z = 0;
    for (int i = 1; i <= SlotsInUse(w); ++i)
        if (w.TaonPresent[i]) x += w.VelX[i], y += w.VelY[i], z += w.VelZ[i];
    return Checked3(x, y, z);
}

Quantity MomentumLength(const World& w) {
    const VectorQuantity p = TotalMomentum(w);
    if (!p.Valid()) return {0, p.Reason};
    return Measure([&] { return std::sqrt(p.X * p.X + p.Y * p.Y + p.Z * p.Z); });
}

Quantity PairEnergy(const World& w) {
    return Measure([&] {
        std::array<PairTerms, 4> terms{};
        for (int kind = 1; kind <= 3; ++kind) terms[kind] = PairTerms(GetParameterSet(w, kind));
        Extended sum = 0;
        // Each unordered pair once: the ordered pairs (i, j) and (j, i) use the sets of j and of i.
        for (int i = 1; i <= SlotsInUse(w); ++i) {
            if (!w.TaonPresent[i]) continue;
            const int kindI = TaonKind(w, i);
            for (int j = i + 1; j <= SlotsInUse(w); ++j) {
                if (!w.TaonPresent[j]) continue;
                const int kindJ = TaonKind(w, j);
                const Extended dx = w.PosX[i] - w.PosX[j], dy = w.PosY[i] - w.PosY[j],
                               dz = w.PosZ[i] - w.PosZ[j];
                const Extended d = std::sqrt((dz * dz) + ((dy * dy) + (dx * dx)));
                const Extended onI = terms[kindJ].Energy(d);
                const Extended onJ = kindI == kindJ ? onI : terms[kindI].Energy(d);
                sum += (onI + onJ) / 2;
            }
        }
        return sum;
    });
}

bool EnergyConserved(const World& w) {
    const ParameterSet first = GetParameterSet(w, 1);
    return first == GetParameterSet(w, 2) && first == GetParameterSet(w, 3);
}

std::string ConservationText(const World& w) {
    return EnergyConserved(w) ? "E is conserved: all sets equal" : "E is not conserved: the sets differ";
}

Sample TakeSample(const World& w, std::int64_t step, Extended time) {
    Sample sample;
    sample.Step = step;
    sample.Time = time;
    sample.Kinetic = KineticEnergy(w);
    sample.PairEnergy = PairEnergy(w);
    if (!sample.Kinetic.Valid())
        sample.TotalEnergy.Reason = sample.Kinetic.Reason;
    else if (!sample.PairEnergy.Valid())
        sample.TotalEnergy.Reason = sample.PairEnergy.Reason;
    else
        sample.TotalEnergy = Measure([&] { return sample.Kinetic.Value + sample.PairEnergy.Value; });
    sample.Momentum = MomentumLength(w);
    sample.LargestSpeed = LargestSpeed(w);
    return sample;
}

} // namespace taonscope
