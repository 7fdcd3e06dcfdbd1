// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"
#include "RunObserver.h"

#include "view/Film.h"

#include <QObject>

#include <memory>
#include <string>

class QAction;
class QLabel;
class QTimer;
class QWidget;

namespace taonscope {

/// File > "Export Film...": films the next run (a picture when it starts, one every N of its steps and
/// one when it ends) or every frame of a recorded trajectory (a few frames each turn of the event loop,
/// so the window stays usable), drawn as the scene draws the taons: its angles, zoom and style. The red
/// FILM mark in the scene's top right corner shows the film waiting for the run or the pictures made;
/// the item is checked meanwhile, and choosing it then offers to stop. A failure stops the film, keeping
/// the pictures made, and shows the error box once the step is over; the run goes on.
class FilmExport : public QObject, public RunObserver {
public:
    /// Films scenes as view draws them; shows its state on the checkable action and on a mark in scene.
    FilmExport(Questions& questions, QWidget* window, const ViewState& view, QAction* action, QWidget* scene);
    ~FilmExport() override;

    /// Asks what to film (TFilmDlg, sized as the scene area) and starts; failures throw.
    void ExportFilmClick(SceneArea area);
    /// True while a film waits for the run, takes its pictures or draws a trajectory.
    bool Busy() const { return state_ != State::Idle; }
    /// The red FILM mark.
    QLabel* Mark() const { return mark_; }

    void RunStarted(const World& world) override;
    void StepDone(const World& world) override;
    void RunEnded(const World& world) override;
    /// Another document ends a film of a run: later pictures would not continue it.
    void DocumentReplaced(const World& world) override;

private:
    enum class State { Idle, Waiting, Filming, Drawing };

    void Picture(const World& world);
    void DrawSome();
    void Finish();
    void Fail(const std::string& message);
    void ShowState();

    Questions& questions_;
    QWidget* window_;
    const ViewState& view_;
    QAction* action_;
    QWidget* scene_;
    QLabel* mark_;
    QTimer* drawing_;
    State state_ = State::Idle;
    std::string path_;
    FilmLook look_;
    int every_ = 1;
    long long steps_ = 0, pictured_ = -1; // steps of the run filmed, and the step of its last picture
    std::unique_ptr<FilmWriter> run_;
    std::unique_ptr<TrajectoryFilm> trajectory_;
};

} // namespace taonscope
