// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSettings.h"

#include <QSettings>

#include <algorithm>
#include <iterator>

namespace taonscope {

namespace {

const QString DotSizeKey = QStringLiteral("view/dotSize");
const QString ShowAxesKey = QStringLiteral("view/showAxes");
const QString LastFolderKey = QStringLiteral("files/lastFolder");

} // namespace

QSettings ProgramSettings() {
    return QSettings(QStringLiteral("taonscope"), QStringLiteral("taonscope"));
}

void LoadViewOptions(ViewState& view) {
    const QSettings settings = ProgramSettings();
    const int size = settings.value(DotSizeKey, DotSizeChoices[0]).toInt();
    view.DotSize =
        std::find(std::begin(DotSizeChoices), std::end(DotSizeChoices), size) != std::end(DotSizeChoices)
            ? size
            : DotSizeChoices[0];
    view.ShowAxesOn = settings.value(ShowAxesKey, false).toBool();
}

void SaveViewOptions(const ViewState& view) {
    QSettings settings = ProgramSettings();
    settings.setValue(DotSizeKey, static_cast<int>(view.DotSize));
    settings.setValue(ShowAxesKey, view.ShowAxesOn);
}

QString LastFolder() {
    return ProgramSettings().value(LastFolderKey).toString();
}

void SetLastFolder(const QString& folder) {
    ProgramSettings().setValue(LastFolderKey, folder);
}

} // namespace taonscope
