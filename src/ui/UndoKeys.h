// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace taonscope {

/// Lets the window's Edit > Undo and Redo keys (Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y) win over the undo of the
/// number field it watches, so that they take back changes of the world wherever the focus is.
class UndoKeys : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace taonscope
