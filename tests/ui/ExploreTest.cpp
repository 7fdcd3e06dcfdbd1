// SPDX-License-Identifier: GPL-3.0-or-later
// Exploring in the window: the Run menu, the run readout, the parameter boxes writing back, drawing
// styles, trails, following, turning, and the instruments' stacked and zoomable charts.
#include "support/UiProgram.h"
#include "support/WorldFiles.h"

#include "ui/InstrumentsWindow.h"
#include "ui/PanelLook.h"
#include "ui/RunMenu.h"
#include "ui/RunPace.h"
#include "ui/SceneOptions.h"
#include "ui/Text.h"
#include "ui/ViewSettings.h"
#include "ui/WorldHistory.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "view/Follow.h"
#include "view/Pick.h"
#include "view/TaonStyle.h"

#include <QAreaSeries>
#include <QComboBox>
#include <QLineSeries>
#include <QMenuBar>
#include <QValueAxis>
#include <QtTest>

#include <map>

using namespace taonscope;
using taonscope::test::UiProgram;
using taonscope::test::WaitFor;

namespace {

// The ring drifting to the right at speed 5 as a whole, as a swimmer does.
World DriftingRing() {
    World world = RingWorld();
    for (int j = 1; j <= MaxTaons; ++j)
        if (world.TaonPresent[j]) world.VelX[j] = 5;
    world.dt = 0.002L;
    return world;
}

// How many pixels of the scene image are neither black nor a kind's full colour.
int Shaded(const QImage& image, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFF;
            n += p != 0 && p != 0x00FF00 && p != 0xFFFF00 && p != 0xFF0000;
        }
    return n;
}

int Lit(const QImage& image) {
    return image.width() * image.height() - test::CountColour(image, Colours::Black);
}

// Types text into a box as a user does: a click into it, select all, the keys, then Enter.
void TypeInto(QLineEdit* box, const QString& text, Qt::Key confirm = Qt::Key_Return) {
    QTest::mouseClick(box, Qt::LeftButton);
    box->selectAll();
    QTest::keyClicks(box, text);
    QTest::keyClick(box, confirm);
}

} // namespace

class ExploreTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ProgramSettings().clear(); }

    void theRunMenuFollowsViewAndEveryKeyIsUsedOnce() {
        UiProgram p;
        QStringList menus;
        for (QAction* action : p.main->menuBar()->actions()) menus << action->text();
        QCOMPARE(menus, (QStringList{"File", "Edit", "View", "Run", "Help"}));
        QCOMPARE(p.main->RunCommands->GoStop->shortcut(), QKeySequence(Qt::Key_F9));
        QCOMPARE(p.main->RunCommands->Step->shortcut(), QKeySequence(Qt::Key_F10));
        std::map<QString, QString> owner;
        for (QAction* action : p.main->findChildren<QAction*>())
            for (const QKeySequence& key : action->shortcuts()) {
                const QString text = key.toString();
                QVERIFY2(!owner.count(text),
                         qPrintable(text + ": " + owner[text] + " and " + action->text()));
                owner[text] = action->text();
            }
        QVERIFY(owner.size() >= 20);
    }

    void goStopAndStepRunFromTheMenuAndItsKeys() {
        UiProgram p;
        p.Show();
        QVERIFY(!p.main->RunCommands->Step->isEnabled()); // the figure: nothing to run
        p.Install(RingWorld());
        QVERIFY(p.main->RunCommands->Step->isEnabled());
        QTest::keyClick(p.main.get(), Qt::Key_F9);
        QVERIFY(p.main->Running());
        QCOMPARE(p.main->Go->text(), QStringLiteral("Stop"));
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 0; }));
        QTest::keyClick(p.main.get(), Qt::Key_F9);
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QCOMPARE(p.main->Go->text(), QStringLiteral("Go"));

        // Step: one step, then the number beside it; each a run of its own that Undo takes back.
        struct Case {
            int count, made;
        };
        int beforeLast = 0;
        for (const Case c : {Case{1, 1}, Case{25, 25}}) {
            p.main->RunCommands->StepCount->setValue(c.count);
            const int before = beforeLast = p.state.world.StepCounter;
            QTest::keyClick(p.main.get(), Qt::Key_F10);
            QVERIFY(WaitFor([&] { return !p.main->Running() && p.state.world.StepCounter != before; }));
            QCOMPARE(p.state.world.StepCounter - before, c.made);
            QCOMPARE(p.main->RunSteps(), static_cast<long long>(c.made));
            QCOMPARE(p.main->Go->text(), QStringLiteral("Go"));
            QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Run"));
        }
        p.main->Undo1->trigger();
        QCOMPARE(p.state.world.StepCounter, beforeLast);
    }

    void theSpeedIsKeptAndARunNeverGoesFaster() {
        {
            UiProgram p;
            p.Show();
            p.Install(RingWorld());
            QVERIFY(p.main->RunCommands->Speeds[0]->isChecked()); // Full
            QCOMPARE(p.main->RunCommands->Speeds[3]->text(), QStringLiteral("10 steps a second"));
            QCOMPARE(p.main->RunCommands->Speeds[1]->text(), QStringLiteral("1,000 steps a second"));
            p.main->RunCommands->Speeds[2]->trigger(); // 100 steps a second
            QCOMPARE(ProgramSettings().value("run/stepsPerSecond").toDouble(), 100.0);
            QElapsedTimer clock;
            clock.start();
            p.main->GoClick();
            QTest::qWait(600);
            const double seconds = clock.nsecsElapsed() * 1e-9;
            const long long made = p.main->RunSteps();
            QVERIFY2(made <= 100 * seconds + 2, qPrintable(QString::number(made)));
            QVERIFY(made >= 1);
            // A faster speed chosen during the run takes over at once.
            p.main->RunCommands->Speeds[0]->trigger();
            QVERIFY(WaitFor([&] { return p.main->RunSteps() > made + 1000; }));
            p.main->GoClick();
            QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        }
        UiProgram again;
        QVERIFY(again.main->RunCommands->Speeds[0]->isChecked());
        again.main->RunCommands->Speeds[4]->trigger();
        UiProgram third;
        QVERIFY(third.main->RunCommands->Speeds[4]->isChecked());
        QCOMPARE(third.main->RunCommands->StepsPerSecond(), 1.0);
    }

    void thePaceOwesTheStepsOfTheTimeElapsed() {
        struct Case {
            double speed, at;
            long long made, due;
        };
        const Case cases[] = {
            {0, 5, 0, RunPace::Full}, {10, 0, 0, 1},       {10, 0.05, 1, 0},     {10, 0.1, 1, 1},
            {10, 0.25, 2, 1},         {1000, 0.01, 0, 11}, {1000, 0.05, 40, 11}, {100, 60, 5, 10},
            {1, 0.99, 1, 0},          {10, 0.35, 2, 1}, // two behind, but never more than a tenth of a second
                                                        // at once
        };
        for (const Case& c : cases) {
            RunPace pace;
            pace.Start(c.speed, 0, 0);
            QCOMPARE(pace.Due(c.at, c.made), c.due);
        }
        RunPace held; // held up for a minute at 100 a second: ten steps, then on at the speed from there
        held.Start(100, 0, 0);
        QCOMPARE(held.Due(60, 0), 10LL);
        QCOMPARE(held.Due(60, 10), 0LL);
        QCOMPARE(held.Due(60.01, 10), 1LL);
        QCOMPARE(held.IntervalMs(), 1000 / RunPace::FramesPerSecond);
    }

    void theReadoutShowsTheRunInTheCornerAndCanBeTurnedOff() {
        UiProgram p;
        p.Show();
        p.Install(CloudWorld(1));
        const QRect corner(0, 0, 160, 70);
        QCOMPARE(test::CountColour(p.main->SceneView->Image().copy(corner), {190, 190, 190}), 0);
        QVERIFY(p.main->SceneLook->RunReadoutOn->isChecked());
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 50; }));
        QTest::qWait(RunReadout::RefreshMs + 50);
        QVERIFY(WaitFor([&] {
            return test::CountColour(p.main->SceneView->Image().copy(corner), {190, 190, 190}) > 50;
        }));
        const std::vector<std::string> lines = p.main->SceneLook->Readout().Lines(p.state.world);
        QCOMPARE(lines.size(), std::size_t{5});
        QVERIFY(lines[0].rfind("run ", 0) == 0);
        QVERIFY(lines[2].find("steps/s") != std::string::npos);
        QVERIFY(std::stoll(lines[2]) > 0);
        QVERIFY(lines[3].rfind("K ", 0) == 0);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0")); // "Time:" as always: off until double-clicked

        p.main->SceneLook->RunReadoutOn->trigger();
        QVERIFY(WaitFor([&] {
            return test::CountColour(p.main->SceneView->Image().copy(corner), {190, 190, 190}) == 0;
        }));
        QCOMPARE(ProgramSettings().value("view/runReadout").toBool(), false);
        p.main->SceneLook->RunReadoutOn->trigger();
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QVERIFY(test::CountColour(p.main->SceneView->Image().copy(corner), {190, 190, 190}) >
                50); // stays a while
        QVERIFY(WaitFor(
            [&] {
                return test::CountColour(p.main->SceneView->Image().copy(corner), {190, 190, 190}) == 0;
            },
            RunReadout::ShownAfterMs + 2000));
    }

    void aParameterTypedIntoItsBoxIsInTheWorldAndTheSavedFile() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        p.main->ShowParameters();
        QLineEdit* a2 = p.main->ParameterEdits[6];
        QCOMPARE(a2->objectName(), QStringLiteral("EditA2"));
        TypeInto(a2, "2.5");
        QCOMPARE(p.state.world.A2, 2.5L);
        QCOMPARE(a2->text(), QStringLiteral("2.5"));
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo A2"));

        // Leaving a changed box stores it too; a box left unchanged stores nothing.
        QLineEdit* g3 = p.main->ParameterEdits[17];
        QTest::mouseClick(g3, Qt::LeftButton);
        g3->selectAll();
        QTest::keyClicks(g3, "7E1");
        QTest::mouseClick(p.main->ParameterEdits[0], Qt::LeftButton);
        QCOMPARE(p.state.world.G3, 70.0L);
        QCOMPARE(g3->text(), QStringLiteral("70"));
        QCOMPARE(p.main->History().Stack().count(), 2);
        QTest::mouseClick(g3, Qt::LeftButton);
        QTest::mouseClick(p.main->ParameterEdits[0], Qt::LeftButton);
        QCOMPARE(p.main->History().Stack().count(), 2);

        // Not a number: the editor's message, nothing stored, the box shows the stored value again.
        TypeInto(p.main->ParameterEdits[11], "five");
        QCOMPARE(p.questions.LastError(), std::string("'five' is not a valid floating point value."));
        QCOMPARE(p.state.world.G2, RingWorld().G2);
        QCOMPARE(p.main->ParameterEdits[11]->text(), RealText(RingWorld().G2));
        QCOMPARE(p.main->History().Stack().count(), 2);

        const std::string path = p.dir.File("changed.tao");
        p.questions.saveAnswers.push_back(path);
        p.main->Saveas1Click();
        ConfigRecord record{};
        QCOMPARE(ReadConfigFile(path, record), 0);
        World saved;
        UnpackConfigRecord(record, saved);
        QCOMPARE(saved.A2, 2.5L);
        QCOMPARE(saved.G3, 70.0L);

        // Undo takes it back, box and all; during a run a new value takes effect at the next step.
        p.main->Undo1->trigger();
        QCOMPARE(p.state.world.G3, RingWorld().G3);
        QCOMPARE(g3->text(), RealText(RingWorld().G3));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 10; }));
        TypeInto(p.main->ParameterEdits[0], "0.5");
        QCOMPARE(p.state.world.A1, 0.5L);
        QVERIFY(p.main->Running());
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
    }

    void spheresDrawLargerShadedDiscsAndTheStyleIsKept() {
        int dots = 0, spheres = 0;
        {
            UiProgram p;
            p.Show();
            p.Install(RingWorld());
            p.main->FitAll1Click();
            dots = Lit(p.main->SceneView->Image());
            QCOMPARE(p.main->SceneLook->Styles[0]->text(), QStringLiteral("Dots"));
            QVERIFY(p.main->SceneLook->Styles[0]->isChecked());
            p.main->SceneLook->Styles[1]->trigger();
            QCOMPARE(p.state.view.Style, TaonStyle::Spheres);
            spheres = Lit(p.main->SceneView->Image());
            QVERIFY2(spheres > 8 * dots, qPrintable(QStringLiteral("%1 %2").arg(spheres).arg(dots)));
            QVERIFY(Shaded(p.main->SceneView->Image(), p.main->SceneView->rect()) > spheres / 2);
            p.main->SceneLook->SphereSizes[2]->trigger(); // Large
            QVERIFY(Lit(p.main->SceneView->Image()) > 2 * spheres);
            QCOMPARE(ProgramSettings().value("view/style").toString(), QStringLiteral("spheres"));
            // Picking works on the disc, not only near its middle.
            const int x = p.state.view.ScreenX[1] + static_cast<int>(SpherePixels(p.state.view)) - 2;
            QCOMPARE(NearestDot(p.state.view, p.state.world, x, p.state.view.ScreenY[1], 0), 1);
        }
        UiProgram again;
        QCOMPARE(again.state.view.Style, TaonStyle::Spheres);
        QCOMPARE(again.state.view.SphereRadius, SphereRadiusChoices[2]);
        QVERIFY(again.main->SceneLook->Styles[1]->isChecked());
        again.main->SceneLook->Styles[0]->trigger();
        QCOMPARE(ProgramSettings().value("view/style").toString(), QStringLiteral("dots"));
    }

    void trailsFollowEachTaonDuringARun() {
        UiProgram p;
        p.Show();
        p.Install(DriftingRing());
        QVERIFY(!p.main->SceneLook->TrailsOn->isChecked());
        p.main->SceneLook->TrailsOn->trigger();
        QCOMPARE(p.main->SceneLook->TrailLengths[1]->text(), QStringLiteral("50 positions"));
        QVERIFY(p.main->SceneLook->TrailLengths[1]->isChecked());
        p.main->SceneLook->TrailLengths[0]->trigger(); // 10
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->SceneLook->Trails().Frames() == 10; }));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        // Faded segments behind the dots: colours that are no kind's full colour.
        QVERIFY(Shaded(p.main->SceneView->Image(), p.main->SceneView->rect()) > 20);
        QCOMPARE(ProgramSettings().value("view/trailLength").toInt(), 10);
        p.main->Daons1Click(); // another document: no trail from the one before
        QCOMPARE(p.main->SceneLook->Trails().Frames(), 0);
        p.main->SceneLook->TrailsOn->trigger();
        QCOMPARE(Shaded(p.main->SceneView->Image(), p.main->SceneView->rect()), 0);
    }

    void followAndKeepAllInViewHoldADriftingConfigurationInSight() {
        UiProgram p;
        p.Show();
        p.Install(DriftingRing());
        p.main->FitAll1Click();
        const Extended scale = p.state.view.ViewScale;
        QVERIFY(!p.main->SceneLook->FollowCentreOfMass->isChecked());
        QVERIFY(!p.main->SceneLook->KeepAllInView->isChecked());
        p.main->SceneLook->FollowCentreOfMass->trigger();
        p.RunAtLeast(2000); // 20 units to the right: far out of the fitted view
        const SceneArea area = p.main->Scene();
        Extended x = 0, y = 0, z = 0;
        int n = 0;
        for (int j = 1; j <= MaxTaons; ++j)
            if (p.state.world.TaonPresent[j])
                x += p.state.world.ScenePosX[j], y += p.state.world.ScenePosY[j],
                    z += p.state.world.ScenePosZ[j], ++n;
        const ScreenPoint centre = ProjectPoint(p.state.view, x / n, y / n, z / n);
        QVERIFY(std::fabs(static_cast<double>(centre.x) - area.width / 2.0) < 2);
        QVERIFY(std::fabs(static_cast<double>(centre.y) - area.bottom / 2.0) < 2);
        QCOMPARE(p.state.view.ViewScale, scale);

        // Keep All in View alone: the view zooms out as the ring leaves it, never in.
        p.main->SceneLook->FollowCentreOfMass->trigger();
        p.main->FitAll1Click();
        p.main->SceneLook->KeepAllInView->trigger();
        p.RunAtLeast(2000);
        QVERIFY(p.state.view.ViewScale < scale);
        for (int j = 1; j <= MaxTaons; ++j)
            if (p.state.world.TaonPresent[j]) {
                QVERIFY(p.state.view.ScreenX[j] >= 0 && p.state.view.ScreenX[j] < area.width);
                QVERIFY(p.state.view.ScreenY[j] >= 0 && p.state.view.ScreenY[j] < area.bottom);
            }
    }

    void turningArrowsRepeatAndShiftClickTurnsTenSteps() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        for (QToolButton* b : {p.main->DaoBack, p.main->DaoTeta, p.main->DaoPsi, p.main->DaoPhi,
                               p.main->DaoPhi1, p.main->DaoForvard, p.main->DaoTeta1, p.main->DaoPsi1})
            QVERIFY2(b->autoRepeat(), qPrintable(b->objectName()));
        QVERIFY(!p.main->DaoStop->autoRepeat());
        struct Case {
            QToolButton* button;
            Extended* angle;
            Qt::KeyboardModifiers modifiers;
            Extended turn;
        };
        const Case cases[] = {
            {p.main->DaoTeta1, &p.state.view.ViewTeta, Qt::NoModifier, 0.01L},
            {p.main->DaoTeta1, &p.state.view.ViewTeta, Qt::ShiftModifier, 0.1L},
            {p.main->DaoTeta, &p.state.view.ViewTeta, Qt::ShiftModifier, -0.1L},
            {p.main->DaoPhi1, &p.state.view.ViewPhi, Qt::ShiftModifier, -0.1L},
            {p.main->DaoPsi, &p.state.view.ViewPsi, Qt::NoModifier, -0.01L},
        };
        for (const Case& c : cases) {
            const Extended before = *c.angle;
            QTest::mouseClick(c.button, Qt::LeftButton, c.modifiers);
            QVERIFY2(std::fabs(static_cast<double>(*c.angle - before - c.turn)) < 1e-15,
                     qPrintable(c.button->objectName()));
        }
        QCOMPARE(TurnHint(0.01L).contains(QStringLiteral("0.01 rad a click")), true);
        QCOMPARE(TurnHint(0.01L).contains(QStringLiteral("Shift+click: 0.1 rad")), true);
        p.main->TrackBar->setValue(7); // 0.1 a click
        QVERIFY(TurnHint(p.state.view.AngleStep).contains(QStringLiteral("Shift+click: 1 rad")));
    }

    void theInstrumentsStackTheirCurvesZoomInTimeAndFillTheHistograms() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld()); // 20,000 samples of a small world take a second, of the cloud a minute
        p.main->Instruments1Click();
        InstrumentsWindow* w = p.main->Instruments;
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QStringList titles;
        for (ZoomChartView* chart : w->RunCharts) {
            titles << chart->chart()->title();
            QVERIFY2(chart->height() >= 100, qPrintable(QString::number(chart->height()))); // readable
        }
        QCOMPARE(titles, (QStringList{"K", "U", "E = K + U", "|P|"}));
        // A long run's 20,000 samples are drawn as a few hundred points.
        for (int step = 0; step < 20000 * RunSampleEvery; ++step) w->StepDone(p.state.world);
        QCOMPARE(w->Series().Samples().size(), std::size_t{20000});
        w->RefreshTick();
        QVERIFY(w->KineticSeries->count() <= 800 && w->KineticSeries->count() >= 400);
        const auto timeRange = [&](std::size_t n) {
            auto* axis = qobject_cast<QValueAxis*>(w->RunCharts[n]->chart()->axes(Qt::Horizontal).first());
            return std::make_pair(axis->min(), axis->max());
        };
        const auto whole = timeRange(0);
        // The wheel over one chart zooms all four about the pointer; a double click shows the whole run.
        const QPoint middle = w->RunCharts[1]->chart()->plotArea().center().toPoint();
        QWheelEvent wheel(middle, w->RunCharts[1]->mapToGlobal(middle), {}, QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->RunCharts[1]->viewport(), &wheel);
        const auto zoomed = timeRange(3);
        QVERIFY(zoomed.second - zoomed.first < 0.7 * (whole.second - whole.first));
        QVERIFY(zoomed.first > whole.first && zoomed.second < whole.second);
        QCOMPARE(timeRange(0), zoomed);
        QVERIFY(w->KineticSeries->count() <= 800);
        w->ResetRunZoomButton->click();
        QCOMPARE(timeRange(2), whole);

        // Histograms: filled, for all six kind pairs or one.
        w->Tabs->setCurrentIndex(2);
        QCOMPARE(w->KindPairChoice->count(), 7);
        for (QAreaSeries* area : w->DistanceAreas)
            QVERIFY(area->isVisible() && area->brush().style() == Qt::SolidPattern);
        w->KindPairChoice->setCurrentIndex(2); // 1-2
        for (std::size_t n = 0; n < 6; ++n) QCOMPARE(w->DistanceAreas[n]->isVisible(), n == 1);
        QCOMPARE(w->DistanceAreas[1]->name(), QStringLiteral("1-2"));
        w->ShowKindPair(-1);
        QCOMPARE(w->KindPairChoice->currentIndex(), 0);
        w->ZoomDistances({2, 4});
        auto* distance = qobject_cast<QValueAxis*>(w->DistanceChart->chart()->axes(Qt::Horizontal).first());
        QCOMPARE(distance->min(), 2.0);
        w->ResetDistanceZoomButton->click();
        QVERIFY(distance->min() != 2.0);
    }
};

TAONSCOPE_QTEST_MAIN(ExploreTest)
#include "ExploreTest.moc"
