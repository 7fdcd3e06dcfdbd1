// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunMenu.h"

#include "RunPace.h"
#include "ViewSettings.h"

#include <QActionGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QWidgetAction>

#include <algorithm>
#include <iterator>

namespace taonscope {

namespace {

const QString SpeedKey = QStringLiteral("run/stepsPerSecond");
constexpr int LargestStepCount = 1000000;

} // namespace

RunMenu::RunMenu(QMenu* menu, Commands commands) : QObject(menu), commands_(std::move(commands)) {
    GoStop = menu->addAction(QStringLiteral("Go"));
    GoStop->setShortcut(Qt::Key_F9);
    connect(GoStop, &QAction::triggered, this, &RunMenu::GoStopClick);
    Step = menu->addAction(QStringLiteral("Step"));
    Step->setShortcut(Qt::Key_F10);
    connect(Step, &QAction::triggered, this, &RunMenu::StepClick);

    // The number of steps of one Step sits in the menu beside the item.
    auto* box = new QWidget(menu);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(28, 2, 8, 2);
    row->addWidget(new QLabel(QStringLiteral("Steps per Step:"), box));
    StepCount = new QSpinBox(box);
    StepCount->setObjectName(QStringLiteral("StepCount"));
    StepCount->setRange(1, LargestStepCount);
    StepCount->setValue(1);
    row->addWidget(StepCount);
    auto* boxAction = new QWidgetAction(menu);
    boxAction->setDefaultWidget(box);
    menu->addAction(boxAction);

    QMenu* speed = menu->addMenu(QStringLiteral("Speed"));
    auto* group = new QActionGroup(speed);
    const double kept = ProgramSettings().value(SpeedKey, 0.0).toDouble();
    stepsPerSecond_ =
        std::find(std::begin(SpeedChoices), std::end(SpeedChoices), kept) != std::end(SpeedChoices) ? kept
                                                                                                    : 0;
    for (std::size_t i = 0; i < Speeds.size(); ++i) {
        const double choice = SpeedChoices[i];
        const QString caption = choice == 0 ? QStringLiteral("Full")
                                : choice == 1
                                    ? QStringLiteral("1 step a second")
                                    : QStringLiteral("%1 steps a second")
                                          .arg(QLocale(QLocale::English).toString(static_cast<int>(choice)));
        Speeds[i] = speed->addAction(caption);
        Speeds[i]->setCheckable(true);
        Speeds[i]->setChecked(choice == stepsPerSecond_);
        group->addAction(Speeds[i]);
        connect(Speeds[i], &QAction::triggered, this, [this, choice] { ChooseSpeed(choice); });
    }
    connect(menu, &QMenu::aboutToShow, this, &RunMenu::UpdateItems);
    if (commands_.goButton) commands_.goButton->installEventFilter(this);
    UpdateItems();
}

bool RunMenu::CanGo() const {
    return !commands_.goButton || commands_.goButton->isEnabled();
}

// The items are enabled as the Go button is, so that their keys work exactly when the button does; Step
// during a run is ignored rather than disabled, for the run's end has no notice here.
void RunMenu::UpdateItems() {
    const bool running = commands_.running && commands_.running();
    GoStop->setText(running ? QStringLiteral("Stop") : QStringLiteral("Go"));
    GoStop->setEnabled(CanGo());
    Step->setEnabled(CanGo());
}

bool RunMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == commands_.goButton && event->type() == QEvent::EnabledChange) UpdateItems();
    return QObject::eventFilter(watched, event);
}

void RunMenu::ChooseSpeed(double stepsPerSecond) {
    const auto* choice = std::find(std::begin(SpeedChoices), std::end(SpeedChoices), stepsPerSecond);
    if (choice == std::end(SpeedChoices)) return;
    stepsPerSecond_ = stepsPerSecond;
    Speeds[static_cast<std::size_t>(choice - std::begin(SpeedChoices))]->setChecked(true);
    ProgramSettings().setValue(SpeedKey, stepsPerSecond);
    if (commands_.speedChosen) commands_.speedChosen(stepsPerSecond);
}

// The shortcuts work while the menu is closed: each item asks the window's state again.
void RunMenu::GoStopClick() {
    if (!CanGo()) return;
    if (commands_.goStop) commands_.goStop();
    UpdateItems();
}

void RunMenu::StepClick() {
    if (!CanGo() || (commands_.running && commands_.running())) return;
    if (commands_.step) commands_.step(StepCount->value());
    UpdateItems();
}

} // namespace taonscope
