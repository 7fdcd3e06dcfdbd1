// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditDlg.h"

#include "Guard.h"
#include "Text.h"

#include "core/FpTrap.h"
#include "core/NumberText.h"
#include "document/ConfigFile.h"
#include "document/StartPointer.h"

#include <QStyle>

#include <cmath>

namespace taonscope {

namespace {

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int x, int y, int width, const QString& text,
                    const QString& style = {}) {
    QLineEdit* edit = PlaceEdit(parent, x, y, width, text, style);
    edit->setObjectName(name);
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const QString& name, const QString& caption, const QRect& place) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(place);
    button->setAutoDefault(false);
    return button;
}

const QString NavyText = QStringLiteral("color: navy;");

} // namespace

TEditDlg::TEditDlg(AppState& state, Questions& questions, QWidget* parent)
    : QDialog(parent), state_(state), questions_(questions) {
    setObjectName(QStringLiteral("EditDlg"));
    setWindowTitle(QStringLiteral(" Editing of gravon's values"));
    setFont(SansFont(8));
    setFixedSize(787, 447);
    BuildControls();
}

void TEditDlg::BuildCalculator(int n, int x, int y) {
    const QString number = QString::number(n);
    Calculator& c = Calculators[static_cast<std::size_t>(n - 1)];
    QLabel* title = PlaceLabel(this, x, y, QStringLiteral("Calculation of distance ") + number);
    title->setWordWrap(true);
    title->setGeometry(x, y, 88, 30);
    PlaceLabel(this, x + 92, y + 14, QStringLiteral("Result ") + number);
    c.Part1 = MakeEdit(this, QStringLiteral("EditCal%1Part1").arg(n), x, y + 30, 40, QStringLiteral("0"));
    c.Part2 =
        MakeEdit(this, QStringLiteral("EditCal%1Part2").arg(n), x + 44, y + 30, 40, QStringLiteral("0"));
    c.Result = MakeEdit(this, QStringLiteral("EditResult%1").arg(n), x + 92, y + 30, 88, QStringLiteral("0"));
    c.Calculate = MakeButton(this, QStringLiteral("Calculate") + number,
                             QStringLiteral("Calculate ") + number, QRect(x, y + 56, 84, 23));
    c.Reset = MakeButton(this, QStringLiteral("Reset") + number, QStringLiteral("Reset ") + number,
                         QRect(x + 92, y + 56, 88, 23));
    connect(c.Calculate, &QPushButton::clicked, this, [this, n] { CalculateClick(n); });
    connect(c.Reset, &QPushButton::clicked, this, [this, n] { ResetClick(n); });
}

void TEditDlg::BuildControls() {
    // Top left: the four distance calculators, 1 and 3 above, 2 and 4 below.
    QFont bold = font();
    bold.setBold(true);
    QLabel* heading =
        PlaceLabel(this, 8, 2, QStringLiteral("S e r i a l   n u m b e r   o f   g r a v o n s "));
    heading->setFont(bold);
    heading->adjustSize();
    BuildCalculator(1, 8, 18);
    BuildCalculator(3, 196, 18);
    for (int x : {8, 196}) {
        QLabel* stars =
            PlaceLabel(this, x, 99, QString(34, QLatin1Char('*')), QStringLiteral("color: blue;"));
        stars->setFont(bold);
        stars->adjustSize();
    }
    BuildCalculator(2, 8, 114);
    BuildCalculator(4, 196, 114);

    // Top right: the parameters, one column per kind, the range captions beneath.
    PlaceLabel(this, 400, 4, QStringLiteral("Parametrs"));
    const QString columnStyles[3] = {QStringLiteral("background: lime;"),
                                     QStringLiteral("background: yellow;"),
                                     QStringLiteral("background: red;")};
    const char* initialTexts[6] = {"1", "1", "2", "3", "4", "5"};
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 6; ++row) {
            const int x = 400 + 128 * column, y = 20 + 24 * row;
            const QString name = QString::fromLatin1(ParameterNames[6 * column + row + 1]);
            PlaceLabel(this, x, y + 4, name);
            ParameterEdits[static_cast<std::size_t>(6 * column + row)] =
                MakeEdit(this, QStringLiteral("Edit") + name, x + 22, y, 96,
                         QString::fromLatin1(initialTexts[row]), columnStyles[column]);
        }
    for (int column = 0; column < 3; ++column)
        PlaceLabel(this, 400 + 128 * column, 168, QStringLiteral("for"));
    Edit1 = MakeEdit(this, QStringLiteral("Edit1"), 422, 164, 96, QStringLiteral("1   -:-  50"),
                     QStringLiteral("background: lime; color: blue;"));
    Edit2 = MakeEdit(this, QStringLiteral("Edit2"), 550, 164, 96, QStringLiteral("51 -:- 80"),
                     QStringLiteral("background: yellow; color: blue;"));
    Edit8 = MakeEdit(this, QStringLiteral("Edit8"), 678, 164, 96, QStringLiteral("81 -:-100"),
                     QStringLiteral("background: red;"));

    // Middle left: the time step.
    PlaceLabel(this, 8, 206, QStringLiteral("Differential of time"));
    PlaceLabel(this, 8, 230, QStringLiteral("dt="));
    EditDT = MakeEdit(this, QStringLiteral("EditDT"), 30, 226, 100, QStringLiteral("0,01"));

    // Middle: the taon of the selected row.
    PlaceLabel(this, 150, 206, QStringLiteral("Gravon"), NavyText);
    NumberOfTaon = new QLabel(QStringLiteral("1"), this);
    QFont large = bold;
    large.setPointSize(12);
    NumberOfTaon->setFont(large);
    NumberOfTaon->setGeometry(200, 202, 60, 22);
    PlaceLabel(this, 150, 232, QStringLiteral("Coordinats"));
    PlaceLabel(this, 262, 232, QStringLiteral("VeloCity"));
    QLineEdit** const taonEdits[6] = {&EditX, &EditY, &EditZ, &EditV, &EditU, &EditW};
    const char* taonLabels[6] = {"X =", "Y =", "Z =", "V =", "U =", "W ="};
    const char* taonNames[6] = {"EditX", "EditY", "EditZ", "EditV", "EditU", "EditW"};
    for (int n = 0; n < 6; ++n) {
        const int x = n < 3 ? 150 : 262, y = 250 + 26 * (n % 3);
        PlaceLabel(this, x, y + 4, QString::fromLatin1(taonLabels[n]));
        *taonEdits[n] = MakeEdit(this, QString::fromLatin1(taonNames[n]), x + 24, y, 84, QStringLiteral("0"));
    }
    DaoTrue = new QCheckBox(QStringLiteral("There is Gravon"), this);
    DaoTrue->setGeometry(150, 330, 200, 20);
    Submit = MakeButton(this, QStringLiteral("Submit"), QStringLiteral("&Yes"), QRect(150, 358, 100, 27));
    Submit->setIcon(style()->standardIcon(QStyle::SP_DialogYesButton));
    Submit->setAutoDefault(true); // Enter presses it only while it has the focus
    Saveas = MakeButton(this, QStringLiteral("Saveas"), QStringLiteral("Save As"), QRect(262, 358, 100, 27));

    // Right, under the parameters: the taon table.
    DaonsTable = new StringGrid(4, 101, this);
    DaonsTable->setGeometry(384, 192, 397, 218);
    DaonsTable->SetDefaultColumnWidth(92);
    DaonsTable->setCurrentCell(0, 0);
    DaonsTable->onDoubleClick = [this] { DaonsTableDblClick(); };
    connect(DaonsTable, &QTableWidget::currentCellChanged, this, [this](int, int, int previousRow, int) {
        if (previousRow >= 0) DaonsTableSelectCell(previousRow + 1);
        DaonsTableClick();
    });
    connect(DaonsTable, &QTableWidget::cellClicked, this, [this](int, int) { DaonsTableClick(); });

    // Bottom: the file name, OK and Cancel.
    PlaceLabel(this, 8, 422, QStringLiteral("FileName"), NavyText);
    EditFileName =
        MakeEdit(this, QStringLiteral("EditFileName"), 64, 418, 548, QStringLiteral("EditFileName"),
                 QStringLiteral("color: blue; font-weight: bold;"));
    OKBtn = MakeButton(this, QStringLiteral("OKBtn"), QStringLiteral("OK"), QRect(620, 416, 75, 25));
    OKBtn->setDefault(true);
    CancelBtn =
        MakeButton(this, QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), QRect(704, 416, 75, 25));

    for (QLineEdit* edit : {EditDT, ParameterEdits[0], ParameterEdits[1], ParameterEdits[2],
                            ParameterEdits[3], EditX, EditY, EditZ, EditV, EditU, EditW})
        edit->installEventFilter(&keyFilter_);

    connect(Submit, &QPushButton::clicked, this, &TEditDlg::SubmitClick);
    connect(Saveas, &QPushButton::clicked, this, &TEditDlg::SaveasClick);
    connect(OKBtn, &QPushButton::clicked, this, &TEditDlg::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TEditDlg::showEvent(QShowEvent* event) {
    LoadFields();
    QDialog::showEvent(event);
}

void TEditDlg::FillEditorTable() {
    DaonsTable->SetCell(0, 0, editorShowsVelocities_ ? QStringLiteral("Velo") : QStringLiteral("Gravons"));
    DaonsTable->FillTaons(state_.world, editorShowsVelocities_);
}

void TEditDlg::LoadSelectedTaon(int row) {
    const int r = std::clamp(row, 1, MaxTaons);
    const World& w = state_.world;
    NumberOfTaon->setText(QString::number(r));
    ShowText(EditX, RealText(w.PosX[r]));
    ShowText(EditY, RealText(w.PosY[r]));
    ShowText(EditZ, RealText(w.PosZ[r]));
    ShowText(EditV, RealText(w.VelX[r]));
    ShowText(EditU, RealText(w.VelY[r]));
    ShowText(EditW, RealText(w.VelZ[r]));
    DaoTrue->setChecked(w.TaonPresent[r]);
}

void TEditDlg::LoadFields() {
    ShowText(EditFileName, FromPath(state_.document.CurrentFileName));
    LoadSelectedTaon(DaonsTable->SelectedRow());
    ShowText(EditDT, RealText(state_.world.dt));
    for (std::size_t p = 0; p < ParameterEdits.size(); ++p)
        ShowText(ParameterEdits[p], RealText(state_.world.*ParameterFields[p + 1]));
    FillEditorTable();
}

// The row being left is loaded first, which discards what was typed for it; the click then loads the new row.
void TEditDlg::DaonsTableSelectCell(int leavingRow) {
    LoadSelectedTaon(leavingRow);
}

void TEditDlg::DaonsTableClick() {
    LoadSelectedTaon(DaonsTable->SelectedRow());
    FillEditorTable();
}

void TEditDlg::DaonsTableDblClick() {
    editorShowsVelocities_ = !editorShowsVelocities_;
    FillEditorTable();
}

void TEditDlg::SubmitClick() {
    Guarded(questions_, [&] {
        const std::int32_t n = ParseInteger(NumberOfTaon->text().toStdString());
        if (n < 1 || n > MaxTaons) throw TaonError("List index out of bounds (" + std::to_string(n) + ")");
        // Every field is read before anything is stored.
        const Extended values[6] = {ReadReal(EditX->text()), ReadReal(EditY->text()),
                                    ReadReal(EditZ->text()), ReadReal(EditV->text()),
                                    ReadReal(EditU->text()), ReadReal(EditW->text())};
        World& w = state_.world;
        const World before = w;
        w.PosX[n] = w.NextPosX[n] = w.ScenePosX[n] = values[0];
        w.PosY[n] = w.NextPosY[n] = w.ScenePosY[n] = values[1];
        w.PosZ[n] = w.NextPosZ[n] = w.ScenePosZ[n] = values[2];
        w.VelX[n] = w.NextVelX[n] = values[3];
        w.VelY[n] = w.NextVelY[n] = values[4];
        w.VelZ[n] = w.NextVelZ[n] = values[5];
        w.TaonPresent[n] = DaoTrue->isChecked();
        if (onWorldChanged) onWorldChanged(QStringLiteral("Edit Taon"), before, false);
        FillEditorTable();
    });
}

std::array<Extended, 19> TEditDlg::ReadParameterFields() const {
    std::array<Extended, 19> values{};
    values[0] = ReadReal(EditDT->text());
    for (std::size_t p = 0; p < ParameterEdits.size(); ++p)
        values[p + 1] = ReadReal(ParameterEdits[p]->text());
    return values;
}

void TEditDlg::SaveWithParameters(const std::string& path, const std::array<Extended, 19>& values) {
    World saved = state_.world;
    for (std::size_t p = 0; p < values.size(); ++p) saved.*ParameterFields[p] = values[p];
    WriteConfigFile(path, saved, state_.document.ConfigBuffer);
    for (std::size_t p = 0; p < values.size(); ++p) state_.world.*ParameterFields[p] = values[p];
}

void TEditDlg::OKBtnClick() {
    bool saved = false;
    Guarded(questions_, [&] {
        const std::array<Extended, 19> values = ReadParameterFields();
        const std::optional<std::string> path = questions_.SavePath();
        if (!path) return; // back to the editor, everything as typed
        const World before = state_.world;
        if (!SaveAskingForReadOnly(questions_, [&] { SaveWithParameters(*path, values); })) return;
        DocumentState& document = state_.document;
        document.CurrentFileName = document.StartFileName = *path;
        document.CurrentIsFile = true;
        SyncCopiesFromCurrent(state_.world, Slots::Present);
        saved = true;
        if (onWorldChanged) onWorldChanged(QStringLiteral("Editor OK"), before, true);
    });
    if (!saved) return;
    // The configuration is saved: the dialog closes even if the start pointer cannot be rewritten.
    Guarded(questions_,
            [&] { WriteStartPointer(state_.document.StartPointerFile, state_.document.StartFileName); });
    accept();
}

void TEditDlg::SaveasClick() {
    Guarded(questions_, [&] {
        const std::array<Extended, 19> values = ReadParameterFields();
        const std::optional<std::string> path = questions_.SavePath();
        if (!path) return;
        ShowText(EditFileName, FromPath(*path));
        const World before = state_.world;
        if (!SaveAskingForReadOnly(questions_, [&] { SaveWithParameters(*path, values); })) return;
        if (onWorldChanged) onWorldChanged(QStringLiteral("Editor Save As"), before, false);
    });
}

void TEditDlg::MeasureDistance(QLineEdit* first, QLineEdit* second, QLineEdit* result) {
    Guarded(questions_, [&] {
        auto rowValues = [&](QLineEdit* field, Extended(&xyz)[3]) {
            const std::int32_t row = ParseInteger(field->text().toStdString());
            if (row < 0) throw TaonError("List index out of bounds (" + std::to_string(row) + ")");
            for (int c = 0; c < 3; ++c) xyz[c] = ReadReal(DaonsTable->Cell(c + 1, row));
        };
        Extended a[3], b[3];
        rowValues(first, a);
        rowValues(second, b);
        ClearFpFlags();
        const Extended dx = b[0] - a[0], dy = b[1] - a[1], dz = b[2] - a[2];
        const Extended d = Checked(std::sqrt((dx * dx + dy * dy) + dz * dz));
        ShowText(result, RealText(d));
    });
}

void TEditDlg::CalculateClick(int n) {
    const Calculator& c = Calculators[static_cast<std::size_t>(n - 1)];
    MeasureDistance(c.Part1, c.Part2, c.Result);
}

void TEditDlg::ResetClick(int n) {
    const Calculator& c = Calculators[static_cast<std::size_t>(n - 1)];
    c.Part1->setText(QStringLiteral("0"));
    c.Part2->setText(QStringLiteral("0"));
    c.Result->setText(QStringLiteral("0"));
}

} // namespace taonscope
