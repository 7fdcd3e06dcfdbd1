// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"
#include "ViewState.h"

#include <cstddef>
#include <vector>

namespace taonscope {

/// The trail lengths the View menu offers, in positions; the second is the default.
inline constexpr int TrailLengthChoices[3] = {10, 50, 200};

/// The last positions of every taon, as the scene showed them: one frame per picture of a run.
class TrailHistory {
public:
    /// A history that keeps the last `length` frames (at least 2).
    explicit TrailHistory(int length = TrailLengthChoices[1]);

    /// Keeps the last `length` frames from now on (at least 2); older ones are dropped.
    void SetLength(int length);
    int Length() const { return length_; } ///< see SetLength
    /// Adds the scene positions of the present taons as the newest frame.
    void Add(const World& world);
    /// Forgets every frame.
    void Clear();
    /// Frames kept, at most Length().
    int Frames() const { return static_cast<int>(frames_.size()); }

    /// One frame: presence and scene positions of every slot.
    struct Frame {
        TaonFlags present{};
        std::vector<float> x, y, z; ///< MaxTaons + 1 values each
    };
    /// Frame n, 0 the oldest.
    const Frame& At(int n) const;

private:
    int length_;
    std::size_t first_ = 0; ///< index of the oldest frame in the ring
    std::vector<Frame> frames_;
};

/// Draws each present taon's trail as lines through its kept positions in its kind's colour, from 60% of
/// it at the newest position fading to black towards the oldest; a slot absent in a frame breaks its
/// trail there. Uses the view's present matrix, zoom and pan, and the taons' last projection: with
/// Dots, each dot's place and a pixel around it are cleared to black, so that the taons drawn next stand
/// out of their trails.
void DrawTrails(Canvas& canvas, const ViewState& view, const World& world, const TrailHistory& trails);

} // namespace taonscope
