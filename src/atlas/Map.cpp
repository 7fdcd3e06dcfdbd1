// SPDX-License-Identifier: GPL-3.0-or-later
#include "Map.h"

#include "core/NumberText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace taonscope {

namespace {

// Room around the panels, in pixels.
constexpr int TitleHeight = 30;
constexpr int LeftMargin = 76;
constexpr int RightMargin = 12;
constexpr int LegendWidth = 170;
constexpr int CaptionHeight = 18;
constexpr int ValueHeight = 18;
constexpr int AxisNameHeight = 20;
constexpr int PanelGap = 14;
constexpr int SwatchSize = 14;
constexpr int LegendRow = 20;
// The least room a value label needs along x and along y.
constexpr int LabelWidth = 44;
constexpr int LabelHeight = 16;

// Perceptually even colours from dark blue through green to yellow, for numbers.
constexpr std::array<MapRgb, 5> Ramp{
    {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {253, 231, 37}}};

MapRgb RampColour(double t) {
    t = std::clamp(t, 0.0, 1.0) * (Ramp.size() - 1);
    const std::size_t low = std::min(static_cast<std::size_t>(t), Ramp.size() - 2);
    const double f = t - static_cast<double>(low);
    const auto mix = [&](std::uint8_t a, std::uint8_t b) {
        return static_cast<std::uint8_t>(std::lround(a + (b - a) * f));
    };
    return {mix(Ramp[low].R, Ramp[low + 1].R), mix(Ramp[low].G, Ramp[low + 1].G),
            mix(Ramp[low].B, Ramp[low + 1].B)};
}

Extended NumberOf(const CellRecord& r, MapColour colour) {
    switch (colour) {
    case MapColour::Clusters:
        return r.Result.Clusters;
    case MapColour::Largest:
        return r.Result.Largest;
    case MapColour::Isolated:
        return r.Result.Isolated;
    case MapColour::Kinetic:
        return r.Result.Kinetic;
    case MapColour::PairEnergy:
        return r.Result.PairEnergy;
    case MapColour::Speed:
        return r.Result.LargestSpeed;
    case MapColour::Steps:
        return static_cast<Extended>(r.Steps);
    case MapColour::Outcome:
        break;
    }
    return 0;
}

bool WholeNumbers(MapColour colour) {
    return colour == MapColour::Clusters || colour == MapColour::Largest || colour == MapColour::Isolated ||
           colour == MapColour::Steps;
}

// How numbers map to colours: their range, on a log scale where they span more than two decades.
struct Scale {
    Extended Low = 0, High = 0;
    bool Log = false;
    bool Any = false;

    double Place(Extended v) const {
        if (!(High > Low)) return 0.5;
        return Log ? static_cast<double>((std::log(v) - std::log(Low)) / (std::log(High) - std::log(Low)))
                   : static_cast<double>((v - Low) / (High - Low));
    }
    Extended At(double t) const {
        return Log ? std::exp(std::log(Low) + (std::log(High) - std::log(Low)) * t) : Low + (High - Low) * t;
    }
};

Scale ScaleOf(const std::vector<CellRecord>& records, MapColour colour) {
    Scale s;
    for (const CellRecord& r : records) {
        const Extended v = NumberOf(r, colour);
        if (!std::isfinite(v)) continue;
        s.Low = s.Any ? std::min(s.Low, v) : v;
        s.High = s.Any ? std::max(s.High, v) : v;
        s.Any = true;
    }
    s.Log = !WholeNumbers(colour) && s.Any && s.Low > 0 && s.High > 100 * s.Low;
    return s;
}

MapRgb ColourOf(const CellRecord& r, MapColour colour, const Scale& scale) {
    if (colour == MapColour::Outcome) return OutcomeColour(r.Result.Kind);
    const Extended v = NumberOf(r, colour);
    return std::isfinite(v) ? RampColour(scale.Place(v)) : NoColour;
}

std::string Caption(MapColour colour) {
    switch (colour) {
    case MapColour::Outcome:
        return "outcome";
    case MapColour::Clusters:
        return "clusters of two taons or more";
    case MapColour::Largest:
        return "taons in the largest cluster";
    case MapColour::Isolated:
        return "taons without a bond";
    case MapColour::Kinetic:
        return "K per taon";
    case MapColour::PairEnergy:
        return "U per taon";
    case MapColour::Speed:
        return "largest speed";
    case MapColour::Steps:
        break;
    }
    return "steps made";
}

// Every step-th of count labels, so that neighbours keep room between them.
int LabelStep(int room, int needed) {
    return room >= needed ? 1 : (needed + std::max(room, 1) - 1) / std::max(room, 1);
}

} // namespace

std::vector<std::string> MapColourNames() {
    return {"outcome", "clusters", "largest", "isolated", "kinetic", "pair-energy", "speed", "steps"};
}

std::optional<MapColour> MapColourNamed(std::string_view name) {
    const std::vector<std::string> names = MapColourNames();
    for (std::size_t n = 0; n < names.size(); ++n)
        if (names[n] == name) return static_cast<MapColour>(n);
    return std::nullopt;
}

MapRgb OutcomeColour(Outcome outcome) {
    switch (outcome) {
    case Outcome::Faulted:
        return {200, 30, 30};
    case Outcome::Dispersed:
        return {215, 215, 215};
    case Outcome::StillMoving:
        return {245, 160, 40};
    case Outcome::OneCluster:
        return {40, 90, 200};
    case Outcome::SeveralClusters:
        break;
    }
    return {90, 180, 90};
}

const MapTile* MapLayout::TileAt(int x, int y) const {
    for (const MapTile& tile : Tiles)
        if (tile.Box.Contains(x, y)) return &tile;
    return nullptr;
}

std::string MapNumber(Extended value) {
    if (!std::isfinite(value)) return FormatReal(value);
    char text[32];
    std::snprintf(text, sizeof text, "%.4Lg", value);
    std::string s = text;
    if (const std::size_t e = s.find('e'); e != std::string::npos) {
        // 1.2e-05 as the program writes exponents: 1.2E-5.
        std::string exponent = s.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent.erase(0, exponent.find_first_not_of("+-0"));
        s = s.substr(0, e) + "E" + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
    }
    return s;
}

MapLayout LayOutMap(const Atlas& atlas, MapColour colour, int width, int height) {
    const AtlasSweep& sweep = atlas.Plan.Sweep;
    MapLayout map;
    map.Width = width;
    map.Height = height;
    const std::size_t axes = sweep.Vary.size();
    const std::vector<Extended> xs = sweep.Vary[0].Values;
    const std::vector<Extended> ys = axes > 1 ? sweep.Vary[1].Values : std::vector<Extended>{0};
    const std::vector<Extended> zs = axes > 2 ? sweep.Vary[2].Values : std::vector<Extended>{0};
    const int nx = static_cast<int>(xs.size()), ny = static_cast<int>(ys.size()),
              nz = static_cast<int>(zs.size());
    const int reps = sweep.Repetitions;

    const std::string title = sweep.Title.empty() ? "atlas of " + atlas.Plan.Folder.Dir : sweep.Title;
    map.Labels.push_back({8, 10, MapLabel::Anchor::Left, title, true});
    map.Labels.push_back({8, 24, MapLabel::Anchor::Left,
                          "coloured by " + Caption(colour) + "; " + std::to_string(atlas.Records.size()) +
                              " of " + std::to_string(sweep.CellCount()) + " cells done",
                          false});

    // Panels in a grid as square as the count allows, the tiles filling each.
    const int columns = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(nz))));
    const int rows = (nz + columns - 1) / columns;
    const int caption = axes > 2 ? CaptionHeight : 0;
    const int areaLeft = LeftMargin, areaTop = TitleHeight + (axes > 1 ? AxisNameHeight : 4);
    const int areaWidth = std::max(width - LeftMargin - LegendWidth - RightMargin, 1);
    const int areaHeight = std::max(height - areaTop - AxisNameHeight, 1);
    const int panelRoomX = std::max((areaWidth - (columns - 1) * PanelGap) / columns, 1);
    const int panelRoomY = std::max((areaHeight - (rows - 1) * PanelGap) / rows - caption - ValueHeight, 1);
    const int tileW = std::max(panelRoomX / nx, 1), tileH = std::max(panelRoomY / ny, 1);
    const int panelW = tileW * nx, panelH = tileH * ny;
    const int xStep = LabelStep(tileW, LabelWidth), yStep = LabelStep(tileH, LabelHeight);

    std::vector<int> recordOf(static_cast<std::size_t>(sweep.CellCount()) + 1, -1);
    for (std::size_t r = 0; r < atlas.Records.size(); ++r)
        recordOf[static_cast<std::size_t>(atlas.Records[r].Index)] = static_cast<int>(r);
    const Scale scale = colour == MapColour::Outcome ? Scale{} : ScaleOf(atlas.Records, colour);

    for (int z = 0; z < nz; ++z) {
        const int column = z % columns, row = z / columns;
        const MapRect panel{areaLeft + column * (panelRoomX + PanelGap),
                            areaTop + row * (panelRoomY + caption + ValueHeight + PanelGap) + caption, panelW,
                            panelH};
        map.Panels.push_back(panel);
        if (axes > 2)
            map.Labels.push_back(
                {panel.X + panel.Width / 2, panel.Y - CaptionHeight / 2, MapLabel::Anchor::Centre,
                 sweep.Vary[2].Parameter + " = " + MapNumber(zs[static_cast<std::size_t>(z)]), true});
        for (int x = 0; x < nx; x += xStep)
            map.Labels.push_back({panel.X + x * tileW + tileW / 2, panel.Y + panel.Height + ValueHeight / 2,
                                  MapLabel::Anchor::Centre, MapNumber(xs[static_cast<std::size_t>(x)]),
                                  false});
        if (axes > 1 && column == 0)
            for (int y = 0; y < ny; y += yStep)
                map.Labels.push_back({panel.X - 6, panel.Y + panel.Height - y * tileH - tileH / 2,
                                      MapLabel::Anchor::Right, MapNumber(ys[static_cast<std::size_t>(y)]),
                                      false});
        for (int y = 0; y < ny; ++y)
            for (int x = 0; x < nx; ++x)
                for (int r = 0; r < reps; ++r) {
                    // The cell order runs over the axes in the sweep's order: first slowest.
                    int place = 0;
                    const int steps[3] = {x, y, z};
                    for (std::size_t a = 0; a < axes; ++a) place = place * sweep.Vary[a].Count + steps[a];
                    const int cell = place * reps + r + 1;
                    MapTile tile;
                    // A pixel of ground parts the parameter sets; a set's repetitions stay joined.
                    const int gap = tileW > 3 && r == reps - 1 ? 1 : 0;
                    const int left = panel.X + x * tileW + r * tileW / reps;
                    const int right = panel.X + x * tileW + (r + 1) * tileW / reps - gap;
                    tile.Box = {left, panel.Y + panel.Height - (y + 1) * tileH, std::max(right - left, 1),
                                tileH > 3 ? tileH - 1 : tileH};
                    tile.Cell = cell;
                    tile.Record = recordOf[static_cast<std::size_t>(cell)];
                    tile.Colour =
                        tile.Record < 0
                            ? NoColour
                            : ColourOf(atlas.Records[static_cast<std::size_t>(tile.Record)], colour, scale);
                    map.Tiles.push_back(tile);
                }
    }
    map.Labels.push_back({areaLeft + (panelRoomX * columns + PanelGap * (columns - 1)) / 2,
                          height - AxisNameHeight / 2, MapLabel::Anchor::Centre, sweep.Vary[0].Parameter,
                          true});
    if (axes > 1)
        map.Labels.push_back(
            {8, TitleHeight + AxisNameHeight / 2, MapLabel::Anchor::Left, sweep.Vary[1].Parameter, true});

    // The legend.
    const int legendX = width - LegendWidth - RightMargin + 12;
    int legendY = areaTop;
    auto entry = [&](MapRgb c, const std::string& text) {
        map.Legend.push_back({{legendX, legendY, SwatchSize, SwatchSize}, c, text});
        legendY += LegendRow;
    };
    if (colour == MapColour::Outcome) {
        for (const Outcome outcome : AllOutcomes) entry(OutcomeColour(outcome), OutcomeName(outcome));
    } else if (scale.Any) {
        const bool whole = WholeNumbers(colour);
        const int distinct = whole ? static_cast<int>(scale.High - scale.Low) + 1 : 0;
        const int entries = whole && distinct <= 8 ? distinct : 6;
        for (int e = entries - 1; e >= 0; --e) {
            const double t = entries > 1 ? static_cast<double>(e) / (entries - 1) : 0.5;
            const Extended v = whole && distinct <= 8 ? scale.Low + e : scale.At(t);
            entry(RampColour(scale.Place(v)), MapNumber(whole ? std::round(v) : v));
        }
        if (scale.Log) {
            map.Labels.push_back(
                {legendX, legendY + SwatchSize / 2, MapLabel::Anchor::Left, "(log scale)", false});
            legendY += LegendRow;
        }
    }
    if (static_cast<int>(atlas.Records.size()) < sweep.CellCount() || colour != MapColour::Outcome)
        entry(NoColour, colour == MapColour::Outcome ? "not done" : "not done or n/a");
    if (reps > 1) {
        legendY += LegendRow / 2;
        map.Labels.push_back({legendX, legendY + SwatchSize / 2, MapLabel::Anchor::Left,
                              std::to_string(reps) + " seeds side by side", false});
    }
    return map;
}

std::string CellSummary(const AtlasSweep& sweep, const CellRecord& r) {
    const Classification& c = r.Result;
    std::string text = "cell " + std::to_string(r.Index) + " of " + std::to_string(sweep.CellCount());
    if (r.Seed) text += ", seed " + std::to_string(*r.Seed);
    text += "\n";
    for (std::size_t a = 0; a < sweep.Vary.size(); ++a)
        text += (a ? ", " : "") + sweep.Vary[a].Parameter + " = " + FormatReal(r.Values[a]);
    text += '\n';
    text += OutcomeName(c.Kind);
    if (!c.Message.empty()) text += ": " + c.Message;
    text += " after " + std::to_string(r.Steps) + " steps\n" + std::to_string(c.Clusters) +
            (c.Clusters == 1 ? " cluster" : " clusters") + " of two or more, the largest of " +
            std::to_string(c.Largest) + " (shape " + c.Shape + "), " + std::to_string(c.Isolated) + " of " +
            std::to_string(c.Taons) + " taons without a bond\nper taon K = " + FormatReal(c.Kinetic) +
            ", U = " + FormatReal(c.PairEnergy) + "\nlargest speed " + FormatReal(c.LargestSpeed) +
            ", cutoff " + FormatReal(c.Cutoff);
    return text;
}

} // namespace taonscope
