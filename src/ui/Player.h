// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "RunObserver.h"

#include "core/FastLaw.h"
#include "core/RunHistory.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>

namespace taonscope {

class TMainForm;
class PlayerSource;
class PlayerRunTab;

/// Keeps the history of the runs made on the window's document: every step, from keyframes.
class RunHistoryKeeper : public RunObserver {
public:
    void StepStarting(const World& world, Extended cool) override { history_.BeforeStep(world, cool); }
    void StepDone(const World& world) override { history_.StepDone(world); }
    void DocumentReplaced(const World&) override { history_.Clear(); }
    /// The runs' history.
    RunHistory& History() { return history_; }

private:
    RunHistory history_;
};

/// A window that plays frames in the main window's scene, listing and instruments without changing the
/// document: the frames of a trajectory file (found first in the background, then read one at a time)
/// or every state of the runs' history. Play and pause, a slider, previous and next frame, frames a
/// second and a stride; "Continue from Here" makes the frame shown the world, as one undo step. A run in
/// the main window takes the scene back; the Player waits until it ends.
class Player : public QWidget, public RunObserver {
public:
    /// A Player of main's scene; main must outlive it (it is its child window).
    Player(AppState& state, TMainForm& main, QWidget* parent = nullptr);
    ~Player() override;

    /// Plays the trajectory at path (XYZ or LAMMPS dump, as Import reads them) from its first frame.
    void Play(const std::string& path);
    /// Plays the states of history, from its last.
    void Play(RunHistory& history);

    /// Plays or pauses.
    void PlayClick();
    void PreviousClick(); ///< one frame back
    void NextClick();     ///< one frame on
    /// Shows frame k (from 0) in the main window.
    void ShowFrame(int k);
    /// Makes the frame shown the main window's world ("Continue from Step N", one undo step).
    void ContinueClick();

    /// The frames there are to play (0 while they are being found).
    int Frames() const;
    /// The frame shown, from 0.
    int Frame() const { return Slider->value(); }
    /// True while the frames play.
    bool Playing() const { return timer_->isActive(); }

    void RunStarted(const World& world) override;
    void RunEnded(const World& world) override;
    void DocumentReplaced(const World& world) override;

    // The controls.
    QPushButton *PlayPause = nullptr, *Previous = nullptr, *Next = nullptr, *Continue = nullptr;
    QSlider* Slider = nullptr;
    QSpinBox* Speed = nullptr;  ///< frames a second
    QSpinBox* Stride = nullptr; ///< frames on at each turn of play
    QLabel* Where = nullptr;    ///< the frame, step and time shown
    QLabel* Progress = nullptr; ///< the search for the frames, and notes on the file
    QTabWidget* Tabs = nullptr;
    PlayerRunTab* RunTab = nullptr; ///< a trajectory's measures and cluster events over time

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void Reset(std::unique_ptr<PlayerSource> source, const QString& title);
    void SourceReady();
    void UpdateRange(bool toLast);
    void Tick();
    void Pause();
    void Enable();

    AppState& state_;
    TMainForm& main_;
    std::unique_ptr<PlayerSource> source_;
    QTimer* timer_ = nullptr;
    FastLaw law_;
    bool showing_ = false; // a frame of this Player's is in the scene
};

} // namespace taonscope
