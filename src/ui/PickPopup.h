// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RunObserver.h"

#include <QFrame>
#include <QLabel>
#include <QStringList>

#include <functional>

namespace taonscope {

/// The small panel beside a picked taon: its slot, kind, position and velocity, what describe adds and,
/// when another taon was picked before, the distance between the two. It lets clicks through to the scene
/// beneath, and goes away when a run starts or a new document comes (which also forgets the taon picked
/// before).
class PickPopup : public QFrame, public RunObserver {
public:
    explicit PickPopup(QWidget* parent);

    /// Shows slot of world beside the pixel near (inside the parent); slot becomes the one picked.
    void ShowTaon(const World& world, int slot, QPoint near);
    /// The slot picked last (0: none yet), and the one picked before it.
    int Picked() const { return picked_; }
    int PickedBefore() const { return before_; } ///< see Picked
    /// What the panel says.
    QString Text() const { return label_->text(); }

    /// More lines about a picked taon, written after its velocity (the window's: its structure).
    std::function<QStringList(const World& world, int slot)> describe;

    void RunStarted(const World&) override { hide(); }
    void DocumentReplaced(const World&) override;

private:
    QLabel* label_;
    int picked_ = 0, before_ = 0;
};

} // namespace taonscope
