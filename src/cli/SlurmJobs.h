// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"

#include "atlas/Slurm.h"

#include <ostream>
#include <string>
#include <vector>

namespace taonscope {

/// The options of a command that writes Slurm scripts, besides its own.
inline const std::vector<std::string> SlurmValuedOptions = {"--partition", "--time", "--cells-per-task"};
/// The flag that submits them.
inline constexpr const char* SlurmSubmitFlag = "--submit";

/// The Slurm options a command line gives (--partition, --time, --cells-per-task), the program being
/// the running one; a value Slurm would not take throws CommandLineError.
SlurmOptions SlurmOptionsOf(const CommandLine& line);

/// Writes the batch's scripts, says so on err, and with --submit submits them with sbatch from the
/// batch's Slurm folder, the merge depending on the array. A failure is reported on err.
int WriteAndSubmitSlurm(const SlurmBatch& batch, const SlurmOptions& options, double cellSeconds,
                        const CommandLine& line, std::ostream& err);

} // namespace taonscope
