// SPDX-License-Identifier: GPL-3.0-or-later
#include "FilmDlg.h"

#include "Text.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QStandardItemModel>

#include <algorithm>

namespace taonscope {

namespace {

// An MP4 film has an even width and height, of at least two pixels.
int EvenSide(int pixels) {
    return std::clamp(pixels - pixels % 2, 2, 16384);
}

QSpinBox* SideEdit(int pixels) {
    auto* edit = new QSpinBox;
    edit->setRange(2, 16384);
    edit->setSingleStep(2);
    edit->setValue(EvenSide(pixels));
    return edit;
}

} // namespace

TFilmDlg::TFilmDlg(Questions& questions, int sceneWidth, int sceneHeight, QWidget* parent)
    : QDialog(parent), questions_(questions) {
    setObjectName(QStringLiteral("FilmDlg"));
    setWindowTitle(QStringLiteral("Export Film"));
    auto* grid = new QGridLayout(this);
    NextRunBtn = new QRadioButton(QStringLiteral("The next run"));
    NextRunBtn->setChecked(true);
    TrajectoryBtn = new QRadioButton(QStringLiteral("A recorded trajectory:"));
    auto* sources = new QButtonGroup(this);
    sources->addButton(NextRunBtn);
    sources->addButton(TrajectoryBtn);
    grid->addWidget(new QLabel(QStringLiteral("Film:")), 0, 0);
    grid->addWidget(NextRunBtn, 0, 1, 1, 2);
    grid->addWidget(TrajectoryBtn, 1, 1, 1, 2);
    TrajectoryName = new QLineEdit;
    TrajectoryName->setMinimumWidth(260);
    grid->addWidget(TrajectoryName, 2, 1);
    TrajectoryBrowse = new QPushButton(QStringLiteral("Browse..."));
    grid->addWidget(TrajectoryBrowse, 2, 2);

    grid->addWidget(new QLabel(QStringLiteral("Into:")), 3, 0);
    FilmName = new QLineEdit;
    FilmName->setToolTip(
        QStringLiteral("An MP4 film (made by the ffmpeg program), or NAME_%04d.png for a PNG "
                       "picture of each frame"));
    grid->addWidget(FilmName, 3, 1);
    FilmBrowse = new QPushButton(QStringLiteral("Browse..."));
    grid->addWidget(FilmBrowse, 3, 2);

    grid->addWidget(new QLabel(QStringLiteral("Size:")), 4, 0);
    auto* size = new QHBoxLayout;
    WidthEdit = SideEdit(sceneWidth);
    HeightEdit = SideEdit(sceneHeight);
    size->addWidget(WidthEdit);
    size->addWidget(new QLabel(QStringLiteral("x")));
    size->addWidget(HeightEdit);
    size->addWidget(new QLabel(QStringLiteral("pixels")));
    size->addStretch();
    grid->addLayout(size, 4, 1);

    grid->addWidget(new QLabel(QStringLiteral("Speed:")), 5, 0);
    FpsEdit = new QSpinBox;
    FpsEdit->setRange(1, 240);
    FpsEdit->setValue(25);
    FpsEdit->setSuffix(QStringLiteral(" pictures a second"));
    grid->addWidget(FpsEdit, 5, 1);

    grid->addWidget(new QLabel(QStringLiteral("A picture every")), 6, 0);
    EveryEdit = new QSpinBox;
    EveryEdit->setRange(1, 1000000000);
    EveryEdit->setValue(10);
    EveryEdit->setSuffix(QStringLiteral(" steps of the run"));
    grid->addWidget(EveryEdit, 6, 1);

    grid->addWidget(new QLabel(QStringLiteral("Zoom:")), 7, 0);
    FitChoice = new QComboBox;
    FitChoice->addItem(QStringLiteral("As the scene shows it"));
    FitChoice->addItem(QStringLiteral("Fit each frame's taons"));
    FitChoice->addItem(QStringLiteral("Fit the whole run's taons"));
    grid->addWidget(FitChoice, 7, 1);

    auto* buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(QDialogButtonBox::Ok);
    CancelBtn = buttons->addButton(QDialogButtonBox::Cancel);
    grid->addWidget(buttons, 8, 0, 1, 3);

    connect(TrajectoryBrowse, &QPushButton::clicked, this, &TFilmDlg::TrajectoryBrowseClick);
    connect(FilmBrowse, &QPushButton::clicked, this, &TFilmDlg::FilmBrowseClick);
    connect(NextRunBtn, &QRadioButton::toggled, this, &TFilmDlg::Change);
    connect(TrajectoryName, &QLineEdit::textChanged, this, &TFilmDlg::Change);
    connect(FilmName, &QLineEdit::textChanged, this, &TFilmDlg::Change);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    Change();
}

void TFilmDlg::TrajectoryBrowseClick() {
    if (const auto path = questions_.OpenFilePath(FileKind::AnyTrajectory)) {
        TrajectoryName->setText(FromPath(*path));
        TrajectoryBtn->setChecked(true);
    }
}

void TFilmDlg::FilmBrowseClick() {
    if (const auto path = questions_.SaveFilePath(FileKind::Film)) FilmName->setText(FromPath(*path));
}

std::string TFilmDlg::TrajectoryPath() const {
    return ToPath(TrajectoryName->text());
}

std::string TFilmDlg::FilmPath() const {
    return ToPath(FilmName->text());
}

FilmLook TFilmDlg::Look(const ViewState& view) const {
    static constexpr FilmFit Fits[3] = {FilmFit::None, FilmFit::EveryFrame, FilmFit::WholeRun};
    return {view, Fits[std::clamp(FitChoice->currentIndex(), 0, 2)], WidthEdit->value(), HeightEdit->value(),
            FpsEdit->value()};
}

// A run to come has no whole run to fit; a trajectory has no steps between its pictures.
void TFilmDlg::Change() {
    const bool run = NextRun();
    EveryEdit->setEnabled(run);
    auto* model = qobject_cast<QStandardItemModel*>(FitChoice->model());
    model->item(2)->setEnabled(!run);
    if (run && FitChoice->currentIndex() == 2) FitChoice->setCurrentIndex(1);
    OKBtn->setEnabled(!FilmName->text().isEmpty() && (run || !TrajectoryName->text().isEmpty()));
}

} // namespace taonscope
