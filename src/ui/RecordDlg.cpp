// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordDlg.h"

#include "Text.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>

namespace taonscope {

TRecordDlg::TRecordDlg(Questions& questions, QWidget* parent) : QDialog(parent), questions_(questions) {
    setObjectName(QStringLiteral("RecordDlg"));
    setWindowTitle(QStringLiteral("Record Trajectory"));
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("File:")), 0, 0);
    FileName = new QLineEdit;
    FileName->setMinimumWidth(260);
    grid->addWidget(FileName, 0, 1);
    Browse = new QPushButton(QStringLiteral("Browse..."));
    grid->addWidget(Browse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Format:")), 1, 0);
    FormatChoice = new QComboBox;
    FormatChoice->addItem(QStringLiteral("Extended XYZ"));
    FormatChoice->addItem(QStringLiteral("LAMMPS dump"));
    FormatChoice->setToolTip(QStringLiteral("A LAMMPS dump (atoms id type x y z vx vy vz) keeps dt and the "
                                            "parameters in a .json file beside it"));
    grid->addWidget(FormatChoice, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Species:")), 2, 0);
    SpeciesEdit = new QLineEdit(QString::fromStdString(SpeciesNames{}.Joined()));
    SpeciesEdit->setToolTip(
        QStringLiteral("The names of kinds 1, 2 and 3 in the XYZ frames, such as Ar,Kr,Xe for programs "
                       "that take them for chemical elements"));
    grid->addWidget(SpeciesEdit, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("A frame every")), 3, 0);
    EveryEdit = new QSpinBox;
    EveryEdit->setRange(1, 1000000000);
    EveryEdit->setValue(100);
    EveryEdit->setSuffix(QStringLiteral(" steps"));
    grid->addWidget(EveryEdit, 3, 1);
    auto* buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(QDialogButtonBox::Ok);
    CancelBtn = buttons->addButton(QDialogButtonBox::Cancel);
    grid->addWidget(buttons, 4, 0, 1, 3);

    connect(Browse, &QPushButton::clicked, this, &TRecordDlg::BrowseClick);
    connect(FileName, &QLineEdit::textChanged, this, &TRecordDlg::FileNameChange);
    connect(FormatChoice, &QComboBox::currentIndexChanged, this, &TRecordDlg::FormatChange);
    connect(SpeciesEdit, &QLineEdit::textChanged, this, &TRecordDlg::FormatChange);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    FileNameChange();
}

void TRecordDlg::BrowseClick() {
    const FileKind kind = Format() == TrajectoryFormat::Lammps ? FileKind::LammpsDump : FileKind::Trajectory;
    if (const auto path = questions_.SaveFilePath(kind)) FileName->setText(FromPath(*path));
}

std::string TRecordDlg::Path() const {
    return ToPath(FileName->text());
}

TrajectoryFormat TRecordDlg::Format() const {
    return FormatChoice->currentIndex() == 1 ? TrajectoryFormat::Lammps : TrajectoryFormat::Xyz;
}

SpeciesNames TRecordDlg::Species() const {
    return ParseSpeciesNames(SpeciesEdit->text().trimmed().toStdString()).value_or(SpeciesNames{});
}

// A name that says its format chooses it.
void TRecordDlg::FileNameChange() {
    const QString name = FileName->text().toLower();
    if (name.endsWith(QStringLiteral(".xyz"))) FormatChoice->setCurrentIndex(0);
    if (name.endsWith(QStringLiteral(".lammpstrj")) || name.endsWith(QStringLiteral(".dump")))
        FormatChoice->setCurrentIndex(1);
    FormatChange();
}

void TRecordDlg::FormatChange() {
    const bool xyz = Format() == TrajectoryFormat::Xyz;
    SpeciesEdit->setEnabled(xyz);
    const bool named = ParseSpeciesNames(SpeciesEdit->text().trimmed().toStdString()).has_value();
    OKBtn->setEnabled(!FileName->text().isEmpty() && (!xyz || named));
}

} // namespace taonscope
