// SPDX-License-Identifier: GPL-3.0-or-later
// File > Examples: the shipped examples listed by title, opened read-only and fitted to the view.
#include "support/UiProgram.h"

#include "document/ConfigFile.h"
#include "document/Examples.h"
#include "document/StartPointer.h"
#include "ui/ExamplesMenu.h"
#include "ui/RunObserver.h"
#include "view/Fit.h"

#include <QMenuBar>
#include <QtTest>

#include <filesystem>
#include <functional>

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

// The pixels of the bar, right of where its caption ends, that are grey (neither the silver background
// nor the blue of a name): the hint drawn after the caption.
int GreyPixelsAfterCaption(FileNameBar& bar) {
    const QImage image = bar.grab().toImage();
    const int from = bar.fontMetrics().horizontalAdvance(QStringLiteral("File Name")) + 8;
    int count = 0;
    for (int y = 4; y < image.height() - 4; ++y)
        for (int x = from; x < image.width() - 4; ++x) {
            const QRgb pixel = image.pixel(x, y);
            count += qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel) && qRed(pixel) < 160;
        }
    return count;
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

    void theNameBarPointsToTheExamplesUntilAConfigurationIsLoaded() {
        ExampleCopy examples;
        const QString nine = QStringLiteral("File > Examples holds nine worked examples");
        struct Case {
            const char* state;
            std::function<void(UiProgram&)> prepare; // before the window is made
            std::function<void(UiProgram&)> act;     // then
            bool hinted;
        };
        const Case cases[] = {
            {"first start", {}, {}, true},
            {"empty start pointer", [](UiProgram& q) { WriteAll(q.PointerPath(), ""); }, {}, true},
            {"the figure again", {}, [](UiProgram& p) { p.main->Spiral1->trigger(); }, true},
            {"started with a configuration",
             [&](UiProgram& q) { WriteStartPointer(q.PointerPath(), examples.File("04-ring.tao")); },
             {},
             false},
            {"started with a file that is gone",
             [](UiProgram& q) { WriteStartPointer(q.PointerPath(), q.dir.File("gone.tao")); },
             {},
             false},
            {"Taons gives the easy square", {}, [](UiProgram& p) { p.main->Daons1->trigger(); }, false},
            {"an example opened",
             {},
             [](UiProgram& p) {
                 ExampleAction(*p.main, QStringLiteral("A ring of twelve taons"))->trigger();
             },
             false},
            {"a file opened",
             {},
             [&](UiProgram& p) {
                 p.questions.openAnswers.push_back(examples.File("02-cluster.tao"));
                 p.main->Open1->trigger();
             },
             false},
        };
        for (const Case& c : cases) {
            UiProgram p(c.prepare);
            p.main->resize(1000, 700);
            p.main->show();
            if (c.act) c.act(p);
            QVERIFY2(p.questions.errors.empty(), c.state);
            QCOMPARE(p.main->FName->placeholderText(), nine);
            QVERIFY2(p.main->FName->ShownHint() == (c.hinted ? nine : QString()), c.state);
            // The hint is drawn in grey beside the caption, which stays the bar's text.
            QVERIFY2((GreyPixelsAfterCaption(*p.main->FName) > 20) == c.hinted, c.state);
            if (c.hinted) QCOMPARE(p.main->FName->text(), QStringLiteral("File Name"));
        }

        // The count is the menu's.
        TempDir one;
        std::filesystem::copy_file(examples.File("04-ring.tao"), one.File("04-ring.tao"));
        qputenv("TAONSCOPE_EXAMPLES", one.path().string().c_str());
        UiProgram p;
        QCOMPARE(p.main->Examples->actions().size(), 1);
        QCOMPARE(p.main->FName->ShownHint(), QStringLiteral("File > Examples holds one worked example"));
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
