// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "AppState.h"
#include "KeyFilter.h"
#include "Questions.h"
#include "Widgets.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <functional>

namespace taonscope {

/// The editor of taons and parameters ("gravons" in its own words), opened by File > New. It works on
/// the world directly; only its time-step and parameter texts wait until OK or Save As commits them.
class TEditDlg : public QDialog {
public:
    TEditDlg(AppState& state, Questions& questions, QWidget* parent = nullptr);

    /// One distance calculator: two taon numbers and the distance between their table rows.
    struct Calculator {
        QLineEdit *Part1 = nullptr, *Part2 = nullptr, *Result = nullptr;
        QPushButton *Calculate = nullptr, *Reset = nullptr;
    };

    void FillEditorTable();
    /// Loads the taon of a table row into the taon fields (positions and velocities, whatever the mode).
    void LoadSelectedTaon(int row);
    /// Loads every field and the table from the world; done each time the dialog opens.
    void LoadFields();
    void DaonsTableSelectCell(int leavingRow);
    void DaonsTableClick();
    void DaonsTableDblClick();
    void SubmitClick();
    void OKBtnClick();
    void SaveasClick();
    void CalculateClick(int calculator);
    void ResetClick(int calculator);
    /// The distance between the taons whose numbers stand in first and second, from the table's texts.
    void MeasureDistance(QLineEdit* first, QLineEdit* second, QLineEdit* result);

    bool ShowsVelocities() const { return editorShowsVelocities_; }

    /// Told after each change the editor makes to the world: its name, the world before it, and
    /// whether the dialog is closing with it (OK, after which the main window refreshes).
    std::function<void(const QString& name, const World& before, bool closing)> onWorldChanged;

    // The controls, named as the program names them.
    StringGrid* DaonsTable = nullptr;
    QLabel* NumberOfTaon = nullptr;
    QLineEdit *EditX = nullptr, *EditY = nullptr, *EditZ = nullptr;
    QLineEdit *EditV = nullptr, *EditU = nullptr, *EditW = nullptr;
    QCheckBox* DaoTrue = nullptr;
    QPushButton *Submit = nullptr, *Saveas = nullptr, *OKBtn = nullptr, *CancelBtn = nullptr;
    QLineEdit* EditDT = nullptr;
    std::array<QLineEdit*, 18> ParameterEdits{}; ///< EditA1 ... EditG1, EditA2 ... EditG3
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit8 = nullptr;
    QLineEdit* EditFileName = nullptr;
    std::array<Calculator, 4> Calculators{};

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildControls();
    void BuildCalculator(int n, int x, int y);
    /// dt and the 18 parameters as the fields hold them; fails at the first field that is no number.
    std::array<Extended, 19> ReadParameterFields() const;
    /// Writes the world with the given parameters to path; stores them in the world once it is written.
    void SaveWithParameters(const std::string& path, const std::array<Extended, 19>& values);

    AppState& state_;
    Questions& questions_;
    NumericKeyFilter keyFilter_;
    bool editorShowsVelocities_ = false;
};

} // namespace taonscope
