// SPDX-License-Identifier: GPL-3.0-or-later
// The instruments window beside a running main window: samples, the law's curves, Cool until settled.
#include "support/UiProgram.h"

#include "ui/InstrumentsWindow.h"

#include "cli/Cli.h"
#include "document/CsvTable.h"
#include "support/WorldFiles.h"

#include "analysis/Measures.h"
#include "core/Scenarios.h"
#include "core/Step.h"

#include <QAreaSeries>
#include <QChartView>
#include <QElapsedTimer>
#include <QLineSeries>
#include <QScatterSeries>
#include <QtTest>

#include <set>

#include <sstream>

using namespace taonscope;
using taonscope::test::UiProgram;
using taonscope::test::WaitFor;

namespace {

// The ring after 300 steps: swinging, its largest speed near 1.
World SwingingRing() {
    World world = RingWorld();
    FastLaw law(1);
    for (int n = 0; n < 300; ++n) AdvanceStep(world, CoolFactor(false), law);
    return world;
}

QList<QPointF> Points(QLineSeries* series) {
    return series->points();
}

} // namespace

class InstrumentsTest : public QObject {
    Q_OBJECT

private slots:
    void theRunChartsSaveTheRunAsRunLogWritesIt() {
        UiProgram p;
        p.Show();
        test::SaveWorld(p.dir.File("ring.tao"), SwingingRing());
        p.Install(SwingingRing());
        p.main->Instruments1Click();
        InstrumentsWindow* w = p.main->Instruments;
        for (ZoomChartView* chart : w->RunCharts) QVERIFY(chart->actions().contains(w->SaveRunCsv));
        QCOMPARE(w->RunCharts[0]->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(w->SaveRunCsv->text(), QStringLiteral("Save as CSV..."));
        p.main->StepClick(400);
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        p.questions.saveFileAnswers.push_back(p.dir.File("run.csv"));
        w->SaveRunCsv->trigger();
        QCOMPARE(p.questions.fileKindsAsked.back(), FileKind::Table);

        // The same run made by taonscope-cli logs the same table (a row at steps 0, 200 and 400); only the
        // time, which the window adds up step by step, may differ in its last digits.
        std::ostringstream out, err;
        QCOMPARE(RunCli({"run", p.dir.File("ring.tao"), "--steps", "400", "--every", "200", "--log",
                         p.dir.File("log.csv")},
                        out, err),
                 0);
        const QStringList saved = QString::fromStdString(test::ReadAll(p.dir.File("run.csv"))).split('\n'),
                          logged = QString::fromStdString(test::ReadAll(p.dir.File("log.csv"))).split('\n');
        QCOMPARE(saved.size(), 5); // the header, three rows and the end of the last
        QCOMPARE(saved.size(), logged.size());
        for (qsizetype row = 0; row < saved.size(); ++row) {
            QStringList ours = saved[row].split(','), theirs = logged[row].split(',');
            QCOMPARE(ours.size(), theirs.size());
            if (row > 0 && ours.size() > 1) {
                QVERIFY(std::fabs(ours[1].toDouble() - theirs[1].toDouble()) < 1e-15);
                ours.removeAt(1), theirs.removeAt(1);
            }
            QCOMPARE(ours, theirs);
        }
    }

    void samplesArriveInTheRunTabDuringARun() {
        UiProgram p;
        p.Show();
        p.Install(RingWorld());
        p.main->GoClick(); // the instruments open while the run goes on
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 0; }));
        QTest::keyClick(p.main.get(), Qt::Key_I, Qt::ControlModifier);
        InstrumentsWindow* w = p.main->Instruments;
        QVERIFY(w && w->isVisible());
        QCOMPARE(w->Tabs->tabText(0), QStringLiteral("Run"));
        QVERIFY(WaitFor([&] { return w->KineticSeries->count() >= 3; }));
        QVERIFY(p.main->Running());
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));

        const Sample& last = w->Series().Samples().back();
        QVERIFY(last.Step >= 2 * RunSampleEvery);
        QVERIFY(last.Kinetic.Value > 0); // the ring starts at rest and swings
        QVERIFY(WaitFor(
            [&] { return w->KineticValue->text() == QString::fromStdString(QuantityText(last.Kinetic)); }));
        QCOMPARE(w->Conservation->text().section('\n', 0, 0),
                 QStringLiteral("E is conserved: all sets equal"));
        QVERIFY(w->TotalEnergySeries->isVisible());
        QVERIFY(w->DriftValue->text() != QStringLiteral("n/a"));

        // Taons (like Open and New) starts the series again from the new document.
        p.main->Daons1Click();
        QCOMPARE(w->Series().Samples().size(), std::size_t{1});
        QCOMPARE(w->Series().Samples().front().Step, std::int64_t{0});
        QCOMPARE(w->Series().Samples().front().Time, Extended{0});
        // A run that stops between two sampling points leaves its last step in the series.
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > RunSampleEvery; }));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QCOMPARE(static_cast<long long>(w->Series().Samples().back().Step), p.main->RunSteps());
    }

    void aLawCurveChangesWhenAParameterIsEdited() {
        UiProgram p;
        p.Show();
        p.Install(CloudWorld(1, true)); // one parameter set for all three kinds
        p.main->Instruments1Click();
        InstrumentsWindow* w = p.main->Instruments;
        QVERIFY(WaitFor(
            [&] { return w->Conservation->text() == QStringLiteral("E is conserved: all sets equal"); }));
        w->Tabs->setCurrentIndex(1);
        QVERIFY(WaitFor([&] { return w->PhiSeries[1]->count() == 4000; }));
        const QList<QPointF> before = Points(w->PhiSeries[1]);
        const QList<QPointF> other = Points(w->PhiSeries[0]);
        QCOMPARE(w->ShellMarks[1]->count(), 5);

        // C2 = 7.5 in the editor, then OK (which saves the configuration).
        p.questions.saveAnswers.push_back(p.dir.File("edited.tao"));
        QTimer::singleShot(0, [&] {
            p.edit->ParameterEdits[8]->setText(QStringLiteral("7.5"));
            p.edit->OKBtn->click();
            if (p.edit->isVisible()) p.edit->reject();
        });
        p.main->New1Click();
        QCOMPARE(p.state.world.C2, 7.5L);
        QVERIFY(WaitFor([&] { return Points(w->PhiSeries[1]) != before; }));
        QCOMPARE(Points(w->PhiSeries[0]), other);
        const QPointF near = Points(w->PhiSeries[1])[std::size_t(7.5 / 40 * 3999)];
        QVERIFY(near.y() < Points(w->PhiSeries[0])[std::size_t(7.5 / 40 * 3999)].y() - 0.5); // a shell at 7.5

        p.state.world.G3 = 0; // a fault: no curve, the law's message instead
        QVERIFY(WaitFor([&] { return w->PhiSeries[2]->count() == 0; }));
        QCOMPARE(w->LawFaults->text(), QStringLiteral("Kind 3: Floating point division by zero"));

        // The sets now differ: E is no longer conserved, and the Run tab says so without a step being made.
        w->Tabs->setCurrentIndex(0);
        QVERIFY(WaitFor([&] {
            return w->Conservation->text() == QStringLiteral("E is not conserved: the sets differ");
        }));
        QVERIFY(!w->TotalEnergySeries->isVisible());

        // The Distances tab counts every pair of the cloud; all six overlaid share one set of bins and
        // six hues told apart (at least 20 degrees).
        w->Tabs->setCurrentIndex(2);
        QVERIFY(WaitFor([&] { return w->DistanceSeries[5]->count() > 0; }));
        QCOMPARE(w->DistanceSeries[0]->name(), QStringLiteral("1-1"));
        std::set<double> edges[6];
        for (std::size_t n = 0; n < 6; ++n)
            for (const QPointF& point : Points(w->DistanceSeries[n])) edges[n].insert(point.x());
        for (std::size_t n = 1; n < 6; ++n) QVERIFY(edges[n] == edges[0]);
        for (std::size_t a = 0; a < 6; ++a)
            for (std::size_t b = a + 1; b < 6; ++b) {
                const int apart = std::abs(w->DistanceAreas[a]->pen().color().hue() -
                                           w->DistanceAreas[b]->pen().color().hue());
                QVERIFY2(std::min(apart, 360 - apart) >= 20,
                         qPrintable(QStringLiteral("%1 %2").arg(a).arg(b)));
            }

        w->Tabs->setCurrentIndex(1);
        w->LogForce->setChecked(true); // only positive magnitudes on the log scale
        for (const QPointF& point : Points(w->ForceSeries[0])) QVERIFY(point.y() > 0);
    }

    void coolUntilSettledStopsByItself() {
        UiProgram p;
        p.Show();
        p.Install(SwingingRing());
        p.main->Instruments1Click();
        InstrumentsWindow* w = p.main->Instruments;
        QCOMPARE(w->SettleSpeed->text(), QStringLiteral("1E-6"));
        QCOMPARE(w->SettleLimit->text(), QStringLiteral("1000000"));
        w->SettleSpeed->setText(QStringLiteral("1E-3"));
        QVERIFY(!p.main->Cool->isChecked());
        QTest::mouseClick(w->CoolUntilSettled, Qt::LeftButton);
        QVERIFY(p.main->Cool->isChecked());
        QVERIFY(p.main->Running());
        QCOMPARE(p.main->Go->text(), QStringLiteral("Stop"));
        QVERIFY(WaitFor([&] { return !w->Settling(); }));
        QVERIFY(!p.main->Running());
        QCOMPARE(p.main->Go->text(), QStringLiteral("Go"));
        QVERIFY2(w->SettleReport->text().startsWith(QStringLiteral("Settled after ")),
                 qPrintable(w->SettleReport->text()));
        QVERIFY(LargestSpeed(p.state.world).Value < 1e-3L);
        QVERIFY(w->SettleReport->text().endsWith(
            QString::fromStdString(QuantityText(KineticEnergy(p.state.world)))));

        // Stop ends it; a step limit ends it too.
        w->SettleSpeed->setText(QStringLiteral("1E-300"));
        p.Install(SwingingRing());
        QTest::mouseClick(w->CoolUntilSettled, Qt::LeftButton);
        QCOMPARE(w->CoolUntilSettled->text(), QStringLiteral("Stop Settling")); // while it runs
        QVERIFY(WaitFor([&] { return p.main->RunSteps() > 5; }));
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QVERIFY(!w->Settling());
        QCOMPARE(w->CoolUntilSettled->text(), QStringLiteral("Cool until settled"));
        QVERIFY(w->SettleReport->text().startsWith(QStringLiteral("Stopped after ")));
        w->SettleLimit->setText(QStringLiteral("25"));
        QTest::mouseClick(w->CoolUntilSettled, Qt::LeftButton);
        QVERIFY(WaitFor([&] { return !w->Settling(); }));
        QCOMPARE(w->SettleReport->text().section(':', 0, 0),
                 QStringLiteral("Step limit reached after 25 steps"));
        QVERIFY(!p.main->Running());
        // Stop Settling ends it too.
        w->SettleLimit->setText(QStringLiteral("1000000"));
        QTest::mouseClick(w->CoolUntilSettled, Qt::LeftButton);
        QTest::mouseClick(w->CoolUntilSettled, Qt::LeftButton);
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QVERIFY(!w->Settling());
    }
};

TAONSCOPE_QTEST_MAIN(InstrumentsTest)
#include "InstrumentsTest.moc"
