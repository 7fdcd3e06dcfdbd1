// SPDX-License-Identifier: GPL-3.0-or-later
#include "Series.h"

#include <algorithm>

namespace taonscope {

namespace {

bool Present(const World& w, int i) {
    return i <= std::clamp(w.TaonCount, 0, MaxTaons) && w.TaonPresent[static_cast<std::size_t>(i)];
}

} // namespace

Quantity MeanSquaredDisplacement(const World& frame, const World& first) {
    std::vector<Position> moves;
    for (int i = 1; i <= MaxTaons; ++i)
        if (Present(frame, i) && Present(first, i))
            moves.push_back({frame.PosX[i] - first.PosX[i], frame.PosY[i] - first.PosY[i],
                             frame.PosZ[i] - first.PosZ[i]});
    if (moves.empty()) return {0, "No taon is present in both frames"};
    return Measure([&] {
        const Extended n = static_cast<Extended>(moves.size());
        Position mean{};
        for (const Position& d : moves)
            for (std::size_t c = 0; c < 3; ++c) mean[c] += d[c];
        for (Extended& m : mean) m /= n;
        // Two passes: the drift of the whole can be far larger than the motion within it.
        Extended sum = 0;
        for (const Position& d : moves) {
            const Extended x = d[0] - mean[0], y = d[1] - mean[1], z = d[2] - mean[2];
            sum += x * x + y * y + z * z;
        }
        return sum / n;
    });
}

SeriesRow MeasureFrame(const World& frame, int number, std::int64_t step, Extended time, const World& first,
                       const Structure* structure) {
    SeriesRow row;
    row.Frame = number;
    row.Measures = TakeSample(frame, step, time);
    row.Msd = MeanSquaredDisplacement(frame, first);
    if (structure) row.Structure = SeriesStructure{structure->Counts, structure->Order.MeanQ6};
    return row;
}

} // namespace taonscope
