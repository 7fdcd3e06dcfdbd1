// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParameterBoxes.h"

#include "Guard.h"
#include "Text.h"

#include "core/Errors.h"

#include <QFocusEvent>

namespace taonscope {

ParameterBoxes::ParameterBoxes(World& world, const std::array<QLineEdit*, 18>& edits, Questions& questions,
                               Stored stored, QObject* parent)
    : QObject(parent), world_(world), edits_(edits), questions_(questions), stored_(std::move(stored)) {
    for (std::size_t p = 0; p < edits_.size(); ++p) {
        edits_[p]->installEventFilter(this);
        connect(edits_[p], &QLineEdit::returnPressed, this, [this, p] { Commit(p); });
    }
}

void ParameterBoxes::Commit(std::size_t p) {
    Extended World::*field = ParameterFields[p + 1];
    const World before = world_;
    const bool stored = Guarded(questions_, [&] {
        try {
            world_.*field = ReadReal(edits_[p]->text());
        } catch (const ConversionError& error) {
            // Eighteen boxes look alike: the message says which one holds the text.
            throw ConversionError(std::string(ParameterNames[p + 1]) + ": " + error.what());
        }
    });
    ShowText(edits_[p], RealText(world_.*field));
    if (stored && stored_) stored_(QString::fromLatin1(ParameterNames[p + 1]), before);
}

bool ParameterBoxes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the window or opening a context menu is not leaving the box.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            for (std::size_t p = 0; p < edits_.size(); ++p)
                if (watched == edits_[p] && edits_[p]->text() != RealText(world_.*ParameterFields[p + 1]))
                    Commit(p);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace taonscope
