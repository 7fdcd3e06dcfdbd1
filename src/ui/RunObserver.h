// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/World.h"

namespace taonscope {

/// Something that follows the main window's world: told when a run starts and ends, after every
/// completed step of a run, and when a new document replaces the world (Open, New, Taons, Spiral ...).
/// StepDone runs between two steps of a batch, so it must be quick and must not open a window.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    /// Go was pressed: the world is as the run starts from.
    virtual void RunStarted(const World&) {}
    /// A step of the run is about to start from the world, damped by cool.
    virtual void StepStarting(const World&, Extended /*cool*/) {}
    /// A step of the run completed.
    virtual void StepDone(const World&) {}
    /// The run ended (Stop, a fault, or the window closing); the world is as the run left it.
    virtual void RunEnded(const World&) {}
    /// The world now holds another document.
    virtual void DocumentReplaced(const World&) {}
};

} // namespace taonscope
