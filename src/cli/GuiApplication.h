// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace taonscope {

/// Makes sure a QGuiApplication exists, on the offscreen platform unless QT_QPA_PLATFORM names
/// another, so that a command can draw text into pictures without a display.
void EnsureGuiApplication();

} // namespace taonscope
