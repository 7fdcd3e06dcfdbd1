// SPDX-License-Identifier: GPL-3.0-or-later
// Go and Stop, Cool, the velocity reset and the step display, driven on the real window.
#include "support/UiProgram.h"
#include "support/WorldCompare.h"

#include "ui/Text.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
#include <filesystem>

using namespace taonscope;
using taonscope::test::UiProgram;

namespace {

// The rounding that n additions to a sum of about x can gather.
Extended Drift(long long n, Extended x) {
    return 4 * static_cast<Extended>(n + 1) * (1 + std::fabs(x)) * 0x1p-63L;
}

bool IdleLook(const TMainForm& m) {
    return m.Go->text() == QStringLiteral("Go") && m.ShapeRed->Colour() == Colours::Maroon &&
           m.ShapeLime->Colour() == Colours::Lime && m.Images->isEnabled() && m.Daons1->isEnabled() &&
           m.Null00->isEnabled();
}

World LoneTaon() {
    World world = EasySquareWorld();
    world.TaonPresent[2] = world.TaonPresent[3] = world.TaonPresent[4] = false;
    world.VelX[1] = 1;
    world.dt = 0.01L;
    return world;
}

// Counts what the main window tells its observers.
struct CountingObserver : RunObserver {
    int started = 0, steps = 0, ended = 0, replaced = 0;
    std::int32_t lastStep = -1;
    void RunStarted(const World&) override { ++started; }
    void StepDone(const World& world) override { ++steps, lastStep = world.StepCounter; }
    void RunEnded(const World&) override { ++ended; }
    void DocumentReplaced(const World&) override { ++replaced; }
};

} // namespace

class RunLoopTest : public QObject {
    Q_OBJECT

private slots:
    void observersFollowEveryStepAndEveryNewDocument() {
        UiProgram p;
        CountingObserver observer;
        p.main->AddRunObserver(&observer);
        p.Install(EasySquareWorld()); // Taons
        QCOMPARE(observer.replaced, 1);
        p.RunAtLeast(3);
        QCOMPARE(observer.started, 1);
        QCOMPARE(observer.ended, 1);
        QCOMPARE(observer.steps, static_cast<int>(p.main->RunSteps()));
        QCOMPARE(observer.lastStep, p.state.world.StepCounter);

        p.state.world.PosX[2] = p.state.world.PosX[1]; // coincident: the next step faults
        p.state.world.PosY[2] = p.state.world.PosY[1];
        p.state.world.PosZ[2] = p.state.world.PosZ[1];
        p.main->GoClick();
        QTRY_VERIFY(!p.main->Running());
        QCOMPARE(p.questions.LastError(), std::string("Floating point division by zero."));
        QCOMPARE(observer.started, 2);
        QCOMPARE(observer.ended, 2);
        p.main->Spiral1Click();
        QCOMPARE(observer.replaced, 2);
    }

    void goAndStopSwitchTheLook() {
        UiProgram p;
        p.Install(EasySquareWorld());
        TMainForm& m = *p.main;
        QVERIFY(IdleLook(m));
        m.Go->click();
        QVERIFY(m.Running());
        QCOMPARE(m.Go->text(), QStringLiteral("Stop"));
        QVERIFY(m.ShapeRed->Colour() == Colours::Red);
        QVERIFY(m.ShapeLime->Colour() == Colours::Green);
        QVERIFY(!m.Images->isEnabled() && !m.Daons1->isEnabled() && !m.Spiral1->isEnabled());
        QVERIFY(!m.Null00->isEnabled());
        QCOMPARE(m.Null00->text(), QStringLiteral("0"));
        QTest::qWait(30);
        m.Go->click();
        QVERIFY(!m.Running());
        QVERIFY(IdleLook(m));
        const int steps = p.state.world.StepCounter;
        QVERIFY(steps >= 1);
        QTest::qWait(30);
        QCOMPARE(p.state.world.StepCounter, steps); // nothing after Stop
    }

    void goTwiceAtOnceMakesExactlyOneStep() {
        UiProgram p;
        p.Install(EasySquareWorld());
        p.main->GoClick();
        p.main->GoClick();
        QVERIFY(IdleLook(*p.main));
        QTest::qWait(30);
        QCOMPARE(p.state.world.StepCounter, 1);
        QCOMPARE(p.main->RunSteps(), 1LL);
    }

    void zeroTimeStepOnlyCountsUnlessCooled() {
        UiProgram p;
        World world = CloudWorld(2);
        world.dt = 0;
        p.Install(world);
        const World before = p.state.world;
        p.RunAtLeast(3);
        const int n = p.state.world.StepCounter;
        QVERIFY(n >= 3);
        QVERIFY(p.state.world.PosX == before.PosX);
        QVERIFY(p.state.world.VelY == before.VelY);

        p.main->Cool->setChecked(true);
        p.RunAtLeast(2);
        const int cooled = p.state.world.StepCounter - n;
        QVERIFY(p.state.world.PosX == before.PosX);
        QVERIFY(std::fabs(p.state.world.VelY[5] - before.VelY[5] * std::pow(0.99L, cooled)) <=
                1e-15L * std::fabs(before.VelY[5]));
    }

    void coolingWithoutForcesMovesByTheShrinkingVelocity() {
        UiProgram p;
        World world = LoneTaon();
        world.TaonPresent[2] = true;
        world.PosX[2] = 3;
        world.A1 = world.A2 = world.A3 = 0;
        p.Install(world);
        p.main->Cool->setChecked(true);
        p.RunAtLeast(5);
        const int n = p.state.world.StepCounter;
        Extended v = 1, x = world.PosX[1];
        for (int k = 0; k < n; ++k) v *= 0.99L, x += v * 0.01L;
        QVERIFY(std::fabs(p.state.world.VelX[1] - v) < 1e-15L);
        QVERIFY(std::fabs(p.state.world.PosX[1] - x) < 1e-14L);
    }

    void aLoneTaonMovesByItsVelocityAndTheListingFollows() {
        UiProgram p;
        p.Install(LoneTaon());
        p.RunAtLeast(4);
        const int n = p.state.world.StepCounter;
        // Each step adds 0.01 and rounds once.
        QVERIFY(std::fabs(p.state.world.PosX[1] - (0.212L + 0.01L * n)) < Drift(n, p.state.world.PosX[1]));
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), RealText(p.state.world.PosX[1]));
        QCOMPARE(p.main->DaonsTable->Cell(1, 2), QString());
    }

    void aRunWithoutShowListingLeavesTheListingAsItWas() {
        UiProgram p;
        p.Install(LoneTaon());
        p.main->FillListing();
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), QStringLiteral("0.212"));
        p.main->ShowList->setChecked(false);
        p.RunAtLeast(3);
        QVERIFY(p.state.world.PosX[1] > 0.2125L);
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), QStringLiteral("0.212"));
        QCOMPARE(p.main->DaonsTable->Cell(1, 2), QString());
        // Ticked again, the next step shows where the taon is.
        p.main->ShowList->setChecked(true);
        p.RunAtLeast(1);
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), RealText(p.state.world.PosX[1]));
    }

    void theStepShowsOnlyAfterADoubleClick() {
        UiProgram p;
        p.Install(LoneTaon());
        p.RunAtLeast(2);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0"));
        p.Show();
        QTest::mouseDClick(p.main->LTime, Qt::LeftButton);
        QVERIFY(p.state.world.ShowTime);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0")); // it changes at the next step
        p.RunAtLeast(1);
        QCOMPARE(p.main->LTime->text(), QString::number(p.state.world.StepCounter));
    }

    void changesDuringARunTakeEffectAtTheNextStep() {
        UiProgram p;
        p.Install(LoneTaon());
        p.main->GoClick();
        while (p.main->RunSteps() < 2) QCoreApplication::processEvents();
        // Between two steps: a new time step and a turn of the view.
        p.main->EditDT->setText(QStringLiteral("0.5"));
        p.main->EditDTExit();
        const int stepsBefore = p.state.world.StepCounter;
        const Extended xBefore = p.state.world.PosX[1];
        p.main->DaoTeta1Click();
        QCOMPARE(p.state.view.ViewTeta, 0.01L);
        const long long target = p.main->RunSteps() + 2;
        while (p.main->RunSteps() < target) QCoreApplication::processEvents();
        p.main->GoClick();
        const int later = p.state.world.StepCounter - stepsBefore;
        QVERIFY(std::fabs(p.state.world.PosX[1] - (xBefore + 0.5L * later)) <
                Drift(later, p.state.world.PosX[1]));
    }

    void aFaultEndsTheRunAndChangesNothing() {
        UiProgram p;
        World world = EasySquareWorld();
        world.PosX[3] = world.PosX[2], world.PosY[3] = world.PosY[2], world.PosZ[3] = world.PosZ[2];
        p.Install(world);
        const World before = p.state.world;
        p.main->GoClick();
        QTest::qWait(50);
        QCOMPARE(p.questions.errors, std::vector<std::string>{"Floating point division by zero."});
        QVERIFY(!p.main->Running());
        QVERIFY(p.state.world.Stopped);
        QVERIFY(IdleLook(*p.main));
        World after = p.state.world;
        after.Stopped = before.Stopped;
        QVERIFY(test::SameWorld(after, before));
        p.main->GoClick(); // one press starts again (and faults again)
        QTest::qWait(50);
        QCOMPARE(p.questions.errors.size(), std::size_t{2});
    }

    void theVelocityResetZeroesEverySlotAndOffersToSave() {
        UiProgram p;
        World world = CloudWorld(3);
        world.TaonPresent[40] = false; // absent slots are zeroed too
        p.Install(world);
        p.main->Null00->click(); // the save dialog is cancelled
        for (int i = 1; i <= MaxTaons; ++i)
            QVERIFY(p.state.world.VelX[i] == 0 && p.state.world.NextVelZ[i] == 0 &&
                    p.state.world.VelY[i] == 0);
        QCOMPARE(p.state.world.PosX[40], world.PosX[40]);
        QCOMPARE(p.main->Null00->text(), QStringLiteral("Yes Null"));
        QCOMPARE(p.main->DaonsTable->Cell(1, 0), QStringLiteral("X"));
        QCOMPARE(p.questions.saveAsked, 1);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(p.dir.path()), {}), 1);

        p.questions.saveAnswers.push_back(p.dir.File("rest.tao"));
        p.main->Null00Click();
        QCOMPARE(std::filesystem::file_size(p.dir.File("rest.tao")), std::uintmax_t{6296});
        QCOMPARE(test::ReadAll(p.PointerPath()), p.dir.File("rest.tao"));
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("rest.tao")));
    }

    void theVelocityResetDoesNothingWhileRunningOrShowingTheFigure() {
        UiProgram p;
        p.main->Null00Click(); // the figure is shown
        QCOMPARE(p.questions.saveAsked, 0);
        QCOMPARE(p.main->Null00->text(), QStringLiteral("0"));

        p.Install(CloudWorld(3));
        p.main->GoClick();
        p.main->Null00Click();
        QCOMPARE(p.questions.saveAsked, 0);
        QVERIFY(p.state.world.VelX[1] != 0);
        p.main->GoClick();
        QTest::qWait(20);
    }

    void openDuringARunCountsOnFromZero() {
        UiProgram p;
        p.Install(LoneTaon());
        ConfigRecord buffer{};
        WriteConfigFile(p.dir.File("ring.tao"), RingWorld(), buffer);
        p.main->GoClick();
        while (p.main->RunSteps() < 3) QCoreApplication::processEvents();
        p.questions.openAnswers.push_back(p.dir.File("ring.tao"));
        p.main->Open1Click();
        QCOMPARE(p.state.world.StepCounter, 0);
        QVERIFY(p.main->Running());
        QVERIFY(!p.main->Null00->isEnabled());
        const long long stepsAtOpen = p.main->RunSteps();
        while (p.main->RunSteps() < stepsAtOpen + 1) QCoreApplication::processEvents();
        p.main->GoClick();
        QCOMPARE(static_cast<long long>(p.state.world.StepCounter), p.main->RunSteps() - stepsAtOpen);
        QVERIFY(p.state.world.TaonPresent[12]);
    }

    void closingTheWindowEndsTheRun() {
        UiProgram p;
        p.Install(CloudWorld(1));
        p.Show();
        p.main->GoClick();
        QTest::qWait(30);
        p.main->close();
        QVERIFY(!p.main->Running());
        const int steps = p.state.world.StepCounter;
        QTest::qWait(30);
        QCOMPARE(p.state.world.StepCounter, steps);
    }

    void theWindowAnswersDuringARunOfAHundredTaons() {
        UiProgram p;
        p.Install(CloudWorld(1));
        p.main->GoClick();
        // Queue an event every time the last one has been handled, and note how long each waited.
        QElapsedTimer clock;
        clock.start();
        qint64 worst = 0, total = 0;
        int handled = 0;
        qint64 posted = clock.elapsed();
        std::function<void()> probe = [&] {
            const qint64 waited = clock.elapsed() - posted;
            worst = std::max(worst, waited), total += waited, ++handled;
            posted = clock.elapsed();
            if (handled < 100) QTimer::singleShot(0, probe);
        };
        QTimer::singleShot(0, probe);
        while (handled < 100) QCoreApplication::processEvents();
        p.main->GoClick();
        QTest::qWait(20);
        std::printf("Event latency during a run of 100 taons: %.1f ms on average, %lld ms at worst, "
                    "%lld steps in %lld ms\n",
                    static_cast<double>(total) / handled, static_cast<long long>(worst), p.main->RunSteps(),
                    static_cast<long long>(clock.elapsed()));
        QVERIFY(p.main->RunSteps() > 0);
    }
};

TAONSCOPE_QTEST_MAIN(RunLoopTest)
#include "RunLoopTest.moc"
