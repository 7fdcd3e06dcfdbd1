// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes as a small structured world: the fast law and the reference law meet the same faults and, where
// the step completes, agree within 1e-14 of the sum of the magnitudes of each component's pair terms
// plus 1e-16 of the pieces those terms cancel (SlopePieces).
#include "FuzzSupport.h"

#include "core/FastLaw.h"
#include "core/FpTrap.h"
#include "core/Law.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <cmath>
#include <cstring>
#include <string>

using namespace taonscope;

namespace {

// Reads the input a piece at a time; past its end every piece is 0.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    int Small() { return static_cast<std::int8_t>(Next()); }
    Extended Raw() {
        std::uint8_t bytes[10];
        for (std::uint8_t& b : bytes) b = Next();
        Extended value = 0;
        std::memcpy(&value, bytes, 10);
        return value;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_, at_ = 0;
};

// Parameter sets the law meets in use, and the ones that fault.
const ParameterSet Sets[] = {
    FigureParameters(),
    {0.5L, 3.1L, 6.2L, 11.0L, 17.0L, 26.0L},
    {1.5L, 2.2L, 4.4L, 8.8L, 14.0L, 24.0L},
    {-2.0L, 0.3L, 0.7L, 1.1L, 1.9L, 2.9L},
    {1e250L, 2.718L, 5.0L, 10.0L, 20.0L, 30.0L},
    {1.0L, 0.0L, 5.0L, 10.0L, 20.0L, 30.0L},
    {1.0L, 2.718L, -5.0L, 10.0L, 20.0L, 30.0L},
    {0.0L, 1e-25L, 1e25L, 10.0L, 20.0L, 30.0L},
};

std::string FaultOf(World& world, FastLaw* law) {
    try {
        if (law)
            AdvanceStep(world, CoolFactor(false), *law);
        else
            AdvanceStep(world, CoolFactor(false));
    } catch (const FloatingPointError& error) {
        return error.what();
    }
    return "";
}

Extended PairTermMagnitude(const World& world, int i, int j, Extended (*accel)(const World&, int)) {
    World pair = world;
    pair.TaonPresent.fill(false);
    pair.TaonPresent[i] = pair.TaonPresent[j] = true;
    try {
        return std::fabs(accel(pair, i));
    } catch (const FloatingPointError&) {
        return HUGE_VALL; // a pair term of its own that faults: no bound to hold
    }
}

// The sum of the magnitudes of the pieces the pair slope at distance d cancels: the parts of the core,
// the well and each shell before each subtraction, where a factor such as 1 - ln w or the shell's
// (1 - ln w) s3 - ln w s5 passes through 0. There a pair term is itself a cancellation, and the rounding
// of d, w = k d or ln w, which the two laws take differently, moves it by some 1e-18 of these pieces;
// the agreement asked for is 1e-16 of them.
Extended SlopePieces(const ParameterSet& set, Extended d) {
    const Extended u = 4.725L * d, v = 0.09L * d;
    const Extended wellScale = Power(10, -14) * 125 * 0.09L * 75;
    Extended pieces = Power(u, -Power(u, 19)) * Power(u, 18) * 4.725L * (19 * std::fabs(std::log(u)) + 1) +
                      Power(v, Power(v, -1) * 75) * Power(v, -2) * wellScale * (1 + std::fabs(std::log(v)));
    for (const Extended p : {set.B, set.C, set.D, set.F, set.G}) {
        const Extended k = ShellScale(p), w = k * d, lnW = std::log(w);
        const Extended outer = (2.5L - Power(w, 20)) / (0.1L * k * d);
        pieces += Power(w, outer) * ((1 + std::fabs(lnW)) * std::fabs(outer) / d +
                                     std::fabs(lnW) * Power(w, 18) * 200 * std::fabs(k));
    }
    return pieces;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    World world;
    for (int kind = 1; kind <= 3; ++kind) {
        const std::uint8_t choice = in.Next();
        ParameterSet set = Sets[choice % std::size(Sets)];
        if (choice >= 0xF0) set.B = in.Raw(); // now and then any value at all
        SetParameterSet(world, kind, set);
    }
    const int taons = 2 + in.Next() % 7;
    for (int n = 0; n < taons; ++n) {
        const int slot = 1 + in.Next() % MaxTaons;
        world.TaonPresent[slot] = true;
        // Positions on a grid of 1/64 within +-2, so that pairs meet every part of the law.
        world.PosX[slot] = in.Small() / 64.0L;
        world.PosY[slot] = in.Small() / 64.0L;
        world.PosZ[slot] = in.Small() / 64.0L;
        world.VelX[slot] = in.Small() / 16.0L;
    }
    world.dt = 0.001L;
    SyncCopiesFromCurrent(world);

    static FastLaw law(2);
    World reference = world, fast = world;
    const std::string referenceFault = FaultOf(reference, nullptr);
    fuzz::Require(FaultOf(fast, &law) == referenceFault);
    fuzz::Require(PendingFpFault() == FpFault::None);
    if (!referenceFault.empty()) return 0;

    Accelerations accelerations;
    if (!law.ComputeAccelerations(world, accelerations)) return 0;
    for (int i = 1; i <= MaxTaons; ++i) {
        if (!world.TaonPresent[i]) continue;
        struct Component {
            Extended value;
            Extended (*accel)(const World&, int);
            const TaonArray& position;
        };
        const Component components[] = {{accelerations.X[i], AccelX, world.PosX},
                                        {accelerations.Y[i], AccelY, world.PosY},
                                        {accelerations.Z[i], AccelZ, world.PosZ}};
        for (const Component& c : components) {
            Extended bound = 0, pieces = 0;
            for (int j = 1; j <= MaxTaons; ++j) {
                if (j == i || !world.TaonPresent[j]) continue;
                bound += PairTermMagnitude(world, i, j, c.accel);
                const Extended dx = world.PosX[i] - world.PosX[j], dy = world.PosY[i] - world.PosY[j],
                               dz = world.PosZ[i] - world.PosZ[j];
                const Extended d = std::sqrt(dx * dx + dy * dy + dz * dz);
                const ParameterSet set = GetParameterSet(world, TaonKind(world, j));
                pieces += std::fabs(set.A * (c.position[i] - c.position[j]) / d) * SlopePieces(set, d);
            }
            // A few units of the smallest denormals cover terms that underflow differently.
            fuzz::Require(std::fabs(c.value - c.accel(world, i)) <=
                          1e-14L * bound + 1e-16L * pieces + 0x1p-16400L);
        }
    }
    return 0;
}
