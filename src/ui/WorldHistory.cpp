// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorldHistory.h"

#include <QMenu>

#include <cstring>
#include <set>

namespace taonscope {

namespace {

constexpr TaonArray World::*CurrentArrays[6] = {&World::PosX, &World::PosY, &World::PosZ,
                                                &World::VelX, &World::VelY, &World::VelZ};

// Each further copy with the current array it follows after a step, a load or the editor's commit.
struct CopyOf {
    TaonArray World::*copy;
    int current;
};
constexpr CopyOf Copies[9] = {{&World::NextPosX, 0},  {&World::NextPosY, 1},  {&World::NextPosZ, 2},
                              {&World::NextVelX, 3},  {&World::NextVelY, 4},  {&World::NextVelZ, 5},
                              {&World::ScenePosX, 0}, {&World::ScenePosY, 1}, {&World::ScenePosZ, 2}};

constexpr int Values = MaxTaons + 1;

// One step of the history: the world before and after it; the first redo is the change already made.
class WorldStep : public QUndoCommand {
public:
    WorldStep(WorldHistory& history, const QString& name, std::shared_ptr<const WorldSnapshot> before,
              std::shared_ptr<const WorldSnapshot> after)
        : QUndoCommand(name), history_(history), before_(std::move(before)), after_(std::move(after)) {}

    void undo() override { history_.Restore(before_); }
    void redo() override {
        if (done_) history_.Restore(after_);
        done_ = true;
    }
    void AddSnapshots(std::set<const WorldSnapshot*>& into) const {
        into.insert(before_.get());
        into.insert(after_.get());
    }

private:
    WorldHistory& history_;
    std::shared_ptr<const WorldSnapshot> before_, after_;
    bool done_ = false;
};

} // namespace

WorldSnapshot::WorldSnapshot(const World& world)
    : present_(world.TaonPresent), taonCount_(world.TaonCount), stepCounter_(world.StepCounter) {
    auto bitsOf = [](const Extended& value) {
        Bits bits;
        std::memcpy(bits.data(), &value, bits.size());
        return bits;
    };
    current_.reserve(6 * Values + ParameterFields.size());
    for (auto array : CurrentArrays)
        for (const Extended& value : world.*array) current_.push_back(bitsOf(value));
    for (auto field : ParameterFields) current_.push_back(bitsOf(world.*field));
    for (std::size_t c = 0; c < std::size(Copies); ++c)
        for (int i = 0; i < Values; ++i) {
            const Bits bits = bitsOf((world.*Copies[c].copy)[static_cast<std::size_t>(i)]);
            if (bits != current_[static_cast<std::size_t>(Copies[c].current * Values + i)])
                differences_.push_back({static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(i), bits});
        }
    differences_.shrink_to_fit();
}

void WorldSnapshot::RestoreInto(World& world) const {
    auto setBits = [](Extended& value, const Bits& bits) {
        value = 0;
        std::memcpy(&value, bits.data(), bits.size());
    };
    for (int a = 0; a < 6; ++a)
        for (int i = 0; i < Values; ++i)
            setBits((world.*CurrentArrays[a])[static_cast<std::size_t>(i)],
                    current_[static_cast<std::size_t>(a * Values + i)]);
    for (std::size_t p = 0; p < ParameterFields.size(); ++p)
        setBits(world.*ParameterFields[p], current_[6 * Values + p]);
    for (const CopyOf& c : Copies) world.*c.copy = world.*CurrentArrays[c.current];
    for (const Difference& d : differences_) setBits((world.*Copies[d.copy].copy)[d.slot], d.bits);
    world.TaonPresent = present_;
    world.TaonCount = taonCount_;
    world.StepCounter = stepCounter_;
}

std::size_t WorldSnapshot::Bytes() const {
    return sizeof(*this) + current_.capacity() * sizeof(Bits) + differences_.capacity() * sizeof(Difference);
}

WorldHistory::WorldHistory(World& world, std::function<void()> restored)
    : world_(world), restored_(std::move(restored)) {
    stack_.setUndoLimit(Limit);
}

WorldHistory::~WorldHistory() {
    for (QAction* action : {undoAction_.data(), redoAction_.data()})
        if (action) QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
}

// Consecutive steps share the snapshot between them: the after of one is usually the before of the next.
WorldHistory::Snapshot WorldHistory::Take(const World& world) {
    auto snapshot = std::make_shared<const WorldSnapshot>(world);
    if (present_ && *present_ == *snapshot) return present_;
    return snapshot;
}

void WorldHistory::Push(const QString& name, Snapshot before, const World& after) {
    Snapshot afterSnapshot = Take(after);
    if (*afterSnapshot == *before) return;
    stack_.push(new WorldStep(*this, name, std::move(before), afterSnapshot));
    present_ = std::move(afterSnapshot);
}

void WorldHistory::PushPending(const World& after) {
    Snapshot before = std::move(pendingBefore_);
    pendingBefore_.reset();
    Push(pendingName_, std::move(before), after);
}

void WorldHistory::Record(const QString& name, const World& before, bool completedByDocument) {
    if (running_) return;
    if (pendingBefore_) PushPending(before);
    if (completedByDocument) {
        pendingBefore_ = Take(before);
        pendingName_ = name;
    } else {
        Push(name, Take(before), world_);
    }
    UpdateActions();
}

void WorldHistory::Undo() {
    if (!CanUndo()) return;
    stack_.undo();
    UpdateActions();
}

void WorldHistory::Redo() {
    if (!CanRedo()) return;
    stack_.redo();
    UpdateActions();
}

bool WorldHistory::CanUndo() const {
    return !running_ && !pendingBefore_ && stack_.canUndo();
}

bool WorldHistory::CanRedo() const {
    return !running_ && !pendingBefore_ && stack_.canRedo();
}

void WorldHistory::Restore(const std::shared_ptr<const WorldSnapshot>& snapshot) {
    snapshot->RestoreInto(world_);
    present_ = snapshot;
    if (restored_) restored_();
}

std::size_t WorldHistory::MemoryBytes() const {
    std::set<const WorldSnapshot*> snapshots;
    std::size_t bytes = 0;
    for (int i = 0; i < stack_.count(); ++i) {
        static_cast<const WorldStep*>(stack_.command(i))->AddSnapshots(snapshots);
        bytes += sizeof(WorldStep) + static_cast<std::size_t>(stack_.command(i)->text().capacity()) * 2;
    }
    for (const WorldSnapshot* snapshot : snapshots) bytes += snapshot->Bytes();
    return bytes;
}

void WorldHistory::AddActions(QMenu* menu) {
    undoAction_ = menu->addAction(QStringLiteral("Undo"));
    undoAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    redoAction_ = menu->addAction(QStringLiteral("Redo"));
    redoAction_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    QObject::connect(undoAction_, &QAction::triggered, undoAction_, [this] { Undo(); });
    QObject::connect(redoAction_, &QAction::triggered, redoAction_, [this] { Redo(); });
    UpdateActions();
}

void WorldHistory::UpdateActions() {
    if (undoAction_) {
        undoAction_->setEnabled(CanUndo());
        undoAction_->setText(stack_.canUndo() ? QStringLiteral("Undo ") + stack_.undoText()
                                              : QStringLiteral("Undo"));
    }
    if (redoAction_) {
        redoAction_->setEnabled(CanRedo());
        redoAction_->setText(stack_.canRedo() ? QStringLiteral("Redo ") + stack_.redoText()
                                              : QStringLiteral("Redo"));
    }
}

void WorldHistory::RunStarted(const World& world) {
    if (pendingBefore_) PushPending(world);
    runStart_ = Take(world);
    running_ = true;
    UpdateActions();
}

void WorldHistory::RunEnded(const World& world) {
    if (!running_) return;
    running_ = false;
    Push(QStringLiteral("Run"), std::move(runStart_), world);
    runStart_.reset();
    UpdateActions();
}

void WorldHistory::DocumentReplaced(const World& world) {
    if (pendingBefore_) {
        PushPending(world);
    } else {
        stack_.clear();
        present_.reset();
        if (running_) runStart_ = Take(world); // the run goes on in the new document
    }
    UpdateActions();
}

} // namespace taonscope
