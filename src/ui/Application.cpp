// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"

#include "Guard.h"

namespace taonscope {

void NameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Taonscope"));
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    const auto failure = FailureOf([&] { handled = QApplication::notify(receiver, event); });
    if (failure && onUncaughtError) onUncaughtError(*failure);
    return handled;
}

} // namespace taonscope
