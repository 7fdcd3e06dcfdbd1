// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrajectoryRecording.h"

#include "Guard.h"
#include "RecordDlg.h"

#include "core/Errors.h"

#include <QAction>
#include <QLabel>
#include <QTimer>

namespace taonscope {

TrajectoryRecording::TrajectoryRecording(Questions& questions, QWidget* window, QAction* record,
                                         QAction* stop, QLabel* mark)
    : questions_(questions), window_(window), record_(record), stop_(stop), mark_(mark) {
    ShowState();
}

void TrajectoryRecording::ShowState() {
    const bool on = recorder_.Recording();
    record_->setChecked(on);
    stop_->setEnabled(on);
    mark_->setVisible(on);
}

void TrajectoryRecording::RecordClick(const World& world) {
    ShowState(); // triggering the checkable item toggled it; only a started recording checks it
    if (recorder_.Recording()) return;
    TRecordDlg dialog(questions_, window_);
    if (dialog.exec() != QDialog::Accepted) return;
    SaveAskingForReadOnly(questions_, [&] {
        recorder_.Start(dialog.Path(), dialog.Every(), world, dialog.Format(), dialog.Species());
    });
    ShowState();
}

void TrajectoryRecording::StopClick() {
    struct Refresh {
        TrajectoryRecording* self;
        ~Refresh() { self->ShowState(); }
    } refresh{this};
    recorder_.Stop();
}

bool TrajectoryRecording::EndSegment() {
    if (!recorder_.Recording()) return false;
    StopClick();
    return true;
}

void TrajectoryRecording::DocumentReplaced(const World&) {
    // Called between two handlers' work: a failure to close waits for the next turn of the event loop.
    const std::optional<std::string> failure = FailureOf([&] {
        if (EndSegment() && onEnded) onEnded(QStringLiteral("a new document"));
    });
    if (failure) QTimer::singleShot(0, window_, [this, message = *failure] { questions_.Error(message); });
}

void TrajectoryRecording::StepDone(const World& world) {
    Report(recorder_.StepDone(world));
}

void TrajectoryRecording::RunEnded(const World& world) {
    Report(recorder_.RunEnded(world));
}

void TrajectoryRecording::Report(const std::optional<std::string>& failure) {
    if (!failure) return;
    ShowState();
    // No window opens between two steps: the error box waits for the next turn of the event loop.
    QTimer::singleShot(0, window_, [this, message = ErrorBoxText(*failure)] { questions_.Error(message); });
}

} // namespace taonscope
