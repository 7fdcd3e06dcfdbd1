// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace taonscope {

/// Shows the built-in user guide: the controls, keys and files of the program.
void ShowHelpWindow(QWidget* parent);

} // namespace taonscope
