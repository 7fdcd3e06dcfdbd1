// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Merge.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taonscope {

/// What the map colours its cells by.
enum class MapColour { Outcome, Clusters, Largest, Isolated, Kinetic, PairEnergy, Speed, Steps };

/// The names --colour takes, in the order of MapColour: "outcome", "clusters", "largest", "isolated",
/// "kinetic", "pair-energy", "speed", "steps".
std::vector<std::string> MapColourNames();

/// The colouring of a name; empty for any other text.
std::optional<MapColour> MapColourNamed(std::string_view name);

/// A colour of the map: red, green, blue, each 0..255.
struct MapRgb {
    std::uint8_t R = 0, G = 0, B = 0;
    friend bool operator==(const MapRgb&, const MapRgb&) = default;
};

/// The colour of an outcome on the map.
MapRgb OutcomeColour(Outcome outcome);

/// The colour of a cell that is not done yet, and of a number that is not finite.
inline constexpr MapRgb NoColour{96, 96, 96};

/// A rectangle of pixels: columns X .. X+Width-1, rows Y .. Y+Height-1.
struct MapRect {
    int X = 0, Y = 0, Width = 0, Height = 0;
    /// True when the pixel (x, y) lies inside.
    bool Contains(int x, int y) const { return x >= X && x < X + Width && y >= Y && y < Y + Height; }
};

/// One cell on the map.
struct MapTile {
    MapRect Box;     ///< where it is drawn
    int Cell = 0;    ///< its index
    int Record = -1; ///< its place in the atlas' records; -1 while it is not done
    MapRgb Colour;   ///< its colour
};

/// A text on the map, placed by the point it is anchored at.
struct MapLabel {
    enum class Anchor { Left, Centre, Right };
    int X = 0, Y = 0;              ///< the anchor point: on the text's middle line
    Anchor Align = Anchor::Centre; ///< which end (or the middle) of the text lies at X
    std::string Text;              ///< what it says
    bool Bold = false;             ///< titles and axis names
};

/// An entry of the legend: a swatch and what it stands for.
struct MapLegendEntry {
    MapRect Swatch;   ///< where the swatch is drawn
    MapRgb Colour;    ///< its colour
    std::string Text; ///< drawn to the right of the swatch
};

/// Everything a picture of the map holds, in pixels.
struct MapLayout {
    int Width = 0, Height = 0;          ///< the picture's size
    std::vector<MapRect> Panels;        ///< one frame per value of the third parameter (one without it)
    std::vector<MapTile> Tiles;         ///< one per cell, repetitions side by side within a parameter set
    std::vector<MapLabel> Labels;       ///< title, axis names, values, panel captions
    std::vector<MapLegendEntry> Legend; ///< the colours and what they mean

    /// The tile that holds the pixel (x, y), or null.
    const MapTile* TileAt(int x, int y) const;
};

/// Lays out the map of an atlas in a picture of width x height pixels: the first varied parameter along
/// x, the second (if any) along y growing upwards, one panel per value of the third (if any), each
/// parameter set's repetitions side by side in its square; coloured as asked, with a legend.
MapLayout LayOutMap(const Atlas& atlas, MapColour colour, int width, int height);

/// A value as a map's label writes it: at most four significant digits ("0.5", "2.718", "1.2E-5").
std::string MapNumber(Extended value);

/// What a cell is and made, in a few lines, as hovering over it shows.
std::string CellSummary(const AtlasSweep& sweep, const CellRecord& record);

} // namespace taonscope
