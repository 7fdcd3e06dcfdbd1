// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up and the document commands: Open, Save, Save As, Taons, Exit and the commentary.
#include "support/UiProgram.h"

#include "core/Scenarios.h"
#include "core/Version.h"
#include "document/ConfigFile.h"
#include "document/StartPointer.h"
#include "document/XyzFile.h"
#include "ui/Guard.h"

#include <QDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <tuple>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::ScriptedQuestions;
using taonscope::test::UiProgram;
using taonscope::test::WriteAll;

namespace {

void WriteWorld(const std::string& path, const World& world) {
    ConfigRecord buffer{};
    WriteConfigFile(path, world, buffer);
}

// The record a configuration file of world holds.
ConfigRecord PackedOf(const World& world) {
    ConfigRecord record{};
    PackConfigRecord(world, record);
    return record;
}

// A configuration unlike the built-in ones: three taons, dt 0.05.
World Trio() {
    World world;
    SetParameterSet(world, 1, FigureParameters());
    SetParameterSet(world, 2, {2, 3, 6, 11, 21, 31});
    SetParameterSet(world, 3, FigureParameters());
    for (int j : {1, 60, 90}) {
        world.TaonPresent[j] = true;
        world.PosX[j] = j / 10.0L;
        world.VelY[j] = -j / 100.0L;
    }
    world.dt = 0.05L;
    return world;
}

} // namespace

class DocumentCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void anEndlessCommentaryIsReportedAndStartUpGoesOn() {
        // Run alone under a memory limit by ctest too: reading it whole would exhaust any memory.
        UiProgram p([](UiProgram& q) {
            WriteWorld(q.dir.File("cloud.tao"), Trio());
            std::filesystem::create_symlink("/dev/zero", q.dir.File("cloud.txt"));
            WriteStartPointer(q.PointerPath(), q.dir.File("cloud.tao"));
        });
        QVERIFY(!p.state.world.ShowingFigure);
        QVERIFY(p.state.world.TaonPresent[60]);
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("cloud.tao")));
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("No Comment"));
        QTRY_COMPARE(p.questions.errors.size(), std::size_t{1});
        QCOMPARE(p.questions.LastError(),
                 "The commentary " + p.dir.File("cloud.txt") + " is longer than 16 MiB and was not loaded.");
    }

    void noExceptionLeavesAHandler() {
        ScriptedQuestions questions;
        QVERIFY(!Guarded(questions, [] { throw 42; }));
        QVERIFY(!Guarded(questions, [] { throw std::bad_alloc(); }));
        QCOMPARE(questions.errors, (std::vector<std::string>{"Unexpected error.", "Out of memory."}));

        // The last resort of the application: an exception out of an event handler is shown.
        struct Throwing : QObject {
            bool event(QEvent*) override { throw std::runtime_error("broken handler"); }
        } throwing;
        std::string shown;
        auto* application = static_cast<TApplication*>(QCoreApplication::instance());
        application->onUncaughtError = [&](const std::string& text) { shown = text; };
        QCoreApplication::postEvent(&throwing, new QEvent(QEvent::User));
        QCoreApplication::sendPostedEvents(&throwing);
        application->onUncaughtError = nullptr;
        QCOMPARE(shown, std::string("broken handler."));
    }

    void firstStartCreatesTheEmptyPointerAndShowsTheFigure() {
        UiProgram p;
        QVERIFY(std::filesystem::exists(p.PointerPath()));
        QCOMPARE(std::filesystem::file_size(p.PointerPath()), std::uintmax_t{0});
        QVERIFY(p.state.world.ShowingFigure);
        QCOMPARE(p.main->FName->text(), QStringLiteral("File Name"));
        QVERIFY(!p.main->Go->isEnabled());
        QCOMPARE(p.state.document.CurrentFileName, std::string("ThetraSpiral"));
        QVERIFY(p.state.world.Stopped);
        QCOMPARE(p.state.world.dt, 0.001L);
        QCOMPARE(p.state.world.TaonCount, 100);

        p.main->Save1->trigger();
        p.main->Saveas1->trigger();
        QCOMPARE(p.questions.saveAsked, 0);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(p.dir.path()), {}),
                 1); // only the config folder

        UiProgram second([&](UiProgram& q) { WriteAll(q.PointerPath(), ""); });
        QVERIFY(second.state.world.ShowingFigure);
        QCOMPARE(second.main->FName->text(), QStringLiteral("File Name"));
        QVERIFY(second.questions.errors.empty());
    }

    void aPointerToAMissingFileGivesTheEasySquare() {
        UiProgram p([](UiProgram& q) { WriteStartPointer(q.PointerPath(), q.dir.File("ring.tao")); });
        QVERIFY(!p.state.world.ShowingFigure);
        QCOMPARE(p.main->FName->text(), QStringLiteral("The easy square"));
        QVERIFY(p.main->Go->isEnabled());
        QVERIFY(p.state.world.TaonPresent[4] && !p.state.world.TaonPresent[5]);
        QCOMPARE(p.main->ParameterEdits[1]->text(), QStringLiteral("2.718"));
        QCOMPARE(p.main->ParameterEdits[1]->cursorPosition(), 0); // the narrow field shows "2.7", not "718"
        QVERIFY(p.questions.errors.empty());

        p.main->Save1->trigger(); // creates the named file with the square
        ConfigRecord buffer{};
        QCOMPARE(ReadConfigFile(p.dir.File("ring.tao"), buffer), 0);
        World saved;
        UnpackConfigRecord(buffer, saved);
        QCOMPARE(saved.PosX[1], 0.212L);
        QVERIFY(saved.TaonPresent[4]);
    }

    void startUpLoadsThePointedFileItsCommentaryAndShowsItsStep() {
        UiProgram p([](UiProgram& q) {
            WriteWorld(q.dir.File("trio.tao"), Trio());
            WriteAll(q.dir.File("trio.txt"), "three taons\r\nsecond line");
            WriteStartPointer(q.PointerPath(), q.dir.File("trio.tao"));
        });
        QVERIFY(!p.state.world.ShowingFigure);
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("trio.tao")));
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("three taons\nsecond line"));
        QCOMPARE(p.main->EditDT->text(), QStringLiteral("0.05")); // the stored step is shown
        QCOMPARE(p.state.world.dt, 0.001L); // while the run uses 0.001 until the edit is left
        QCOMPARE(p.main->DaonsTable->Cell(1, 60), QStringLiteral("6"));
        QCOMPARE(p.main->ParameterEdits[7]->text(), QStringLiteral("3")); // B2
        QVERIFY(p.state.document.CommentChanged); // the loaded commentary differs from "No Comment"
    }

    void openWritesThePointerSoThatTheNextStartLoadsTheFile() {
        TempDirHolder files;
        WriteWorld(files.dir.File("ring.tao"), RingWorld());
        WriteAll(files.dir.File("ring.txt"), "a ring");
        UiProgram p;
        p.state.world.StepCounter = 42;
        p.questions.openAnswers.push_back(files.dir.File("ring.tao"));
        p.main->Open1->trigger();
        QVERIFY(p.questions.errors.empty());
        QVERIFY(!p.state.world.ShowingFigure);
        QVERIFY(p.main->Go->isEnabled() && p.main->Null00->isEnabled());
        QCOMPARE(ReadAll(p.PointerPath()), files.dir.File("ring.tao"));
        QCOMPARE(p.state.world.StepCounter, 0);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("0"));
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("a ring"));
        QVERIFY(p.state.world.TaonPresent[12] && !p.state.world.TaonPresent[13]);
        QCOMPARE(p.state.world.NextPosZ[3], p.state.world.PosZ[3]);
        QCOMPARE(p.main->EditDT->text(), QStringLiteral("0.001"));

        UiProgram next([&](UiProgram& q) { WriteStartPointer(q.PointerPath(), files.dir.File("ring.tao")); });
        QVERIFY(next.state.world.TaonPresent[12]);
        QCOMPARE(next.main->Comment->toPlainText(), QStringLiteral("a ring"));
    }

    // A file named on the command line (the desktop's "open with"): a configuration opens as Open opens
    // it, a trajectory as Import XYZ brings it in; --version and --help need no display and open nothing.
    void aFileGivenToTheProgramOpensAsOpenOrImportDoes() {
        TempDirHolder files;
        WriteWorld(files.dir.File("ring.tao"), RingWorld());
        WriteAll(files.dir.File("square.xyz"), FormatXyzFrame(EasySquareWorld(), 0, 0));
        UiProgram p;
        p.main->OpenGiven(files.dir.File("ring.tao"));
        QCOMPARE(ReadAll(p.PointerPath()), files.dir.File("ring.tao")); // the start file names it, as Open's
        QCOMPARE(PackedOf(p.state.world), PackedOf(RingWorld()));
        p.main->OpenGiven(files.dir.File("square.xyz"));
        QCOMPARE(PackedOf(p.state.world), PackedOf(EasySquareWorld()));
        QCOMPARE(ReadAll(p.PointerPath()), files.dir.File("ring.tao")); // an import names no start file
        QVERIFY(p.questions.errors.empty());
        p.main->OpenGiven(files.dir.File("none.tao"));
        QCOMPARE(p.questions.LastError(), std::string("File not found."));

        const std::string program = TAONSCOPE_WINDOW_PATH;
        for (const auto& [option, says, status] : std::vector<std::tuple<std::string, std::string, int>>{
                 {"--version", std::string("taonscope ") + ProgramVersion + "\n", 0},
                 {"--help", "Usage: taonscope [FILE]", 0},
                 {"--fly", "taonscope: expected one file", 2}}) {
            const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " + program +
                                        " " + option + " > " + files.dir.File("out") + " 2>&1";
            const int result = std::system(command.c_str());
            QCOMPARE(WEXITSTATUS(result), status);
            QVERIFY2(ReadAll(files.dir.File("out")).starts_with(says),
                     ReadAll(files.dir.File("out")).c_str());
        }
    }

    void openWithoutCommentaryKeepsTheMemo() {
        UiProgram p;
        WriteWorld(p.dir.File("bare.tao"), Trio());
        p.questions.openAnswers.push_back(p.dir.File("bare.tao"));
        p.main->Open1Click();
        QCOMPARE(p.main->Comment->toPlainText(), QStringLiteral("No Comment"));
        QVERIFY(!p.state.document.CommentChanged);
    }

    void aFailedOpenChangesNothing() {
        UiProgram p;
        WriteAll(p.dir.File("short.tao"), std::string(100, '\0'));
        const World before = p.state.world;
        for (const std::string& path : {p.dir.File("missing.tao"), p.dir.File("short.tao")}) {
            p.questions.openAnswers.push_back(path);
            p.main->Open1Click();
            QVERIFY(p.state.world.ShowingFigure);
            QVERIFY(!p.main->Go->isEnabled());
            QCOMPARE(p.main->FName->text(), QStringLiteral("File Name"));
            QCOMPARE(p.state.document.CurrentFileName, std::string("ThetraSpiral"));
            QVERIFY(p.state.world.PosX == before.PosX);
            QCOMPARE(ReadAll(p.PointerPath()), std::string());
        }
        QCOMPARE(p.questions.errors,
                 (std::vector<std::string>{"File not found.", "Read beyond end of file."}));
        p.main->Open1Click(); // cancelled: nothing at all
        QCOMPARE(p.questions.errors.size(), std::size_t{2});
    }

    void saveAsNamesTheFileAndAFailedOneChangesNoName() {
        UiProgram p;
        p.main->Daons1Click(); // the easy square, no file of its own
        p.questions.saveAnswers.push_back(p.dir.File("no/such/dir/x.tao"));
        p.main->Saveas1Click();
        QCOMPARE(p.questions.LastError(), std::string("Invalid filename."));
        QCOMPARE(p.main->FName->text(), QStringLiteral("This is a stabil structur of taons"));
        QCOMPARE(ReadAll(p.PointerPath()), std::string());

        p.questions.saveAnswers.push_back(p.dir.File("square.tao"));
        p.main->Saveas1Click();
        QCOMPARE(std::filesystem::file_size(p.dir.File("square.tao")), std::uintmax_t{6296});
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("square.tao")));
        QCOMPARE(ReadAll(p.PointerPath()), p.dir.File("square.tao"));
        QCOMPARE(p.state.document.StartFileName, p.dir.File("square.tao"));

        // Save writes the same file again, touching neither the names nor the pointer.
        p.state.world.PosX[1] = 5;
        WriteAll(p.PointerPath(), "unchanged");
        p.main->Save1Click();
        ConfigRecord buffer{};
        QCOMPARE(ReadConfigFile(p.dir.File("square.tao"), buffer), 0);
        World saved;
        UnpackConfigRecord(buffer, saved);
        QCOMPARE(saved.PosX[1], 5.0L);
        QCOMPARE(ReadAll(p.PointerPath()), std::string("unchanged"));
    }

    void aReadOnlyFileIsReplacedOnlyWhenTheUserSaysSo() {
        if (::geteuid() != 0) QSKIP("only root may write a file that nobody may write; others are refused");
        UiProgram p;
        p.main->Daons1Click();
        const std::string path = p.dir.File("read-only.tao");
        WriteAll(path, "keep");
        ::chmod(path.c_str(), 0444);
        for (const bool yes : {false, true}) {
            p.questions.saveAnswers.push_back(path);
            p.questions.confirmAnswers.push_back(yes);
            p.main->Saveas1Click();
            QCOMPARE(p.questions.confirmations.back(), path + " is read-only. Replace it?");
            QCOMPARE(std::filesystem::file_size(path), yes ? std::uintmax_t{6296} : std::uintmax_t{4});
            QCOMPARE(p.state.document.CurrentFileName == path, yes);
        }
        QVERIFY(p.questions.errors.empty());
    }

    void saveOfAConfigurationWithoutAFileAsksForAName() {
        UiProgram p;
        p.main->Daons1Click();
        QCOMPARE(p.state.document.CurrentFileName, std::string("This is a stabil structur of taons"));
        p.main->Save1Click(); // cancelled
        QCOMPARE(p.questions.saveAsked, 1);
        QVERIFY(!std::filesystem::exists("This is a stabil structur of taons"));
        p.questions.saveAnswers.push_back(p.dir.File("named.tao"));
        p.main->Save1Click();
        QVERIFY(std::filesystem::exists(p.dir.File("named.tao")));
    }

    void taonsReloadsTheStartConfigurationInItsThreeCases() {
        UiProgram p;
        p.state.world.StepCounter = 7;
        p.main->LTime->setText(QStringLiteral("7"));
        p.main->ParameterEdits[0]->setText(QStringLiteral("kept"));

        std::filesystem::remove(p.PointerPath());
        p.main->Daons1Click();
        QCOMPARE(p.questions.informations, std::vector<std::string>{"The start File not found."});
        QVERIFY(!p.state.world.ShowingFigure);
        QVERIFY(p.main->Go->isEnabled());

        WriteAll(p.PointerPath(), "");
        p.main->Daons1Click();
        QCOMPARE(p.main->FName->text(), QStringLiteral("This is a stabil structur of taons"));
        QVERIFY(p.state.world.TaonPresent[4]);
        QCOMPARE(p.main->DaonsTable->Cell(1, 1), QStringLiteral("0.212"));

        WriteWorld(p.dir.File("trio.tao"), Trio());
        WriteStartPointer(p.PointerPath(), p.dir.File("trio.tao"));
        p.main->Daons1Click();
        QCOMPARE(p.state.document.StartFileName, p.dir.File("trio.tao"));
        QVERIFY(p.state.world.TaonPresent[90] && !p.state.world.TaonPresent[2]);
        QCOMPARE(p.main->DaonsTable->Cell(1, 90), QStringLiteral("9"));
        QCOMPARE(p.state.world.dt, 0.05L); // Taons loads the stored step

        WriteStartPointer(p.PointerPath(), p.dir.File("gone.tao"));
        p.main->Daons1Click(); // falls back to the square without a word
        QVERIFY(p.state.world.TaonPresent[2]);
        QCOMPARE(p.questions.errors.size(), std::size_t{0});

        QCOMPARE(p.state.world.StepCounter, 7);
        QCOMPARE(p.main->LTime->text(), QStringLiteral("7"));
        QCOMPARE(p.main->ParameterEdits[0]->text(), QStringLiteral("kept"));
    }

    void commentaryIsOfferedForSavingWhenLeftAfterAChange() {
        UiProgram p;
        WriteWorld(p.dir.File("c.tao"), Trio());
        p.questions.openAnswers.push_back(p.dir.File("c.tao"));
        p.main->Open1Click();
        p.main->Comment->setPlainText(QStringLiteral("first\nsecond"));
        p.main->CommentExit(); // answered No
        QCOMPARE(p.questions.confirmations, std::vector<std::string>{"The text was changed. Save now?"});
        QVERIFY(!std::filesystem::exists(p.dir.File("c.txt")));
        p.main->CommentExit(); // no further edit: no question
        QCOMPARE(p.questions.confirmations.size(), std::size_t{1});

        p.main->Comment->setPlainText(QStringLiteral("first\nsecond\nthird"));
        p.questions.confirmAnswers.push_back(true);
        p.main->CommentExit();
        QCOMPARE(ReadAll(p.dir.File("c.txt")), std::string("first\r\nsecond\r\nthird"));
    }

    void leavingTheMemoByFocusAsks() {
        UiProgram p;
        p.Show();
        p.main->PageControl->setCurrentIndex(1);
        p.main->Comment->setFocus();
        QTest::keyClicks(p.main->Comment, QStringLiteral("typed"));
        p.main->EditDT->setFocus();
        QCOMPARE(p.questions.confirmations.size(), std::size_t{1});
    }

    void aLoadedCommentaryThatDiffersCountsAsAChange() {
        UiProgram p;
        WriteWorld(p.dir.File("c.tao"), Trio());
        WriteAll(p.dir.File("c.txt"), "loaded");
        p.questions.openAnswers.push_back(p.dir.File("c.tao"));
        p.main->Open1Click();
        p.main->CommentExit();
        QCOMPARE(p.questions.confirmations.size(), std::size_t{1});
        // Loading the same text again is no change.
        p.questions.openAnswers.push_back(p.dir.File("c.tao"));
        p.main->Open1Click();
        p.main->CommentExit();
        QCOMPARE(p.questions.confirmations.size(), std::size_t{1});
    }

    void figureModeCommentaryIsSavedBesideTheFigureName() {
        UiProgram p;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(p.dir.path().string()));
        p.main->Comment->setPlainText(QStringLiteral("spiral notes"));
        p.questions.confirmAnswers.push_back(true);
        p.main->CommentExit();
        QDir::setCurrent(previous);
        QCOMPARE(ReadAll(p.dir.File("ThetraSp.txt")), std::string("spiral notes"));
    }

    void commentaryOfAConfigurationWithoutAFileAsksForItsName() {
        UiProgram p;
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(p.dir.path().string()));
        p.main->Daons1Click(); // the easy square: no file of its own
        p.main->Comment->setPlainText(QStringLiteral("square notes"));
        p.questions.confirmAnswers.push_back(true);
        p.main->CommentExit(); // the name is not given
        const auto entries = std::distance(std::filesystem::directory_iterator(p.dir.path()), {});
        QDir::setCurrent(previous);
        QCOMPARE(p.questions.saveAsked, 1);
        QCOMPARE(entries, 1); // only the config folder: no "This is a stabil structur of t.txt"
        QCOMPARE(ReadAll(p.PointerPath()), std::string());
        QVERIFY(!p.state.document.CurrentIsFile);

        p.main->Comment->setPlainText(QStringLiteral("square notes\nagain"));
        p.questions.confirmAnswers.push_back(true);
        p.questions.saveAnswers.push_back(p.dir.File("square.tao"));
        p.main->CommentExit();
        QVERIFY(p.questions.errors.empty());
        QCOMPARE(ReadAll(p.dir.File("square.txt")), std::string("square notes\r\nagain"));
        ConfigRecord buffer{};
        QCOMPARE(ReadConfigFile(p.dir.File("square.tao"), buffer), 0);
        World saved;
        UnpackConfigRecord(buffer, saved);
        QVERIFY(saved.TaonPresent[4] && !saved.TaonPresent[5]);
        QCOMPARE(saved.PosX[1], 0.212L);
        // Named as Save As names it: the window, the document and the start pointer.
        QCOMPARE(p.main->FName->text(), QString::fromStdString(p.dir.File("square.tao")));
        QCOMPARE(p.state.document.CurrentFileName, p.dir.File("square.tao"));
        QVERIFY(p.state.document.CurrentIsFile);
        QCOMPARE(ReadAll(p.PointerPath()), p.dir.File("square.tao"));

        // From now on the commentary goes beside that file without a question.
        p.main->Comment->setPlainText(QStringLiteral("third"));
        p.questions.confirmAnswers.push_back(true);
        p.main->CommentExit();
        QCOMPARE(p.questions.saveAsked, 2);
        QCOMPARE(ReadAll(p.dir.File("square.txt")), std::string("third"));
    }

    void aFailedSaveOfTheConfigurationSavesNoCommentary() {
        UiProgram p;
        p.main->Daons1Click();
        p.main->Comment->setPlainText(QStringLiteral("notes"));
        p.questions.confirmAnswers.push_back(true);
        p.questions.saveAnswers.push_back(p.dir.File("no/such/dir/x.tao"));
        p.main->CommentExit();
        QCOMPARE(p.questions.LastError(), std::string("Invalid filename."));
        QVERIFY(!std::filesystem::exists(p.dir.File("no")));
        QVERIFY(!p.state.document.CurrentIsFile);
        QCOMPARE(p.main->FName->text(), QStringLiteral("This is a stabil structur of taons"));
    }

    void saveInFigureModeWritesNothingEvenAfterAnOpenFile() {
        UiProgram p;
        WriteWorld(p.dir.File("trio.tao"), Trio());
        const std::string bytes = ReadAll(p.dir.File("trio.tao"));
        p.questions.openAnswers.push_back(p.dir.File("trio.tao"));
        p.main->Open1Click();
        p.state.world.PosX[1] = 42; // a change that a save would write
        p.main->Spiral1->trigger();
        WriteAll(p.PointerPath(), "unchanged");
        p.questions.saveAnswers.push_back(p.dir.File("other.tao"));
        p.main->Save1->trigger();
        p.main->Saveas1->trigger();
        QCOMPARE(p.questions.saveAsked, 0);
        QCOMPARE(ReadAll(p.dir.File("trio.tao")), bytes);
        QVERIFY(!std::filesystem::exists(p.dir.File("other.tao")));
        QCOMPARE(ReadAll(p.PointerPath()), std::string("unchanged"));
        QVERIFY(p.questions.errors.empty());
    }

    void closingWithAnUnansweredChangeAsksFirst() {
        UiProgram p;
        p.Show();
        p.main->Comment->setPlainText(QStringLiteral("unsaved"));
        p.main->Exit1->trigger();
        QCOMPARE(p.questions.confirmations, std::vector<std::string>{"The text was changed. Save now?"});
        QVERIFY(!p.main->isVisible());
    }

    void startUpErrorsAreReportedAndTheFigureIsShown() {
        UiProgram shortFile([](UiProgram& q) {
            WriteAll(q.dir.File("short.tao"), "too short");
            WriteStartPointer(q.PointerPath(), q.dir.File("short.tao"));
        });
        QVERIFY(shortFile.questions.errors.empty()); // reported once the window is up
        QTest::qWait(20);
        QCOMPARE(shortFile.questions.errors, std::vector<std::string>{"Read beyond end of file."});
        QVERIFY(shortFile.state.world.ShowingFigure);
        QVERIFY(!shortFile.main->Go->isEnabled());
        QVERIFY(shortFile.state.world.Stopped);
        QCOMPARE(shortFile.state.world.dt, 0.001L);

        UiProgram blocked(
            [](UiProgram& q) { WriteAll(q.dir.File("config"), "a file where the folder should be"); });
        QTest::qWait(20);
        QCOMPARE(blocked.questions.errors, std::vector<std::string>{"Invalid filename."});
        QVERIFY(blocked.state.world.ShowingFigure);
    }

private:
    struct TempDirHolder {
        taonscope::test::TempDir dir;
    };
};

TAONSCOPE_QTEST_MAIN(DocumentCommandsTest)
#include "DocumentCommandsTest.moc"
