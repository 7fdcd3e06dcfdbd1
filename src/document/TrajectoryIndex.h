// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TrajectoryFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace taonscope {

/// The frames of a trajectory file, found in one pass that reads no number, so that any frame is then
/// read by going straight to it: a file of any size is played in the memory of one frame. Failures
/// throw IoError or TaonError naming the line.
class TrajectoryIndex {
public:
    /// Told the bytes scanned so far and the file's bytes, now and then; false stops the scan there.
    using Progress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

    /// Scans the trajectory at path in its format (options as import takes them) for its whole frames;
    /// a cut last frame is left out, as the readers leave it out.
    TrajectoryIndex(const std::string& path, TrajectoryFormat format, const ImportOptions& options = {},
                    const Progress& progress = {});

    /// The whole frames found.
    int Frames() const { return static_cast<int>(places_.size()); }
    /// True unless progress stopped the scan before the end.
    bool Complete() const { return complete_; }
    /// Empty, or what the scan left out.
    const std::string& Note() const { return reader_->Note(); }
    /// Frame k (from 0) as a world; stamp, when given, takes its step and time.
    World Read(int k, FrameStamp* stamp = nullptr);

private:
    std::unique_ptr<TrajectoryReader> reader_;
    std::vector<FramePlace> places_;
    bool complete_ = true;
};

} // namespace taonscope
