// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"
#include "RunObserver.h"

#include "document/TrajectoryRecorder.h"

#include <QString>

#include <functional>

class QAction;
class QLabel;
class QWidget;

namespace taonscope {

/// The window's trajectory recording: File > "Record Trajectory..." and "Stop Recording", the red REC
/// mark, and a frame every N steps of every run in between. A write failure stops the recording and
/// shows the error box once the step is over; the run goes on.
class TrajectoryRecording : public RunObserver {
public:
    /// Shows its state on the checkable record action, the stop action and the mark.
    TrajectoryRecording(Questions& questions, QWidget* window, QAction* record, QAction* stop, QLabel* mark);

    /// Asks for the file and N (TRecordDlg) and starts recording from world; failures throw.
    void RecordClick(const World& world);
    /// Stops recording and closes the file; failures throw.
    void StopClick();
    /// Ends the recording, if one goes on, because the world jumps (another document, Undo or Redo):
    /// frames after it would not continue the trajectory. True when a recording ended; failures throw.
    bool EndSegment();
    /// The recorder, for a look at what it records.
    const TrajectoryRecorder& Recorder() const { return recorder_; }

    void StepDone(const World& world) override;
    /// The run's last step is a frame.
    void RunEnded(const World& world) override;
    /// A new document ends the recording; onEnded says so.
    void DocumentReplaced(const World& world) override;

    /// Told when a recording ends because the world jumped, with what ended it.
    std::function<void(const QString& why)> onEnded;

private:
    void ShowState();
    void Report(const std::optional<std::string>& failure);

    Questions& questions_;
    QWidget* window_;
    QAction* record_;
    QAction* stop_;
    QLabel* mark_;
    TrajectoryRecorder recorder_;
};

} // namespace taonscope
