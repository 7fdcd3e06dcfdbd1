// SPDX-License-Identifier: GPL-3.0-or-later
// The editor dialog as File > New opens it, with the file dialogs answered from a script.
#include "support/UiProgram.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"

#include <QTimer>
#include <QtTest>

#include <cmath>
#include <filesystem>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::UiProgram;

namespace {

// Opens the editor through File > New and runs actions while it is shown; a dialog still open after
// them is cancelled. Returns whether New saw the dialog confirmed (the main window refreshed).
bool WithEditor(UiProgram& p, const std::function<void(TEditDlg&)>& actions) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        actions(*p.edit);
        if (p.edit->isVisible()) p.edit->reject();
    });
    p.main->New1Click();
    if (!ran) qWarning("the editor did not open");
    return p.edit->result() == QDialog::Accepted;
}

// A world with taon 1 at the origin, taon 2 at (3, 4, 0) with velocity (1, 2, 2), taon 5 absent but
// holding values.
World TwoTaons() {
    World world;
    for (int kind = 1; kind <= 3; ++kind) SetParameterSet(world, kind, FigureParameters());
    world.TaonPresent[1] = world.TaonPresent[2] = true;
    world.PosX[2] = 3, world.PosY[2] = 4;
    world.VelX[2] = 1, world.VelY[2] = 2, world.VelZ[2] = 2;
    world.PosX[5] = 7.5L, world.VelZ[5] = -1;
    world.dt = 0.001L;
    SyncCopiesFromCurrent(world);
    return world;
}

void SelectRow(TEditDlg& dialog, int row) {
    QTableWidget& table = *dialog.DaonsTable;
    const QRect cell = table.visualItemRect(table.item(row - 1, 0) ? table.item(row - 1, 0) : nullptr);
    if (cell.isValid()) {
        QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    } else {
        table.setCurrentCell(row - 1, 0);
    }
}

QString Calculate(TEditDlg& dialog, int n, const QString& first, const QString& second) {
    const TEditDlg::Calculator& c = dialog.Calculators[static_cast<std::size_t>(n - 1)];
    c.Part1->setText(first);
    c.Part2->setText(second);
    c.Calculate->click();
    return c.Result->text();
}

} // namespace

class EditDlgTest : public QObject {
    Q_OBJECT

private slots:
    void firstOpeningShowsTheWorld() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral(" Editing of gravon's values"));
            QCOMPARE(d.size(), QSize(787, 447));
            QCOMPARE(d.DaonsTable->Cell(0, 0), QStringLiteral("Gravons"));
            QCOMPARE(d.DaonsTable->Cell(3, 0), QStringLiteral("Z"));
            QCOMPARE(d.DaonsTable->Cell(0, 100), QStringLiteral("100"));
            QCOMPARE(d.DaonsTable->Cell(1, 2), QStringLiteral("3"));
            QCOMPARE(d.DaonsTable->Cell(1, 5), QString());
            QCOMPARE(d.DaonsTable->SelectedRow(), 1);
            QCOMPARE(d.NumberOfTaon->text(), QStringLiteral("1"));
            QVERIFY(d.DaoTrue->isChecked());
            QCOMPARE(d.DaoTrue->text(), QStringLiteral("There is Gravon"));
            QCOMPARE(d.Submit->text(), QStringLiteral("&Yes"));
            QCOMPARE(d.EditDT->text(), QStringLiteral("0.001"));
            QCOMPARE(d.ParameterEdits[1]->text(), QStringLiteral("2.718"));
            QCOMPARE(d.Edit1->text(), QStringLiteral("1   -:-  50"));
            QCOMPARE(d.Edit8->text(), QStringLiteral("81 -:-100"));
            QCOMPARE(d.EditFileName->text(), QStringLiteral("This is a stabil structur of taons"));
            for (const auto& c : d.Calculators) QVERIFY(c.Part1->text() == "0" && c.Result->text() == "0");
            QVERIFY(d.OKBtn->isDefault());
        });
    }

    void velocitiesModeSurvivesReopening() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            d.DaonsTableDblClick();
            QCOMPARE(d.DaonsTable->Cell(0, 0), QStringLiteral("Velo"));
            QCOMPARE(d.DaonsTable->Cell(2, 0), QStringLiteral("u(y)"));
            QCOMPARE(d.DaonsTable->Cell(3, 2), QStringLiteral("2"));
        });
        WithEditor(p, [&](TEditDlg& d) {
            QCOMPARE(d.DaonsTable->Cell(1, 0), QStringLiteral("u(x)"));
            SelectRow(d, 2);
            QCOMPARE(d.EditX->text(), QStringLiteral("3")); // the fields hold both, whatever the mode
            QCOMPARE(d.EditV->text(), QStringLiteral("1"));
            QCOMPARE(d.DaonsTable->SelectedRow(), 2);
        });
        WithEditor(p, [&](TEditDlg& d) { QCOMPARE(d.NumberOfTaon->text(), QStringLiteral("2")); });
    }

    void anAbsentTaonCanBeLoadedAndBroughtBack() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            SelectRow(d, 5);
            QCOMPARE(d.NumberOfTaon->text(), QStringLiteral("5"));
            QCOMPARE(d.EditX->text(), QStringLiteral("7.5"));
            QVERIFY(!d.DaoTrue->isChecked());
            d.EditY->setText(QStringLiteral("2"));
            d.Submit->click(); // stores the values, stays absent
            QCOMPARE(p.state.world.PosY[5], 2.0L);
            QCOMPARE(d.DaonsTable->Cell(2, 5), QString());
            d.DaoTrue->setChecked(true);
            d.Submit->click();
            QVERIFY(p.state.world.TaonPresent[5]);
            QCOMPARE(d.DaonsTable->Cell(1, 5), QStringLiteral("7.5"));
            QCOMPARE(p.state.world.NextPosY[5], 2.0L);
            QCOMPARE(p.state.world.ScenePosX[5], 7.5L);
            QCOMPARE(p.state.world.NextVelZ[5], -1.0L);
        });
    }

    void typingIsDiscardedByChoosingARow() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            d.EditX->setText(QStringLiteral("9"));
            SelectRow(d, 2);
            QCOMPARE(d.EditX->text(), QStringLiteral("3"));
            d.EditX->setText(QStringLiteral("9"));
            SelectRow(d, 2); // the row already chosen reloads too
            QCOMPARE(d.EditX->text(), QStringLiteral("3"));
            d.EditX->setText(QStringLiteral("9"));
            QTest::keyClick(d.DaonsTable, Qt::Key_Up); // a keyboard move as well
            QCOMPARE(d.NumberOfTaon->text(), QStringLiteral("1"));
            QCOMPARE(d.EditX->text(), QStringLiteral("0"));
            QCOMPARE(p.state.world.PosX[2], 3.0L);
        });
    }

    void aRepaintKeepsTheTyping() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            d.EditX->setText(QStringLiteral("9"));
            d.ParameterEdits[0]->setText(QStringLiteral("4"));
            d.repaint();
            QCoreApplication::processEvents();
            QCOMPARE(d.EditX->text(), QStringLiteral("9"));
            QCOMPARE(d.ParameterEdits[0]->text(), QStringLiteral("4"));
        });
    }

    void yesWithABadFieldStoresNothing() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            SelectRow(d, 2);
            d.EditX->setText(QStringLiteral("8"));
            d.EditY->clear();
            d.DaoTrue->setChecked(false);
            d.Submit->click();
            QCOMPARE(p.questions.LastError(), std::string("'' is not a valid floating point value."));
            QCOMPARE(p.state.world.PosX[2], 3.0L);
            QVERIFY(p.state.world.TaonPresent[2]);
            QCOMPARE(d.DaonsTable->Cell(1, 2), QStringLiteral("3"));
            QVERIFY(d.isVisible());
        });
    }

    void okSavesNamesAndRefreshesTheMainWindow() {
        UiProgram p;
        p.Install(TwoTaons());
        p.state.world.StepCounter = 9;
        p.state.world.NextPosX[50] = 7.25L; // an absent slot's copies are not the editor's to change
        p.main->LTime->setText(QStringLiteral("9"));
        p.questions.saveAnswers.push_back(p.dir.File("made.tao"));
        const bool confirmed = WithEditor(p, [&](TEditDlg& d) {
            SelectRow(d, 1);
            d.EditZ->setText(QStringLiteral("-1.5"));
            d.Submit->click();
            d.EditDT->setText(QStringLiteral("0.02"));
            d.ParameterEdits[6]->setText(QStringLiteral("3")); // A2
            d.OKBtn->click();
        });
        QVERIFY(confirmed);
        QCOMPARE(std::filesystem::file_size(p.dir.File("made.tao")), std::uintmax_t{6296});
        ConfigRecord buffer{};
        QCOMPARE(ReadConfigFile(p.dir.File("made.tao"), buffer), 0);
        World saved;
        UnpackConfigRecord(buffer, saved);
        QCOMPARE(saved.dt, 0.02L);
        QCOMPARE(saved.A2, 3.0L);
        QCOMPARE(saved.PosZ[1], -1.5L);
        QCOMPARE(p.state.world.NextPosX[50], 7.25L);
        QCOMPARE(p.state.document.CurrentFileName, p.dir.File("made.tao"));
        QCOMPARE(p.state.document.StartFileName, p.dir.File("made.tao"));
        QCOMPARE(ReadAll(p.PointerPath()), p.dir.File("made.tao"));
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("made.tao")));
        QCOMPARE(p.state.world.StepCounter, 0);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0"));
        QCOMPARE(p.main->EditDT->text(), QStringLiteral("0.02"));
        QCOMPARE(p.main->ParameterEdits[6]->text(), QStringLiteral("3"));
        QCOMPARE(p.main->DaonsTable->Cell(3, 1), QStringLiteral("-1.5"));
        QVERIFY(!p.state.world.ShowingFigure);
    }

    void okWithABadParameterStaysOpenAndStoresNothing() {
        UiProgram p;
        p.Install(TwoTaons());
        p.questions.saveAnswers.push_back(p.dir.File("never.tao"));
        const bool confirmed = WithEditor(p, [&](TEditDlg& d) {
            d.EditDT->setText(QStringLiteral("0.5"));
            d.ParameterEdits[16]->setText(QStringLiteral("x")); // F3
            d.OKBtn->click();
            QVERIFY(d.isVisible());
            QCOMPARE(p.questions.LastError(), std::string("'x' is not a valid floating point value."));
            QCOMPARE(p.questions.saveAsked, 0);
        });
        QVERIFY(!confirmed);
        QCOMPARE(p.state.world.dt, 0.001L);
        QVERIFY(!std::filesystem::exists(p.dir.File("never.tao")));
    }

    void cancellingOksFileDialogReturnsToTheEditor() {
        UiProgram p;
        p.Install(TwoTaons());
        const std::string pointerBefore = ReadAll(p.PointerPath());
        WithEditor(p, [&](TEditDlg& d) {
            d.ParameterEdits[0]->setText(QStringLiteral("5"));
            d.OKBtn->click(); // the save dialog is cancelled
            QVERIFY(d.isVisible());
            QCOMPARE(d.ParameterEdits[0]->text(), QStringLiteral("5"));
        });
        QCOMPARE(p.state.world.A1, 1.0L);
        QCOMPARE(ReadAll(p.PointerPath()), pointerBefore);
        QCOMPARE(p.state.document.CurrentFileName, std::string("This is a stabil structur of taons"));
    }

    void saveAsWritesButNamesNothing() {
        UiProgram p;
        p.Install(TwoTaons());
        p.questions.saveAnswers.push_back(p.dir.File("copy.tao"));
        const QString mainA1 = p.main->ParameterEdits[0]->text();
        WithEditor(p, [&](TEditDlg& d) {
            d.ParameterEdits[0]->setText(QStringLiteral("2.5"));
            d.Saveas->click();
            QVERIFY(d.isVisible());
            QCOMPARE(d.EditFileName->text(), QString::fromStdString(p.dir.File("copy.tao")));
            d.repaint();
            QCoreApplication::processEvents();
            QCOMPARE(d.EditFileName->text(), QString::fromStdString(p.dir.File("copy.tao")));
        });
        QCOMPARE(std::filesystem::file_size(p.dir.File("copy.tao")), std::uintmax_t{6296});
        QCOMPARE(p.state.world.A1, 2.5L);
        QCOMPARE(ReadAll(p.PointerPath()), std::string());
        QCOMPARE(p.state.document.CurrentFileName, std::string("This is a stabil structur of taons"));
        QCOMPARE(p.main->ParameterEdits[0]->text(), mainA1); // not refreshed after Cancel
        WithEditor(p, [&](TEditDlg& d) {
            QCOMPARE(d.EditFileName->text(), QStringLiteral("This is a stabil structur of taons"));
        });
    }

    void aSaveThatFailsKeepsTheTimeStepAndEveryParameter() {
        UiProgram p;
        p.Install(TwoTaons());
        const World before = p.state.world;
        p.questions.saveAnswers.push_back(p.dir.File("no/such/dir/ok.tao"));
        p.questions.saveAnswers.push_back(p.dir.File("no/such/dir/saveas.tao"));
        p.questions.saveAnswers.push_back(p.dir.path().string()); // a folder
        const bool confirmed = WithEditor(p, [&](TEditDlg& d) {
            d.EditDT->setText(QStringLiteral("0.5"));
            for (QLineEdit* edit : d.ParameterEdits) edit->setText(QStringLiteral("9"));
            d.OKBtn->click();
            QVERIFY(d.isVisible());
            d.Saveas->click();
            d.OKBtn->click();
            QVERIFY(d.isVisible());
        });
        QVERIFY(!confirmed);
        QCOMPARE(p.questions.errors,
                 (std::vector<std::string>{"Invalid filename.", "Invalid filename.", "File access denied."}));
        for (std::size_t f = 0; f < ParameterFields.size(); ++f)
            QVERIFY2(p.state.world.*ParameterFields[f] == before.*ParameterFields[f], ParameterNames[f]);
        QCOMPARE(p.state.document.CurrentFileName, std::string("This is a stabil structur of taons"));
        QVERIFY(!p.state.document.CurrentIsFile);
    }

    void yesStoresTheLastTaon() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            d.DaonsTable->setCurrentCell(99, 0);
            QCOMPARE(d.NumberOfTaon->text(), QStringLiteral("100"));
            QVERIFY(!d.DaoTrue->isChecked());
            d.EditX->setText(QStringLiteral("1.5"));
            d.EditY->setText(QStringLiteral("-2"));
            d.EditZ->setText(QStringLiteral("0.25"));
            d.EditW->setText(QStringLiteral("3"));
            d.DaoTrue->setChecked(true);
            d.Submit->click();
            QCOMPARE(d.DaonsTable->Cell(1, 100), QStringLiteral("1.5"));
            QCOMPARE(d.DaonsTable->Cell(3, 100), QStringLiteral("0.25"));
        });
        QVERIFY(p.questions.errors.empty());
        const World& w = p.state.world;
        QVERIFY(w.TaonPresent[100]);
        QCOMPARE(w.PosX[100], 1.5L);
        QCOMPARE(w.NextPosY[100], -2.0L);
        QCOMPARE(w.ScenePosZ[100], 0.25L);
        QCOMPARE(w.VelZ[100], 3.0L);
        QCOMPARE(w.NextVelZ[100], 3.0L);
        QVERIFY(w.TaonPresent[1] && w.TaonPresent[2] && !w.TaonPresent[99]);
        QCOMPARE(w.PosX[2], 3.0L);
    }

    void keyFiltersAndKeys() {
        UiProgram p;
        p.Install(TwoTaons());
        p.Show();
        const bool confirmed = WithEditor(p, [&](TEditDlg& d) {
            d.EditX->clear();
            QTest::keyClicks(d.EditX, QStringLiteral("1e5x-"));
            QCOMPARE(d.EditX->text(), QStringLiteral("15-"));
            d.ParameterEdits[4]->clear(); // EditF1 takes anything
            QTest::keyClicks(d.ParameterEdits[4], QStringLiteral("ab"));
            QCOMPARE(d.ParameterEdits[4]->text(), QStringLiteral("ab"));
            d.Calculators[0].Part1->clear();
            QTest::keyClicks(d.Calculators[0].Part1, QStringLiteral("q1"));
            QCOMPARE(d.Calculators[0].Part1->text(), QStringLiteral("q1"));
            QTest::keyClick(d.EditX, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        QVERIFY(!confirmed);
        // Enter in a field is OK.
        p.questions.saveAnswers.push_back(p.dir.File("enter.tao"));
        QVERIFY(WithEditor(p, [&](TEditDlg& d) { QTest::keyClick(d.EditY, Qt::Key_Return); }));
        QVERIFY(std::filesystem::exists(p.dir.File("enter.tao")));
    }

    void calculatorsMeasureFromTheTable() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            d.Calculators[0].Calculate->click();
            QCOMPARE(p.questions.LastError(), std::string("'X' is not a valid floating point value."));
            QCOMPARE(d.Calculators[0].Result->text(), QStringLiteral("0"));

            QCOMPARE(Calculate(d, 1, "1", "2"), QStringLiteral("5"));
            QCOMPARE(Calculate(d, 3, "2", "1"), QStringLiteral("5"));
            QCOMPARE(Calculate(d, 2, "2", "2"), QStringLiteral("0"));
            QCOMPARE(Calculate(d, 4, " 1", "$2"), QStringLiteral("5"));

            const std::size_t errors = p.questions.errors.size();
            QCOMPARE(Calculate(d, 4, "1", "5"), QStringLiteral("5")); // absent: the result stays
            QCOMPARE(Calculate(d, 4, "101", "1"), QStringLiteral("5"));
            QCOMPARE(Calculate(d, 4, "-1", "1"), QStringLiteral("5"));
            QCOMPARE(Calculate(d, 4, "1.5", "1"), QStringLiteral("5"));
            const std::vector<std::string> expected = {
                "'' is not a valid floating point value.", "'' is not a valid floating point value.",
                "List index out of bounds (-1)", "'1.5' is not a valid integer value."};
            QCOMPARE(std::vector<std::string>(p.questions.errors.begin() + errors, p.questions.errors.end()),
                     expected);

            d.DaonsTableDblClick(); // velocities: (0, 0, 0) and (1, 2, 2)
            QCOMPARE(Calculate(d, 1, "1", "2"), QStringLiteral("3"));
            Calculate(d, 2, "0", "0");
            QCOMPARE(p.questions.LastError(), std::string("'u(x)' is not a valid floating point value."));
            d.DaonsTableDblClick();

            d.Calculators[2].Reset->click();
            QCOMPARE(d.Calculators[2].Part1->text(), QStringLiteral("0"));
            QCOMPARE(d.Calculators[2].Result->text(), QStringLiteral("0"));
            QCOMPARE(d.Calculators[0].Result->text(), QStringLiteral("3"));
        });
        // The calculators keep their texts between openings.
        WithEditor(p, [&](TEditDlg& d) { QCOMPARE(d.Calculators[0].Result->text(), QStringLiteral("3")); });
    }

    void calculatorsSeeOnlyWhatTheTableShows() {
        UiProgram p;
        p.Install(TwoTaons());
        WithEditor(p, [&](TEditDlg& d) {
            p.state.world.PosX[2] = 6; // not yet in the table
            QCOMPARE(Calculate(d, 1, "1", "2"), QStringLiteral("5"));
            SelectRow(d, 2); // refills the table
            d.EditY->setText(QStringLiteral("8"));
            d.Submit->click();
            QCOMPARE(Calculate(d, 1, "1", "2"), QStringLiteral("10"));
        });
    }

    void theEditorHoldsARunBetweenTwoSteps() {
        UiProgram p;
        World world = TwoTaons();
        world.VelX[1] = 1;
        world.A1 = world.A2 = world.A3 = 0; // no forces: taon 1 drifts at its own velocity
        SyncCopiesFromCurrent(world);
        p.Install(world);
        p.main->GoClick();
        while (p.main->RunSteps() < 2) QCoreApplication::processEvents();
        int stepsAtEdit = 0;
        WithEditor(p, [&](TEditDlg& d) {
            const int steps = p.state.world.StepCounter;
            QTest::qWait(60);
            QCOMPARE(p.state.world.StepCounter, steps);
            stepsAtEdit = steps;
            SelectRow(d, 1);
            d.EditX->setText(QStringLiteral("100"));
            d.Submit->click();
            d.reject();
        });
        const long long target = p.main->RunSteps() + 1;
        while (p.main->RunSteps() < target) QCoreApplication::processEvents();
        p.main->GoClick();
        // The run went on from the edited position, at dt 0.001 and velocity 1.
        const int later = p.state.world.StepCounter - stepsAtEdit;
        QVERIFY(later >= 1);
        QVERIFY(std::fabs(p.state.world.PosX[1] - (100 + 0.001L * later)) < 1e-9L);
    }
};

TAONSCOPE_QTEST_MAIN(EditDlgTest)
#include "EditDlgTest.moc"
