// SPDX-License-Identifier: GPL-3.0-or-later
// Edit > Undo and Redo over runs, the editor, the velocity reset and dt, on the real window.
#include "support/UiProgram.h"
#include "support/WorldCompare.h"

#include "ui/Text.h"
#include "ui/WorldHistory.h"

#include "core/FastLaw.h"
#include "core/Scenarios.h"
#include "core/Step.h"
#include "document/ConfigFile.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <limits>

using namespace taonscope;
using taonscope::test::SameWorld;
using taonscope::test::UiProgram;

namespace {

// Opens the editor through New, runs actions on it, cancels it if still open.
void WithEditor(UiProgram& p, const std::function<void(TEditDlg&)>& actions) {
    QTimer::singleShot(0, [&] {
        actions(*p.edit);
        if (p.edit->isVisible()) p.edit->reject();
    });
    p.main->New1Click();
}

// A change of dt through its field: one step.
void ChangeTimeStep(UiProgram& p, Extended dt) {
    p.main->EditDT->setText(RealText(dt));
    p.main->EditDTExit();
}

int Steps(UiProgram& p) {
    return p.main->History().Stack().count();
}

} // namespace

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    void snapshotsGiveBackEveryBitEvenOfOddCopies() {
        World world = CloudWorld(2);
        world.TaonPresent[30] = false;
        world.NextPosX[30] = -0.0L;                                        // an absent slot's own copy
        world.ScenePosZ[100] = std::numeric_limits<Extended>::quiet_NaN(); // a scene copy left apart
        world.VelY[0] = 9;                                                 // element 0 too
        world.StepCounter = 1234;
        world.TaonCount = 77;
        const WorldSnapshot snapshot(world);
        World other = EasySquareWorld();
        other.Stopped = world.Stopped, other.ShowingFigure = world.ShowingFigure,
        other.ShowTime = world.ShowTime;
        snapshot.RestoreInto(other);
        QVERIFY(SameWorld(other, world));
        QVERIFY(WorldSnapshot(other) == snapshot);
        QVERIFY(snapshot.Bytes() < 7000); // the current copy in 10 bytes a value, and the two odd values
        other.NextVelZ[3] += 1;
        QVERIFY(!(WorldSnapshot(other) == snapshot));
    }

    void undoAfterARunRestoresTheWorldBitForBitAndRedoRepeatsIt() {
        UiProgram p;
        p.Show();
        p.Install(CloudWorld(1));
        QVERIFY(!p.main->Undo1->isEnabled());
        QCOMPARE(p.main->Undo1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
        QCOMPARE(p.main->Redo1->shortcuts(),
                 (QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                      QKeySequence(Qt::CTRL | Qt::Key_Y)}));
        const World start = p.state.world;
        p.RunAtLeast(3);
        const World end = p.state.world;
        QVERIFY(end.StepCounter >= 3);
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Run"));
        QVERIFY(p.main->Undo1->isEnabled());

        QTest::keyClick(p.main.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(SameWorld(p.state.world, start));
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), RealText(start.PosX[1])); // the listing follows
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0"));
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo"));
        QCOMPARE(p.main->Redo1->text(), QStringLiteral("Redo Run"));

        QTest::keyClick(p.main.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(SameWorld(p.state.world, end));
        QCOMPARE(p.main->LTime->text(), QString::number(end.StepCounter));
        p.main->Undo1->trigger();
        QTest::keyClick(p.main.get(), Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(SameWorld(p.state.world, end));

        // A second run starts from where the first ended: undoing both goes back to the start.
        p.RunAtLeast(2);
        QCOMPARE(Steps(p), 2);
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, end));
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, start));
    }

    void undoOfTheEditorsOkRestoresTheParametersAndLeavesTheFile() {
        UiProgram p;
        p.Install(RingWorld());
        const World start = p.state.world;
        p.questions.saveAnswers.push_back(p.dir.File("ring.tao"));
        WithEditor(p, [](TEditDlg& d) {
            d.ParameterEdits[0]->setText(QStringLiteral("7"));
            d.OKBtn->click();
        });
        QCOMPARE(p.state.world.A1, 7.0L);
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Editor OK"));
        const std::string saved = test::ReadAll(p.dir.File("ring.tao"));

        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, start));
        QCOMPARE(p.main->ParameterEdits[0]->text(), RealText(start.A1)); // the parameter panel follows
        QCOMPARE(test::ReadAll(p.dir.File("ring.tao")), saved);
        p.main->Redo1->trigger();
        QCOMPARE(p.state.world.A1, 7.0L);
        QCOMPARE(p.main->ParameterEdits[0]->text(), QStringLiteral("7"));

        // The editor's Save As stores its parameters too: a step of its own, even when cancelled after.
        p.questions.saveAnswers.push_back(p.dir.File("copy.tao"));
        WithEditor(p, [](TEditDlg& d) {
            d.ParameterEdits[0]->setText(QStringLiteral("9"));
            d.Saveas->click();
        });
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Editor Save As"));
        p.main->Undo1->trigger();
        QCOMPARE(p.state.world.A1, 7.0L);
    }

    void editsResetsAndTimeStepsAreOneStepEach() {
        UiProgram p;
        World world = CloudWorld(4);
        world.StepCounter = 0;
        p.Install(world);
        const World start = p.state.world;

        WithEditor(p, [](TEditDlg& d) { // Yes on taon 1, then Cancel: the change stays, so does its step
            d.DaonsTable->setCurrentCell(0, 0);
            d.EditX->setText(QStringLiteral("5"));
            d.Submit->click();
        });
        QCOMPARE(p.state.world.PosX[1], 5.0L);
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Edit Taon"));
        const World edited = p.state.world; // the other fields of the row went through their texts

        p.main->Null00Click(); // the save dialog is cancelled
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Zero Velocities"));

        p.main->EditDT->setText(RealText(0.25L));
        p.main->EditDTExit();
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo dt"));
        p.main->EditDTExit(); // leaving it again changes nothing and is no step
        p.main->EditDT->setText(QStringLiteral("1-3"));
        p.main->EditDTExit(); // not a number: an error, no change, no step
        QCOMPARE(Steps(p), 3);
        const World end = p.state.world;

        p.main->Undo1->trigger();
        QCOMPARE(p.state.world.dt, start.dt);
        QCOMPARE(p.main->EditDT->text(), RealText(start.dt));
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, edited));
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, start));
        QVERIFY(!p.main->Undo1->isEnabled());
        for (int i = 0; i < 3; ++i) p.main->Redo1->trigger();
        QVERIFY(SameWorld(p.state.world, end));

        // A change after an undo drops what could have been redone.
        p.main->Undo1->trigger();
        p.main->Undo1->trigger();
        QVERIFY(p.main->Redo1->isEnabled());
        p.main->Null00Click();
        QVERIFY(!p.main->Redo1->isEnabled());
        QCOMPARE(Steps(p), 2);
    }

    void undoIsUnavailableWhileRunning() {
        UiProgram p;
        p.Install(CloudWorld(5));
        p.main->Null00Click();
        QVERIFY(p.main->Undo1->isEnabled());
        p.main->GoClick();
        QVERIFY(!p.main->Undo1->isEnabled());
        QVERIFY(!p.main->Redo1->isEnabled());
        while (p.main->RunSteps() < 1) QCoreApplication::processEvents();
        const std::int32_t counter = p.state.world.StepCounter;
        QVERIFY(counter > 0);
        p.main->History().Undo();
        p.main->Undo1->trigger();
        QTest::keyClick(p.main.get(), Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(p.main->Running());
        QCOMPARE(p.state.world.StepCounter, counter); // the reset's step would have gone back to 0
        QCOMPARE(Steps(p), 1);
        p.main->GoClick();
        while (p.main->Undo1->text() != QStringLiteral("Undo Run")) QCoreApplication::processEvents();
        QVERIFY(p.main->Undo1->isEnabled());
        QCOMPARE(Steps(p), 2);
    }

    void aRunThatFaultsAtOnceChangedNothingAndIsNoStep() {
        UiProgram p;
        World world = EasySquareWorld();
        world.PosX[3] = world.PosX[2], world.PosY[3] = world.PosY[2], world.PosZ[3] = world.PosZ[2];
        p.Install(world);
        ChangeTimeStep(p, 0.5L);
        p.main->GoClick();
        while (p.main->Running()) QCoreApplication::processEvents();
        QCOMPARE(p.questions.errors.size(), std::size_t{1});
        QCOMPARE(Steps(p), 1);
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo dt"));
        QVERIFY(p.main->Undo1->isEnabled());
    }

    void aNewDocumentStartsANewHistory() {
        UiProgram p;
        ConfigRecord buffer{};
        WriteConfigFile(p.dir.File("ring.tao"), RingWorld(), buffer);
        p.Install(CloudWorld(6));
        ChangeTimeStep(p, 0.5L);
        QCOMPARE(Steps(p), 1);
        p.questions.openAnswers.push_back(p.dir.File("ring.tao"));
        p.main->Open1Click();
        QCOMPARE(Steps(p), 0);
        QVERIFY(!p.main->Undo1->isEnabled());

        ChangeTimeStep(p, 0.25L);
        QCOMPARE(Steps(p), 1);
        p.main->Spiral1Click();
        QCOMPARE(Steps(p), 0);

        p.Install(CloudWorld(6));
        ChangeTimeStep(p, 0.5L);
        p.main->Daons1Click();
        QCOMPARE(Steps(p), 0);

        // A document opened during a run: the run's step starts from it.
        p.Install(CloudWorld(6));
        p.main->GoClick();
        while (p.main->RunSteps() < 1) QCoreApplication::processEvents();
        p.questions.openAnswers.push_back(p.dir.File("ring.tao"));
        p.main->Open1Click();
        const World opened = p.state.world;
        const long long stepsAtOpen = p.main->RunSteps();
        while (p.main->RunSteps() <= stepsAtOpen) QCoreApplication::processEvents();
        p.main->GoClick();
        QCOMPARE(Steps(p), 1);
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, [&] {
            World w = opened;
            w.Stopped = true;
            return w;
        }()));
    }

    void twoHundredRunsKeepTheLastTwoHundredInUnderThreeMegabytes() {
        World world = CloudWorld(7);
        int restored = 0;
        WorldHistory history(world, [&] { ++restored; });
        FastLaw law(1);
        World afterRun50;
        for (int run = 1; run <= 250; ++run) {
            world.Stopped = false;
            history.RunStarted(world);
            AdvanceStep(world, 1, law);
            world.Stopped = true;
            history.RunEnded(world);
            if (run == 50) afterRun50 = world;
        }
        QCOMPARE(history.Stack().count(), WorldHistory::Limit);
        const std::size_t bytes = history.MemoryBytes();
        qInfo("200 runs keep %zu bytes", bytes);
        QVERIFY(bytes < 3'000'000);
        QVERIFY(bytes > 200 * 6000); // each run's world is really kept
        while (history.CanUndo()) history.Undo();
        QCOMPARE(restored, 200);
        QVERIFY(SameWorld(world, afterRun50));
    }
};

TAONSCOPE_QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
