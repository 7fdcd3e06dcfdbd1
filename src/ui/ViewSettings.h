// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "view/ViewState.h"

#include <QSettings>
#include <QString>

namespace taonscope {

/// The settings kept between sessions, beside the start pointer: $XDG_CONFIG_HOME/taonscope/taonscope.conf.
QSettings ProgramSettings();

/// The dot sizes the View menu offers, in pixels; the first is the default.
inline constexpr int DotSizeChoices[3] = {2, 3, 5};

/// Reads the view options kept between sessions (dot size, axes) into view; defaults where none is kept.
void LoadViewOptions(ViewState& view);
/// Keeps the view options for the next session.
void SaveViewOptions(const ViewState& view);

/// The folder of the file last chosen in a file dialog; empty before the first.
QString LastFolder();
/// Keeps folder as the one file dialogs start in.
void SetLastFolder(const QString& folder);

} // namespace taonscope
