// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Extended.h"

#include <array>
#include <cstdint>

namespace taonscope {

/// Number of taon slots; slot numbers run from 1 to MaxTaons.
inline constexpr int MaxTaons = 100;

/// A per-taon array: element i is slot i, element 0 is unused.
using TaonArray = std::array<Extended, MaxTaons + 1>;
/// A per-taon flag array, indexed like TaonArray.
using TaonFlags = std::array<bool, MaxTaons + 1>;

/// The simulated system: every slot's copies of position and velocity, the law's parameters and the run
/// flags.
struct World {
    std::int32_t TaonCount = MaxTaons; ///< slots in use; every per-taon loop runs 1..TaonCount
    TaonFlags TaonPresent{};           ///< true when the slot holds a taon

    TaonArray PosX{}, PosY{}, PosZ{}; ///< current positions: what the law reads and files store
    TaonArray VelX{}, VelY{}, VelZ{}; ///< current velocities (shown as u(x), u(y), u(z))

    TaonArray NextPosX{}, NextPosY{}, NextPosZ{}; ///< positions being advanced by a step
    TaonArray NextVelX{}, NextVelY{}, NextVelZ{}; ///< velocities being advanced by a step

    TaonArray ScenePosX{}, ScenePosY{}, ScenePosZ{}; ///< positions the scene draws

    Extended dt = 0; ///< time step

    Extended A1 = 0, B1 = 0, C1 = 0, D1 = 0, F1 = 0, G1 = 0; ///< parameter set of kind 1 (slots 1..50)
    Extended A2 = 0, B2 = 0, C2 = 0, D2 = 0, F2 = 0, G2 = 0; ///< parameter set of kind 2 (slots 51..80)
    Extended A3 = 0, B3 = 0, C3 = 0, D3 = 0, F3 = 0, G3 = 0; ///< parameter set of kind 3 (slots 81..100)

    std::int32_t StepCounter = 0; ///< steps completed since the configuration was created or opened
    bool Stopped = false;         ///< true while no run is in progress
    bool ShowingFigure = false;   ///< true while the scene shows the built-in figure instead of the taons
    bool ShowTime = false;        ///< true when a run shows the step count after every step
};

/// The 19 stored reals in their fixed order: dt, A1, B1, C1, D1, F1, G1, A2 ... G2, A3 ... G3.
inline constexpr std::array<Extended World::*, 19> ParameterFields = {
    &World::dt, &World::A1, &World::B1, &World::C1, &World::D1, &World::F1, &World::G1,
    &World::A2, &World::B2, &World::C2, &World::D2, &World::F2, &World::G2, &World::A3,
    &World::B3, &World::C3, &World::D3, &World::F3, &World::G3};

/// The names of the 19 stored reals, in the order of ParameterFields.
inline constexpr std::array<const char*, 19> ParameterNames = {"dt", "A1", "B1", "C1", "D1", "F1", "G1",
                                                               "A2", "B2", "C2", "D2", "F2", "G2", "A3",
                                                               "B3", "C3", "D3", "F3", "G3"};

/// The six law parameters of one taon kind.
struct ParameterSet {
    Extended A, B, C, D, F, G;
    /// Equal when all six are equal as numbers.
    bool operator==(const ParameterSet&) const = default;
};

/// The kind (1, 2 or 3) of slot j, from its number and TaonCount.
int TaonKind(const World& world, int j);

/// The parameter set of kind 1, 2 or 3.
ParameterSet GetParameterSet(const World& world, int kind);

/// Stores a parameter set as the parameters of kind 1, 2 or 3.
void SetParameterSet(World& world, int kind, const ParameterSet& set);

/// Which slots SyncCopiesFromCurrent aligns.
enum class Slots { All, Present };

/// Makes the next-step and scene copies of the slots 1..TaonCount (all, or only the present ones)
/// equal to the current copy.
void SyncCopiesFromCurrent(World& world, Slots slots = Slots::All);

} // namespace taonscope
