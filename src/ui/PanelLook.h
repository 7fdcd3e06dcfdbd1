// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QString>
#include <QToolButton>

namespace taonscope {

/// The style of the "Cool" box: white bold text on black, its box drawn in white, hollow while unticked
/// and filled while ticked.
QString CoolBoxStyle();

/// The tooltip of Null00: what a click does in the button's present state.
QString Null00Hint(const QToolButton& button);

/// How many clicks' worth a Shift+click on a turning arrow turns at once.
inline constexpr int ShiftTurnClicks = 10;

/// The tooltip of a turning arrow: its step at the track bar's angle step, and the Shift+click step.
QString TurnHint(long double angleStep);

/// Lets a range legend under the parameter columns show its whole text in its narrow width: a smaller
/// face and no padding.
void FitLegend(QLineEdit* legend);

} // namespace taonscope
