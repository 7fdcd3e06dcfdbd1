// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "core/World.h"

#include <QLineEdit>
#include <QObject>
#include <QString>

#include <array>
#include <functional>

namespace taonscope {

/// The panel's 18 parameter boxes writing back: Enter, or leaving a box whose text differs from the
/// stored value, reads the text as the editor does and stores it into the box's parameter (a text that
/// is no number gives the error box and changes nothing); the box then shows the stored value again.
/// During a run the value takes effect at the next step, since every step reads the parameters.
class ParameterBoxes : public QObject {
public:
    /// Called after a parameter was stored, with its name ("A1") and the world as it was before.
    using Stored = std::function<void(const QString& name, const World& before)>;

    /// Watches edits (EditA1, EditB1 ... EditG3, in the order of ParameterFields after dt).
    ParameterBoxes(World& world, const std::array<QLineEdit*, 18>& edits, Questions& questions, Stored stored,
                   QObject* parent = nullptr);

    /// Stores the text of box p (0 for A1 ... 17 for G3), whether or not it changed.
    void Commit(std::size_t p);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    World& world_;
    std::array<QLineEdit*, 18> edits_;
    Questions& questions_;
    Stored stored_;
};

} // namespace taonscope
