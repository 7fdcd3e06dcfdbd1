// SPDX-License-Identifier: GPL-3.0-or-later
// Run > Minimise Energy on the real window: the minimum it leaves against the literal law, its undo step,
// and what it refuses.
#include "support/UiProgram.h"
#include "support/WorldCompare.h"

#include "ui/WorldHistory.h"

#include "analysis/Measures.h"
#include "core/Law.h"
#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "landscape/BasinHopping.h"
#include "landscape/Search.h"

#include <QtTest>

#include <cmath>

using namespace taonscope;
using taonscope::test::SameWorld;
using taonscope::test::UiProgram;
using taonscope::test::WaitFor;

namespace {

// Seven taons of the figure's set spread over a ball of radius 9, moving.
World Spread() {
    SearchSettings settings;
    settings.Taons = 7;
    settings.Set = FigureParameters();
    World world = SearchWorld(settings, RandomStart(7, 9, 4));
    for (int i = 1; i <= 7; ++i) world.VelX[i] = world.NextVelX[i] = 0.25L;
    return world;
}

int Steps(UiProgram& p) {
    return p.main->History().Stack().count();
}

} // namespace

class EnergyMinimiserTest : public QObject {
    Q_OBJECT

private slots:
    void ctrlMLowersTheEnergyToAMinimumAtRestAsOneUndoStep() {
        UiProgram p;
        p.Show();
        p.Install(Spread());
        const World start = p.state.world;
        QTest::keyClick(p.main.get(), Qt::Key_M, Qt::ControlModifier);

        const World& end = p.state.world;
        const Extended before = PairEnergy(start).Value, after = PairEnergy(end).Value;
        QVERIFY(after < before);
        for (int i = 1; i <= 7; ++i) {
            QVERIFY(std::hypot(AccelX(end, i), AccelY(end, i), AccelZ(end, i)) < 1e-10L);
            QCOMPARE(end.VelX[i], 0.0L);
            QCOMPARE(end.NextVelX[i], 0.0L);
            QCOMPARE(end.ScenePosY[i], end.PosY[i]);
            QCOMPARE(end.NextPosZ[i], end.PosZ[i]);
        }
        QCOMPARE(p.questions.informations.size(), std::size_t{1});
        const std::string& told = p.questions.informations.front();
        QVERIFY2(told.find("U fell from " + FormatReal(before) + " to " + FormatReal(after) + " in ") == 0,
                 told.c_str());
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Minimise Energy"));
        QCOMPARE(Steps(p), 1);
        const World minimum = end;
        p.main->Undo1->trigger();
        QVERIFY(SameWorld(p.state.world, start));
        p.main->Redo1->trigger();
        QVERIFY(SameWorld(p.state.world, minimum));
    }

    void whatItRefusesLeavesTheWorldAsItWas() {
        World coincident = Spread();
        coincident.PosX[2] = coincident.PosX[1], coincident.PosY[2] = coincident.PosY[1];
        coincident.PosZ[2] = coincident.PosZ[1];
        const struct {
            World world;
            std::string information, error;
        } cases[] = {
            {CloudWorld(3), "Kinds 1 and 2 have different parameter sets", ""},
            {coincident, "", "Floating point division by zero."},
        };
        for (const auto& c : cases) {
            UiProgram p;
            p.Install(c.world);
            const World start = p.state.world;
            p.main->MinimiseEnergy1->trigger();
            QVERIFY(SameWorld(p.state.world, start));
            QCOMPARE(Steps(p), 0);
            QCOMPARE(p.questions.LastError(), c.error);
            QCOMPARE(p.questions.informations.size(), std::size_t{c.information.empty() ? 0u : 1u});
            if (!c.information.empty()) QVERIFY(p.questions.informations.front().find(c.information) == 0);
        }
    }

    void neitherTheFigureNorARunIsMinimised() {
        UiProgram p;
        p.Install(Spread());
        p.main->GoClick();
        while (p.main->RunSteps() < 1) QCoreApplication::processEvents();
        p.main->MinimiseEnergy1->trigger();
        p.main->GoClick();
        QVERIFY(WaitFor([&] { return !p.main->Running(); }));
        QCOMPARE(p.main->Undo1->text(), QStringLiteral("Undo Run"));
        QCOMPARE(Steps(p), 1);
        p.main->Spiral1Click();
        const World figure = p.state.world;
        p.main->MinimiseEnergy1->trigger();
        QVERIFY(SameWorld(p.state.world, figure));
        QVERIFY(p.questions.informations.empty());
        QVERIFY(p.questions.errors.empty());
    }
};

QTEST_MAIN(EnergyMinimiserTest)
#include "EnergyMinimiserTest.moc"
