// SPDX-License-Identifier: GPL-3.0-or-later
// File > Examples: the shipped examples listed by title, opened read-only and fitted to the view.
#include "support/UiProgram.h"

#include "document/ConfigFile.h"
#include "document/Examples.h"
#include "ui/ExamplesMenu.h"
#include "ui/RunObserver.h"
#include "view/Fit.h"

#include <QMenuBar>
#include <QtTest>

#include <filesystem>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::TempDir;
using taonscope::test::UiProgram;
using taonscope::test::WriteAll;

namespace {

struct ReplacedCounter : RunObserver {
    int replaced = 0;
    void DocumentReplaced(const World&) override { ++replaced; }
};

// A copy of the shipped examples, which the program is pointed at, so that a test that wrongly wrote
// to an example would show it and not damage the source tree.
struct ExampleCopy {
    TempDir dir;
    ExampleCopy() {
        for (const auto& entry : std::filesystem::directory_iterator(TAONSCOPE_EXAMPLES_DIR))
            if (entry.path().extension() == ".tao" ||
                (entry.path().extension() == ".txt" && entry.path().stem() != "CMakeLists"))
                std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
        qputenv("TAONSCOPE_EXAMPLES", dir.path().string().c_str());
    }
    ~ExampleCopy() { qunsetenv("TAONSCOPE_EXAMPLES"); }
    std::string File(const std::string& name) const { return dir.File(name); }
    // Every file of the copy with its bytes, to show that none changed.
    std::map<std::string, std::string> Contents() const {
        std::map<std::string, std::string> contents;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            contents[entry.path().string()] = ReadAll(entry.path().string());
        return contents;
    }
};

QAction* ExampleAction(TMainForm& main, const QString& title) {
    for (QAction* action : main.Examples->actions())
        if (action->text() == title) return action;
    return nullptr;
}

} // namespace

class ExamplesMenuTest : public QObject {
    Q_OBJECT

private slots:
    void theMenuListsTheExamplesByTitleInTheirOrder() {
        ExampleCopy examples;
        UiProgram p;
        const std::vector<ExampleEntry> shipped = ListExamples(examples.dir.path().string());
        QVERIFY(shipped.size() >= 8);
        const QList<QAction*> actions = p.main->Examples->actions();
        QCOMPARE(actions.size(), static_cast<qsizetype>(shipped.size()));
        QCOMPARE(actions[0]->text(), QStringLiteral("A pair at rest at its equilibrium distance"));
        for (qsizetype i = 0; i < actions.size(); ++i)
            QCOMPARE(actions[i]->text().toStdString(), shipped[static_cast<std::size_t>(i)].Title);
        QVERIFY(p.main->Examples->isEnabled());
        // It sits in the File menu, after Save As.
        const QList<QAction*> file = p.main->menuBar()->actions()[0]->menu()->actions();
        const qsizetype saveAs = file.indexOf(p.main->Saveas1);
        QVERIFY(saveAs >= 0);
        QCOMPARE(file[saveAs + 1], p.main->Examples->menuAction());
        QCOMPARE(p.main->Examples->title(), QStringLiteral("Examples"));
    }

    void titlesAreShownAsWrittenAndAnEmptyListDisablesTheMenu() {
        QMenu menu;
        std::string opened;
        FillExamplesMenu(&menu, {{"Salt & pepper", "/x/a.tao"}, {"Second", "/x/b.tao"}},
                         [&](const std::string& path) { opened = path; });
        QCOMPARE(menu.actions().size(), 2);
        QCOMPARE(menu.actions()[0]->text(), QStringLiteral("Salt && pepper")); // an ampersand, no mnemonic
        menu.actions()[1]->trigger();
        QCOMPARE(opened, std::string("/x/b.tao"));
        FillExamplesMenu(&menu, {}, [](const std::string&) {});
        QVERIFY(menu.actions().isEmpty());
        QVERIFY(!menu.isEnabled());
    }

    void openingAnExampleLoadsItFitsTheViewAndLeavesThePointer() {
        ExampleCopy examples;
        UiProgram p;
        ReplacedCounter observer;
        p.main->AddRunObserver(&observer);
        p.state.world.StepCounter = 9;
        const auto before = examples.Contents();

        QAction* ring = ExampleAction(*p.main, QStringLiteral("A ring of twelve taons"));
        QVERIFY(ring);
        ring->trigger();
        QVERIFY(p.questions.errors.empty());
        QVERIFY(!p.state.world.ShowingFigure);
        QVERIFY(p.main->Go->isEnabled());
        QVERIFY(p.state.world.TaonPresent[12] && !p.state.world.TaonPresent[13]);
        QCOMPARE(p.state.world.StepCounter, 0);
        QCOMPARE(observer.replaced, 1);
        QCOMPARE(p.main->FName->text(), QString::fromStdString(examples.File("04-ring.tao")));
        QVERIFY(p.main->Comment->toPlainText().startsWith(QStringLiteral("A ring of twelve taons\nTwelve")));
        QVERIFY(!p.state.document.CommentChanged);

        // The view is fitted: fitting again changes nothing, and the ring no longer has the start's zoom.
        ViewState fitted = p.state.view;
        FitAll(fitted, p.state.world, p.main->Scene());
        QCOMPARE(p.state.view.ViewScale, fitted.ViewScale);
        QCOMPARE(p.state.view.OffsetX, fitted.OffsetX);
        QCOMPARE(p.state.view.OffsetY, fitted.OffsetY);
        QVERIFY(p.state.view.ViewScale != 120);

        QCOMPARE(ReadAll(p.PointerPath()), std::string()); // the start pointer is not the example's
        QVERIFY(p.state.document.StartFileName.empty());
        QVERIFY(examples.Contents() == before);
    }

    void saveOnAnExampleAsksForANameAndTakesTheCommentaryAlong() {
        ExampleCopy examples;
        UiProgram p;
        const auto before = examples.Contents();
        ExampleAction(*p.main, QStringLiteral("A pair at rest at its equilibrium distance"))->trigger();
        p.state.world.PosX[1] = -2; // changed, so that a write to the example would show

        p.main->Save1->trigger(); // asked, cancelled
        QCOMPARE(p.questions.saveAsked, 1);
        QVERIFY(examples.Contents() == before);
        QCOMPARE(ReadAll(p.PointerPath()), std::string());

        // An edited commentary is not saved into the example on leaving the memo, and nothing is asked.
        p.main->Comment->setPlainText(QStringLiteral("My pair\nmoved a little"));
        p.main->CommentExit();
        QVERIFY(p.questions.confirmations.empty());
        QVERIFY(examples.Contents() == before);

        p.questions.saveAnswers.push_back(p.dir.File("mine.tao"));
        p.main->Save1->trigger();
        QCOMPARE(p.questions.saveAsked, 2);
        QVERIFY(p.questions.errors.empty());
        QVERIFY(examples.Contents() == before);
        ConfigRecord buffer{};
        QCOMPARE(ReadConfigFile(p.dir.File("mine.tao"), buffer), 0);
        World saved;
        UnpackConfigRecord(buffer, saved);
        QCOMPARE(saved.PosX[1], -2.0L);
        QCOMPARE(ReadAll(p.dir.File("mine.txt")), std::string("My pair\r\nmoved a little"));
        QCOMPARE(ReadAll(p.PointerPath()), p.dir.File("mine.tao")); // now a file of the user's
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("mine.tao")));

        // From now on Save writes the user's file without asking, and the memo is asked about again.
        p.main->Save1->trigger();
        QCOMPARE(p.questions.saveAsked, 2);
        p.main->Comment->setPlainText(QStringLiteral("changed again"));
        p.main->CommentExit();
        QCOMPARE(p.questions.confirmations.size(), std::size_t{1});
        QVERIFY(examples.Contents() == before);
    }

    void anExampleThatWentMissingIsReportedAndChangesNothing() {
        ExampleCopy examples;
        UiProgram p;
        std::filesystem::remove(examples.File("01-pair.tao"));
        const World before = p.state.world;
        ExampleAction(*p.main, QStringLiteral("A pair at rest at its equilibrium distance"))->trigger();
        QCOMPARE(p.questions.LastError(), std::string("File not found."));
        QVERIFY(p.state.world.ShowingFigure);
        QVERIFY(p.state.world.PosX == before.PosX);
        QCOMPARE(p.state.document.CurrentFileName, std::string("ThetraSpiral"));
    }

    void openAfterAnExampleMakesTheDocumentWritableAgain() {
        ExampleCopy examples;
        UiProgram p;
        TempDir mine;
        std::filesystem::copy_file(examples.File("02-cluster.tao"), mine.File("own.tao"));
        ExampleAction(*p.main, QStringLiteral("A ring of twelve taons"))->trigger();
        p.questions.openAnswers.push_back(mine.File("own.tao"));
        p.main->Open1->trigger();
        p.main->Save1->trigger();
        QCOMPARE(p.questions.saveAsked, 0); // Save writes the opened file
        QCOMPARE(ReadAll(p.PointerPath()), mine.File("own.tao"));
    }
};

TAONSCOPE_QTEST_MAIN(ExamplesMenuTest)
#include "ExamplesMenuTest.moc"
