// SPDX-License-Identifier: GPL-3.0-or-later
#include "TaonStyle.h"

#include "Scene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace taonscope {

namespace {

// Beyond this a disc would only cover the whole scene: larger radii are drawn at this size.
constexpr double LargestSpherePixels = 4096;
constexpr double FarthestLight = 0.55;

void PaintDots(Canvas& canvas, const ViewState& view, const World& world, const TaonColours* colours) {
    const DotSpan dot = DotOf(view);
    const int slots = std::clamp(world.TaonCount, 0, MaxTaons);
    for (int j = 1; j <= slots; ++j) {
        if (!world.TaonPresent[j]) continue;
        const Rgb colour = TaonColour(world, j, colours);
        const std::int64_t x = view.ScreenX[j], y = view.ScreenY[j];
        for (int dy = dot.offset; dy < dot.offset + dot.size; ++dy)
            for (int dx = dot.offset; dx < dot.offset + dot.size; ++dx)
                if (FitsPixel(x + dx) && FitsPixel(y + dy))
                    canvas.SetPixel(static_cast<int>(x + dx), static_cast<int>(y + dy), colour);
    }
}

void PaintSpheres(Canvas& canvas, const ViewState& view, const World& world, const TaonColours* colours) {
    const std::vector<int> order = BackToFront(view, world);
    if (order.empty()) return;
    const double radius = SpherePixels(view);
    const auto depth = [&](int j) { return static_cast<double>(view.RotatedY[static_cast<std::size_t>(j)]); };
    const double farthest = depth(order.front()), nearest = depth(order.back());
    const double span = nearest - farthest;
    for (const int j : order) {
        const double light = std::isfinite(span) && span > 0
                                 ? FarthestLight + (1 - FarthestLight) * (depth(j) - farthest) / span
                                 : 1;
        // The dot of the same taon has its upper left pixel at the projected point; the disc is centred
        // on the middle of that dot.
        const double centre = (DotOf(view).size - 1) / 2.0 + DotOf(view).offset;
        canvas.ShadedDisc(view.ScreenX[static_cast<std::size_t>(j)] + centre,
                          view.ScreenY[static_cast<std::size_t>(j)] + centre, radius,
                          TaonColour(world, j, colours), std::isfinite(light) ? light : 1);
    }
}

} // namespace

double SpherePixels(const ViewState& view) {
    const double pixels = std::fabs(static_cast<double>(view.SphereRadius * view.ViewScale / 2));
    if (!std::isfinite(pixels)) return LargestSpherePixels;
    return std::clamp(pixels, MinSpherePixels, LargestSpherePixels);
}

std::vector<int> BackToFront(const ViewState& view, const World& world) {
    std::vector<int> order;
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j)
        if (world.TaonPresent[j]) order.push_back(j);
    // A depth that is not a number counts as the farthest, so the order stays strict.
    const auto key = [&](int j) {
        const Extended y = view.RotatedY[static_cast<std::size_t>(j)];
        return std::isnan(y) ? -HUGE_VALL : y;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    return order;
}

void PaintTaons(Canvas& canvas, const ViewState& view, const World& world, const TaonColours* colours) {
    if (view.Style == TaonStyle::Spheres)
        PaintSpheres(canvas, view, world, colours);
    else
        PaintDots(canvas, view, world, colours);
}

Rgb TaonColour(const World& world, int slot, const TaonColours* colours) {
    return colours ? (*colours)[static_cast<std::size_t>(slot)] : KindColour(TaonKind(world, slot));
}

int NumberOffset(const ViewState& view) {
    const DotSpan dot = DotOf(view);
    if (view.Style != TaonStyle::Spheres) return dot.offset + dot.size;
    return static_cast<int>(std::ceil(SpherePixels(view) * 0.7)) + 1;
}

} // namespace taonscope
