// SPDX-License-Identifier: GPL-3.0-or-later
#include "DialogQuestions.h"

#include "Text.h"
#include "ViewSettings.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <utility>

namespace taonscope {

namespace {

const QString ConfigFilter = QStringLiteral("Taons files (*.tao)");

std::optional<std::string> RunFileDialog(QWidget* parent, QFileDialog::AcceptMode mode,
                                         const QString& filter = ConfigFilter,
                                         const QString& suffix = QStringLiteral("tao")) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    // Neither dialog asks before overwriting, and a typed name that does not exist may be opened.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (const QString folder = LastFolder(); !folder.isEmpty()) dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const QString chosen = dialog.selectedFiles().constFirst();
    SetLastFolder(QFileInfo(chosen).absolutePath());
    return ToPath(chosen);
}

// The name filter and default extension of a kind of file.
std::pair<QString, QString> FilterOf(FileKind kind) {
    switch (kind) {
    case FileKind::Trajectory:
        return {QStringLiteral("XYZ files (*.xyz)"), QStringLiteral("xyz")};
    case FileKind::Picture:
        return {QStringLiteral("PNG pictures (*.png)"), QStringLiteral("png")};
    case FileKind::LammpsDump:
        return {QStringLiteral("LAMMPS dumps (*.lammpstrj *.dump)"), QStringLiteral("lammpstrj")};
    case FileKind::Film:
        return {QStringLiteral("MP4 films (*.mp4)"), QStringLiteral("mp4")};
    case FileKind::AnyTrajectory:
        return {QStringLiteral("Trajectories (*.xyz *.lammpstrj *.dump)"), QStringLiteral("xyz")};
    case FileKind::Atlas:
        return {QStringLiteral("Atlases (atlas.json sweep.atlas.json)"), QStringLiteral("json")};
    default:
        return {QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv")};
    }
}

} // namespace

std::optional<std::string> DialogQuestions::OpenPath() {
    return RunFileDialog(parent_, QFileDialog::AcceptOpen);
}

std::optional<std::string> DialogQuestions::SavePath() {
    return RunFileDialog(parent_, QFileDialog::AcceptSave);
}

std::optional<std::string> DialogQuestions::OpenFilePath(FileKind kind) {
    const auto [filter, suffix] = FilterOf(kind);
    return RunFileDialog(parent_, QFileDialog::AcceptOpen, filter, suffix);
}

std::optional<std::string> DialogQuestions::SaveFilePath(FileKind kind) {
    const auto [filter, suffix] = FilterOf(kind);
    return RunFileDialog(parent_, QFileDialog::AcceptSave, filter, suffix);
}

void DialogQuestions::Information(const std::string& text) {
    QMessageBox::information(parent_, QStringLiteral("Information"), QString::fromStdString(text));
}

bool DialogQuestions::Confirm(const std::string& text) {
    return QMessageBox::question(parent_, QStringLiteral("Confirm"), QString::fromStdString(text),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

void DialogQuestions::Error(const std::string& text) {
    QMessageBox::critical(parent_, QStringLiteral("Taonscope"), QString::fromStdString(text));
}

} // namespace taonscope
