// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace taonscope {

/// True for the characters a numeric edit accepts: the digits, backspace, comma, minus and full stop.
bool PassesKeyFilter(char32_t character);

/// Discards every typed character that PassesKeyFilter refuses, control characters included. Keys that
/// type nothing (arrows, Delete) and the keys that move the focus or confirm a dialog still work.
class NumericKeyFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace taonscope
