#include "KeyFilter.h"

#include <QKeyEvent>

namespace taonscope {

bool PassesKeyFilter(char32_t c) {
    return (c >= U'0' && c <= U'9') || c == 8 || c == U',' || c == U'-' || c == U'.';
}

bool NumericKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Backspace:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty()) return false;
    for (const char32_t c : text.toUcs4())
        if (!PassesKeyFilter(c)) return true;
    return false;
}

} // namespace taonscope
