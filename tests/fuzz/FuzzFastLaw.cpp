// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes as a small structured world: the fast law and the reference law meet the same faults and, where
// the step completes, agree within 1e-14 of the sum of the magnitudes of each component's pair terms.
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
        const std::pair<Extended, Extended (*)(const World&, int)> components[] = {
            {accelerations.X[i], AccelX}, {accelerations.Y[i], AccelY}, {accelerations.Z[i], AccelZ}};
        for (const auto& [value, accel] : components) {
            Extended bound = 0;
            for (int j = 1; j <= MaxTaons; ++j)
                if (j != i && world.TaonPresent[j]) bound += PairTermMagnitude(world, i, j, accel);
            // A few units of the smallest denormals cover terms that underflow differently.
            fuzz::Require(std::fabs(value - accel(world, i)) <= 1e-14L * bound + 0x1p-16400L);
        }
    }
    return 0;
}
