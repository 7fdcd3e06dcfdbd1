// SPDX-License-Identifier: GPL-3.0-or-later
// Exploring in the window: the Run menu, the run readout, the parameter boxes writing back, drawing
// styles, trails, following, turning, and the instruments' stacked and zoomable charts.
#include "support/UiProgram.h"

#include "ui/InstrumentsWindow.h"
#include "ui/RunMenu.h"
#include "ui/RunPace.h"
#include "ui/SceneOptions.h"
#include "ui/Text.h"
#include "ui/ViewSettings.h"
#include "ui/Widgets.h"
#include "ui/WorldHistory.h"

#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "view/ImageCanvas.h"
#include "view/Scene.h"
#include "view/TaonStyle.h"

#include <QAreaSeries>
#include <QComboBox>
#include <QLineSeries>
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

// How many pixels of the scene are not black, and how many of them are no kind's full colour.
std::pair<int, int> LitAndShaded(const UiProgram& p) {
    const QImage image = p.main->SceneView->Image();
    int lit = 0, shaded = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            lit += c != 0;
            shaded += c != 0 && c != 0x00FF00 && c != 0xFFFF00 && c != 0xFF0000;
        }
    return {lit, shaded};
}

// Pixels of the readout's grey in the scene's top left corner.
int ReadoutPixels(const UiProgram& p) {
    return test::CountColour(p.main->SceneView->Image().copy(0, 0, 160, 70), {190, 190, 190});
}

} // namespace

class ExploreTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ProgramSettings().clear(); }

    void goStopAndStepRunFromTheRunMenuWithKeysNothingElseUses() {
        UiProgram p;
        p.Show();
        std::map<QString, QString> owner;
        for (QAction* action : p.main->findChildren<QAction*>())
            for (const QKeySequence& key : action->shortcuts())
                QVERIFY2(
                    owner.emplace(key.toString(), action->text()).second,
                    qPrintable(key.toString() + ": " + owner[key.toString()] + " and " + action->text()));
        QCOMPARE(owner[QStringLiteral("F9")], p.main->RunCommands->GoStop->text());
        QCOMPARE(owner[QStringLiteral("F10")], p.main->RunCommands->Step->text());
        QVERIFY(!p.main->RunCommands->Step->isEnabled()); // the figure: nothing to run
        p.Install(RingWorld());
        QTest::keyClick(p.main.get(), Qt::Key_F9);
        QCOMPARE(p.main->Go->text(), QStringLiteral("Stop"));
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 0; }));
        QTest::keyClick(p.main.get(), Qt::Key_F9);
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QCOMPARE(p.main->Go->text(), QStringLiteral("Go"));

        // Step: one step, then the number beside it; each a run of its own that Undo takes back.
        int before = 0;
        for (const int count : {1, 25}) {
            p.main->RunCommands->StepCount->setValue(count);
            before = p.state.world.StepCounter;
            QTest::keyClick(p.main.get(), Qt::Key_F10);
            QVERIFY(WaitFor([&] { return !p.main->Running() && p.state.world.StepCounter != before; }));
            QCOMPARE(p.state.world.StepCounter - before, count);
            QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Run"));
        }
        p.main->Undo1->trigger();
        QCOMPARE(p.state.world.StepCounter, before);
    }

    void theSpeedIsKeptAndARunNeverGoesFaster() {
        {
            UiProgram p;
            p.Show();
            p.Install(RingWorld());
            QVERIFY(p.main->RunCommands->Speeds[0]->isChecked()); // Full
            p.main->RunCommands->Speeds[2]->trigger();            // 100 steps a second
            QElapsedTimer clock;
            clock.start();
            p.main->GoClick();
            QTest::qWait(600);
            const long long made = p.main->RunSteps();
            QVERIFY2(made >= 1 && made <= 100 * clock.nsecsElapsed() * 1e-9 + 2,
                     qPrintable(QString::number(made)));
            // A faster speed chosen during the run takes over at once.
            p.main->RunCommands->Speeds[0]->trigger();
            QVERIFY(WaitFor([&] { return p.main->RunSteps() > made + 1000; }));
            p.main->GoClick();
            QVERIFY(WaitFor([&] { return !p.main->Running(); }));
            p.main->RunCommands->Speeds[4]->trigger();
        }
        QCOMPARE(ProgramSettings().value("run/stepsPerSecond").toDouble(), 1.0);
        UiProgram again;
        QVERIFY(again.main->RunCommands->Speeds[4]->isChecked() &&
                again.main->RunCommands->StepsPerSecond() == 1);

        // A run held up (by a modal window) catches up by a tenth of a second at most, then keeps its pace.
        RunPace held;
        held.Start(100, 0, 0);
        QCOMPARE(held.Due(0, 0), 1LL); // the first step at once
        QCOMPARE(held.Due(60, 1), 10LL);
        QCOMPARE(held.Due(60.005, 11), 0LL);
        QCOMPARE(held.Due(60.01, 11), 1LL);
    }

    void theReadoutShowsTheRunInTheCornerAndCanBeTurnedOff() {
        UiProgram p;
        p.Show();
        p.Install(CloudWorld(1));
        QCOMPARE(ReadoutPixels(p), 0);
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 50; }));
        QTest::qWait(RunReadout::RefreshMs + 50);
        QVERIFY(WaitFor([&] { return ReadoutPixels(p) > 50; }));
        const std::vector<std::string> lines = p.main->SceneLook->Readout().Lines(p.state.world);
        QCOMPARE(lines.size(), std::size_t{5});
        QVERIFY(lines[0].rfind("run ", 0) == 0 && lines[3].rfind("K ", 0) == 0);
        QVERIFY(std::stoll(lines[2]) > 0 && lines[2].find("steps/s") != std::string::npos);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0")); // "Time:" as always: off until double-clicked

        p.main->SceneLook->RunReadoutOn->trigger();
        QVERIFY(WaitFor([&] { return ReadoutPixels(p) == 0; }));
        QCOMPARE(ProgramSettings().value("view/runReadout").toBool(), false);
        p.main->SceneLook->RunReadoutOn->trigger();
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QVERIFY(ReadoutPixels(p) > 50); // for a few seconds after the run
        QVERIFY(WaitFor([&] { return ReadoutPixels(p) == 0; }, RunReadout::ShownAfterMs + 2000));
    }

    // As soon as a run ends (a Step, or Stop), the picture shows its last state as the saved file holds it:
    // the steps of this run and in all, its time, K and the largest speed; the next run counts anew.
    void theReadoutShowsTheLastStateOfEachRunAsSoonAsItEnds() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        for (const long long steps : {37LL, 12LL, 0LL}) { // 0: Go, then Stop a moment later
            const std::int32_t before = p.state.world.StepCounter;
            // A paint as the run starts (the window shown, uncovered ...) draws its readout at step 0.
            if (steps > 0) {
                p.main->StepClick(steps);
                p.main->FormPaint();
            } else {
                p.main->GoClick();
                p.main->FormPaint();
                QVERIFY(WaitFor([&] { return p.main->RunSteps() > 300; }));
                p.main->GoClick();
            }
            QVERIFY(WaitFor([&] { return !p.main->Running(); }));
            ConfigRecord record{};
            WriteConfigFile(p.dir.File("saved.tao"), p.state.world, record);
            QCOMPARE(ReadConfigFile(p.dir.File("saved.tao"), record), 0);
            World saved;
            UnpackConfigRecord(record, saved);
            saved.StepCounter = p.state.world.StepCounter; // the file holds no count
            const long long run = saved.StepCounter - before;
            if (steps > 0) QCOMPARE(run, steps);
            Extended kinetic = 0, fastest = 0;
            for (int j = 1; j <= MaxTaons; ++j) {
                if (!saved.TaonPresent[j]) continue;
                const Extended v2 = saved.VelX[j] * saved.VelX[j] + saved.VelY[j] * saved.VelY[j] +
                                    saved.VelZ[j] * saved.VelZ[j];
                kinetic += v2 / 2, fastest = std::max(fastest, std::sqrt(v2));
            }
            const auto g6 = [](Extended x) {
                return QString::number(static_cast<double>(x), 'g', 6).toStdString();
            };
            SceneExtras extras;
            extras.readout = {"run " + std::to_string(run) + " steps, " + std::to_string(saved.StepCounter) +
                                  " in all",
                              "time " + g6(run * saved.dt),
                              p.main->SceneLook->Readout().Lines(p.state.world)[2], // the steps a second
                              "K " + g6(kinetic), "largest speed " + g6(fastest)};
            QImage expected(p.main->SceneView->Image().size(), QImage::Format_RGB32);
            ViewState view = p.state.view;
            ImageCanvas canvas(expected);
            taonscope::DrawTaons(canvas, view, saved, p.main->Scene(), extras);
            QVERIFY2(p.main->SceneView->Image() == expected, extras.readout[0].c_str());
        }
    }

    void aParameterTypedIntoItsBoxIsInTheWorldAndTheSavedFile() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        p.main->ShowParameters();
        QLineEdit *a2 = p.main->ParameterEdits[6], *g2 = p.main->ParameterEdits[11],
                  *g3 = p.main->ParameterEdits[17];
        test::TypeInto(a2, "2.5");
        QCOMPARE(p.state.world.A2, 2.5L);
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo A2"));

        // Leaving a changed box stores it too, and the box shows the stored value; one left unchanged,
        // nothing.
        test::TypeInto(g3, "7E1", false);
        QTest::mouseClick(a2, Qt::LeftButton);
        QCOMPARE(p.state.world.G3, 70.0L);
        QCOMPARE(g3->text(), QStringLiteral("70"));
        QTest::mouseClick(g3, Qt::LeftButton);
        QTest::mouseClick(a2, Qt::LeftButton);
        QCOMPARE(p.main->History().Stack().count(), 2);

        // Not a number: the editor's message after the box's name, nothing stored, the box shows the stored
        // value again.
        test::TypeInto(g2, "five");
        QCOMPARE(p.questions.LastError(), std::string("G2: 'five' is not a valid floating point value."));
        QCOMPARE(g2->text(), RealText(RingWorld().G2));
        QCOMPARE(p.main->History().Stack().count(), 2);

        p.questions.saveAnswers.push_back(p.dir.File("changed.tao"));
        p.main->Saveas1Click();
        ConfigRecord record{};
        QCOMPARE(ReadConfigFile(p.dir.File("changed.tao"), record), 0);
        World saved;
        UnpackConfigRecord(record, saved);
        QVERIFY(saved.A2 == 2.5L && saved.G3 == 70.0L && saved.G2 == RingWorld().G2);

        // Undo takes it back, box and all; during a run a new value takes effect at the next step.
        p.main->Undo1->trigger();
        QCOMPARE(g3->text(), RealText(RingWorld().G3));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 10; }));
        test::TypeInto(p.main->ParameterEdits[0], "0.5");
        QCOMPARE(p.state.world.A1, 0.5L);
        QVERIFY(p.main->Running());
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
    }

    void spheresDrawLargerShadedDiscsAndTheStyleIsKept() {
        {
            UiProgram p;
            p.Show();
            p.Install(RingWorld());
            p.main->FitAll1Click();
            const int dots = LitAndShaded(p).first;
            QVERIFY(p.main->SceneLook->Styles[0]->isChecked()); // Dots
            p.main->SceneLook->Styles[1]->trigger();
            QCOMPARE(p.state.view.Style, TaonStyle::Spheres);
            const auto [spheres, shaded] = LitAndShaded(p);
            QVERIFY2(spheres > 8 * dots && shaded > spheres / 2,
                     qPrintable(QStringLiteral("%1 %2").arg(spheres).arg(dots)));
            p.main->SceneLook->SphereSizes[2]->trigger(); // Large
            QVERIFY(LitAndShaded(p).first > 2 * spheres);
        }
        QCOMPARE(ProgramSettings().value("view/style").toString(), QStringLiteral("spheres"));
        UiProgram again;
        QCOMPARE(again.state.view.Style, TaonStyle::Spheres);
        QCOMPARE(again.state.view.SphereRadius, SphereRadiusChoices[2]);
        QVERIFY(again.main->SceneLook->Styles[1]->isChecked());
    }

    void trailsFollowingAndKeepAllInViewShowADriftingConfiguration() {
        UiProgram p;
        p.Show();
        p.Install(DriftingRing());
        p.main->FitAll1Click();
        const Extended scale = p.state.view.ViewScale;
        const SceneOptions& look = *p.main->SceneLook;
        QVERIFY(!look.TrailsOn->isChecked() && !look.FollowCentreOfMass->isChecked() &&
                !look.KeepAllInView->isChecked());
        look.TrailsOn->trigger();
        QVERIFY(look.TrailLengths[1]->isChecked()); // 50 positions
        look.TrailLengths[0]->trigger();            // 10
        look.FollowCentreOfMass->trigger();
        p.main->GoClick(); // 2000 steps: 20 units to the right, far out of the fitted view
        QVERIFY(WaitFor(
            [&] { return p.main->RunSteps() >= 2000 && p.main->SceneLook->Trails().Frames() == 10; }));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QVERIFY(LitAndShaded(p).second > 20); // faded segments behind the dots
        QCOMPARE(ProgramSettings().value("view/trailLength").toInt(), 10);
        const SceneArea area = p.main->Scene();
        Extended x = 0, y = 0, z = 0;
        for (int j = 1; j <= 12; ++j)
            x += p.state.world.ScenePosX[j] / 12, y += p.state.world.ScenePosY[j] / 12,
                z += p.state.world.ScenePosZ[j] / 12;
        const ScreenPoint centre = ProjectPoint(p.state.view, x, y, z);
        QVERIFY(std::fabs(static_cast<double>(centre.x) - area.width / 2.0) < 2);
        QVERIFY(std::fabs(static_cast<double>(centre.y) - area.bottom / 2.0) < 2);
        QCOMPARE(p.state.view.ViewScale, scale);

        // Keep All in View alone: the view zooms out as the ring leaves it, never in.
        look.FollowCentreOfMass->trigger();
        p.main->FitAll1Click();
        look.KeepAllInView->trigger();
        p.RunAtLeast(2000);
        QVERIFY(p.state.view.ViewScale < scale);
        for (int j = 1; j <= 12; ++j) {
            QVERIFY(p.state.view.ScreenX[j] >= 0 && p.state.view.ScreenX[j] < area.width);
            QVERIFY(p.state.view.ScreenY[j] >= 0 && p.state.view.ScreenY[j] < area.bottom);
        }
        p.main->Daons1Click(); // another document: no trail from the one before
        QCOMPARE(p.main->SceneLook->Trails().Frames(), 0);
        look.TrailsOn->trigger(); // off
        QCOMPARE(LitAndShaded(p).second, 0);
    }

    void turningArrowsRepeatAndShiftClickTurnsTenSteps() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        QVERIFY(p.main->DaoTeta->autoRepeat() && p.main->DaoForvard->autoRepeat() &&
                !p.main->DaoStop->autoRepeat());
        struct Case {
            QToolButton* button;
            Extended* angle;
            Qt::KeyboardModifiers modifiers;
            Extended turn;
        };
        for (const Case& c : {Case{p.main->DaoTeta1, &p.state.view.ViewTeta, Qt::NoModifier, 0.01L},
                              Case{p.main->DaoTeta, &p.state.view.ViewTeta, Qt::ShiftModifier, -0.1L},
                              Case{p.main->DaoPhi1, &p.state.view.ViewPhi, Qt::ShiftModifier, -0.1L},
                              Case{p.main->DaoPsi, &p.state.view.ViewPsi, Qt::NoModifier, -0.01L}}) {
            const Extended before = *c.angle;
            QTest::mouseClick(c.button, Qt::LeftButton, c.modifiers);
            QVERIFY2(std::fabs(static_cast<double>(*c.angle - before - c.turn)) < 1e-15,
                     qPrintable(c.button->objectName()));
        }
        const auto hint = [&] { return static_cast<HintButton*>(p.main->DaoPsi1)->hint(); };
        QVERIFY(hint().contains(QStringLiteral("0.01 rad a click")) &&
                hint().contains(QStringLiteral("Shift+click: 0.1 rad")));
        p.main->TrackBar->setValue(7); // 0.1 a click
        QVERIFY(hint().contains(QStringLiteral("Shift+click: 1 rad")));
    }

    void theInstrumentsStackTheirCurvesZoomInTimeAndFillTheHistograms() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld()); // 20,000 samples of a small world take a second, of the cloud a minute
        p.main->Instruments1Click();
        InstrumentsWindow* w = p.main->Instruments;
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QStringList titles;
        for (ZoomChartView* chart : w->RunCharts)
            titles << chart->chart()->title() + (chart->height() >= 100 ? "" : " is unreadable");
        QCOMPARE(titles, (QStringList{"K", "U", "E = K + U", "|P|"}));
        // A long run's 20,000 samples are drawn as a few hundred points.
        for (int step = 0; step < 20000 * RunSampleEvery; ++step) w->StepDone(p.state.world);
        w->RefreshTick();
        QVERIFY(w->KineticSeries->count() <= 800 && w->KineticSeries->count() >= 400);
        const auto timeRange = [&](std::size_t n) {
            auto* axis = qobject_cast<QValueAxis*>(w->RunCharts[n]->chart()->axes(Qt::Horizontal).first());
            return std::make_pair(axis->min(), axis->max());
        };
        const auto whole = timeRange(0);
        // The wheel over one chart zooms all four about the pointer; the reset button shows the whole run.
        const QPoint middle = w->RunCharts[1]->chart()->plotArea().center().toPoint();
        QWheelEvent wheel(middle, w->RunCharts[1]->mapToGlobal(middle), {}, QPoint(0, 240), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->RunCharts[1]->viewport(), &wheel);
        const auto zoomed = timeRange(3);
        QVERIFY(zoomed.first > whole.first && zoomed.second < whole.second);
        QVERIFY(zoomed.second - zoomed.first < 0.7 * (whole.second - whole.first));
        QCOMPARE(timeRange(0), zoomed);
        w->ResetRunZoomButton->click();
        QCOMPARE(timeRange(2), whole);

        // Histograms: filled, for all six kind pairs or one.
        w->Tabs->setCurrentIndex(2);
        QCOMPARE(w->KindPairChoice->count(), 7);
        for (QAreaSeries* area : w->DistanceAreas)
            QVERIFY(area->isVisible() && area->brush().style() == Qt::SolidPattern);
        w->KindPairChoice->setCurrentIndex(2);
        for (std::size_t n = 0; n < 6; ++n) QCOMPARE(w->DistanceAreas[n]->isVisible(), n == 1);
        w->ZoomDistances({2, 4});
        auto* distance = qobject_cast<QValueAxis*>(w->DistanceChart->chart()->axes(Qt::Horizontal).first());
        QCOMPARE(distance->min(), 2.0);
        w->ResetDistanceZoomButton->click();
        QVERIFY(distance->min() != 2.0);
    }
};

TAONSCOPE_QTEST_MAIN(ExploreTest)
#include "ExploreTest.moc"
