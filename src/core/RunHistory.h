// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "FastLaw.h"
#include "World.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

namespace taonscope {

/// Every state of the runs made on one document, kept as keyframes and replayed between them: the
/// integration is exact and deterministic, so a state every KeyframeSteps steps and at most
/// KeyframeSteps - 1 steps of replay give any step bit for bit. A stretch of steps that follow one
/// another under one law and one cooling is a segment; an edit, a parameter change or a change of Cool
/// between two steps starts the next one. When the history outgrows its budget it forgets its oldest
/// steps.
class RunHistory {
public:
    /// Steps between two keyframes: a 100-taon run of a million steps keeps about 57 MiB.
    static constexpr std::size_t KeyframeSteps = 100;

    /// A history that forgets its oldest steps beyond budgetBytes.
    explicit RunHistory(std::size_t budgetBytes = std::size_t{512} << 20);

    /// A step is about to start from world with the damping cool.
    void BeforeStep(const World& world, Extended cool);
    /// The step announced by BeforeStep completed and left world.
    void StepDone(const World& world);
    /// Forgets every state (another document).
    void Clear();

    /// Number of states kept: each segment's first state and the state after each of its steps.
    std::size_t States() const;
    /// The step count (StepCounter) of state n, 0 <= n < States().
    std::int32_t StepOf(std::size_t n) const;
    /// State n, replayed with law from its keyframe; its Stopped flag is set.
    World StateAt(std::size_t n, FastLaw& law) const;
    /// The damping of the step that leaves state n (the step that would follow it in its segment).
    Extended CoolOf(std::size_t n) const;
    /// Memory held, in bytes.
    std::size_t Bytes() const;

private:
    struct Segment {
        World base;                                       // the segment's first state
        Extended cool = 1;                                // the damping of its steps
        std::vector<int> present;                         // the present slots, in order
        std::size_t first = 0;                            // the number of base among all states ever kept
        std::size_t steps = 0;                            // steps made after base
        std::deque<std::vector<unsigned char>> keyframes; // after steps K, 2K, ...: positions and velocities
    };

    const Segment& SegmentOf(std::size_t n, std::size_t& offset) const;
    static World AtKeyframe(const Segment& segment, std::size_t keyframe);
    void ForgetOldest();
    void KeepLast(const World& world);

    std::size_t budget_;
    std::deque<Segment> segments_;
    std::size_t forgotten_ = 0; // states forgotten at the front
    std::size_t keyframeBytes_ = 0;
    World last_{}; // the last state kept
};

} // namespace taonscope
