// SPDX-License-Identifier: GPL-3.0-or-later
// The structure in the window: View > Colour By and Show Bonds with their keys and kept choices, Kind as
// the scene always was, a picked taon's cluster, bonds and q6, and the instruments' Structure tab with its
// cutoff choice, following a run at the sampling rate.
#include "support/UiProgram.h"

#include "ui/InstrumentsWindow.h"
#include "ui/PickPopup.h"
#include "ui/SceneOptions.h"
#include "ui/StructureLook.h"
#include "ui/StructureTab.h"
#include "ui/Text.h"
#include "ui/ViewSettings.h"

#include "analysis/SampleSeries.h"
#include "core/Scenarios.h"
#include "view/ImageCanvas.h"
#include "view/TaonStyle.h"

#include <QBarSet>
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QTableWidget>
#include <QtTest>

#include <set>

using namespace taonscope;
using taonscope::test::UiProgram;

namespace {

// A triangle of kind 1 (slots 1 to 3, edges 2.7) at rest, a pair of kind 2 (51, 52; 2.7 apart) drifting at
// 0.5, and a lone taon of kind 3 (81) at speed 2, all in the plane the scene shows and far apart.
World Pieces() {
    World world = RingWorld();
    for (int j = 1; j <= MaxTaons; ++j) world.TaonPresent[j] = false;
    const struct {
        int slot;
        Extended x, z, vx;
    } taons[] = {{1, 0, 0, 0},     {2, 2.7L, 0, 0},      {3, 1.35L, 2.338268590L, 0},
                 {51, 9, 0, 0.5L}, {52, 11.7L, 0, 0.5L}, {81, -8, 1, 2}};
    for (const auto& t : taons) {
        world.TaonPresent[t.slot] = true;
        world.PosX[t.slot] = t.x, world.PosY[t.slot] = 0, world.PosZ[t.slot] = t.z;
        world.VelX[t.slot] = t.vx, world.VelY[t.slot] = 0, world.VelZ[t.slot] = 0;
    }
    return world;
}

// Opens a shipped example as File > Examples does.
void OpenExample(UiProgram& p, const char* name) {
    p.main->Daons1Click();
    p.main->OpenExample(std::string(TAONSCOPE_EXAMPLES_DIR) + "/" + name);
}

// The colour of a taon's dot (its upper left pixel) in the scene.
QRgb DotColour(UiProgram& p, int slot) {
    return p.main->SceneView->Image().pixel(p.state.view.ScreenX[slot], p.state.view.ScreenY[slot]) &
           0xFFFFFF;
}

QRgb Packed(Rgb c) {
    return qRgb(c.r, c.g, c.b) & 0xFFFFFF;
}

// Whether the bond colour is drawn within a pixel of the middle between two taons' dots.
bool BondBetween(UiProgram& p, int a, int b) {
    const QImage& image = p.main->SceneView->Image();
    const int x = (p.state.view.ScreenX[a] + p.state.view.ScreenX[b]) / 2;
    const int y = (p.state.view.ScreenY[a] + p.state.view.ScreenY[b]) / 2;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if ((image.pixel(x + dx, y + dy) & 0xFFFFFF) == Packed(BondColour)) return true;
    return false;
}

void Open(UiProgram& p, const World& world) {
    p.Install(world);
    p.main->FitAll1Click();
}

InstrumentsWindow& StructureShown(UiProgram& p) {
    p.main->Instruments1Click();
    InstrumentsWindow& w = *p.main->Instruments;
    w.Tabs->setCurrentWidget(w.StructurePage);
    w.RefreshTick();
    return w;
}

} // namespace

class StructureViewTest : public QObject {
    Q_OBJECT

private slots:
    void init() { ProgramSettings().clear(); }

    void colourByAndShowBondsTakeTheirKeysAndAreKept() {
        {
            UiProgram p;
            p.Show();
            Open(p, Pieces());
            // Cluster: the largest first, a lone taon grey; Coordination: 2, 1 and 0 bonds; Speed: 0, 0.5, 2.
            for (const Qt::Key key : {Qt::Key_2, Qt::Key_3, Qt::Key_4}) {
                QTest::keyClick(p.main.get(), key, Qt::AltModifier);
                QVERIFY(p.main->StructureMarks->ColourBys[static_cast<std::size_t>(key - Qt::Key_1)]
                            ->isChecked());
                const QRgb triangle = DotColour(p, 1), pair = DotColour(p, 51), lone = DotColour(p, 81);
                QCOMPARE((std::set<QRgb>{triangle, DotColour(p, 2), DotColour(p, 3)}).size(), std::size_t{1});
                QCOMPARE(DotColour(p, 52), pair);
                QCOMPARE((std::set<QRgb>{triangle, pair, lone, Packed(Colours::Lime), Packed(Colours::Yellow),
                                         Packed(Colours::Red)})
                             .size(),
                         std::size_t{6});
                if (key == Qt::Key_2)
                    QVERIFY(triangle == Packed(ClusterColour(0)) && pair == Packed(ClusterColour(1)));
                if (key == Qt::Key_3)
                    QVERIFY(triangle == Packed(CoordinationColour(2)) &&
                            pair == Packed(CoordinationColour(1)));
                if (key != Qt::Key_4) QCOMPARE(lone, Packed(LoneColour));
                // The legend: a heading, then what each colour means (clusters; bonds; speeds up to the
                // largest).
                SceneExtras extras;
                p.main->StructureMarks->AddTo(extras, p.state.world);
                QStringList legend;
                for (const LegendEntry& entry : extras.legend) legend << QString::fromStdString(entry.text);
                const QStringList expected[3] = {{"1: 3 taons", "2: 2 taons", "alone: 1 taon"},
                                                 {"0: 1 taon", "1: 2 taons", "2: 3 taons"},
                                                 {"0", "0.5", "1", "1.5", "2"}};
                QCOMPARE(legend.mid(1), expected[key - Qt::Key_2]);
            }
            QVERIFY(test::CountColour(p.main->SceneView->Image(), BondColour) == 0);
            QTest::keyClick(p.main.get(), Qt::Key_B, Qt::ControlModifier);
            QVERIFY(BondBetween(p, 1, 2) && BondBetween(p, 2, 3) && BondBetween(p, 51, 52));
            QVERIFY(!BondBetween(p, 3, 81) && !BondBetween(p, 2, 51));
        }
        // The next session starts with the choices of the last.
        QCOMPARE(ProgramSettings().value("view/colourBy").toString(), QStringLiteral("speed"));
        UiProgram p;
        QCOMPARE(p.main->StructureMarks->Colouring(), ColourBy::Speed);
        QVERIFY(p.main->StructureMarks->ShowBonds->isChecked());
    }

    void colourByKindIsTheSceneAsItAlwaysWas() {
        for (const TaonStyle style : {TaonStyle::Dots, TaonStyle::Spheres}) {
            UiProgram p;
            p.Show();
            QVERIFY(p.main->StructureMarks->ColourBys[0]->isChecked()); // the default
            QVERIFY(!p.main->StructureMarks->ShowBonds->isChecked());
            p.main->SceneLook->StyleClick(style);
            OpenExample(p, "05-cloud.tao");
            p.main->ShowNumbersOfPointsClick();
            p.main->DrawTaons();
            const QImage first = p.main->SceneView->Image().copy();
            // The scene as it is drawn without anything of the structure.
            QImage plain(first.size(), first.format());
            ImageCanvas canvas(plain);
            ViewState view = p.state.view;
            DrawTaons(canvas, view, p.state.world, p.main->Scene());
            QCOMPARE(first, plain);

            p.main->StructureMarks->ColourByClick(ColourBy::Cluster);
            p.main->StructureMarks->ShowBondsClick();
            QVERIFY(p.main->SceneView->Image() != first);
            QTest::keyClick(p.main.get(), Qt::Key_1, Qt::AltModifier);
            QTest::keyClick(p.main.get(), Qt::Key_B, Qt::ControlModifier);
            QCOMPARE(p.main->SceneView->Image(), first);
        }
    }

    void aPickedTaonAndTheStructureTabTellTheClustersBondsGrAndQ6() {
        UiProgram p;
        p.Show();
        Open(p, Pieces());
        p.main->StructureMarks->SetCutoff({CutoffSetting::From::Typed, 1, 'B', 3});
        const Structure s = AnalyzeStructure(p.state.world, {3.0L, {}});
        const struct {
            int slot;
            QString cluster, bonds, q6;
        } cases[] = {
            {2, "Cluster 1 of 3: 3 taons, triangle", "Bonds 2 (cutoff 3)", "q6 = " + RealText(s.Order.Q6[2])},
            {52, "Cluster 2 of 3: 2 taons, dimer", "Bonds 1 (cutoff 3)", "q6 = " + RealText(s.Order.Q6[52])},
            {81, "Cluster 3 of 3: alone", "Bonds 0 (cutoff 3)", "q6 n/a (no bonds)"},
        };
        for (const auto& c : cases) {
            QTest::mouseClick(p.main->SceneView, Qt::LeftButton, {},
                              {p.state.view.ScreenX[c.slot], p.state.view.ScreenY[c.slot]});
            QCOMPARE(p.main->PickInfo->Picked(), c.slot);
            const QStringList lines = p.main->PickInfo->Text().split('\n');
            QVERIFY2(lines.size() >= 10, qPrintable(p.main->PickInfo->Text()));
            QCOMPARE(lines.mid(7, 3), (QStringList{c.cluster, c.bonds, c.q6})); // after u(z)
        }
        QVERIFY(p.main->PickInfo->Text().section('\n', -1).startsWith(QStringLiteral("Distance to 52 = ")));

        InstrumentsWindow& w = StructureShown(p);
        QCOMPARE(w.Tabs->tabText(w.Tabs->indexOf(w.StructurePage)), QStringLiteral("Structure"));
        StructureTab& tab = *w.StructurePage;
        QCOMPARE(tab.ClusterTable->rowCount(), 2); // the lone taon is counted, not listed
        const QStringList rows[2] = {{"1", "3", "3 0 0", "triangle", "0"},
                                     {"2", "2", "0 2 0", "dimer (0)", "0.5"}};
        for (int row = 0; row < 2; ++row)
            for (int column : {0, 1, 2, 3, 5})
                QVERIFY(
                    tab.ClusterTable->item(row, column)->text().startsWith(rows[row][std::min(column, 4)]));
        QVERIFY(tab.Summary->text().contains(
            QStringLiteral("4 bonds; 3 clusters, the largest of 3 taons; 1 isolated")));
        // Bonds per taon by kind: the lone red taon has 0, the yellow pair 1 each, the lime triangle 2 each.
        const QList<qreal> bars[3] = {{0, 0, 3}, {0, 2, 0}, {1, 0, 0}};
        for (std::size_t kind = 0; kind < 3; ++kind)
            for (int n = 0; n < 3; ++n) QCOMPARE(tab.CoordinationBars[kind]->at(n), bars[kind][n]);
        // q6 of the five bonded taons, in bins of 0.05: the pair's 1 in the last.
        const QList<QPointF> outline = tab.OrderOutline->points();
        double counted = 0;
        for (qsizetype n = 1; n < outline.size(); n += 4) counted += outline[n].y();
        QVERIFY(counted == 5 && outline[outline.size() - 3].y() == 2);
        // g(r) of all pairs as the analysis gives it; the others when chosen.
        const QList<QPointF> all = tab.RdfSeries[RdfCurves - 1]->points();
        QCOMPARE(all.size(), static_cast<qsizetype>(s.Rdf.R.size()));
        for (std::size_t b = 0; b < s.Rdf.R.size(); ++b)
            QCOMPARE(all[static_cast<qsizetype>(b)].y(), static_cast<double>(s.Rdf.G[RdfCurves - 1][b]));
        QVERIFY(!tab.RdfSeries[0]->isVisible());
        tab.RdfChoice->setCurrentIndex(7);
        QVERIFY(tab.RdfSeries[0]->isVisible() && tab.RdfSeries[0]->count() == all.size());
    }

    void theTabFollowsARunWhileItShowsAndTakesItsCutoffFromTheDataAShellOrTyping() {
        {
            UiProgram p;
            p.Show();
            OpenExample(p, "05-cloud.tao");
            p.main->Cool->setChecked(true);
            InstrumentsWindow& w = StructureShown(p);
            StructureTab& tab = *w.StructurePage;
            QVERIFY(tab.SampleCount() >= 1);

            // Another tab: the run is not measured.
            w.Tabs->setCurrentIndex(0);
            long long before = tab.SampleCount();
            p.RunAtLeast(3 * RunSampleEvery);
            QCOMPARE(tab.SampleCount(), before);

            w.Tabs->setCurrentWidget(w.StructurePage);
            before = tab.SampleCount();
            const long long stepsBefore = p.state.world.StepCounter;
            p.main->GoClick();
            QTRY_VERIFY_WITH_TIMEOUT(tab.SampleCount() >= before + 3, 20000);
            p.main->GoClick();
            QTRY_VERIFY(!p.main->Running());
            const long long steps = p.state.world.StepCounter - stepsBefore;
            // One measurement every RunSampleEvery steps, and one as the run ended.
            QVERIFY2(
                tab.SampleCount() - before <= steps / RunSampleEvery + 2,
                qPrintable(
                    QStringLiteral("%1 samples in %2 steps").arg(tab.SampleCount() - before).arg(steps)));
            w.RefreshTick();
            const World& world = p.state.world;
            const Structure now = AnalyzeStructure(world);
            QCOMPARE(tab.Last()->Counts.Clusters, now.Counts.Clusters);
            QCOMPARE(tab.ClusterTable->item(0, 1)->text(), QString::number(now.Clusters[0].Size()));

            // The cutoff: from the data at first, then from a shell of the law.
            const std::vector<CutoffChoice> shells = CutoffChoices(world);
            QCOMPARE(tab.CutoffFrom->count(), static_cast<int>(shells.size()) + 2);
            QCOMPARE(tab.CutoffFrom->currentText(), QStringLiteral("From the data"));
            QCOMPARE(tab.CutoffValue->text(), RealText(now.Cutoff.Value));
            QCOMPARE(tab.Last()->Cutoff.Value, now.Cutoff.Value);
            for (const int index : {1, 7, static_cast<int>(shells.size()), 0}) { // the last shell too
                tab.CutoffFrom->setCurrentIndex(index);
                tab.CutoffFrom->activated(index);
                QCOMPARE(tab.Last()->Cutoff.Value,
                         index ? shells[index - 1].Cutoff : DefaultCutoff(world).Value);
            }
            // A typed cutoff, also for the scene: below every bond each taon is alone, and grey.
            p.main->StructureMarks->ColourByClick(ColourBy::Cluster);
            for (const QString& text : {QStringLiteral("1"), QStringLiteral("-2"), QStringLiteral("x")}) {
                tab.CutoffValue->selectAll();
                QTest::keyClicks(tab.CutoffValue, text);
                QTest::keyClick(tab.CutoffValue, Qt::Key_Return);
                QCOMPARE(tab.Last()->Cutoff.Value, Extended{1}); // the bad ones change nothing
            }
            QVERIFY2(tab.Summary->text().contains(QStringLiteral("not a valid")),
                     qPrintable(tab.Summary->text()));
            QCOMPARE(tab.CutoffFrom->currentText(), QStringLiteral("Typed"));
            QCOMPARE(tab.Last()->Counts.Isolated, 100);
            QCOMPARE(test::CountColour(p.main->SceneView->Image(), ClusterColour(0)), 0);
        }
        UiProgram p; // the typed cutoff is kept for the next session
        QVERIFY(p.main->StructureMarks->Cutoff().from == CutoffSetting::From::Typed &&
                p.main->StructureMarks->Cutoff().value == 1);
    }
};

TAONSCOPE_QTEST_MAIN(StructureViewTest)
#include "StructureViewTest.moc"
