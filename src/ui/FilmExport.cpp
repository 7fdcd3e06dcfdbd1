// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilmExport.h"

#include "FilmDlg.h"
#include "Guard.h"

#include "core/Errors.h"

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QTimer>

namespace taonscope {

namespace {

// A turn of the event loop draws frames of a trajectory for about this long.
constexpr int DrawingSliceMs = 40;

} // namespace

FilmExport::FilmExport(Questions& questions, QWidget* window, const ViewState& view, QAction* action,
                       QWidget* scene)
    : questions_(questions), window_(window), view_(view), action_(action), scene_(scene),
      mark_(new QLabel(scene)), drawing_(new QTimer(this)) {
    mark_->setObjectName(QStringLiteral("FilmMark"));
    mark_->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    action_->setCheckable(true);
    drawing_->setInterval(0);
    connect(drawing_, &QTimer::timeout, this, &FilmExport::DrawSome);
    ShowState();
}

FilmExport::~FilmExport() = default;

void FilmExport::ShowState() {
    action_->setChecked(Busy());
    switch (state_) {
    case State::Idle:
        mark_->setVisible(false);
        return;
    case State::Waiting:
        mark_->setText(QStringLiteral("FILM: next run"));
        break;
    case State::Filming:
        mark_->setText(QStringLiteral("FILM %1").arg(run_->Frames()));
        break;
    case State::Drawing:
        mark_->setText(QStringLiteral("FILM %1/%2").arg(trajectory_->Drawn()).arg(trajectory_->Frames()));
        break;
    }
    mark_->adjustSize();
    mark_->move(scene_->width() - mark_->width() - 4, 4);
    mark_->setVisible(true);
}

void FilmExport::ExportFilmClick(SceneArea area) {
    ShowState(); // triggering the checkable item toggled it
    if (Busy()) {
        if (questions_.Confirm("A film is being made into " + path_ +
                               ". Stop it? The pictures made so far are kept."))
            Finish();
        return;
    }
    TFilmDlg dialog(questions_, area.width, area.bottom, window_);
    if (dialog.exec() != QDialog::Accepted) return;
    look_ = dialog.Look(view_);
    const std::string film = dialog.FilmPath();
    if (dialog.NextRun()) {
        SaveAskingForReadOnly(questions_, [&] {
            run_ = std::make_unique<FilmWriter>(film, look_.width, look_.height, look_.fps);
        });
        if (!run_) return;
        every_ = dialog.Every();
        state_ = State::Waiting;
    } else {
        const std::string path = dialog.TrajectoryPath();
        auto trajectory = std::make_unique<TrajectoryFilm>(path, TrajectoryFormatOf(path), look_);
        if (!SaveAskingForReadOnly(questions_, [&] { trajectory->Open(film); })) return;
        trajectory_ = std::move(trajectory);
        state_ = State::Drawing;
        drawing_->start();
    }
    path_ = film;
    ShowState();
}

void FilmExport::Picture(const World& world) {
    // A copy of the view: a picture of another size must not move the window's scene.
    ViewState view = view_;
    run_->Add(FilmPicture(world, view, look_.fit, look_.width, look_.height));
    pictured_ = steps_;
    ShowState();
}

void FilmExport::RunStarted(const World& world) {
    if (state_ != State::Waiting) return;
    state_ = State::Filming;
    steps_ = 0;
    if (const auto failure = FailureOf([&] { Picture(world); })) Fail(*failure);
}

void FilmExport::StepDone(const World& world) {
    if (state_ != State::Filming) return;
    if (++steps_ % every_ != 0) return;
    if (const auto failure = FailureOf([&] { Picture(world); })) Fail(*failure);
}

void FilmExport::RunEnded(const World& world) {
    if (state_ != State::Filming) return;
    if (pictured_ != steps_)
        if (const auto failure = FailureOf([&] { Picture(world); })) return Fail(*failure);
    Finish();
}

void FilmExport::DocumentReplaced(const World&) {
    if (state_ == State::Filming) Finish();
}

void FilmExport::DrawSome() {
    const auto failure = FailureOf([&] {
        QElapsedTimer slice;
        slice.start();
        bool more = true;
        while (more && slice.elapsed() < DrawingSliceMs) more = trajectory_->DrawNext();
        if (more) return ShowState();
        drawing_->stop();
        Finish();
    });
    if (failure) Fail(*failure);
}

void FilmExport::Finish() {
    drawing_->stop();
    const bool began = state_ != State::Waiting; // a film stopped before its run has nothing to close
    int frames = 0;
    const auto failure = FailureOf([&] {
        if (run_ && began) {
            frames = run_->Frames();
            run_->Close();
        }
        if (trajectory_) {
            frames = trajectory_->Drawn();
            trajectory_->Close();
        }
    });
    run_.reset();
    trajectory_.reset();
    state_ = State::Idle;
    ShowState();
    if (failure) return Fail(*failure);
    if (!began) return;
    const std::string message = "The film " + path_ + " holds " + std::to_string(frames) + " pictures.";
    QTimer::singleShot(0, window_, [this, message] { questions_.Information(message); });
}

void FilmExport::Fail(const std::string& message) {
    drawing_->stop();
    run_.reset(); // what was written stays; ffmpeg is stopped
    trajectory_.reset();
    state_ = State::Idle;
    ShowState();
    // No window opens between two steps: the error box waits for the next turn of the event loop.
    QTimer::singleShot(0, window_, [this, message] { questions_.Error(message); });
}

} // namespace taonscope
