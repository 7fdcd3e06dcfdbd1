// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAction>
#include <QMenu>
#include <QObject>
#include <QSpinBox>

#include <array>
#include <functional>

namespace taonscope {

/// The Run menu: Go/Stop (the Go button's command, F9), Step (F10: one step, or as many as the box
/// beside it says) and Speed (Full, 1,000, 100, 10 or 1 steps a second, kept in the settings as
/// run/stepsPerSecond, 0 for Full).
class RunMenu : public QObject {
public:
    /// What the menu asks of the window.
    struct Commands {
        QWidget* goButton = nullptr;             ///< the Go button: the items are enabled as it is
        std::function<void()> goStop;            ///< the Go button's click
        std::function<bool()> running;           ///< whether a run is in progress
        std::function<void(long long)> step;     ///< makes that many steps as a run of their own
        std::function<void(double)> speedChosen; ///< the new speed in steps a second (0: Full)
    };

    /// Fills menu; the speed kept in the settings is chosen at once (speedChosen is not called for it).
    RunMenu(QMenu* menu, Commands commands);

    /// The speed chosen, in steps a second (0: Full).
    double StepsPerSecond() const { return stepsPerSecond_; }
    /// Chooses a speed as its menu item does; a speed the menu does not offer changes nothing.
    void ChooseSpeed(double stepsPerSecond);
    /// Go/Stop and Step as their items do.
    void GoStopClick();
    void StepClick(); ///< see GoStopClick

    QAction* GoStop = nullptr;
    QAction* Step = nullptr;
    QSpinBox* StepCount = nullptr;    ///< steps of one Step, beside it
    std::array<QAction*, 5> Speeds{}; ///< in the order of SpeedChoices

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void UpdateItems();
    bool CanGo() const;

    Commands commands_;
    double stepsPerSecond_ = 0;
};

} // namespace taonscope
