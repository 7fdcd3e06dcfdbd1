// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunObserver.h"

#include "core/World.h"

#include <QAction>
#include <QPointer>
#include <QString>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QMenu;

namespace taonscope {

/// What undo gives back of a world, held compactly: the current positions and velocities, the 19
/// parameters (10 significant bytes each), presence, slot count and step counter; the next-step and
/// scene copies only where they differ from the current copy. Run and display flags are not kept.
class WorldSnapshot {
public:
    explicit WorldSnapshot(const World& world);
    /// Writes the kept fields back into world, bit for bit.
    void RestoreInto(World& world) const;
    /// Memory the snapshot takes, itself and its buffers.
    std::size_t Bytes() const;
    friend bool operator==(const WorldSnapshot&, const WorldSnapshot&) = default;

private:
    using Bits = std::array<unsigned char, 10>;
    struct Difference {
        std::uint8_t copy; ///< index into the copies' table
        std::uint8_t slot;
        Bits bits;
        friend bool operator==(const Difference&, const Difference&) = default;
    };
    std::vector<Bits> current_; ///< six arrays of MaxTaons + 1 values, then the 19 parameters
    std::vector<Difference> differences_;
    TaonFlags present_{};
    std::int32_t taonCount_ = 0, stepCounter_ = 0;
};

/// The undo history of the world within one document: each change is one named step on a Qt undo
/// stack (at most Limit of them) holding the world before and after it. Runs are recorded through the
/// RunObserver notices (one "Run" step from Go to the end of the run); a new document clears the steps.
/// Undo and redo are unavailable while a run is in progress, and never touch files.
class WorldHistory : public RunObserver {
public:
    /// Steps kept; the oldest goes first.
    static constexpr int Limit = 200;

    /// A history of world; restored is called after undo or redo has changed the world.
    WorldHistory(World& world, std::function<void()> restored);
    ~WorldHistory() override;

    /// Records a change just made to the world as one step called name; before is the world as it was.
    /// A change that leaves every kept field as it was is no step, and during a run the run's step
    /// covers it. With completedByDocument the notice of a document that follows (the editor's OK,
    /// after which the window refreshes as for a new document) completes this step instead of clearing.
    void Record(const QString& name, const World& before, bool completedByDocument = false);
    /// Steps back and forth; nothing when unavailable.
    void Undo();
    void Redo(); ///< see Undo
    bool CanUndo() const;
    bool CanRedo() const; ///< see CanUndo
    /// The steps kept.
    const QUndoStack& Stack() const { return stack_; }
    /// Memory the kept steps take (shared snapshots counted once).
    std::size_t MemoryBytes() const;

    /// Adds "Undo" (Ctrl+Z) and "Redo" (Ctrl+Shift+Z, Ctrl+Y) to menu; their captions name the step.
    void AddActions(QMenu* menu);
    QAction* UndoAction() const { return undoAction_; }
    QAction* RedoAction() const { return redoAction_; } ///< see UndoAction

    void RunStarted(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

    /// Restores a snapshot into the world; called by the steps.
    void Restore(const std::shared_ptr<const WorldSnapshot>& snapshot);

private:
    using Snapshot = std::shared_ptr<const WorldSnapshot>;
    Snapshot Take(const World& world);
    void Push(const QString& name, Snapshot before, const World& after);
    void PushPending(const World& after);
    void UpdateActions();

    World& world_;
    std::function<void()> restored_;
    QUndoStack stack_;
    Snapshot present_; ///< the world as the last push, undo or redo left it, shared with its step
    Snapshot runStart_;
    Snapshot pendingBefore_;
    QString pendingName_;
    bool running_ = false;
    QPointer<QAction> undoAction_;
    QPointer<QAction> redoAction_;
};

} // namespace taonscope
