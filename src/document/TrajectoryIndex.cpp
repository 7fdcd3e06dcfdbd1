// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrajectoryIndex.h"

#include "FileIo.h"

#include "core/Errors.h"

namespace taonscope {

namespace {

// Progress is told after this many frames; frames are small, and a call may draw a progress line.
constexpr int FramesBetweenReports = 64;

} // namespace

TrajectoryIndex::TrajectoryIndex(const std::string& path, TrajectoryFormat format,
                                 const ImportOptions& options, const Progress& progress)
    : reader_(OpenTrajectoryReader(path, format, options)) {
    const std::uint64_t total = progress ? InputFile(path).Size() : 0;
    while (reader_->Skip()) {
        places_.push_back(reader_->Place());
        if (progress && places_.size() % FramesBetweenReports == 0 &&
            !progress(places_.back().Offset, total)) {
            complete_ = false;
            return;
        }
    }
    if (progress) progress(total, total);
}

World TrajectoryIndex::Read(int k, FrameStamp* stamp) {
    if (k < 0 || k >= Frames())
        throw TaonError("the trajectory holds " + std::to_string(Frames()) + " frames, not frame " +
                        std::to_string(k + 1));
    reader_->Seek(places_[static_cast<std::size_t>(k)]);
    World world;
    if (!reader_->Next(world)) throw TaonError("frame " + std::to_string(k + 1) + " is gone from the file");
    if (stamp) *stamp = reader_->Stamp();
    return world;
}

} // namespace taonscope
