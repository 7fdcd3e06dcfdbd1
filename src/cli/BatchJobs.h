// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

/// The processes of a batch: --jobs N, from 1 to 256, by default one per core.
int JobsOption(const CommandLine& line);

/// Runs the cells of a batch of total cells that are not done yet (todo, in the order given) on jobs
/// processes, each calling runCell, with a progress line on err (redrawn in place when errIsTerminal).
/// Says first what it runs, or that every cell is done. Empty when every cell is done now; otherwise
/// the exit status, having reported the failed cells, or the signal that stopped the batch and that
/// `again` (a command line) goes on from there.
std::optional<int> RunCells(int total, const std::vector<int>& todo, int jobs,
                            const std::function<void(int)>& runCell, std::ostream& err, bool errIsTerminal,
                            const std::string& again);

/// The cells 1 ... total that are not in done (ascending).
std::vector<int> CellsToDo(int total, const std::vector<int>& done);

} // namespace taonscope
