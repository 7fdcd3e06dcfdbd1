// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "document/Examples.h"

#include <QMenu>

#include <functional>
#include <string>
#include <vector>

namespace taonscope {

/// The examples the program ships: those of the first folder of ExampleFolderCandidates that holds any,
/// looked for beside the running program.
std::vector<ExampleEntry> ShippedExamples();

/// Fills menu with one entry per example, captioned by its title; choosing one calls open with its path.
/// The menu is disabled when there are none.
void FillExamplesMenu(QMenu* menu, const std::vector<ExampleEntry>& examples,
                      const std::function<void(const std::string&)>& open);

} // namespace taonscope
