// SPDX-License-Identifier: GPL-3.0-or-later
// Every kind of 80-bit pattern a file can hold, anywhere in the world: shown, and met by a step
// without harm.
#include "core/FpTrap.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "support/WorldCompare.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace taonscope {
namespace {

struct Odd {
    const char* name;
    Extended value;
    const char* shown; // nullptr: some number
};

Extended FromBits(std::uint64_t significand, std::uint16_t signAndExponent) {
    unsigned char bytes[sizeof(Extended)] = {};
    std::memcpy(bytes, &significand, 8);
    std::memcpy(bytes + 8, &signAndExponent, 2);
    Extended value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

const Odd OddValues[] = {
    {"signalling NaN", FromBits(0x8000000000000001ull, 0x7FFF), "NAN"},
    {"quiet NaN", FromBits(0xC000000000000000ull, 0xFFFF), "NAN"},
    {"infinity", FromBits(0x8000000000000000ull, 0x7FFF), "INF"},
    {"minus infinity", FromBits(0x8000000000000000ull, 0xFFFF), "-INF"},
    {"pseudo-infinity", FromBits(0, 0x7FFF), "NAN"},
    {"pseudo-NaN", FromBits(0x4000000000000000ull, 0x7FFF), "NAN"},
    {"unnormal", FromBits(0x1234000000000000ull, 0x4000), "NAN"},
    {"pseudo-denormal", FromBits(0x8000000000000001ull, 0), "3.36210314311209E-4932"},
    {"negative pseudo-denormal", FromBits(0xC000000000000000ull, 0x8000), "-5.04315471466814E-4932"},
    {"denormal", FromBits(1, 0x8000), "-3.64519953188247E-4951"},
    {"largest", FromBits(0xFFFFFFFFFFFFFFFFull, 0x7FFE), "1.18973149535723E4932"},
};

// Every place a value of a file lands in, by the slot or field it sets.
using Place = void (*)(World&, Extended);
const std::pair<const char*, Place> Places[] = {
    {"PosX of a taon", [](World& w, Extended v) { w.PosX[2] = w.NextPosX[2] = v; }},
    {"PosZ of an absent slot", [](World& w, Extended v) { w.PosZ[9] = w.NextPosZ[9] = v; }},
    {"VelY of a taon", [](World& w, Extended v) { w.VelY[3] = w.NextVelY[3] = v; }},
    {"dt", [](World& w, Extended v) { w.dt = v; }},
    {"A1", [](World& w, Extended v) { w.A1 = v; }},
    {"C1", [](World& w, Extended v) { w.C1 = v; }},
    {"G2 (a set no taon uses)", [](World& w, Extended v) { w.G2 = v; }},
};

// The laws round differently in the last bits; special values must be the same.
bool Close(const World& a, const World& b) {
    for (auto array : {&World::PosX, &World::PosY, &World::PosZ, &World::VelX, &World::VelY, &World::VelZ})
        for (int i = 1; i <= MaxTaons; ++i) {
            const Extended x = (a.*array)[i], y = (b.*array)[i];
            const bool same = test::SameBits(x, y) || (std::isnan(x) && std::isnan(y)) ||
                              std::fabs(x - y) <= 1e-15L * (1 + std::fabs(y));
            if (!same) return false;
        }
    return a.StepCounter == b.StepCounter;
}

TEST(OddValues, AreShownAsNumbersInfinitiesOrNan) {
    for (const Odd& odd : OddValues) {
        const std::string text = FormatReal(odd.value);
        if (odd.shown)
            EXPECT_EQ(text, odd.shown) << odd.name;
        else
            EXPECT_TRUE(TryParseReal(text).has_value()) << odd.name << ": " << text;
    }
}

TEST(OddValues, AreShownAsTheArithmeticUsesThem) {
    volatile Extended one = 1; // keeps the product from being folded away
    for (const Odd& odd : OddValues) {
        if (std::isnan(odd.value)) continue;
        EXPECT_EQ(FormatReal(odd.value), FormatReal(odd.value * one)) << odd.name;
    }
}

TEST(OddValues, AStepMeetingThemCompletesOrFaultsAloneAndBothLawsAgree) {
    FastLaw law(2);
    for (const Odd& odd : OddValues)
        for (const auto& [placeName, place] : Places) {
            World world = EasySquareWorld();
            place(world, odd.value);
            World reference = world, fast = world;
            std::string referenceFault = "none", fastFault = "none";
            try {
                AdvanceStep(reference, CoolFactor(true));
            } catch (const FloatingPointError& error) {
                referenceFault = error.what();
                EXPECT_TRUE(test::SameWorld(reference, world)) << odd.name << " in " << placeName;
            }
            try {
                AdvanceStep(fast, CoolFactor(true), law);
            } catch (const FloatingPointError& error) {
                fastFault = error.what();
                EXPECT_TRUE(test::SameWorld(fast, world)) << odd.name << " in " << placeName;
            }
            EXPECT_EQ(fastFault, referenceFault) << odd.name << " in " << placeName;
            if (referenceFault == "none") {
                EXPECT_TRUE(Close(fast, reference)) << odd.name << " in " << placeName;
            }
            EXPECT_EQ(PendingFpFault(), FpFault::None);
        }
}

TEST(OddValues, ASignallingNanFaultsWhereverATaonMeetsIt) {
    World world = EasySquareWorld();
    world.PosY[4] = world.NextPosY[4] = OddValues[0].value;
    try {
        AdvanceStep(world, CoolFactor(false));
        FAIL();
    } catch (const FloatingPointError& error) {
        EXPECT_STREQ(error.what(), "Invalid floating point operation");
    }
}

} // namespace
} // namespace taonscope
