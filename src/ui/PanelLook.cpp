// SPDX-License-Identifier: GPL-3.0-or-later
#include "PanelLook.h"

#include "Text.h"

namespace taonscope {

QString CoolBoxStyle() {
    return QStringLiteral(
        "QCheckBox { background: black; color: white; font-weight: bold; }"
        "QCheckBox::indicator { width: 7px; height: 7px; padding: 1px; border: 1px solid white;"
        " margin-left: 3px; background: black; }"
        "QCheckBox::indicator:checked { background: white; background-clip: content; }");
}

QString Null00Hint(const QToolButton& button) {
    if (!button.isEnabled())
        return QStringLiteral("Make null of velocity (not while a run goes on or the figure is shown)");
    if (button.text() == QStringLiteral("Yes Null"))
        return QStringLiteral("Velocity is null: a click makes it null again and asks where to save");
    return QStringLiteral("Make null of velocity");
}

QString TurnHint(long double angleStep) {
    const auto radians = [](long double a) { return QString::number(static_cast<double>(a), 'g', 6); };
    return QStringLiteral("Turns by %1 rad a click (the track bar sets the step); Shift+click: %2 rad; "
                          "held down, it repeats")
        .arg(radians(angleStep), radians(angleStep * ShiftTurnClicks));
}

void FitLegend(QLineEdit* legend) {
    QFont font = SansFont(7);
    font.setBold(false); // the panel's bold face would not fit "51-80" into its column
    legend->setFont(font);
    legend->setStyleSheet(legend->styleSheet() + QStringLiteral("QLineEdit { padding: 0px; }"));
}

} // namespace taonscope
