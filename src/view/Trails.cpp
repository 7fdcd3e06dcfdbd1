// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trails.h"

#include "Scene.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

constexpr int LongestTrail = 10000;

// The newest segment's share of its taon's colour: darker than the taon's dot at its end.
constexpr double TrailBrightest = 0.6;

} // namespace

TrailHistory::TrailHistory(int length) : length_(std::clamp(length, 2, LongestTrail)) {}

void TrailHistory::SetLength(int length) {
    length = std::clamp(length, 2, LongestTrail);
    // Keep the newest frames, oldest first, in a ring of the new length.
    std::vector<Frame> kept;
    const int keep = std::min(Frames(), length);
    for (int n = Frames() - keep; n < Frames(); ++n) kept.push_back(At(n));
    frames_ = std::move(kept);
    first_ = 0;
    length_ = length;
}

void TrailHistory::Add(const World& world) {
    Frame* frame;
    if (Frames() < length_) {
        frames_.emplace_back();
        frame = &frames_.back();
        frame->x.resize(MaxTaons + 1), frame->y.resize(MaxTaons + 1), frame->z.resize(MaxTaons + 1);
    } else {
        frame = &frames_[first_];
        first_ = (first_ + 1) % frames_.size();
    }
    frame->present = world.TaonPresent;
    for (int j = 0; j <= MaxTaons; ++j) {
        frame->x[static_cast<std::size_t>(j)] =
            static_cast<float>(world.ScenePosX[static_cast<std::size_t>(j)]);
        frame->y[static_cast<std::size_t>(j)] =
            static_cast<float>(world.ScenePosY[static_cast<std::size_t>(j)]);
        frame->z[static_cast<std::size_t>(j)] =
            static_cast<float>(world.ScenePosZ[static_cast<std::size_t>(j)]);
    }
    if (world.TaonCount < MaxTaons)
        for (int j = std::max(world.TaonCount + 1, 0); j <= MaxTaons; ++j)
            frame->present[static_cast<std::size_t>(j)] = false;
}

void TrailHistory::Clear() {
    frames_.clear();
    first_ = 0;
}

const TrailHistory::Frame& TrailHistory::At(int n) const {
    return frames_[(first_ + static_cast<std::size_t>(n)) % frames_.size()];
}

namespace {

// The trails' lines, without the margins around the dots. A trail is a picture's decoration: each kept
// position is projected once, in double precision, to a pixel; one that is not finite or lies far off
// breaks the trail.
void DrawTrailLines(Canvas& canvas, const ViewState& view, const World& world, const TrailHistory& trails) {
    const int frames = trails.Frames();
    if (frames < 2) return;
    const auto& m = view.RotationMatrix;
    const double half = static_cast<double>(view.ViewScale) / 2;
    const double across[3] = {static_cast<double>(m[0][0]), static_cast<double>(m[0][1]),
                              static_cast<double>(m[0][2])};
    const double down[3] = {static_cast<double>(m[2][0]), static_cast<double>(m[2][1]),
                            static_cast<double>(m[2][2])};
    const double left = view.CentreX + static_cast<double>(view.OffsetX);
    const double top = view.CentreY + static_cast<double>(view.OffsetY);
    constexpr std::size_t Slots = MaxTaons + 1;
    struct Pixel {
        int x = 0, y = 0;
        bool usable = false;
    };
    std::vector<Pixel> pixels(static_cast<std::size_t>(frames) * Slots);
    for (int n = 0; n < frames; ++n) {
        const TrailHistory::Frame& f = trails.At(n);
        for (std::size_t j = 1; j < Slots; ++j) {
            if (!f.present[j]) continue;
            const double x = f.x[j], y = f.y[j], z = f.z[j];
            const double sx = left + (across[0] * x + across[1] * y + across[2] * z) * half;
            const double sy = top + (down[0] * x + down[1] * y + down[2] * z) * half;
            if (std::isfinite(sx) && std::isfinite(sy) && std::fabs(sx) < 1e6 && std::fabs(sy) < 1e6)
                pixels[static_cast<std::size_t>(n) * Slots + j] = {static_cast<int>(std::lrint(sx)),
                                                                   static_cast<int>(std::lrint(sy)), true};
        }
    }
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[static_cast<std::size_t>(j)]) continue;
        const Rgb colour = KindColour(TaonKind(world, j));
        for (int n = 1; n < frames; ++n) {
            const Pixel& p = pixels[static_cast<std::size_t>(n - 1) * Slots + static_cast<std::size_t>(j)];
            const Pixel& q = pixels[static_cast<std::size_t>(n) * Slots + static_cast<std::size_t>(j)];
            if (!p.usable || !q.usable) continue;
            // The newest segment has TrailBrightest of the colour, the oldest nearly none.
            const double fade = TrailBrightest * n / frames;
            canvas.SetPenColor({static_cast<std::uint8_t>(colour.r * fade),
                                static_cast<std::uint8_t>(colour.g * fade),
                                static_cast<std::uint8_t>(colour.b * fade)});
            canvas.MoveTo(p.x, p.y);
            canvas.LineTo(q.x, q.y);
        }
    }
}

} // namespace

void DrawTrails(Canvas& canvas, const ViewState& view, const World& world, const TrailHistory& trails) {
    DrawTrailLines(canvas, view, world, trails);
    // A dot in its trail's own colour would be lost in it: each dot gets a black margin of a pixel, where
    // the taons are drawn next.
    if (view.Style != TaonStyle::Dots) return;
    const DotSpan dot = DotOf(view);
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[static_cast<std::size_t>(j)]) continue;
        const std::int64_t x = view.ScreenX[static_cast<std::size_t>(j)],
                           y = view.ScreenY[static_cast<std::size_t>(j)];
        for (int dy = dot.offset - 1; dy <= dot.offset + dot.size; ++dy)
            for (int dx = dot.offset - 1; dx <= dot.offset + dot.size; ++dx)
                if (FitsPixel(x + dx) && FitsPixel(y + dy))
                    canvas.SetPixel(static_cast<int>(x + dx), static_cast<int>(y + dy), Colours::Black);
    }
}

} // namespace taonscope
