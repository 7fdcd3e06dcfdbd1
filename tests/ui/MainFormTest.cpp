// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: controls, key filter, listing, view controls, menus.
#include "support/UiProgram.h"

#include "ui/DialogQuestions.h"

#include "core/Scenarios.h"
#include "document/StartPointer.h"
#include "view/Figures.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <cmath>

using namespace taonscope;
using taonscope::test::CountColour;
using taonscope::test::UiProgram;

namespace {

// A program started with the easy square (an empty start pointer, then "Taons").
void StartWithEasySquare(UiProgram& p) {
    p.main->Daons1Click();
}

// Equal to the last bits: a drag multiplies pixel counts by the angle step, which is not exact in binary.
bool Near(Extended a, Extended b) {
    return std::fabs(a - b) <= 1e-17L * (1 + std::fabs(b));
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithTheDesignedControls() {
        UiProgram p;
        TMainForm& m = *p.main;
        QCOMPARE(m.windowTitle(), QStringLiteral("Taonscope"));
        QCOMPARE(m.FName->text(), QStringLiteral("File Name"));
        QVERIFY(!m.Go->isEnabled());
        QCOMPARE(m.Go->text(), QStringLiteral("Go"));
        QCOMPARE(m.LTime->text(), QStringLiteral("0"));
        QVERIFY(m.ShowList->isChecked());
        QVERIFY(!m.Cool->isChecked());
        QCOMPARE(m.TrackBar->value(), 5);
        QCOMPARE(m.TrackBar->toolTip(), QStringLiteral("Amplitude"));
        QCOMPARE(m.Null00->text(), QStringLiteral("0"));
        QCOMPARE(m.Null00->toolTip(), QStringLiteral("Make null of velocity"));
        QVERIFY(m.ShapeRed->Colour() == Colours::Maroon);
        QVERIFY(m.ShapeLime->Colour() == Colours::Lime);
        QCOMPARE(m.Edit1->text(), QStringLiteral("1-50"));
        QCOMPARE(m.Edit2->text(), QStringLiteral("51-80"));
        QCOMPARE(m.Edit3->text(), QStringLiteral("81-100"));
        QCOMPARE(m.Comment->toPlainText(), QStringLiteral("No Comment"));
        QCOMPARE(m.PageControl->tabText(0), QStringLiteral("Listing"));
        QCOMPARE(m.PageControl->tabText(1), QStringLiteral("Commentary"));
        QCOMPARE(m.PageControl->currentIndex(), 0);
        QCOMPARE(m.Pan->height(), 182);
        QCOMPARE(m.Panel1->width(), 243);
        QCOMPARE(m.Panel1->x() + m.Panel1->width(), m.Pan->width());
        // Start-up wrote the world's parameters (none yet: the figure is shown) and its first step.
        QCOMPARE(m.ParameterEdits[0]->objectName(), QStringLiteral("EditA1"));
        QCOMPARE(m.ParameterEdits[17]->objectName(), QStringLiteral("EditG3"));
        QCOMPARE(m.ParameterEdits[0]->text(), QStringLiteral("0"));
        QCOMPARE(m.EditDT->text(), QStringLiteral("0"));
        QCOMPARE(p.state.world.dt, 0.001L);
        QVERIFY(p.state.world.Stopped);
        QVERIFY(p.state.world.ShowingFigure);
    }

    void menusCarryTheirShortcuts() {
        UiProgram p;
        TMainForm& m = *p.main;
        QCOMPARE(m.New1->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(m.Open1->shortcut(), QKeySequence(Qt::Key_F3));
        QCOMPARE(m.Save1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
        QCOMPARE(m.Saveas1->text(), QStringLiteral("Save As ..."));
        QCOMPARE(m.Exit1->shortcut(), QKeySequence(Qt::ALT | Qt::Key_X));
        QCOMPARE(m.Daons1->shortcut(), QKeySequence(Qt::Key_F5));
        QCOMPARE(m.ShowSpin->shortcut(), QKeySequence(Qt::Key_F6));
        QCOMPARE(m.ShowNumbersOfPoints->text(), QStringLiteral("Show Numbers of Points"));
        QCOMPARE(m.MoveToCenter->shortcut(), QKeySequence(Qt::Key_F8));
        QCOMPARE(m.RusHelp->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F1));
        QCOMPARE(m.PolHelp->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
        QStringList bar;
        for (QAction* action : m.menuBar()->actions()) bar << action->text();
        QCOMPARE(bar, (QStringList{"File", "Edit", "View", "Run", "Help"})); // Run: speed and single steps
    }

    void managerShortcutsWorkWithTheMenuHidden() {
        UiProgram p;
        p.Show();
        QTest::keyClick(p.main.get(), Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(p.state.view.OffsetX, -5.0L);
        QTest::keyClick(p.main.get(), Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(p.main.get(), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(p.state.view.OffsetY, 10.0L);
        QTest::keyClick(p.main.get(), Qt::Key_Right, Qt::ControlModifier);
        QTest::keyClick(p.main.get(), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(p.state.view.OffsetX, 0.0L);
        QCOMPARE(p.state.view.OffsetY, 5.0L);
    }

    void keyFilterDropsWhatIsNotANumber() {
        UiProgram p;
        p.Show();
        TMainForm& m = *p.main;
        m.EditDT->clear();
        QTest::keyClicks(m.EditDT, QStringLiteral("1e-3"));
        QCOMPARE(m.EditDT->text(), QStringLiteral("1-3"));
        m.EditDTExit();
        QCOMPARE(QString::fromStdString(p.questions.LastError()),
                 QStringLiteral("'1-3' is not a valid floating point value."));
        QCOMPARE(p.state.world.dt, 0.001L);
        QCOMPARE(m.EditDT->text(), QStringLiteral("1-3"));

        // Keys that type nothing still work.
        m.EditDT->clear();
        QTest::keyClicks(m.EditDT, QStringLiteral("123"));
        QTest::keyClick(m.EditDT, Qt::Key_Home);
        QTest::keyClick(m.EditDT, Qt::Key_Delete);
        QTest::keyClick(m.EditDT, Qt::Key_End);
        QTest::keyClick(m.EditDT, Qt::Key_Backspace);
        QCOMPARE(m.EditDT->text(), QStringLiteral("2"));

        // EditA1..EditD1 filter; the other parameter edits take anything.
        m.ParameterEdits[0]->clear();
        QTest::keyClicks(m.ParameterEdits[0], QStringLiteral("x7,y-.z"));
        QCOMPARE(m.ParameterEdits[0]->text(), QStringLiteral("7,-."));
        m.ParameterEdits[4]->clear(); // EditF1
        QTest::keyClicks(m.ParameterEdits[4], QStringLiteral("ab"));
        QCOMPARE(m.ParameterEdits[4]->text(), QStringLiteral("ab"));
        m.ParameterEdits[6]->clear(); // EditA2
        QTest::keyClicks(m.ParameterEdits[6], QStringLiteral("q"));
        QCOMPARE(m.ParameterEdits[6]->text(), QStringLiteral("q"));
    }

    void leavingTheTimeStepReadsIt() {
        UiProgram p;
        p.Show();
        TMainForm& m = *p.main;
        m.EditDT->clear();
        m.EditDTExit();
        QCOMPARE(QString::fromStdString(p.questions.LastError()),
                 QStringLiteral("'' is not a valid floating point value."));
        m.EditDT->setText(QStringLiteral("0,5"));
        m.EditDTExit();
        QCOMPARE(QString::fromStdString(p.questions.LastError()),
                 QStringLiteral("'0,5' is not a valid floating point value."));
        QCOMPARE(p.state.world.dt, 0.001L);
        // Leaving the edit by moving the focus commits its text.
        m.EditDT->setFocus();
        m.EditDT->setText(QStringLiteral(" 0.25 "));
        m.Cool->setFocus();
        QCOMPARE(p.state.world.dt, 0.25L);
        QCOMPARE(m.EditDT->text(), QStringLiteral(" 0.25 "));
        QCOMPARE(p.questions.errors.size(), std::size_t{2});
    }

    void listingShowsPresentTaonsInTheNumberFormat() {
        UiProgram p;
        StartWithEasySquare(p);
        World& w = p.state.world;
        w.TaonPresent[7] = false;
        w.PosX[2] = 0.00005L;
        w.VelY[3] = 2.5e15L;
        p.main->FillListing();
        StringGrid& grid = *p.main->DaonsTable;
        QCOMPARE(grid.Cell(1, 0), QStringLiteral("X"));
        QCOMPARE(grid.Cell(3, 0), QStringLiteral("Z"));
        QCOMPARE(grid.Cell(0, 7), QStringLiteral("7"));
        QCOMPARE(grid.Cell(1, 7), QString());
        QCOMPARE(grid.Cell(0, 100), QStringLiteral("100"));
        QCOMPARE(grid.Cell(1, 1), QStringLiteral("0.212"));
        QCOMPARE(grid.Cell(3, 1), QStringLiteral("-0.212"));
        QCOMPARE(grid.Cell(1, 2), QStringLiteral("5E-5"));

        p.main->DaonsTableDblClick();
        QCOMPARE(grid.Cell(1, 0), QStringLiteral("u(x)"));
        QCOMPARE(grid.Cell(2, 3), QStringLiteral("2.5E15"));
        QCOMPARE(grid.Cell(1, 1), QStringLiteral("0"));
        p.main->DaonsTableDblClick();
        QCOMPARE(grid.Cell(2, 0), QStringLiteral("Y"));
        QCOMPARE(grid.Cell(1, 2), QStringLiteral("5E-5"));
    }

    void doubleClickOnTheListingTogglesIt() {
        UiProgram p;
        StartWithEasySquare(p);
        p.Show();
        StringGrid& grid = *p.main->DaonsTable;
        const QRect cell = grid.visualItemRect(grid.item(0, 0));
        QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(grid.Cell(3, 0), QStringLiteral("u(z)"));
    }

    void zoomButtonsFollowTheirSteps() {
        UiProgram p;
        TMainForm& m = *p.main;
        ViewState& v = p.state.view;
        m.DaoForvard->click();
        m.DaoForvard->click();
        QCOMPARE(v.ViewScale, 138.0L); // 3 steps of 3.0 a click
        v.ViewScale = 120;
        m.DaoBack->click();
        QCOMPARE(v.ViewScale, 111.0L);
        v.ScaleStep = 0.5L, v.ViewScale = 4;
        m.DaoBackClick();
        QCOMPARE(v.ViewScale, 8.0L);
        v.ScaleStep = 1, v.ViewScale = 5;
        m.DaoBackClick();
        QCOMPARE(v.ViewScale, 5.0L);
        m.TrackBar->setValue(10);
        QCOMPARE(v.AngleStep, 2.0L);
        QCOMPARE(v.ScaleStep, 50.0L);
        m.TrackBar->setValue(0);
        QCOMPARE(v.AngleStep, 0.0005L);
        QCOMPARE(v.ScaleStep, 0.5L);
        v.ViewScale = 3, v.OffsetX = 4;
        v.ViewTeta = 1;
        m.MoveToCenter->trigger();
        QCOMPARE(v.ViewScale, 120.0L);
        QCOMPARE(v.OffsetX, 0.0L);
        QCOMPARE(v.ViewTeta, 1.0L);
    }

    void rotationButtonsTurnTheViewInTaonMode() {
        UiProgram p;
        StartWithEasySquare(p);
        ViewState& v = p.state.view;
        const World before = p.state.world;
        p.main->DaoTeta1->click();
        p.main->DaoPsi->click();
        p.main->DaoPhi->click();
        p.main->DaoPhi->click();
        QCOMPARE(v.ViewTeta, 0.01L);
        QCOMPARE(v.ViewPsi, -0.01L);
        QCOMPARE(v.ViewPhi, 0.02L);
        QCOMPARE(v.SpinTeta + v.SpinPsi + v.SpinPhi, 0.0L);
        QVERIFY(p.state.world.ScenePosX == before.ScenePosX);
    }

    void rightDragTurnsAndZooms() {
        UiProgram p;
        StartWithEasySquare(p);
        p.Show();
        ViewState& v = p.state.view;
        QTest::mousePress(p.main->SceneView, Qt::RightButton, {}, QPoint(100, 100));
        QTest::mouseRelease(p.main->SceneView, Qt::RightButton, {}, QPoint(110, 90));
        QVERIFY(Near(v.ViewPsi, -0.1L));
        QCOMPARE(v.ViewScale, 150.0L);
        QCOMPARE(v.SpinPsi, 0.0L);
        // A left drag turns about z and x.
        QTest::mousePress(p.main->SceneView, Qt::LeftButton, {}, QPoint(50, 50));
        QTest::mouseRelease(p.main->SceneView, Qt::LeftButton, {}, QPoint(30, 60));
        QVERIFY(Near(v.ViewPhi, 0.2L));
        QVERIFY(Near(v.ViewTeta, 0.1L));
        // A release whose press the scene did not see starts from the last press of that button.
        p.main->FormMouseUp(Qt::LeftButton, 50, 50);
        QVERIFY(Near(v.ViewPhi, 0.2L));
        QVERIFY(Near(v.ViewTeta, 0.1L));
    }

    void figureSpinsAtEveryTickUntilStopped() {
        UiProgram p; // no start configuration: the figure is shown
        TMainForm& m = *p.main;
        ViewState& v = p.state.view;
        World& w = p.state.world;
        // ShowSpin off: a click turns the figure once; a tick does nothing.
        const Extended z7 = w.ScenePosZ[7];
        m.DaoTeta1->click();
        QCOMPARE(v.SpinTeta, 0.0L);
        const Extended turned = w.ScenePosZ[7];
        QVERIFY(turned != z7);
        m.TimerTimer();
        QCOMPARE(w.ScenePosZ[7], turned);

        // ShowSpin on: a drag 20 pixels to the right leaves SpinPhi at -0.2 and every tick turns again.
        m.ShowSpin->trigger();
        QVERIFY(m.ShowSpin->isChecked());
        m.FormMouseDown(Qt::LeftButton, 10, 10);
        m.FormMouseUp(Qt::LeftButton, 30, 10);
        QVERIFY(Near(v.SpinPhi, -0.2L));
        const Extended x9 = w.ScenePosX[9];
        m.TimerTimer();
        QVERIFY(w.ScenePosX[9] != x9);
        const Extended y9 = w.ScenePosY[9];
        QTRY_VERIFY_WITH_TIMEOUT(w.ScenePosY[9] != y9, 5000); // the real timer turns it too
        m.DaoStop->click();
        QCOMPARE(v.SpinPhi, 0.0L);
        const Extended still = w.ScenePosX[9];
        m.TimerTimer();
        QCOMPARE(w.ScenePosX[9], still);
        m.ShowSpin->trigger();
        QVERIFY(!m.ShowSpin->isChecked());
    }

    void spiralShowsTheFigureAndDisablesTheRun() {
        UiProgram p;
        StartWithEasySquare(p);
        QVERIFY(p.main->Go->isEnabled());
        const World before = p.state.world;
        p.main->Spiral1->trigger();
        QVERIFY(p.state.world.ShowingFigure);
        QVERIFY(!p.main->Go->isEnabled());
        QVERIFY(!p.main->Null00->isEnabled());
        QVERIFY(p.state.world.TaonPresent == before.TaonPresent);
        QVERIFY(p.state.world.PosX == before.PosX);
        QVERIFY(CountColour(p.main->SceneView->Image(), Colours::Red) > 100);
    }

    void sceneShowsTheFigureThenTheSquare() {
        UiProgram p;
        p.Show();
        QTest::qWait(50);
        const QImage figure = p.main->SceneView->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(CountColour(figure, Colours::Red) > 100);
        QVERIFY(CountColour(figure, Colours::White) > 10);
        QTest::keyClick(p.main.get(), Qt::Key_F5);
        QTest::qWait(50);
        const QImage square = p.main->SceneView->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(CountColour(square, Colours::Lime), 16);
        QCOMPARE(CountColour(square, Colours::Red), 0);
        p.main->ShowNumbersOfPoints->trigger();
        QVERIFY(CountColour(p.main->SceneView->Image(), Colours::Lime) > 16);
    }

    void resizingFollowsThePanel() {
        UiProgram p;
        p.Show();
        p.main->resize(800, 500);
        QTest::qWait(20);
        const int w = p.main->Panel1->x() - 5;
        QCOMPARE(p.main->Panel1->x(), p.main->centralWidget()->width() - 243);
        QCOMPARE(p.main->PageControl->width(), w);
        QCOMPARE(p.main->FName->width(), w + 3);
        QCOMPARE(p.main->DaonsTable->width(), w - 2);
        QCOMPARE(p.main->DaonsTable->columnWidth(0), (w - 30) / 6);
        QCOMPARE(p.main->Comment->height(), p.main->PageControl->height() - 29);
        QCOMPARE(p.state.view.CentreY, RoundToPixel(p.main->Pan->y() / 2.0L));
    }

    void aboutBoxNamesTheProgram() {
        UiProgram p;
        QCOMPARE(p.about->windowTitle(), QStringLiteral("About"));
        QCOMPARE(p.about->findChild<QLabel*>(QStringLiteral("ProductName"))->text(),
                 QStringLiteral("Taonscope"));
        QCOMPARE(p.about->findChild<QLabel*>(QStringLiteral("Version"))->text(),
                 QStringLiteral("Version 1.1"));
        auto* ok = p.about->findChild<QPushButton*>(QStringLiteral("OKButton"));
        QVERIFY(ok->isDefault());
        QTimer::singleShot(50, ok, &QPushButton::click);
        p.main->About1->trigger();
        QCOMPARE(p.about->result(), int(QDialog::Accepted));
    }

    void messageBoxesCarryTheirCaptionsAndButtons() {
        struct Seen {
            QString title, text;
            QMessageBox::Icon icon = QMessageBox::NoIcon;
            QMessageBox::StandardButtons buttons;
        };
        auto inspectAndAnswer = [](Seen& seen, QMessageBox::StandardButton answer) {
            QTimer::singleShot(50, [&seen, answer] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                if (!box) return;
                seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
                box->button(answer)->click();
            });
        };
        DialogQuestions questions;
        Seen error, information, confirm;
        inspectAndAnswer(error, QMessageBox::Ok);
        questions.Error("Disk full.");
        QCOMPARE(error.title, QStringLiteral("Taonscope"));
        QCOMPARE(error.text, QStringLiteral("Disk full."));
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(error.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        inspectAndAnswer(information, QMessageBox::Ok);
        questions.Information("The start File not found.");
        QCOMPARE(information.title, QStringLiteral("Information"));
        inspectAndAnswer(confirm, QMessageBox::No);
        QVERIFY(!questions.Confirm("The text was changed. Save now?"));
        QCOMPARE(confirm.title, QStringLiteral("Confirm"));
        QCOMPARE(confirm.buttons, QMessageBox::Yes | QMessageBox::No);
        inspectAndAnswer(confirm, QMessageBox::Yes);
        QVERIFY(questions.Confirm("Again?"));
    }

    void fileDialogsFilterTaonFilesAndAddTheExtension() {
        test::TempDir dir;
        DialogQuestions questions;
        QStringList filters;
        for (const bool saving : {true, false}) {
            QTimer::singleShot(100, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog) return;
                filters = dialog->nameFilters();
                auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                name->setText(QString::fromStdString(dir.File("ring")));
                QTest::keyClick(name, Qt::Key_Return);
            });
            const std::optional<std::string> path = saving ? questions.SavePath() : questions.OpenPath();
            QCOMPARE(filters, QStringList{QStringLiteral("Taons files (*.tao)")});
            QVERIFY(path.has_value());
            QCOMPARE(*path, dir.File("ring.tao")); // a name that does not exist may be opened
        }
    }

    void helpIsBuiltInAndMissingHelpFilesAreSaid() {
        UiProgram p;
        QString title;
        QTimer::singleShot(50, [&] {
            if (QWidget* help = QApplication::activeModalWidget()) {
                title = help->windowTitle();
                help->close();
            }
        });
        p.main->Help1->trigger();
        QCOMPARE(title, QStringLiteral("Taonscope Help"));
        p.main->RusHelp->trigger();
        QCOMPARE(p.questions.informations.size(), std::size_t{1});
        QVERIFY(p.questions.informations[0].find("HlpArtRu") != std::string::npos);
    }
};

TAONSCOPE_QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
