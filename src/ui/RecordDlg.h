// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Questions.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include <string>

namespace taonscope {

/// Record Trajectory: the file to record into (chosen through the save question) and the number of
/// steps between two frames.
class TRecordDlg : public QDialog {
public:
    TRecordDlg(Questions& questions, QWidget* parent = nullptr);

    /// Asks for the trajectory file and shows its path.
    void BrowseClick();
    /// The path chosen.
    std::string Path() const;
    /// Steps between two frames.
    int Every() const { return EveryEdit->value(); }

    // The controls.
    QLineEdit* FileName = nullptr;
    QPushButton* Browse = nullptr;
    QSpinBox* EveryEdit = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void FileNameChange();

    Questions& questions_;
};

} // namespace taonscope
