// SPDX-License-Identifier: GPL-3.0-or-later
// Record Trajectory, Import XYZ, Export Picture and the listing's CSV commands, on the real window.
#include "support/FileSizeLimit.h"
#include "support/UiProgram.h"
#include "support/WorldFiles.h"

#include "cli/Cli.h"
#include "core/Scenarios.h"
#include "document/ConfigFile.h"
#include "document/CsvTable.h"
#include "document/LammpsDumpFile.h"
#include "document/StartPointer.h"
#include "document/XyzFile.h"
#include "ui/DialogQuestions.h"
#include "ui/FilmDlg.h"
#include "ui/FilmExport.h"
#include "ui/RecordDlg.h"
#include "ui/Text.h"
#include "ui/TrajectoryRecording.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QtTest>

#include <filesystem>
#include <sstream>
#include <tuple>

using namespace taonscope;
using taonscope::test::ReadAll;
using taonscope::test::UiProgram;
using taonscope::test::WriteAll;

namespace {

// A window holding the ring, opened from a file as at start-up.
std::unique_ptr<UiProgram> RingProgram() {
    auto p = std::make_unique<UiProgram>([](UiProgram& q) {
        ConfigRecord buffer{};
        WriteConfigFile(q.dir.File("ring.tao"), RingWorld(), buffer);
        WriteStartPointer(q.PointerPath(), q.dir.File("ring.tao"));
    });
    return p;
}

// Answers the Record Trajectory dialog once it is open: the file through Browse, N, then OK.
void AnswerRecordDialog(UiProgram& p, const std::string& path, int every, bool* seen) {
    p.questions.saveFileAnswers.push_back(path);
    QTimer::singleShot(50, [&p, every, seen] {
        auto* dialog = dynamic_cast<TRecordDlg*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *seen = true;
        QVERIFY(!dialog->OKBtn->isEnabled());
        QCOMPARE(dialog->EveryEdit->value(), 100);
        dialog->Browse->click();
        dialog->EveryEdit->setValue(every);
        dialog->OKBtn->click();
    });
}

void RunUntil(UiProgram& p, const std::function<bool()>& done) {
    p.main->GoClick();
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < 20000) QCoreApplication::processEvents();
    p.main->GoClick();
    QCoreApplication::processEvents();
}

std::vector<int> FrameSteps(const std::string& text) {
    std::vector<int> steps;
    for (std::size_t at = text.find(" Step="); at != std::string::npos; at = text.find(" Step=", at + 1))
        steps.push_back(std::atoi(text.c_str() + at + 6));
    return steps;
}

ConfigRecord RecordOf(const World& world) {
    ConfigRecord record{};
    PackConfigRecord(world, record);
    return record;
}

// Answers the modal dialog of that type once it is open with what fill sets, then OK.
template <typename Dialog> void Answer(const std::function<void(Dialog&)>& fill, bool* seen) {
    QTimer::singleShot(50, [fill, seen] {
        auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog) return;
        *seen = true;
        fill(*dialog);
        dialog->OKBtn->click();
    });
}

// The pictures of a series film_1.png, film_2.png ... in dir.
int Pictures(const test::TempDir& dir, const std::string& stem) {
    int count = 0;
    while (std::filesystem::exists(dir.File(stem + std::to_string(count + 1) + ".png"))) ++count;
    return count;
}

} // namespace

class ExchangeCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void recordsEveryStepOfTheRunsUntilStopped() {
        auto p = RingProgram();
        p->Show();
        TMainForm& m = *p->main;
        QVERIFY(!m.RecordTrajectory1->isChecked());
        QVERIFY(!m.StopRecording1->isEnabled());
        QVERIFY(!m.RecMark->isVisible());

        // A cancelled dialog records nothing.
        QTimer::singleShot(50, [] {
            if (auto* dialog = dynamic_cast<TRecordDlg*>(QApplication::activeModalWidget()))
                dialog->CancelBtn->click();
        });
        m.RecordTrajectory1->trigger();
        QVERIFY(!m.RecordTrajectory1->isChecked());

        const std::string path = p->dir.File("ring.xyz");
        bool seen = false;
        AnswerRecordDialog(*p, path, 1, &seen);
        m.RecordTrajectory1->trigger();
        QVERIFY(seen);
        QCOMPARE(p->questions.fileKindsAsked.back(), FileKind::Trajectory);
        QVERIFY(m.RecordTrajectory1->isChecked());
        QVERIFY(m.StopRecording1->isEnabled());
        QVERIFY(m.RecMark->isVisible());
        QCOMPARE(m.RecMark->text(), QStringLiteral("REC"));
        QCOMPARE(m.RecMark->palette().color(QPalette::WindowText), QColor(Qt::red));
        QCOMPARE(FrameSteps(ReadAll(path)), std::vector<int>{0});

        // Two runs: every step of each is a frame.
        RunUntil(*p, [&] { return m.RunSteps() >= 3; });
        RunUntil(*p, [&] { return m.RunSteps() >= 2; });
        m.RecordTrajectory1->trigger(); // while recording, the item stays checked and nothing is asked
        QVERIFY(m.RecordTrajectory1->isChecked());
        m.StopRecording1->trigger();
        QVERIFY(!m.RecordTrajectory1->isChecked());
        QVERIFY(!m.StopRecording1->isEnabled());
        QVERIFY(!m.RecMark->isVisible());
        RunUntil(*p, [&] { return m.RunSteps() >= 1; }); // not recorded

        const std::string text = ReadAll(path);
        const int recorded = p->state.world.StepCounter - static_cast<int>(m.RunSteps());
        std::vector<int> expected;
        for (int step = 0; step <= recorded; ++step) expected.push_back(step);
        QCOMPARE(FrameSteps(text), expected);
        World last = ReadXyzText(text);
        QCOMPARE(last.TaonPresent, RingWorld().TaonPresent);
        QVERIFY(last.PosX != RingWorld().PosX);
        QCOMPARE(ReadXyzText(text, {.frame = 1}).PosX, RingWorld().PosX);

        // A new recording every 10 steps starts the file afresh: its start, the multiples of 10 and the
        // last step of every run (once, when it is a multiple), whose frame is the world the user saves.
        seen = false;
        AnswerRecordDialog(*p, path, 10, &seen);
        m.RecordTrajectory1->trigger();
        QVERIFY(seen);
        const int start = p->state.world.StepCounter;
        std::vector<int> framed = {start};
        for (const int steps : {25, 5, 13}) {
            const int from = p->state.world.StepCounter;
            m.StepClick(steps);
            QVERIFY(test::WaitFor([&] { return !m.Running(); }));
            for (int step = from + 1; step <= from + steps; ++step)
                if (step % 10 == 0 || step == from + steps) framed.push_back(step);
        }
        RunUntil(*p, [&] { return m.RunSteps() >= 7; }); // Go and Stop: its last step too
        if (framed.back() != p->state.world.StepCounter) framed.push_back(p->state.world.StepCounter);
        m.StopRecording1->trigger();
        const std::vector<int> steps = FrameSteps(ReadAll(path));
        QCOMPARE(steps.front(), start);
        QCOMPARE(steps.back(), p->state.world.StepCounter);
        for (int step = start; step <= p->state.world.StepCounter; ++step)
            if (step % 10 == 0 && std::find(framed.begin(), framed.end(), step) == framed.end())
                framed.push_back(step);
        std::sort(framed.begin(), framed.end());
        QCOMPARE(steps, framed);
        QCOMPARE(test::PackedRecord(ReadXyzFile(path)),
                 test::PackedRecord(p->state.world)); // as Save writes it
        QVERIFY(p->questions.errors.empty());
    }

    void aWriteFailureStopsTheRecordingButNotTheRun() {
        auto p = RingProgram();
        p->Show();
        TMainForm& m = *p->main;
        const std::string path = p->dir.File("ring.xyz");
        const std::size_t frameBytes = FormatXyzFrame(RingWorld(), 0, 0).size();
        {
            test::FileSizeLimit limit(3 * frameBytes); // the first frames fit, a later one does not
            bool seen = false;
            AnswerRecordDialog(*p, path, 1, &seen);
            m.RecordTrajectory1->trigger();
            QVERIFY(m.RecordTrajectory1->isChecked());
            RunUntil(*p, [&] { return m.RunSteps() >= 6 && !p->questions.errors.empty(); });
        }
        QVERIFY(m.RunSteps() >= 6); // the run went on after the failure
        QCOMPARE(p->questions.errors.size(), std::size_t{1});
        QCOMPARE(p->questions.LastError(), std::string("Disk full."));
        QVERIFY(!m.RecordTrajectory1->isChecked());
        QVERIFY(!m.RecMark->isVisible());
        const std::string text = ReadAll(path);
        QVERIFY(FrameSteps(text).size() >= 2);
        QCOMPARE(ReadXyzText(text, {.frame = 1}).PosX, RingWorld().PosX); // whole frames only
        ReadXyzText(text);
    }

    void importStartsADocumentWithoutAFileOfItsOwn() {
        auto p = RingProgram();
        TMainForm& m = *p->main;
        World cloud = CloudWorld(5);
        cloud.dt = 0.0025L;
        const std::string path = p->dir.File("cloud.xyz");
        // A run killed while it wrote: its last frame is cut, and the window says it left it out.
        WriteAll(path,
                 FormatXyzFrame(RingWorld(), 0, 0) + FormatXyzFrame(cloud, 7, 0.0175L) + "100\nTime=0.0\n");

        p->questions.openFileAnswers.push_back(path);
        m.ImportXyz1->trigger();
        QVERIFY(p->questions.errors.empty());
        QCOMPARE(p->questions.informations.back(),
                 path + ": the last frame (line 117) ends after 0 of its 100 taons and was left out.");
        QCOMPARE(RecordOf(p->state.world), RecordOf(cloud));
        QCOMPARE(p->state.world.StepCounter, 0);
        QCOMPARE(m.FName->text(), QString::fromStdString(path));
        QCOMPARE(m.EditDT->text(), QStringLiteral("0.0025"));
        QVERIFY(!p->state.document.CurrentIsFile);
        QVERIFY(m.Go->isEnabled());
        QCOMPARE(m.DaonsTable->Cell(1, 100), RealText(cloud.PosX[100]));

        p->questions.saveAnswers.push_back(p->dir.File("saved.tao"));
        m.Save1->trigger(); // no file of its own yet: Save asks for a name
        QCOMPARE(p->questions.saveAsked, 1);
        ConfigRecord saved{};
        QCOMPARE(ReadConfigFile(p->dir.File("saved.tao"), saved), 0);
        QCOMPARE(saved, RecordOf(cloud));

        // A frame that cannot be read changes nothing.
        WriteAll(path, "2\n\nT1 1 2 3\nT1 1 2\n");
        p->questions.openFileAnswers.push_back(path);
        m.ImportXyz1->trigger();
        QCOMPARE(p->questions.LastError(), std::string("line 4: expected 4 fields, found 3."));
        QCOMPARE(RecordOf(p->state.world), RecordOf(cloud));
        m.ImportXyz1->trigger(); // cancelled
        QCOMPARE(p->questions.errors.size(), std::size_t{1});
    }

    void exportPictureAndRenderGiveTheSceneAsShown() {
        auto p = RingProgram();
        p->Show();
        TMainForm& m = *p->main;
        for (bool numbers : {false, true}) {
            if (numbers) m.ShowNumbersOfPoints->trigger();
            p->state.view.ViewTeta = 0.3L;
            p->state.view.ViewPsi = -0.2L;
            p->state.view.ViewPhi = 1.25L;
            p->state.view.ViewScale = 30;
            m.DrawTaons();
            const QImage shown = m.SceneView->Image().copy();

            const std::string picture = p->dir.File("scene.png");
            p->questions.saveFileAnswers.push_back(picture);
            m.ExportPicture1->trigger();
            QCOMPARE(p->questions.fileKindsAsked.back(), FileKind::Picture);
            QCOMPARE(QImage(QString::fromStdString(picture)).convertToFormat(QImage::Format_RGB32), shown);

            const std::string rendered = p->dir.File("render.png");
            std::vector<std::string> args = {"render",
                                             p->dir.File("ring.tao"),
                                             rendered,
                                             "--size",
                                             std::to_string(shown.width()) + "x" +
                                                 std::to_string(shown.height()),
                                             "--angles",
                                             "0.3,-0.2,1.25",
                                             "--scale",
                                             "30"};
            if (numbers) args.push_back("--numbers");
            std::ostringstream out, err;
            QCOMPARE(RunCli(args, out, err), 0);
            const QImage fromCli =
                QImage(QString::fromStdString(rendered)).convertToFormat(QImage::Format_RGB32);
            QCOMPARE(fromCli.size(), shown.size());
            QCOMPARE(fromCli, shown);
        }
        QVERIFY(p->questions.errors.empty());
    }

    void fileDialogsOfOtherKindsFilterAndAddTheirExtension() {
        test::TempDir dir;
        DialogQuestions questions;
        const std::tuple<FileKind, QString, std::string> kinds[] = {
            {FileKind::Trajectory, QStringLiteral("XYZ files (*.xyz)"), "run.xyz"},
            {FileKind::Picture, QStringLiteral("PNG pictures (*.png)"), "run.png"},
            {FileKind::Table, QStringLiteral("CSV files (*.csv)"), "run.csv"},
            {FileKind::LammpsDump, QStringLiteral("LAMMPS dumps (*.lammpstrj *.dump)"), "run.lammpstrj"},
            {FileKind::Film, QStringLiteral("MP4 films (*.mp4)"), "run.mp4"},
            {FileKind::AnyTrajectory, QStringLiteral("Trajectories (*.xyz *.lammpstrj *.dump)"), "run.xyz"}};
        for (const auto& [kind, filter, name] : kinds)
            for (const bool saving : {true, false}) {
                QStringList filters;
                QTimer::singleShot(100, [&] {
                    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                    if (!dialog) return;
                    filters = dialog->nameFilters();
                    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                    edit->setText(QString::fromStdString(dir.File("run")));
                    QTest::keyClick(edit, Qt::Key_Return);
                });
                const std::optional<std::string> path =
                    saving ? questions.SaveFilePath(kind) : questions.OpenFilePath(kind);
                QCOMPARE(filters, QStringList{filter});
                QVERIFY(path.has_value());
                QCOMPARE(*path, dir.File(name));
            }
    }

    void recordsALammpsDumpOrNamedXyzAsTheDialogSaysAndFilmsIt() {
        auto p = RingProgram();
        p->Show();
        TMainForm& m = *p->main;
        const std::string dump = p->dir.File("ring.lammpstrj");
        p->questions.saveFileAnswers.push_back(dump);
        bool seen = false;
        Answer<TRecordDlg>(
            [](TRecordDlg& dialog) {
                QCOMPARE(dialog.SpeciesEdit->text(), QStringLiteral("T1,T2,T3"));
                dialog.FormatChoice->setCurrentIndex(1);
                QVERIFY(!dialog.SpeciesEdit->isEnabled()); // a dump has types, not names
                dialog.Browse->click();
                dialog.EveryEdit->setValue(2);
            },
            &seen);
        m.RecordTrajectory1->trigger();
        QVERIFY(seen);
        QCOMPARE(p->questions.fileKindsAsked.back(), FileKind::LammpsDump);
        m.StepClick(4);
        QVERIFY(test::WaitFor([&] { return !m.Running(); }));
        m.StopRecording1->trigger();
        const World stopped = p->state.world;
        QCOMPARE(ReadAll(dump + ".json"), FormatLammpsSidecar(stopped));
        QCOMPARE(RecordOf(ReadLammpsFile(dump, {.frame = 3})), RecordOf(stopped)); // steps 0, 2 and 4
        QCOMPARE(RecordOf(ReadLammpsFile(dump, {.frame = 1})), RecordOf(RingWorld()));

        // Export Film draws the recorded trajectory, a picture a frame.
        const std::string film = p->dir.File("dump_%d.png");
        p->questions.openFileAnswers.push_back(dump);
        Answer<TFilmDlg>(
            [&](TFilmDlg& dialog) {
                dialog.TrajectoryBrowse->click();
                QVERIFY(dialog.TrajectoryBtn->isChecked() && !dialog.EveryEdit->isEnabled());
                dialog.FilmName->setText(QString::fromStdString(film));
                dialog.WidthEdit->setValue(40);
                dialog.HeightEdit->setValue(30);
                dialog.FitChoice->setCurrentIndex(2);
            },
            &seen);
        m.ExportFilm1->trigger();
        QCOMPARE(p->questions.fileKindsAsked.back(), FileKind::AnyTrajectory);
        QVERIFY(test::WaitFor([&] { return !p->questions.informations.empty(); }));
        QCOMPARE(p->questions.informations.back(), "The film " + film + " holds 3 pictures.");
        QCOMPARE(Pictures(p->dir, "dump_"), 3);
        QVERIFY(!m.ExportFilm1->isChecked());

        // A typed name chooses its format; the names must be three different ones.
        const std::string named = p->dir.File("named.xyz");
        Answer<TRecordDlg>(
            [&](TRecordDlg& dialog) {
                dialog.FormatChoice->setCurrentIndex(1);
                dialog.FileName->setText(QString::fromStdString(named));
                QCOMPARE(dialog.FormatChoice->currentIndex(), 0);
                dialog.SpeciesEdit->setText(QStringLiteral("Ar,Ar,Xe"));
                QVERIFY(!dialog.OKBtn->isEnabled());
                dialog.SpeciesEdit->setText(QStringLiteral("Ar,Kr,Xe"));
            },
            &seen);
        m.RecordTrajectory1->trigger();
        m.StopRecording1->trigger();
        QCOMPARE(ReadAll(named),
                 FormatXyzFrame(stopped, stopped.StepCounter, stopped.StepCounter * stopped.dt,
                                *ParseSpeciesNames("Ar,Kr,Xe")));
        QVERIFY(p->questions.errors.empty());
    }

    void exportFilmFilmsTheNextRunAsTheSceneShowsItOrStopsWhenAsked() {
        auto p = RingProgram();
        p->Show();
        TMainForm& m = *p->main;
        auto* mark = m.SceneView->findChild<QLabel*>(QStringLiteral("FilmMark"));
        QVERIFY(mark && !mark->isVisible());
        p->state.view.ViewTeta = 0.5L;
        p->state.view.ViewPsi = 0.25L;
        const std::string film = p->dir.File("run_%d.png");
        bool seen = false;
        // The next run, 64 x 48, a picture every 2 steps, fitted at its start.
        const auto fill = [](TFilmDlg& dialog, const std::string& name) {
            dialog.FilmName->setText(QString::fromStdString(name));
            dialog.WidthEdit->setValue(64);
            dialog.HeightEdit->setValue(48);
            dialog.EveryEdit->setValue(2);
            dialog.FitChoice->setCurrentIndex(1);
        };
        Answer<TFilmDlg>(
            [&](TFilmDlg& dialog) {
                QVERIFY(dialog.NextRunBtn->isChecked() && !dialog.OKBtn->isEnabled());
                // A run to come cannot be fitted as a whole.
                QVERIFY(!qobject_cast<QStandardItemModel*>(dialog.FitChoice->model())->item(2)->isEnabled());
                fill(dialog, film);
            },
            &seen);
        m.ExportFilm1->trigger();
        QVERIFY(seen && m.ExportFilm1->isChecked());
        QCOMPARE(mark->text(), QStringLiteral("FILM: next run"));
        QVERIFY(mark->isVisible());
        QCOMPARE(Pictures(p->dir, "run_"), 0);

        m.StepClick(5); // pictures at the start, after steps 2 and 4, and at the end
        QVERIFY(test::WaitFor([&] { return !m.Running() && !p->questions.informations.empty(); }));
        QCOMPARE(p->questions.informations.back(), "The film " + film + " holds 4 pictures.");
        QCOMPARE(Pictures(p->dir, "run_"), 4);
        QVERIFY(!m.ExportFilm1->isChecked() && !mark->isVisible());

        // Each picture is the world after its step, as the runner makes it and render draws it with the
        // scene's angles; a run that ends on a picture's step gives it once.
        const auto runnerPicture = [&](int steps) {
            const std::string tao = p->dir.File("step.tao"), png = p->dir.File("step.png");
            std::ostringstream out, err;
            const bool made =
                RunCli({"run", p->dir.File("ring.tao"), "--steps", std::to_string(steps), "--output", tao},
                       out, err) == 0 &&
                RunCli({"render", tao, png, "--size", "64x48", "--fit", "--angles", "0.5,0.25,0"}, out,
                       err) == 0;
            return made ? QImage(QString::fromStdString(png)) : QImage();
        };
        const auto picture = [&](const std::string& stem, int n) {
            return QImage(QString::fromStdString(p->dir.File(stem + std::to_string(n) + ".png")));
        };
        for (const auto& [n, steps] : std::vector<std::pair<int, int>>{{1, 0}, {2, 2}, {3, 4}, {4, 5}})
            QVERIFY2(picture("run_", n) == runnerPicture(steps), std::to_string(steps).c_str());
        Answer<TFilmDlg>([&](TFilmDlg& dialog) { fill(dialog, p->dir.File("again_%d.png")); }, &seen);
        m.ExportFilm1->trigger();
        m.StepClick(4);
        QVERIFY(test::WaitFor([&] { return !m.Running() && !m.ExportFilm1->isChecked(); }));
        QCOMPARE(Pictures(p->dir, "again_"), 3);
        for (const auto& [n, steps] : std::vector<std::pair<int, int>>{{1, 5}, {2, 7}, {3, 9}})
            QVERIFY2(picture("again_", n) == runnerPicture(steps), std::to_string(steps).c_str());

        // A film waiting for its run stops when asked, and nothing is written; nor is the next run filmed.
        const std::string waiting = p->dir.File("waiting_%d.png");
        Answer<TFilmDlg>([&](TFilmDlg& dialog) { dialog.FilmName->setText(QString::fromStdString(waiting)); },
                         &seen);
        m.ExportFilm1->trigger();
        for (const bool stop : {false, true}) {
            QVERIFY(m.ExportFilm1->isChecked());
            p->questions.confirmAnswers.push_back(stop);
            m.ExportFilm1->trigger();
        }
        QCOMPARE(p->questions.confirmations.back(),
                 "A film is being made into " + waiting + ". Stop it? The pictures made so far are kept.");
        QVERIFY(!m.ExportFilm1->isChecked());
        m.StepClick(2);
        QVERIFY(test::WaitFor([&] { return !m.Running(); }));
        QCOMPARE(Pictures(p->dir, "waiting_"), 0);
        QCOMPARE(Pictures(p->dir, "run_"), 4);
        QCOMPARE(Pictures(p->dir, "again_"), 3);
        QVERIFY(p->questions.errors.empty());

        // A trajectory that cannot be read is an error, and no film is begun.
        WriteAll(p->dir.File("bad.xyz"), "2\n\nT1 0 0 0\n");
        Answer<TFilmDlg>(
            [&](TFilmDlg& dialog) {
                dialog.TrajectoryBtn->setChecked(true);
                dialog.TrajectoryName->setText(QString::fromStdString(p->dir.File("bad.xyz")));
                dialog.FilmName->setText(QString::fromStdString(p->dir.File("bad_%d.png")));
            },
            &seen);
        m.ExportFilm1->trigger();
        QCOMPARE(p->questions.LastError(),
                 std::string("line 1: the count 2 does not match: the file ends after 1 taons."));
        QVERIFY(!m.ExportFilm1->isChecked());
        QCOMPARE(Pictures(p->dir, "bad_"), 0);
    }

    void theListingCopiesAndSavesAsCsv() {
        auto p = RingProgram();
        TMainForm& m = *p->main;
        QVERIFY(m.DaonsTable->actions().contains(m.CopyAsCsv));
        QVERIFY(m.DaonsTable->actions().contains(m.SaveAsCsv));
        QCOMPARE(m.DaonsTable->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(m.CopyAsCsv->text(), QStringLiteral("Copy as CSV"));
        QCOMPARE(m.SaveAsCsv->text(), QStringLiteral("Save as CSV..."));

        p->state.world.PosX[3] = 1.0L / 3;
        m.CopyAsCsv->trigger();
        const QStringList lines = QGuiApplication::clipboard()->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 12 + 2); // header, the twelve taons, and the end of the last line
        QCOMPARE(lines[0], QStringLiteral("slot,kind,x,y,z,vx,vy,vz"));
        QVERIFY(lines[3].startsWith(QStringLiteral("3,1,3.33333333333333333342e-01,") +
                                    QString::fromStdString(XyzRealText(p->state.world.PosY[3])) +
                                    QStringLiteral(",")));
        QCOMPARE(lines[13], QString());

        m.DaonsTableDblClick(); // the listing shows velocities: the table keeps its columns
        p->state.world.VelZ[12] = -2.5L;
        m.CopyAsCsv->trigger();
        const QString velocities = QGuiApplication::clipboard()->text();
        QVERIFY(velocities.startsWith(QStringLiteral("slot,kind,x,y,z,vx,vy,vz\n1,1,")));
        QVERIFY(velocities.endsWith(QStringLiteral(",-2.50000000000000000000e+00\n")));

        const std::string path = p->dir.File("listing.csv");
        p->questions.saveFileAnswers.push_back(path);
        m.SaveAsCsv->trigger();
        QCOMPARE(p->questions.fileKindsAsked.back(), FileKind::Table);
        QCOMPARE(QString::fromStdString(ReadAll(path)), velocities);
        QCOMPARE(ReadAll(path), TaonTableCsv(p->state.world));
    }
};

TAONSCOPE_QTEST_MAIN(ExchangeCommandsTest)
#include "ExchangeCommandsTest.moc"
