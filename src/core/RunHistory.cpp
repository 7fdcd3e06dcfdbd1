// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunHistory.h"

#include "Step.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>

namespace taonscope {

namespace {

// An extended real's 80 significant bits; the rest of its storage is padding.
constexpr std::size_t RealBytes = 10;

bool Same(Extended a, Extended b) {
    return std::memcmp(&a, &b, RealBytes) == 0;
}

constexpr std::array<TaonArray World::*, 6> Kept = {&World::PosX, &World::PosY, &World::PosZ,
                                                    &World::VelX, &World::VelY, &World::VelZ};
constexpr std::array<TaonArray World::*, 6> NextOfKept = {&World::NextPosX, &World::NextPosY,
                                                          &World::NextPosZ, &World::NextVelX,
                                                          &World::NextVelY, &World::NextVelZ};

int SlotsInUse(const World& w) {
    return std::clamp(w.TaonCount, 0, MaxTaons);
}

// Whether the next step from b would be the step from a: the same slots, law, step count, and the
// same copies of every present taon.
bool SameState(const World& a, const World& b) {
    if (a.TaonCount != b.TaonCount || a.StepCounter != b.StepCounter) return false;
    for (Extended World::*field : ParameterFields)
        if (!Same(a.*field, b.*field)) return false;
    for (int i = 1; i <= SlotsInUse(a); ++i) {
        if (a.TaonPresent[i] != b.TaonPresent[i]) return false;
        if (!a.TaonPresent[i]) continue;
        for (std::size_t c = 0; c < Kept.size(); ++c)
            if (!Same((a.*Kept[c])[i], (b.*Kept[c])[i]) ||
                !Same((a.*NextOfKept[c])[i], (b.*NextOfKept[c])[i]))
                return false;
    }
    return true;
}

std::int32_t StepsLater(std::int32_t counter, std::size_t steps) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + static_cast<std::uint32_t>(steps));
}

} // namespace

RunHistory::RunHistory(std::size_t budgetBytes) : budget_(budgetBytes) {}

void RunHistory::BeforeStep(const World& world, Extended cool) {
    // Between two steps of a batch nothing changes the world: the bytes are the same, and the comparison
    // of values is left for a world that something else touched.
    const bool untouched = std::memcmp(&world, &last_, sizeof(World)) == 0;
    if (!segments_.empty() && Same(cool, segments_.back().cool) && (untouched || SameState(world, last_)))
        return;
    Segment segment;
    segment.base = world;
    segment.cool = cool;
    for (int i = 1; i <= SlotsInUse(world); ++i)
        if (world.TaonPresent[i]) segment.present.push_back(i);
    segment.first = segments_.empty() ? forgotten_ : segments_.back().first + segments_.back().steps + 1;
    segments_.push_back(std::move(segment));
    KeepLast(world);
    while (Bytes() > budget_ && segments_.size() + segments_.front().keyframes.size() > 1) ForgetOldest();
}

void RunHistory::StepDone(const World& world) {
    Segment& segment = segments_.back();
    KeepLast(world);
    if (++segment.steps % KeyframeSteps != 0) return;
    std::vector<unsigned char> keyframe(segment.present.size() * Kept.size() * RealBytes);
    unsigned char* out = keyframe.data();
    for (int i : segment.present)
        for (TaonArray World::*field : Kept) {
            std::memcpy(out, &(world.*field)[i], RealBytes);
            out += RealBytes;
        }
    keyframeBytes_ += keyframe.size();
    segment.keyframes.push_back(std::move(keyframe));
    while (Bytes() > budget_ && segments_.size() + segments_.front().keyframes.size() > 1) ForgetOldest();
}

void RunHistory::Clear() {
    segments_.clear();
    forgotten_ = 0;
    keyframeBytes_ = 0;
}

// The oldest stretch of KeyframeSteps steps goes: the first segment starts at its first keyframe, or,
// with none left, the whole segment goes.
void RunHistory::ForgetOldest() {
    Segment& oldest = segments_.front();
    if (oldest.keyframes.empty()) {
        forgotten_ += oldest.steps + 1;
        segments_.pop_front();
        return;
    }
    oldest.base = AtKeyframe(oldest, 1);
    keyframeBytes_ -= oldest.keyframes.front().size();
    oldest.keyframes.pop_front();
    oldest.steps -= KeyframeSteps;
    oldest.first += KeyframeSteps;
    forgotten_ += KeyframeSteps;
}

// Byte for byte, padding too, so that an untouched world compares equal as bytes.
void RunHistory::KeepLast(const World& world) {
    static_assert(std::is_trivially_copyable_v<World>);
    std::memcpy(static_cast<void*>(&last_), &world, sizeof(World));
}

std::size_t RunHistory::States() const {
    if (segments_.empty()) return 0;
    return segments_.back().first + segments_.back().steps + 1 - forgotten_;
}

const RunHistory::Segment& RunHistory::SegmentOf(std::size_t n, std::size_t& offset) const {
    const std::size_t state = forgotten_ + n;
    const auto after =
        std::upper_bound(segments_.begin(), segments_.end(), state,
                         [](std::size_t s, const Segment& segment) { return s < segment.first; });
    const Segment& segment = *std::prev(after);
    offset = state - segment.first;
    return segment;
}

std::int32_t RunHistory::StepOf(std::size_t n) const {
    std::size_t offset = 0;
    const Segment& segment = SegmentOf(n, offset);
    return StepsLater(segment.base.StepCounter, offset);
}

Extended RunHistory::CoolOf(std::size_t n) const {
    std::size_t offset = 0;
    return SegmentOf(n, offset).cool;
}

World RunHistory::AtKeyframe(const Segment& segment, std::size_t keyframe) {
    World world = segment.base;
    if (keyframe == 0) return world;
    const unsigned char* in = segment.keyframes[keyframe - 1].data();
    for (int i : segment.present) {
        for (std::size_t c = 0; c < Kept.size(); ++c) {
            Extended value = 0;
            std::memcpy(&value, in, RealBytes);
            in += RealBytes;
            (world.*Kept[c])[i] = (world.*NextOfKept[c])[i] = value;
        }
        world.ScenePosX[i] = world.PosX[i], world.ScenePosY[i] = world.PosY[i],
        world.ScenePosZ[i] = world.PosZ[i];
    }
    world.StepCounter = StepsLater(segment.base.StepCounter, keyframe * KeyframeSteps);
    return world;
}

World RunHistory::StateAt(std::size_t n, FastLaw& law) const {
    std::size_t offset = 0;
    const Segment& segment = SegmentOf(n, offset);
    World world = AtKeyframe(segment, offset / KeyframeSteps);
    for (std::size_t s = offset - offset % KeyframeSteps; s < offset; ++s)
        AdvanceStep(world, segment.cool, law);
    world.Stopped = true;
    return world;
}

std::size_t RunHistory::Bytes() const {
    return sizeof(RunHistory) + segments_.size() * (sizeof(Segment) + MaxTaons * sizeof(int)) +
           keyframeBytes_;
}

} // namespace taonscope
