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
    grid->addWidget(new QLabel(QStringLiteral("A frame every")), 1, 0);
    EveryEdit = new QSpinBox;
    EveryEdit->setRange(1, 1000000000);
    EveryEdit->setValue(100);
    EveryEdit->setSuffix(QStringLiteral(" steps"));
    grid->addWidget(EveryEdit, 1, 1);
    auto* buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(QDialogButtonBox::Ok);
    CancelBtn = buttons->addButton(QDialogButtonBox::Cancel);
    grid->addWidget(buttons, 2, 0, 1, 3);

    connect(Browse, &QPushButton::clicked, this, &TRecordDlg::BrowseClick);
    connect(FileName, &QLineEdit::textChanged, this, &TRecordDlg::FileNameChange);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    FileNameChange();
}

void TRecordDlg::BrowseClick() {
    if (const auto path = questions_.SaveFilePath(FileKind::Trajectory)) FileName->setText(FromPath(*path));
}

std::string TRecordDlg::Path() const {
    return ToPath(FileName->text());
}

void TRecordDlg::FileNameChange() {
    OKBtn->setEnabled(!FileName->text().isEmpty());
}

} // namespace taonscope
