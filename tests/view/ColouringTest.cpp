// SPDX-License-Identifier: GPL-3.0-or-later
// What the colourings' legends show must stand out on the scene's black.
#include "view/Colouring.h"

#include "core/Scenarios.h"

#include <gtest/gtest.h>

#include <cmath>

namespace taonscope {
namespace {

// The contrast of a colour against black by the WCAG 2 formula: (L + 0.05) / 0.05, L the relative
// luminance of the sRGB channels made linear.
double ContrastOnBlack(Rgb c) {
    const auto linear = [](int channel) {
        const double v = channel / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
    return (luminance + 0.05) / 0.05;
}

TEST(Colouring, EveryColourOfEveryLegendStandsOutOnBlack) {
    World world = CloudWorld(3);
    SceneStructure structure;
    for (int j = 1; j <= MaxTaons; ++j) {
        structure.Cluster[static_cast<std::size_t>(j)] = (j - 1) / 2; // fifty clusters of two
        structure.Coordination[static_cast<std::size_t>(j)] = j % 14; // 0 to 13 bonds
        world.VelX[static_cast<std::size_t>(j)] = static_cast<Extended>(j) / MaxTaons; // every speed
    }
    structure.ClusterSizes.assign(50, 2);
    int colours = 0;
    for (const ColourBy by : {ColourBy::Cluster, ColourBy::Coordination, ColourBy::Speed}) {
        const TaonColouring colouring = ColourTaons(by, world, structure);
        for (const LegendEntry& entry : colouring.Legend) {
            EXPECT_GE(ContrastOnBlack(entry.colour), 4.5) << entry.text;
            ++colours;
        }
        for (int j = 1; j <= MaxTaons; ++j)
            EXPECT_GE(ContrastOnBlack(colouring.Colour[static_cast<std::size_t>(j)]), 4.5) << j;
    }
    EXPECT_GT(colours, 25); // headings, eight clusters and the rest, 14 bond counts, five speeds
}

} // namespace
} // namespace taonscope
