// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Scene.h"

#include <string>
#include <vector>

namespace taonscope {

/// What the scene colours the taons by.
enum class ColourBy { Kind, Cluster, Coordination, Speed };

/// What the scene needs of the structure of the world, as plain numbers.
struct SceneStructure {
    Extended Cutoff = 0;                          ///< the bond cutoff used
    std::array<int, MaxTaons + 1> Cluster{};      ///< each slot's cluster, 0 the largest; -1 not looked at
    std::array<int, MaxTaons + 1> Coordination{}; ///< each slot's bonds
    std::vector<int> ClusterSizes;                ///< the taons of each cluster, largest first
    std::vector<SlotPair> Bonds;                  ///< every bond once
};

/// The colours of the taons and the legend that says what they mean.
struct TaonColouring {
    TaonColours Colour{};            ///< each present taon's colour
    std::vector<LegendEntry> Legend; ///< a heading, then one entry per colour shown
};

/// The colour of the taons of no cluster of two or more, and of those whose value is not known.
inline constexpr Rgb LoneColour{140, 140, 140};

/// The colour of bonds.
inline constexpr Rgb BondColour{110, 110, 110};

/// The colour of the cluster with this index (0 the largest) when it has two or more taons.
Rgb ClusterColour(int index);

/// The colour of a taon with this many bonds: LoneColour for none, one colour for each count up to 12
/// and more.
Rgb CoordinationColour(int bonds);

/// Colours the present taons by their cluster (clusters of two or more in turn from a palette of ten,
/// largest first; the others grey), their number of bonds (0 grey, then a colour for each count up to
/// 12 and more), or their speed (from blue at rest through green to red at the largest speed); Kind
/// gives each kind's colour and no legend.
TaonColouring ColourTaons(ColourBy by, const World& world, const SceneStructure& structure);

/// Draws each bond as a one-pixel line in BondColour between the middles of its two taons' dots, where
/// the last projection put them; bonds of slots that are not present are left out.
void DrawBonds(Canvas& canvas, const ViewState& view, const World& world, const std::vector<SlotPair>& bonds);

} // namespace taonscope
