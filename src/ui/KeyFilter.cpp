// SPDX-License-Identifier: GPL-3.0-or-later
#include "KeyFilter.h"

#include <QKeyEvent>

namespace taonscope {

bool PassesKeyFilter(char32_t c) {
    return (c >= U'0' && c <= U'9') || c == 8 || c == U',' || c == U'-' || c == U'.';
}

bool NumericKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Keys that are not characters (Tab, Enter, Escape, Delete, arrows, Home...) type nothing, even where
    // the platform hands them over with a control character as their text (Delete comes as "\x7f" on X11).
    if (key->key() >= Qt::Key_Escape && key->key() < Qt::Key_unknown) return false;
    const QString text = key->text();
    if (text.isEmpty()) return false;
    for (const char32_t c : text.toUcs4())
        if (!PassesKeyFilter(c)) return true;
    return false;
}

} // namespace taonscope
