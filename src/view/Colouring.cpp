// SPDX-License-Identifier: GPL-3.0-or-later
#include "Colouring.h"

#include "TaonStyle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace taonscope {

namespace {

// Every colour stands out on black as the legend's text must, at a contrast of 4.5 to 1 or more (WCAG).
// Ten colours that stand apart from each other and from the grey of lone taons, on black.
constexpr Rgb ClusterPalette[10] = {{0, 160, 255},   {255, 140, 0},  {190, 90, 255},  {0, 220, 170},
                                    {255, 80, 170},  {255, 235, 80}, {120, 200, 255}, {180, 255, 90},
                                    {255, 120, 100}, {150, 150, 255}};
// Bonds 1 to 12 and more, from cool to warm; 0 bonds is LoneColour.
constexpr Rgb CoordinationPalette[12] = {{120, 120, 255}, {0, 160, 255},  {0, 220, 220},  {0, 230, 120},
                                         {120, 240, 0},   {220, 230, 0},  {255, 180, 0},  {255, 120, 0},
                                         {255, 60, 60},   {255, 60, 160}, {220, 80, 255}, {255, 255, 255}};
// The speed scale: rest, a quarter, half, three quarters and all of the largest speed.
constexpr Rgb SpeedStops[5] = {{100, 150, 255}, {0, 220, 255}, {0, 230, 60}, {255, 230, 0}, {255, 40, 0}};
// Clusters named one by one in the legend; the rest are counted on one line.
constexpr std::size_t LegendClusters = 8;

std::string Short(Extended value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", static_cast<double>(value));
    return text;
}

std::string Taons(int n) {
    return std::to_string(n) + (n == 1 ? " taon" : " taons");
}

Rgb SpeedColour(double fraction) {
    const double at = std::clamp(fraction, 0.0, 1.0) * 4;
    const int below = std::min(static_cast<int>(at), 3);
    const double t = at - below;
    const Rgb a = SpeedStops[below], b = SpeedStops[below + 1];
    const auto mix = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
    return {mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b)};
}

std::vector<int> PresentSlots(const World& world) {
    std::vector<int> slots;
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j)
        if (world.TaonPresent[static_cast<std::size_t>(j)]) slots.push_back(j);
    return slots;
}

void ByCluster(TaonColouring& c, const World& world, const SceneStructure& s) {
    const auto size = [&](int cluster) {
        return cluster >= 0 && static_cast<std::size_t>(cluster) < s.ClusterSizes.size()
                   ? s.ClusterSizes[static_cast<std::size_t>(cluster)]
                   : 0;
    };
    for (const int j : PresentSlots(world)) {
        const int cluster = s.Cluster[static_cast<std::size_t>(j)];
        c.Colour[static_cast<std::size_t>(j)] = size(cluster) >= 2 ? ClusterColour(cluster) : LoneColour;
    }
    c.Legend.push_back({LoneColour, "Clusters (cutoff " + Short(s.Cutoff) + ")", false});
    std::size_t shared = 0, lone = 0;
    for (std::size_t n = 0; n < s.ClusterSizes.size(); ++n) {
        if (s.ClusterSizes[n] < 2)
            ++lone;
        else if (n < LegendClusters)
            c.Legend.push_back({ClusterColour(static_cast<int>(n)),
                                std::to_string(n + 1) + ": " + Taons(s.ClusterSizes[n])});
        else
            ++shared;
    }
    if (shared > 0) c.Legend.push_back({LoneColour, "and " + std::to_string(shared) + " more", false});
    if (lone > 0) c.Legend.push_back({LoneColour, "alone: " + Taons(static_cast<int>(lone))});
}

void ByCoordination(TaonColouring& c, const World& world, const SceneStructure& s) {
    std::array<int, 13> count{};
    for (const int j : PresentSlots(world)) {
        const int bonds = std::clamp(s.Coordination[static_cast<std::size_t>(j)], 0, 12);
        c.Colour[static_cast<std::size_t>(j)] = CoordinationColour(bonds);
        ++count[static_cast<std::size_t>(bonds)];
    }
    c.Legend.push_back({LoneColour, "Bonds (cutoff " + Short(s.Cutoff) + ")", false});
    for (int bonds = 0; bonds <= 12; ++bonds)
        if (count[static_cast<std::size_t>(bonds)] > 0)
            c.Legend.push_back(
                {CoordinationColour(bonds), std::to_string(bonds) + (bonds == 12 ? "+" : "") + ": " +
                                                Taons(count[static_cast<std::size_t>(bonds)])});
}

void BySpeed(TaonColouring& c, const World& world) {
    TaonArray speed{};
    Extended largest = 0;
    for (const int j : PresentSlots(world)) {
        const auto i = static_cast<std::size_t>(j);
        speed[i] = std::sqrt(world.VelX[i] * world.VelX[i] + world.VelY[i] * world.VelY[i] +
                             world.VelZ[i] * world.VelZ[i]);
        if (std::isfinite(speed[i])) largest = std::max(largest, speed[i]);
    }
    for (const int j : PresentSlots(world)) {
        const auto i = static_cast<std::size_t>(j);
        c.Colour[i] = !std::isfinite(speed[i])
                          ? LoneColour
                          : SpeedColour(largest > 0 ? static_cast<double>(speed[i] / largest) : 0);
    }
    c.Legend.push_back({LoneColour, "Speed", false});
    for (int k = 0; k <= 4; ++k) c.Legend.push_back({SpeedStops[k], Short(largest * k / 4)});
}

} // namespace

Rgb CoordinationColour(int bonds) {
    return bonds <= 0 ? LoneColour : CoordinationPalette[std::min(bonds, 12) - 1];
}

Rgb ClusterColour(int index) {
    return ClusterPalette[static_cast<std::size_t>(std::max(index, 0)) % 10];
}

TaonColouring ColourTaons(ColourBy by, const World& world, const SceneStructure& structure) {
    TaonColouring c;
    switch (by) {
    case ColourBy::Kind:
        for (const int j : PresentSlots(world))
            c.Colour[static_cast<std::size_t>(j)] = KindColour(TaonKind(world, j));
        break;
    case ColourBy::Cluster:
        ByCluster(c, world, structure);
        break;
    case ColourBy::Coordination:
        ByCoordination(c, world, structure);
        break;
    case ColourBy::Speed:
        BySpeed(c, world);
        break;
    }
    return c;
}

void DrawBonds(Canvas& canvas, const ViewState& view, const World& world,
               const std::vector<SlotPair>& bonds) {
    const DotSpan dot = DotOf(view);
    const int middle = dot.offset + (dot.size - 1) / 2;
    const auto drawn = [&](int j) {
        return j >= 1 && j <= std::clamp(world.TaonCount, 0, MaxTaons) &&
               world.TaonPresent[static_cast<std::size_t>(j)];
    };
    const auto at = [&](const PixelArray& pixels, int j) {
        return static_cast<int>(std::clamp<std::int64_t>(
            std::int64_t{pixels[static_cast<std::size_t>(j)]} + middle, INT32_MIN, INT32_MAX));
    };
    canvas.SetPenColor(BondColour);
    for (const SlotPair& bond : bonds) {
        if (!drawn(bond[0]) || !drawn(bond[1])) continue;
        canvas.MoveTo(at(view.ScreenX, bond[0]), at(view.ScreenY, bond[0]));
        canvas.LineTo(at(view.ScreenX, bond[1]), at(view.ScreenY, bond[1]));
    }
}

} // namespace taonscope
