// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "view/Film.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include <string>

namespace taonscope {

/// Export Film: what to film (the next run, or a recorded trajectory chosen through the open question),
/// the film (an MP4 film chosen through the save question, or OUT_%04d.png typed for pictures), its size,
/// pictures a second, the steps between two pictures of a run, and how the taons are kept in the pictures.
class TFilmDlg : public QDialog {
public:
    /// A dialog whose size starts at the scene's, made even.
    TFilmDlg(Questions& questions, int sceneWidth, int sceneHeight, QWidget* parent = nullptr);

    /// Asks for the trajectory to film and shows its path (choosing it as the source).
    void TrajectoryBrowseClick();
    /// Asks for the film and shows its path.
    void FilmBrowseClick();

    /// True to film the next run, false to film the trajectory.
    bool NextRun() const { return NextRunBtn->isChecked(); }
    /// The trajectory to film.
    std::string TrajectoryPath() const;
    /// The film to write.
    std::string FilmPath() const;
    /// Size, pictures a second and fit, for a view to draw with.
    FilmLook Look(const ViewState& view) const;
    /// Steps of the run between two pictures.
    int Every() const { return EveryEdit->value(); }

    // The controls.
    QRadioButton* NextRunBtn = nullptr;
    QRadioButton* TrajectoryBtn = nullptr;
    QLineEdit* TrajectoryName = nullptr;
    QPushButton* TrajectoryBrowse = nullptr;
    QLineEdit* FilmName = nullptr;
    QPushButton* FilmBrowse = nullptr;
    QSpinBox *WidthEdit = nullptr, *HeightEdit = nullptr;
    QSpinBox* FpsEdit = nullptr;
    QSpinBox* EveryEdit = nullptr;
    QComboBox* FitChoice = nullptr; ///< as the scene shows it, each frame's taons, the whole run's taons
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void Change();

    Questions& questions_;
};

} // namespace taonscope
