// SPDX-License-Identifier: GPL-3.0-or-later
#include "Slurm.h"

#include "document/FileIo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace taonscope {

namespace {

// A step of 100 taons of three kinds on one thread takes about this long (docs/PERFORMANCE.md); the
// law's work grows with the pairs.
constexpr double SecondsPerStepOfHundred = 0.0008;

// The time limit a task gets: three times its estimate and five minutes more, for a busy node.
std::string TaskTime(double seconds) {
    const long long minutes = static_cast<long long>(std::ceil(3 * seconds / 60)) + 5;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:00", minutes / 60, minutes % 60);
    return text;
}

// A word a shell and sbatch take as it is.
bool PlainPath(const std::string& path) {
    return path.find_first_of(" \t\n'\"\\$`") == std::string::npos;
}

std::string Header(const std::string& name, const SlurmOptions& options, const std::string& time) {
    std::string text =
        "#!/bin/bash\n#SBATCH --job-name=" + name + "\n#SBATCH --ntasks=1\n#SBATCH --cpus-per-task=1\n";
    text += "#SBATCH --time=" + time + "\n";
    if (!options.Partition.empty()) text += "#SBATCH --partition=" + options.Partition + "\n";
    return text;
}

} // namespace

double EstimatedCellSeconds(const AtlasPlan& plan) {
    double total = 0;
    int counted = 0;
    for (const int index : DoneCells(plan)) {
        int openFailure = 0;
        try {
            if (const auto text = ReadFileBytes(plan.Folder.SecondsFile(index), 64, openFailure)) {
                double seconds = 0;
                if (std::from_chars(text->data(), text->data() + text->size(), seconds).ec == std::errc()) {
                    total += seconds;
                    ++counted;
                }
            }
        } catch (const TaonError&) {
        }
    }
    if (counted > 0) return total / counted;
    const World start = CellStart(plan, CellOf(plan.Sweep, 1));
    int taons = 0;
    for (int i = 1; i <= MaxTaons; ++i) taons += start.TaonPresent[i] ? 1 : 0;
    const SweepProtocol& p = plan.Sweep.Protocol;
    const double steps = static_cast<double>(p.UntilSettled ? p.MaxSteps : p.Steps);
    return steps * SecondsPerStepOfHundred * (taons * taons) / 1e4 + 0.05;
}

SlurmScripts MakeSlurmScripts(const AtlasPlan& plan, const SlurmOptions& options, double cellSeconds) {
    const std::string& dir = plan.Folder.Dir;
    if (dir.empty() || dir[0] != '/' || !PlainPath(dir))
        throw AtlasError(dir + ": Slurm needs the atlas folder as an absolute path without blanks or quotes");
    if (!PlainPath(options.Program))
        throw AtlasError(options.Program + ": a program path with blanks or quotes");
    const int cells = plan.Sweep.CellCount();
    SlurmScripts s;
    s.CellsPerTask = options.CellsPerTask > 0
                         ? options.CellsPerTask
                         : static_cast<int>(std::ceil(TaskMinutes * 60 / std::max(cellSeconds, 1e-3)));
    s.CellsPerTask = std::clamp(s.CellsPerTask, (cells + MostArrayTasks - 1) / MostArrayTasks, cells);
    s.Tasks = (cells + s.CellsPerTask - 1) / s.CellsPerTask;
    s.Time = options.Time.empty() ? TaskTime(s.CellsPerTask * cellSeconds) : options.Time;
    const std::string slurm = plan.Folder.SlurmFolder();

    s.Cells =
        Header("atlas-cells", options, s.Time) + "#SBATCH --array=1-" + std::to_string(s.Tasks) +
        "\n#SBATCH --output=" + slurm +
        "/cells-%A_%a.out\n"
        "# Task T runs the cells (T-1) x per_task + 1 ... T x per_task of the atlas; a cell done already\n"
        "# is left as it is, so a task run again finishes what is missing.\n"
        "set -eu\n"
        "program=${TAONSCOPE_CLI:-" +
        options.Program +
        "}\n"
        "dir=" +
        dir +
        "\n"
        "per_task=" +
        std::to_string(s.CellsPerTask) +
        "\n"
        "cells=" +
        std::to_string(cells) +
        "\n"
        "first=$(( (SLURM_ARRAY_TASK_ID - 1) * per_task + 1 ))\n"
        "last=$(( first + per_task - 1 ))\n"
        "if (( last > cells )); then last=$cells; fi\n"
        "for (( cell = first; cell <= last; cell++ )); do\n"
        "    \"$program\" atlas cell \"$dir\" \"$cell\"\n"
        "done\n";
    s.Merge = Header("atlas-merge", options, "0:10:00") + "#SBATCH --output=" + slurm +
              "/merge-%j.out\n"
              "# Writes atlas.csv, atlas.json and timings.csv once every cell is done.\n"
              "set -eu\n"
              "program=${TAONSCOPE_CLI:-" +
              options.Program +
              "}\n"
              "\"$program\" atlas merge " +
              dir + "\n";
    s.Submit =
        std::string("#!/bin/bash\n"
                    "# Submits the cells as a job array and the merge to run after all of them succeeded.\n"
                    "set -eu\n"
                    "cd \"$(dirname \"$0\")\"\n"
                    "cells=$(sbatch --parsable ") +
        SlurmCellsScript +
        ")\n"
        "merge=$(sbatch --parsable --dependency=afterok:${cells%%;*} " +
        SlurmMergeScript +
        ")\n"
        "echo \"cells: job ${cells%%;*}; merge: job ${merge%%;*}\"\n";
    return s;
}

} // namespace taonscope
