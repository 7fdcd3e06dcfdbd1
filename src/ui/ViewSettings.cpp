// SPDX-License-Identifier: GPL-3.0-or-later
#include "ViewSettings.h"

#include <QSettings>

#include <algorithm>
#include <iterator>

namespace taonscope {

namespace {

// Beside the start pointer: $XDG_CONFIG_HOME/taonscope/taonscope.conf.
QSettings Settings() {
    return QSettings(QStringLiteral("taonscope"), QStringLiteral("taonscope"));
}

const QString DotSizeKey = QStringLiteral("view/dotSize");
const QString ShowAxesKey = QStringLiteral("view/showAxes");
const QString LastFolderKey = QStringLiteral("files/lastFolder");

} // namespace

void LoadViewOptions(ViewState& view) {
    const QSettings settings = Settings();
    const int size = settings.value(DotSizeKey, DotSizeChoices[0]).toInt();
    view.DotSize =
        std::find(std::begin(DotSizeChoices), std::end(DotSizeChoices), size) != std::end(DotSizeChoices)
            ? size
            : DotSizeChoices[0];
    view.ShowAxesOn = settings.value(ShowAxesKey, false).toBool();
}

void SaveViewOptions(const ViewState& view) {
    QSettings settings = Settings();
    settings.setValue(DotSizeKey, static_cast<int>(view.DotSize));
    settings.setValue(ShowAxesKey, view.ShowAxesOn);
}

QString LastFolder() {
    return Settings().value(LastFolderKey).toString();
}

void SetLastFolder(const QString& folder) {
    Settings().setValue(LastFolderKey, folder);
}

} // namespace taonscope
