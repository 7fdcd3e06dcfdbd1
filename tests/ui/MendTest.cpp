// SPDX-License-Identifier: GPL-3.0-or-later
// Faults found by driving the window from outside: undo keys in number fields, the focus of the scene,
// recordings across a jump of the world, Import XYZ's view, a picture of no scene (the settling button's
// caption is tested with the instruments).
#include "support/SystemPython.h"
#include "support/UiProgram.h"
#include "support/WorldFiles.h"

#include "ui/RecordDlg.h"

#include "core/Scenarios.h"
#include "document/StartPointer.h"
#include "document/XyzFile.h"

#include <QtTest>

#include <algorithm>
#include <cstdlib>

using namespace taonscope;
using taonscope::test::UiProgram;
using taonscope::test::WaitFor;

namespace {

// Starts recording into path, every step, through the dialog.
void Record(UiProgram& p, const std::string& path) {
    p.questions.saveFileAnswers.push_back(path);
    QTimer::singleShot(50, [] {
        auto* dialog = dynamic_cast<TRecordDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        dialog->Browse->click();
        dialog->EveryEdit->setValue(1);
        dialog->OKBtn->click();
    });
    p.main->RecordTrajectory1->trigger();
    QVERIFY(p.main->RecordTrajectory1->isChecked());
}

// A trajectory as written (the steps of its frames) and as MDAnalysis reads it.
struct Trajectory {
    std::vector<int> steps;
    long frames = -1, atoms = -1; // in all
};
Trajectory ReadTrajectory(const UiProgram& p, const std::string& path) {
    Trajectory trajectory;
    const std::string text = test::ReadAll(path);
    for (std::size_t at = text.find(" Step="); at != std::string::npos; at = text.find(" Step=", at + 1))
        trajectory.steps.push_back(std::atoi(text.c_str() + at + 6));
    const auto read = test::RunSystemPython(TAONSCOPE_MDA_SCRIPT, {path}, p.dir);
    if (read && read->status == 0) {
        trajectory.frames = std::atol(read->out.c_str());
        trajectory.atoms = std::count(read->out.begin(), read->out.end(), '\n') - 1;
    }
    return trajectory;
}

} // namespace

class MendTest : public QObject {
    Q_OBJECT

private slots:
    void undoKeysWinInANumberFieldAndAClickOnTheSceneTakesTheFocus() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        p.main->ShowParameters();
        QLineEdit* b1 = p.main->ParameterEdits[1];
        test::TypeInto(b1, "4"); // a change of the world
        QCOMPARE(p.state.world.B1, 4.0L);
        // The focus in dt, which has its own undo of typed text: Ctrl+Z takes back the world's change.
        QTest::mouseClick(p.main->EditDT, Qt::LeftButton);
        QVERIFY(p.main->EditDT->hasFocus());
        QTest::keyClick(p.main->EditDT, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(p.state.world.B1, RingWorld().B1);
        QTest::keyClick(p.main->EditDT, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(p.state.world.B1, 4.0L);
        QTest::mouseClick(b1, Qt::LeftButton);
        QTest::keyClick(b1, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(b1, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(p.state.world.B1, RingWorld().B1);

        // A click on the scene takes the focus: dt typed and left is read then, as leaving it always was.
        test::TypeInto(p.main->EditDT, "0.004", false);
        QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {}, QPoint(20, 20));
        QVERIFY(p.main->SceneView->hasFocus());
        QCOMPARE(p.state.world.dt, 0.004L);
        QTest::keyClick(p.main->SceneView, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(p.state.world.dt, RingWorld().dt);
    }

    void aNewDocumentAndUndoEndTheRecordingWithALineInTheFileBar() {
        UiProgram p([](UiProgram& q) {
            test::SaveWorld(q.dir.File("ring.tao"), RingWorld());
            test::SaveWorld(q.dir.File("pair.tao"), EasySquareWorld());
            WriteStartPointer(q.PointerPath(), q.dir.File("ring.tao"));
        });
        p.Show();
        Record(p, p.dir.File("first.xyz"));
        p.RunAtLeast(30);
        p.questions.openAnswers.push_back(p.dir.File("pair.tao"));
        p.main->Open1Click();
        QVERIFY(!p.main->RecordTrajectory1->isChecked() && !p.main->RecMark->isVisible());
        QCOMPARE(p.main->FName->text(), QStringLiteral("Recording ended (a new document): ") +
                                            QString::fromStdString(p.dir.File("pair.tao")));
        p.RunAtLeast(30); // not recorded: every frame is one of the ring's, and MDAnalysis reads them all
        const Trajectory first = ReadTrajectory(p, p.dir.File("first.xyz"));
        QCOMPARE(first.steps.front(), 0);
        QCOMPARE(first.steps.back(), static_cast<int>(first.steps.size()) - 1);
        QCOMPARE(first.frames, static_cast<long>(first.steps.size()));
        QCOMPARE(first.atoms, 12 * first.frames);

        // Undo after a recorded run: the recording ends rather than go back in time.
        Record(p, p.dir.File("second.xyz"));
        p.RunAtLeast(20);
        p.main->Undo1->trigger();
        QVERIFY(!p.main->RecordTrajectory1->isChecked());
        const QString ended = QStringLiteral("Recording ended (Undo or Redo): ") +
                              QString::fromStdString(p.dir.File("pair.tao"));
        QCOMPARE(p.main->FName->text(), ended); // one line: the earlier one is replaced
        p.RunAtLeast(5);
        const Trajectory second = ReadTrajectory(p, p.dir.File("second.xyz"));
        QVERIFY(second.steps.size() > 20);
        QVERIFY(std::adjacent_find(second.steps.begin(), second.steps.end(), std::greater_equal<>()) ==
                second.steps.end()); // never back in time
        QCOMPARE(second.frames, static_cast<long>(second.steps.size()));
        p.main->Redo1->trigger(); // nothing recorded: nothing said
        QCOMPARE(p.main->FName->text(), ended);
        // The note goes when a new recording starts, and stays gone when it stops.
        Record(p, p.dir.File("third.xyz"));
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("pair.tao")));
        p.main->StopRecording1->trigger();
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("pair.tao")));
    }

    void importXyzFitsTheViewAsAnOpenedExampleDoes() {
        UiProgram p;
        p.Show();
        World six;
        for (int j = 1; j <= 6; ++j) six.TaonPresent[j] = true, six.PosX[j] = j, six.PosZ[j] = j % 2;
        test::WriteAll(p.dir.File("six.xyz"), FormatXyzFrame(six, 0, 0));
        p.questions.openFileAnswers.push_back(p.dir.File("six.xyz"));
        p.main->ImportXyz1->trigger();
        QVERIFY(p.questions.errors.empty());
        const SceneArea area = p.main->Scene();
        for (int j = 1; j <= 6; ++j)
            QVERIFY(p.state.view.ScreenX[j] > area.width / 20 &&
                    p.state.view.ScreenX[j] < area.width * 19 / 20 && p.state.view.ScreenY[j] > 0 &&
                    p.state.view.ScreenY[j] < area.bottom);
        // Spread over most of the width, as Fit All leaves it.
        QVERIFY(p.state.view.ScreenX[6] - p.state.view.ScreenX[1] > area.width / 2);
    }

    void exportPictureFromAWindowWithoutASceneSaysWhy() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        p.main->resize(604, 150); // the panel takes the whole height
        QVERIFY(WaitFor([&] { return p.main->Scene().bottom < 16; }));
        p.questions.saveFileAnswers.push_back(p.dir.File("none.png"));
        p.main->ExportPicture1->trigger();
        QCOMPARE(p.questions.informations.size(), std::size_t{1});
        QVERIFY2(p.questions.informations[0].rfind("The window is too small to show the scene", 0) == 0,
                 p.questions.informations[0].c_str());
        QVERIFY(p.questions.fileKindsAsked.empty());
        QVERIFY(!QFileInfo::exists(QString::fromStdString(p.dir.File("none.png"))));
        p.main->resize(604, 431);
        QVERIFY(WaitFor([&] { return p.main->Scene().bottom > 100; }));
        p.main->ExportPicture1->trigger();
        QVERIFY(QFileInfo::exists(QString::fromStdString(p.dir.File("none.png"))));
    }
};

TAONSCOPE_QTEST_MAIN(MendTest)
#include "MendTest.moc"
