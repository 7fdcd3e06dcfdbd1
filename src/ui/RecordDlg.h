// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include "document/TrajectoryFile.h"

#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <string>

namespace taonscope {

/// Record Trajectory: the file to record into (chosen through the save question), its format (extended
/// XYZ, with the names of the three kinds, or LAMMPS dump) and the number of steps between two frames.
class TRecordDlg : public QDialog {
public:
    TRecordDlg(Questions& questions, QWidget* parent = nullptr);

    /// Asks for the trajectory file and shows its path.
    void BrowseClick();
    /// The path chosen.
    std::string Path() const;
    /// Steps between two frames.
    int Every() const { return EveryEdit->value(); }
    /// The format chosen.
    TrajectoryFormat Format() const;
    /// The names of the kinds in XYZ frames (T1, T2, T3 when the text is not three names).
    SpeciesNames Species() const;

    // The controls.
    QLineEdit* FileName = nullptr;
    QPushButton* Browse = nullptr;
    QComboBox* FormatChoice = nullptr; ///< "Extended XYZ", "LAMMPS dump"
    QLineEdit* SpeciesEdit = nullptr;  ///< three names separated by commas, for XYZ
    QSpinBox* EveryEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void FileNameChange();
    void FormatChange();

    Questions& questions_;
};

} // namespace taonscope
