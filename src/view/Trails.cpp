// SPDX-License-Identifier: GPL-3.0-or-later
#include "Trails.h"

#include "Scene.h"

#include <algorithm>
#include <cmath>

namespace taonscope {

namespace {

constexpr int LongestTrail = 10000;

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

void DrawTrails(Canvas& canvas, const ViewState& view, const World& world, const TrailHistory& trails) {
    const int frames = trails.Frames();
    if (frames < 2) return;
    // Each frame is projected once; a point that is not finite or lies far off breaks the trail.
    std::vector<std::vector<ScreenPoint>> points(static_cast<std::size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        const TrailHistory::Frame& f = trails.At(n);
        auto& row = points[static_cast<std::size_t>(n)];
        row.resize(MaxTaons + 1);
        for (int j = 1; j <= MaxTaons; ++j)
            if (f.present[static_cast<std::size_t>(j)])
                row[static_cast<std::size_t>(j)] =
                    ProjectPoint(view, f.x[static_cast<std::size_t>(j)], f.y[static_cast<std::size_t>(j)],
                                 f.z[static_cast<std::size_t>(j)]);
    }
    const auto usable = [](const ScreenPoint& p) {
        return std::isfinite(p.x) && std::isfinite(p.y) && std::fabs(p.x) < 1e6L && std::fabs(p.y) < 1e6L;
    };
    for (int j = 1; j <= std::clamp(world.TaonCount, 0, MaxTaons); ++j) {
        if (!world.TaonPresent[static_cast<std::size_t>(j)]) continue;
        const Rgb colour = KindColour(TaonKind(world, j));
        for (int n = 1; n < frames; ++n) {
            const auto& a = trails.At(n - 1);
            const auto& b = trails.At(n);
            if (!a.present[static_cast<std::size_t>(j)] || !b.present[static_cast<std::size_t>(j)]) continue;
            const ScreenPoint p = points[static_cast<std::size_t>(n - 1)][static_cast<std::size_t>(j)];
            const ScreenPoint q = points[static_cast<std::size_t>(n)][static_cast<std::size_t>(j)];
            if (!usable(p) || !usable(q)) continue;
            // The newest segment has nearly the full colour, the oldest nearly none.
            const double fade = static_cast<double>(n) / frames;
            canvas.SetPenColor({static_cast<std::uint8_t>(colour.r * fade),
                                static_cast<std::uint8_t>(colour.g * fade),
                                static_cast<std::uint8_t>(colour.b * fade)});
            canvas.MoveTo(RoundToPixel(p.x), RoundToPixel(p.y));
            canvas.LineTo(RoundToPixel(q.x), RoundToPixel(q.y));
        }
    }
}

} // namespace taonscope
