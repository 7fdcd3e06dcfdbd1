// SPDX-License-Identifier: GPL-3.0-or-later
#include "UndoKeys.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace taonscope {

bool UndoKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ShortcutOverride) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QKeySequence pressed(key->keyCombination());
    // A field that accepts the override keeps the key for its own undo; held back, the key reaches the
    // window's shortcuts instead.
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) ||
        pressed == QKeySequence(Qt::CTRL | Qt::Key_Y) ||
        pressed == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)) {
        event->ignore();
        return true;
    }
    return false;
}

} // namespace taonscope
