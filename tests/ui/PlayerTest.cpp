// SPDX-License-Identifier: GPL-3.0-or-later
// The Player on a recorded trajectory and on the runs' history, against the command line's import and
// run of the same files.
#include "support/CliRun.h"
#include "support/UiProgram.h"
#include "support/WorldCompare.h"
#include "support/WorldFiles.h"

#include "core/NumberText.h"
#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/TrajectoryFile.h"
#include "ui/Player.h"
#include "ui/PlayerRunTab.h"
#include "ui/RunMenu.h"
#include "ui/WorldHistory.h"

#include <QtTest>

using namespace taonscope;
using taonscope::test::Cli;
using taonscope::test::SameBits;
using taonscope::test::UiProgram;
using taonscope::test::WaitFor;

namespace {

World SmallCloud() {
    CloudOptions options;
    options.Kinds = {6, 4, 3};
    return CloudWorld(options);
}

// The world a configuration file holds, unpacked onto every slot.
World Configuration(const std::string& path) {
    ConfigRecord record{};
    if (ReadConfigFile(path, record) != 0)
        QTest::qFail("the configuration cannot be read", __FILE__, __LINE__);
    World world;
    UnpackConfigRecord(record, world);
    return world;
}

// Whether a's present taons stand and move exactly as b's, with the same law.
bool SameTaons(const World& a, const World& b) {
    for (auto field : ParameterFields)
        if (!SameBits(a.*field, b.*field)) return false;
    for (int i = 1; i <= MaxTaons; ++i) {
        if (a.TaonPresent[i] != b.TaonPresent[i]) return false;
        if (!a.TaonPresent[i]) continue;
        for (auto array :
             {&World::PosX, &World::PosY, &World::PosZ, &World::VelX, &World::VelY, &World::VelZ})
            if (!SameBits((a.*array)[i], (b.*array)[i])) return false;
    }
    return true;
}

// Makes `steps` steps as Run > Step does and waits for their end.
void Steps(UiProgram& p, long long steps) {
    p.main->StepClick(steps);
    QVERIFY(WaitFor([&] { return !p.main->Running(); }));
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT

private slots:
    void framesShowAsImportReadsThemAndContinueFromHereIsTheImport();
    void theHistoryGivesEveryStepAsTheRunnerDoes();
};

// The cloud cooling, 13 frames: the frame shown is the file's, the document stays; the Run tab's events
// are analyze --events' at the same cutoff; Continue from Here writes the record import --frame writes,
// as one undo step.
void PlayerTest::framesShowAsImportReadsThemAndContinueFromHereIsTheImport() {
    UiProgram p;
    const std::string trajectory = p.dir.File("cloud.xyz");
    QCOMPARE(Cli({"run", TAONSCOPE_EXAMPLES_DIR "/05-cloud.tao", "--steps", "600", "--every", "50", "--cool",
                  "--trajectory", trajectory})
                 .status,
             0);
    ConfigRecord record{};
    p.Install(RingWorld());
    p.main->FillListing();
    const World document = p.state.world;
    const QString documentCell = p.main->DaonsTable->Cell(1, 1); // the listing's x of slot 1

    p.questions.openFileAnswers.push_back(trajectory);
    p.main->OpenTrajectory1Click();
    Player& player = *p.main->TrajectoryPlayer;
    QVERIFY(WaitFor([&] { return player.Frames() == 13; }));
    for (const int k : {0, 7, 12}) {
        player.Slider->setValue(k);
        ImportOptions frame;
        frame.frame = k + 1;
        QVERIFY(p.state.shownFrame);
        QVERIFY(SameTaons(*p.state.shownFrame, ReadTrajectoryFile(trajectory, TrajectoryFormat::Xyz, frame)));
        QVERIFY2(player.Where->text().contains(QStringLiteral("Step %1 ").arg(50 * k)),
                 qPrintable(player.Where->text()));
    }
    QVERIFY(test::SameWorld(p.state.world, document));
    QVERIFY(p.main->DaonsTable->Cell(1, 1) != documentCell);
    QVERIFY(WaitFor([&] { return player.RunTab->Measured().Rows.size() == 13; }));
    const MeasuredFrames& measured = player.RunTab->Measured();
    const test::Outcome events = Cli({"analyze", trajectory, "--events", "--cutoff",
                                      QString::number(measured.Cutoff, 'g', 17).toStdString()});
    QString shown = QStringLiteral("step,event,\n"); // the command's rows without their clusters
    for (const FrameEvent& e : measured.Events)
        shown += QStringLiteral("%1,%2,\n").arg(e.Event.Step).arg(ClusterEventName(e.Event.Kind));
    static const QRegularExpression members(QStringLiteral(",[^,\n]*,[^,\n]*,[^,\n]*,[^,\n]*\n"));
    QCOMPARE(shown, QString::fromStdString(events.out).replace(members, QStringLiteral(",\n")));
    QVERIFY(measured.Events.size() >= 3);

    player.Slider->setValue(7);
    player.ContinueClick();
    QVERIFY(!p.state.shownFrame);
    QCOMPARE(p.main->History().UndoAction()->text(), QStringLiteral("Undo Continue from Step 350"));
    QCOMPARE(p.state.world.StepCounter, 350);
    const std::string imported = p.dir.File("imported.tao");
    QCOMPARE(Cli({"import", trajectory, imported, "--frame", "8"}).status, 0);
    PackConfigRecord(p.state.world, record);
    QCOMPARE(std::string(record.begin(), record.end()), test::ReadAll(imported));
    p.main->History().Undo();
    QVERIFY(test::SameWorld(p.state.world, document));
    QCOMPARE(p.main->DaonsTable->Cell(1, 1), documentCell);

    // A run takes the scene back and the Player waits for its end.
    player.Slider->setValue(3);
    p.main->StepClick(1000000);
    QVERIFY(!p.state.shownFrame);
    QVERIFY(!player.Slider->isEnabled());
    p.main->GoClick(); // the run ends after its first step
    QVERIFY(WaitFor([&] { return player.Slider->isEnabled(); }));
}

// Two runs, the second after A2 was halved and Cool ticked: each state the History shows is the state the
// runner gives after as many steps, the second run from the first's end saved and changed alike.
void PlayerTest::theHistoryGivesEveryStepAsTheRunnerDoes() {
    UiProgram p;
    const std::string start = p.dir.File("start.tao"), middle = p.dir.File("middle.tao");
    const std::string out = p.dir.File("out.tao");
    ConfigRecord record{};
    WriteConfigFile(start, SmallCloud(), record);
    p.Install(Configuration(start));
    Steps(p, 150);
    test::TypeInto(p.main->ParameterEdits[6], QString::fromStdString(FormatReal(p.state.world.A2 / 2)));
    p.main->Cool->setChecked(true);
    Steps(p, 60);

    QCOMPARE(Cli({"run", start, "--steps", "150", "--output", middle}).status, 0);
    World changed = Configuration(middle);
    changed.A2 = p.state.world.A2;
    WriteConfigFile(middle, changed, record);

    p.main->History1Click();
    Player& player = *p.main->HistoryPlayer;
    QCOMPARE(player.Frames(), 151 + 61);
    QCOMPARE(player.Frame(), 211); // the last state, the world as the run left it
    QVERIFY(SameTaons(*p.state.shownFrame, p.state.world));
    for (const int n : {0, 99, 150, 151, 152, 211}) {
        const bool second = n > 150;
        const int steps = second ? n - 151 : n;
        std::vector<std::string> run = {
            "run", second ? middle : start, "--steps", std::to_string(steps), "--output", out, "--force"};
        if (second) run.push_back("--cool");
        QCOMPARE(steps == 0 ? 0 : Cli(run).status, 0);
        player.Slider->setValue(n);
        QVERIFY2(SameTaons(*p.state.shownFrame, Configuration(steps == 0 ? run[1] : out)),
                 qPrintable(QString::number(n)));
        QCOMPARE(p.state.shownFrame->StepCounter, second ? 150 + steps : steps);
    }
}

TAONSCOPE_QTEST_MAIN(PlayerTest)
#include "PlayerTest.moc"
