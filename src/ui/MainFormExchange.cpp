// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's commands that take configurations to other programs and back: trajectories,
// XYZ import, pictures of the scene and the listing as a table.
#include "MainForm.h"

#include "FilmExport.h"
#include "Guard.h"
#include "Text.h"
#include "TrajectoryRecording.h"

#include "document/CsvTable.h"
#include "document/FileIo.h"
#include "document/TrajectoryFile.h"
#include "view/ScenePicture.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

namespace taonscope {

namespace {

// A scene narrower or lower than this is no picture worth a file.
constexpr int MinPictureSide = 16;

} // namespace

void TMainForm::BuildExchangeControls() {
    auto* file = qobject_cast<QMenu*>(Exit1->parent());
    const QList<QAction*> items = file->actions();
    QAction* exitSeparator = items.at(items.indexOf(Exit1) - 1);
    auto add = [&](QWidget* owner, QAction* before, const QString& caption, void (TMainForm::*handler)()) {
        auto* action = new QAction(caption, owner);
        owner->insertAction(before, action);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    file->insertSeparator(exitSeparator);
    ImportXyz1 = add(file, exitSeparator, QStringLiteral("Import XYZ..."), &TMainForm::ImportXyz1Click);
    OpenTrajectory1 =
        add(file, exitSeparator, QStringLiteral("Open Trajectory..."), &TMainForm::OpenTrajectory1Click);
    OpenTrajectory1->setShortcut(Qt::CTRL | Qt::Key_T);
    ExportPicture1 =
        add(file, exitSeparator, QStringLiteral("Export Picture..."), &TMainForm::ExportPicture1Click);
    ExportFilm1 = add(file, exitSeparator, QStringLiteral("Export Film..."), &TMainForm::ExportFilm1Click);
    RecordTrajectory1 =
        add(file, exitSeparator, QStringLiteral("Record Trajectory..."), &TMainForm::RecordTrajectory1Click);
    RecordTrajectory1->setCheckable(true);
    StopRecording1 =
        add(file, exitSeparator, QStringLiteral("Stop Recording"), &TMainForm::StopRecording1Click);

    DaonsTable->setContextMenuPolicy(Qt::ActionsContextMenu);
    CopyAsCsv = add(DaonsTable, nullptr, QStringLiteral("Copy as CSV"), &TMainForm::CopyAsCsvClick);
    SaveAsCsv = add(DaonsTable, nullptr, QStringLiteral("Save as CSV..."), &TMainForm::SaveAsCsvClick);

    RecMark = new QLabel(QStringLiteral("REC"), Panel1);
    RecMark->setObjectName(QStringLiteral("RecMark"));
    RecMark->setGeometry(84, 0, 30, 16);
    RecMark->setStyleSheet(QStringLiteral("QLabel { color: red; font-weight: bold; }"));
    recording_ =
        std::make_unique<TrajectoryRecording>(questions_, this, RecordTrajectory1, StopRecording1, RecMark);
    recording_->onEnded = [this](const QString& why) { RecordingEnded(why); };
    AddRunObserver(recording_.get());
    film_ = std::make_unique<FilmExport>(questions_, this, view_, ExportFilm1, SceneView);
    AddRunObserver(film_.get());
}

namespace {

// The file bar's text without the note that a recording ended.
QString WithoutRecordingNote(QString text) {
    static const QRegularExpression note(QStringLiteral("^Recording ended \\([^)]*\\): "));
    return text.remove(note);
}

} // namespace

// The file bar says that the recording ended and why, before the configuration's name, until another
// recording starts.
void TMainForm::RecordingEnded(const QString& why) {
    FName->setText(QStringLiteral("Recording ended (%1): ").arg(why) + WithoutRecordingNote(FName->text()));
}

void TMainForm::EndRecordingSegment(const QString& why) {
    if (!recording_) return;
    bool ended = false;
    Guarded(questions_, [&] { ended = recording_->EndSegment(); });
    if (ended) RecordingEnded(why);
}

void TMainForm::RecordTrajectory1Click() {
    Guarded(questions_, [&] { recording_->RecordClick(world_); });
    if (recording_->Recorder().Recording()) FName->setText(WithoutRecordingNote(FName->text()));
}

void TMainForm::StopRecording1Click() {
    Guarded(questions_, [&] { recording_->StopClick(); });
}

void TMainForm::ImportXyz1Click() {
    Guarded(questions_, [&] {
        if (const std::optional<std::string> path = questions_.OpenFilePath(FileKind::Trajectory))
            ImportPath(*path);
    });
}

void TMainForm::ImportPath(const std::string& path) {
    Guarded(questions_, [&] {
        // As with Open, the file is read completely before anything is switched; the configuration has no
        // file of its own until it is saved, so Save asks for a name.
        ConfigRecord record{};
        std::string note;
        PackConfigRecord(ReadTrajectoryFile(path, TrajectoryFormatOf(path), {}, &note), record);
        InstallRecord(record, path, false);
        FitAll1Click(); // as an opened example is: a file from elsewhere has its own scale
        if (!note.empty()) questions_.Information(path + ": " + note + ".");
    });
}

void TMainForm::ExportPicture1Click() {
    Guarded(questions_, [&] {
        const SceneArea area = Scene();
        if (area.width < MinPictureSide || area.bottom < MinPictureSide)
            return questions_.Information(
                QStringLiteral(
                    "The window is too small to show the scene (%1 x %2 pixels): make it larger to "
                    "export a picture.")
                    .arg(std::max(area.width, 0))
                    .arg(std::max(area.bottom, 0))
                    .toStdString());
        const QImage shown = SceneView->Image(); // the picture as it is now, before any dialog
        if (const std::optional<std::string> path = questions_.SaveFilePath(FileKind::Picture))
            SaveAskingForReadOnly(questions_, [&] { ReplaceFileContents(*path, PngBytes(shown)); });
    });
}

void TMainForm::ExportFilm1Click() {
    Guarded(questions_, [&] { film_->ExportFilmClick(Scene()); });
}

void TMainForm::CopyAsCsvClick() {
    QGuiApplication::clipboard()->setText(QString::fromStdString(TaonTableCsv(Shown())));
}

void TMainForm::SaveAsCsvClick() {
    Guarded(questions_, [&] {
        if (const std::optional<std::string> path = questions_.SaveFilePath(FileKind::Table))
            SaveAskingForReadOnly(questions_, [&] { ReplaceFileContents(*path, TaonTableCsv(Shown())); });
    });
}

} // namespace taonscope
